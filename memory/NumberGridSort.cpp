#include "memory/NumberGridSort.h"

#include <algorithm>
#include <charconv>

#include "platform/rtl/SysUtils.h"

namespace {

bool AsNumber(const std::string& s, long long& v) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

bool Less(const std::string& a, const std::string& b, bool numeric) {
    long long x = 0, y = 0;
    if (numeric && AsNumber(a, x) && AsNumber(b, y)) return x < y;
    return AnsiCompareText(a, b) < 0;
}

}  // namespace

void SortGridRows(TGridRows& rows, int fixedRows, int column, bool numeric) {
    const std::size_t first = static_cast<std::size_t>(std::max(fixedRows, 0));
    if (rows.size() <= first) return;
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    auto cell = [](const std::vector<std::string>& row, int c) -> const std::string& {
        static const std::string empty;
        return c >= 0 && static_cast<std::size_t>(c) < row.size() ? row[c] : empty;
    };
    TGridRows filled;
    for (std::size_t r = first; r < rows.size(); ++r)
        if (!cell(rows[r], 1).empty()) filled.push_back(rows[r]);
    std::stable_sort(filled.begin(), filled.end(), [&](const auto& a, const auto& b) {
        return Less(cell(a, column), cell(b, column), numeric);
    });
    std::size_t r = first;
    for (auto& row : filled) {
        row.resize(width);
        row[0] = std::to_string(r);
        rows[r++] = std::move(row);
    }
    for (; r < rows.size(); ++r) rows[r].assign(width, std::string());
}
