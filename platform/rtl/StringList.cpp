#include "platform/rtl/StringList.h"

#include <algorithm>

#include "platform/rtl/Format.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

// --- TStrings ---------------------------------------------------------------------------

void TStrings::Put(int index, const std::string& s) {
    TObject* obj = GetObject(index);
    Delete(index);
    InsertObject(index, s, obj);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::Error(const char* format, int index) const {
    throw EStringListError(Format(format, index));
}

int TStrings::Add(const std::string& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* obj) {
    int index = Add(s);
    PutObject(index, obj);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* obj) {
    Insert(index, s);
    PutObject(index, obj);
}

void TStrings::AddStrings(const TStrings& other) {
    if (&other == this) {
        AddStrings(other.ToVector());
        return;
    }
    BeginUpdate();
    for (int i = 0; i < other.GetCount(); ++i) AddObject(other.Get(i), other.GetObject(i));
    EndUpdate();
}

void TStrings::AddStrings(const std::vector<std::string>& lines) {
    BeginUpdate();
    for (const std::string& s : lines) Add(s);
    EndUpdate();
}

void TStrings::Assign(const TStrings& other) {
    if (&other == this) return;
    BeginUpdate();
    Clear();
    FNameValueSeparator = other.FNameValueSeparator;
    AddStrings(other);
    EndUpdate();
}

void TStrings::Exchange(int a, int b) {
    BeginUpdate();
    std::string sa = Get(a), sb = Get(b);
    TObject* oa = GetObject(a);
    TObject* ob = GetObject(b);
    Put(a, sb);
    Put(b, sa);
    PutObject(a, ob);
    PutObject(b, oa);
    EndUpdate();
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    BeginUpdate();
    std::string s = Get(from);
    TObject* obj = GetObject(from);
    Delete(from);
    InsertObject(to, s, obj);
    EndUpdate();
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
    for (int i = 0; i < GetCount(); ++i) {
        std::string line = Get(i);
        size_t p = line.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(std::string_view(line).substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* obj) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == obj) return i;
    return -1;
}

bool TStrings::Equals(const TStrings& other) const {
    if (GetCount() != other.GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

std::string TStrings::GetText() const {
    std::string r;
    for (int i = 0; i < GetCount(); ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        Add(std::string(text.substr(start, i - start)));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
    EndUpdate();
}

std::string TStrings::GetCommaText() const {
    std::string r;
    for (int i = 0; i < GetCount(); ++i) {
        if (i) r += ',';
        std::string s = Get(i);
        bool quote = s.empty() && GetCount() == 1;
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
        if (!quote) {
            r += s;
            continue;
        }
        r += '"';
        for (char c : s) {
            if (c == '"') r += '"';
            r += c;
        }
        r += '"';
    }
    return r;
}

void TStrings::SetCommaText(std::string_view text) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    auto blanks = [&] {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    };
    blanks();
    while (i < text.size()) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            // Text after the closing quote up to the separator belongs to the item.
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
        } else {
            while (i < text.size() && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
        }
        Add(item);
        blanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            blanks();
            if (i >= text.size()) Add("");
        }
    }
    EndUpdate();
}

std::string TStrings::GetNames(int index) const {
    std::string line = Get(index);
    size_t p = line.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : line.substr(0, p);
}

std::string TStrings::GetValues(std::string_view name) const {
    int i = IndexOfName(name);
    return i < 0 ? std::string() : GetValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = std::string(name) + FNameValueSeparator + value;
    if (i < 0) Add(line);
    else Put(i, line);
}

std::string TStrings::GetValueFromIndex(int index) const {
    std::string line = Get(index);
    size_t p = line.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : line.substr(p + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (value.empty()) {
        Delete(index);
        return;
    }
    std::string line = Get(index);
    size_t p = line.find(FNameValueSeparator);
    std::string name = p == std::string::npos ? line : line.substr(0, p);
    Put(index, name + FNameValueSeparator + value);
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& path) const {
    TMemoryStream m;
    SaveToStream(m);
    m.SaveToFile(path);
}

void TStrings::LoadFromStream(TStream& stream) {
    std::int64_t size = stream.GetSize() - stream.GetPosition();
    std::string text(static_cast<size_t>(std::max<std::int64_t>(size, 0)), '\0');
    text.resize(static_cast<size_t>(stream.Read(text.data(), static_cast<std::int64_t>(text.size()))));
    std::string_view view(text);
    if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
    SetText(view);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string text = GetText();
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> r;
    r.reserve(GetCount());
    for (int i = 0; i < GetCount(); ++i) r.push_back(Get(i));
    return r;
}

// --- TStringList ------------------------------------------------------------------------

TStringList::TStringList(const TStringList& other) : TStrings() {
    FSorted = other.FSorted;
    FCaseSensitive = other.FCaseSensitive;
    FDuplicates = other.FDuplicates;
    SetNameValueSeparator(other.GetNameValueSeparator());
    FItems = other.FItems;  // objects are shared, never owned by the copy
}

TStringList& TStringList::operator=(const TStringList& other) {
    if (this != &other) Assign(other);
    return *this;
}

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (Item& it : FItems) delete it.object;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return FItems[index].text;
}

void TStringList::Put(int index, const std::string& s) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    FItems[index].text = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[index].object;
}

