#include "widgets/UiIntLst.h"

#include <utility>

namespace {
std::string IndexError(int index) {
    return "List index out of bounds (" + std::to_string(index) + ")";
}
}  // namespace

void TUiIntegerList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EListError(IndexError(index));
}

void TUiIntegerList::CheckRange(int value) const {
    if (FMin != FMax && (value < FMin || value > FMax))
        throw EOutOfRange("Value must be within " + std::to_string(FMin) + ".." +
                          std::to_string(FMax));
}

int TUiIntegerList::Get(int index) const {
    CheckIndex(index);
    return *FItems[size_t(index)];
}

void TUiIntegerList::Put(int index, int value) {
    CheckRange(value);
    CheckIndex(index);
    *FItems[size_t(index)] = value;
}

bool TUiIntegerList::Find(int value, int& index) const {
    bool found = false;
    int low = 0, high = Count() - 1;
    while (low <= high) {
        int mid = (low + high) >> 1;
        int item = *FItems[size_t(mid)];
        if (item < value) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (item == value) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept) low = mid;
            }
        }
    }
    index = low;
    return found;
}

int TUiIntegerList::Add(int value) {
    int index;
    if (FSorted) {
        if (Find(value, index)) {
            if (FDuplicates == TDuplicates::dupIgnore) return index;
            if (FDuplicates == TDuplicates::dupError) throw EListError("Duplicates not allowed");
        }
    } else {
        index = Count();
    }
    InsertItem(index, value);
    return index;
}

void TUiIntegerList::AddIntegers(const TUiIntegerList& list) {
    for (int v : list.Values()) Add(v);
}

void TUiIntegerList::Assign(const TObject* source) {
    if (auto* other = dynamic_cast<const TUiIntegerList*>(source)) {
        if (other == this) return;
        Clear();
        AddIntegers(*other);
        return;
    }
    throw EConvertError("Cannot assign to a TUiIntegerList");
}

void TUiIntegerList::Clear() { FItems.clear(); }

void TUiIntegerList::Delete(int index) {
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TUiIntegerList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

int TUiIntegerList::IndexOf(int value) const {
    if (FSorted) {
        int index;
        return Find(value, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (*FItems[size_t(i)] == value) return i;
    return -1;
}

void TUiIntegerList::Insert(int index, int value) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count()) throw EListError(IndexError(index));
    InsertItem(index, value);
}

void TUiIntegerList::InsertItem(int index, int value) {
    CheckRange(value);
    // The ignore rule holds in an unsorted list too.
    if (FDuplicates == TDuplicates::dupIgnore && IndexOf(value) >= 0) return;
    if (index < 0 || index > Count()) throw EListError(IndexError(index));
    FItems.insert(FItems.begin() + index, std::make_unique<std::int32_t>(value));
}

void TUiIntegerList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    auto cell = std::move(FItems[size_t(curIndex)]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(cell));
}

void TUiIntegerList::Sort() {
    if (!FSorted && Count() > 1) QuickSort(0, Count() - 1);
}

void TUiIntegerList::QuickSort(int left, int right) {
    int i = left, j = right;
    int pivot = *FItems[size_t((left + right) >> 1)];
    while (i <= j) {
        while (*FItems[size_t(i)] < pivot) ++i;
        while (*FItems[size_t(j)] > pivot) --j;
        if (i <= j) {
            std::swap(FItems[size_t(i)], FItems[size_t(j)]);
            ++i, --j;
        }
    }
    if (left < j) QuickSort(left, j);
    if (i < right) QuickSort(i, right);
}

bool TUiIntegerList::Equals(const TUiIntegerList& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (*FItems[size_t(i)] != *other.FItems[size_t(i)]) return false;
    return true;
}

std::vector<int> TUiIntegerList::Values() const {
    std::vector<int> v;
    v.reserve(FItems.size());
    for (const auto& cell : FItems) v.push_back(*cell);
    return v;
}

void TUiIntegerList::DefineProperties(TUiFiler& filer) {
    filer.DefineInteger("Min", [this](int v) { FMin = v; }, [this] { return FMin; }, FMin != 0);
    filer.DefineInteger("Max", [this](int v) { FMax = v; }, [this] { return FMax; }, FMax != 0);
    bool hasData;
    if (filer.Ancestor) {
        auto* ancestor = dynamic_cast<const TUiIntegerList*>(filer.Ancestor);
        hasData = !ancestor || !Equals(*ancestor);
    } else {
        hasData = Count() > 0;
    }
    filer.DefineIntegerList(
        "Integers",
        [this](const std::vector<int>& values) {
            Clear();
            for (int v : values) Add(v);
        },
        [this] { return Values(); }, hasData);
}
