#pragma once
// TStrings (the abstract list of texts with an object per line) and TStringList, as the class
// library has them. Text joins lines with CR LF; setting it splits at CR LF, LF or CR.
// "name=value" lines are reached by name through GetValues/SetValues. Case-insensitive
// comparison (the default) uses AnsiCompareText, so sorting follows the workstation's order.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Classes.h"

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TObject {
public:
    // The core that descendants provide.
    virtual int GetCount() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* obj);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    std::string GetStrings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    std::string operator[](int index) const { return Get(index); }
    TObject* GetObjects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* obj) { PutObject(index, obj); }

    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* obj);
    void InsertObject(int index, const std::string& s, TObject* obj);
    void AddStrings(const TStrings& other);
    void AddStrings(const std::vector<std::string>& lines);
    virtual void Assign(const TStrings& other);
    virtual void Exchange(int a, int b);
    void Move(int from, int to);
    virtual int IndexOf(std::string_view s) const;
    int IndexOfName(std::string_view name) const;
    int IndexOfObject(const TObject* obj) const;
    bool Equals(const TStrings& other) const;

    // Lines joined with CR LF after every line.
    virtual std::string GetText() const;
    virtual void SetText(std::string_view text);
    // Comma text: lines separated by commas, quoted with '"' when they hold a blank, a comma
    // or a quote (quotes doubled inside).
    std::string GetCommaText() const;
    void SetCommaText(std::string_view text);

    // "name=value" lines. The name of a line without "=" is empty; setting a value to ""
    // deletes the line.
    std::string GetNames(int index) const;
    std::string GetValues(std::string_view name) const;
    void SetValues(std::string_view name, const std::string& value);
    std::string GetValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);
    char GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char c) { FNameValueSeparator = c; }

    // While updating, change notices are held back until the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }

    // A UTF-8 byte-order mark at the start of a file is dropped; no conversion otherwise.
    // A file that cannot be opened raises EFOpenError, one that cannot be written EFCreateError
    // (the old file then stays as it was: saving replaces it through a temporary file).
    virtual void LoadFromFile(const std::string& path);
    virtual void SaveToFile(const std::string& path) const;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    std::vector<std::string> ToVector() const;

protected:
    virtual void SetUpdateState(bool updating) { (void)updating; }
    virtual int CompareStrings(std::string_view a, std::string_view b) const;
    [[noreturn]] void Error(const char* format, int index) const;

private:
    int FUpdateCount = 0;
    char FNameValueSeparator = '=';
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(const TStringList& other);
    TStringList& operator=(const TStringList& other);
    ~TStringList() override;

    int GetCount() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    // Raises EListError "Operation not allowed on sorted list" while sorted.
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    // Sorted: goes to its place; a duplicate follows GetDuplicates.
    int Add(const std::string& s) override;
    void Exchange(int a, int b) override;
    int IndexOf(std::string_view s) const override;

    // Binary search of a sorted list: true with the index of the match, else false with the
    // index where the text would go.
    bool Find(std::string_view s, int& index) const;
    void Sort();
    void CustomSort(const std::function<int(TStringList& list, int a, int b)>& compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool sorted);
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool caseSensitive);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    // Owned objects are freed with their line.
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool owns) { FOwnsObjects = owns; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* obj);
    void CheckIndex(int index) const;
    void QuickSort(int lo, int hi, const std::function<int(TStringList&, int, int)>& compare);

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};
