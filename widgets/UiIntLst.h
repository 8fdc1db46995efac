#pragma once
// A persistent list of 32-bit integers with an optional range, optional sorting and a
// duplicates rule, streamed as the property "Integers".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "widgets/UiStream.h"

class EOutOfRange : public EListError {
public:
    using EListError::EListError;
};

class TUiIntegerList : public TObject {
public:
    TUiIntegerList() = default;
    TUiIntegerList(const TUiIntegerList&) = delete;
    TUiIntegerList& operator=(const TUiIntegerList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    int Get(int index) const;
    int operator[](int index) const { return Get(index); }

    virtual bool Find(int value, int& index) const;
    virtual void Put(int index, int value);
    virtual void Sort();
    virtual int Add(int value);
    virtual void AddIntegers(const TUiIntegerList& list);
    virtual void Assign(const TObject* source);
    virtual void Clear();
    virtual void Delete(int index);
    virtual void Exchange(int index1, int index2);
    virtual int IndexOf(int value) const;
    virtual void Insert(int index, int value);
    virtual void InsertItem(int index, int value);
    virtual void Move(int curIndex, int newIndex);
    virtual void DefineProperties(TUiFiler& filer);

    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    int GetMin() const { return FMin; }
    void SetMin(int v) { FMin = v; }
    int GetMax() const { return FMax; }
    void SetMax(int v) { FMax = v; }
    bool GetSorted() const { return FSorted; }
    void SetSorted(bool v) { FSorted = v; }

    bool Equals(const TUiIntegerList& other) const;
    std::vector<int> Values() const;

private:
    void CheckRange(int value) const;
    void CheckIndex(int index) const;
    void QuickSort(int left, int right);

    // Each value in a cell of its own, as the list's streamed layout expects.
    std::vector<std::unique_ptr<std::int32_t>> FItems;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
    int FMin = 0, FMax = 0;
    bool FSorted = false;
};