void TStringList::PutObject(int index, TObject* obj) {
    CheckIndex(index);
    Changing();
    FItems[index].object = obj;
    Changed();
}

void TStringList::InsertItem(int index, const std::string& s, TObject* obj) {
    Changing();
    FItems.insert(FItems.begin() + index, Item{s, obj});
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > GetCount()) Error("List index out of bounds (%d)", index);
    InsertItem(index, s, nullptr);
}

int TStringList::Add(const std::string& s) {
    if (!FSorted) {
        InsertItem(GetCount(), s, nullptr);
        return GetCount() - 1;
    }
    int index;
    if (Find(s, index)) {
        if (FDuplicates == TDuplicates::dupIgnore) return index;
        if (FDuplicates == TDuplicates::dupError) throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, s, nullptr);
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    TObject* obj = FItems[index].object;
    FItems.erase(FItems.begin() + index);
    if (FOwnsObjects) delete obj;
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(FItems);
    if (FOwnsObjects)
        for (Item& it : old) delete it.object;
    Changed();
}

void TStringList::Exchange(int a, int b) {
    CheckIndex(a);
    CheckIndex(b);
    Changing();
    std::swap(FItems[a], FItems[b]);
    Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
    return FCaseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(std::string_view s, int& index) const {
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(FItems[mid].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(std::string_view s) const {
    if (!FSorted) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Sort() {
    if (FItems.size() < 2) return;
    Changing();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text) < 0; });
    Changed();
}

void TStringList::QuickSort(int lo, int hi, const std::function<int(TStringList&, int, int)>& compare) {
    // The class library's in-place quick sort; the bounds checks keep a comparison that is
    // not a consistent order from running off the list.
    while (lo < hi) {
        int i = lo, j = hi, p = (lo + hi) / 2;
        do {
            while (i < hi && compare(*this, i, p) < 0) ++i;
            while (j > lo && compare(*this, j, p) > 0) --j;
            if (i <= j) {
                if (i != j) std::swap(FItems[i], FItems[j]);
                if (p == i) p = j;
                else if (p == j) p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j) QuickSort(lo, j, compare);
        lo = i;
    }
}

void TStringList::CustomSort(const std::function<int(TStringList& list, int a, int b)>& compare) {
    if (FSorted || FItems.size() < 2) return;
    Changing();
    QuickSort(0, GetCount() - 1, compare);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == FSorted) return;
    if (sorted) Sort();
    FSorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == FCaseSensitive) return;
    FCaseSensitive = caseSensitive;
    if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) Changing();
    else Changed();
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}
