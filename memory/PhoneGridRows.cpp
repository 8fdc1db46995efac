#include "memory/PhoneGridRows.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

std::uint32_t* TPhoneGridRowsBuilder::Slot(const std::string& number) {
    const std::size_t mask = FIndex.size() - 1;
    for (std::size_t i = std::hash<std::string>{}(number) & mask;; i = (i + 1) & mask) {
        std::uint32_t& slot = FIndex[i];
        if (slot == 0 || FNumbers[slot - 1] == number) return &slot;
    }
}

void TPhoneGridRowsBuilder::Add(const PhoneRecord& record) {
    ++FAdded;
    TPhoneGridRow row;
    PhoneRecordToRow(record, row);
    if (row[colNumber].empty()) return;
    if ((FNumbers.size() + 1) * 2 > FIndex.size()) {  // at most half full
        FIndex.assign(std::max<std::size_t>(64, FIndex.size() * 2), 0);
        for (std::size_t r = 0; r < FNumbers.size(); ++r) *Slot(FNumbers[r]) = static_cast<std::uint32_t>(r + 1);
    }
    std::uint32_t* slot = Slot(row[colNumber]);
    if (*slot != 0) {
        // A later record of a number already shown: its texts, in that number's row.
        std::vector<std::string>& shown = FRows[*slot - 1];
        for (int c = colNumber; c <= colCodeType; ++c) shown[c] = std::move(row[c]);
        return;
    }
    FNumbers.push_back(row[colNumber]);
    *slot = static_cast<std::uint32_t>(FNumbers.size());
    row[colRowNumber] = std::to_string(FNumbers.size());
    FRows.emplace_back(std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
}

void TPhoneGridRowsBuilder::Clear() {
    FAdded = 0;
    FRows.clear();
    FNumbers.clear();
    FIndex.clear();
}

TGridRows TPhoneGridRowsBuilder::Take() {
    TGridRows rows = std::exchange(FRows, {});
    const bool any = FAdded != 0;
    Clear();
    if (!any) return {};
    rows.emplace_back(kPhoneGridColumns);
    return rows;
}

TGridRows PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records) {
    TPhoneGridRowsBuilder builder;
    for (const PhoneRecord& r : records) builder.Add(r);
    return builder.Take();
}
