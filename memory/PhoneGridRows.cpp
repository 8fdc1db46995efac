#include "memory/PhoneGridRows.h"

#include <algorithm>
#include <numeric>
#include <utility>

void TPhoneGridRowsBuilder::Add(const PhoneRecord& record) {
    TPhoneGridRow row;
    PhoneRecordToRow(record, row);
    FNumbers.push_back(row[colNumber]);
    FRows.emplace_back(std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
}

TGridRows TPhoneGridRowsBuilder::Take() {
    TGridRows added = std::exchange(FRows, {});
    const std::vector<std::string> numbers = std::exchange(FNumbers, {});
    if (added.empty()) return {};
    const std::size_t n = added.size();
    const auto number = [&](std::uint32_t i) -> const std::string& { return numbers[i]; };
    // Records of one number lie side by side once sorted (no search per record): the first
    // of each run places the row, the last gives its texts.
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return number(a) < number(b); });
    std::vector<std::uint32_t> lastOf(n, 0);  // set for the first record of each number
    std::vector<bool> placesRow(n, false);
    for (std::size_t k = 0; k < n;) {
        std::size_t end = k + 1;
        while (end < n && number(order[end]) == number(order[k])) ++end;
        if (!number(order[k]).empty()) {
            placesRow[order[k]] = true;
            lastOf[order[k]] = order[end - 1];
        }
        k = end;
    }
    TGridRows rows;
    rows.reserve(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        if (!placesRow[i]) continue;
        rows.push_back(std::move(added[lastOf[i]]));
        rows.back()[colRowNumber] = std::to_string(rows.size());
    }
    rows.emplace_back(kPhoneGridColumns);
    return rows;
}

TGridRows PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records) {
    TPhoneGridRowsBuilder builder;
    for (const PhoneRecord& r : records) builder.Add(r);
    return builder.Take();
}
