#include "memory/NumberSearch.h"

int TNumberSearch::Find(std::vector<TPhoneGridRow>& rows, const std::string& keyword) {
    Cancel(rows);
    std::vector<TPhoneGridRow> matched, others;
    std::vector<std::uint32_t> matches;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        bool hit = false;
        for (int c = 1; c < kPhoneGridColumns && !hit; ++c)
            hit = rows[r][c].find(keyword) != std::string::npos;
        if (hit) {
            matches.push_back(static_cast<std::uint32_t>(r));
            matched.push_back(rows[r]);
        } else {
            others.push_back(rows[r]);
        }
    }
    if (matches.empty()) return 0;
    // Rows move whole, column 0 included, so each keeps its old number.
    std::size_t r = 1;
    for (auto& row : matched) rows[r++] = std::move(row);
    for (auto& row : others) rows[r++] = std::move(row);
    FKeyword = keyword;
    FMatches = std::move(matches);
    return static_cast<int>(FMatches.size());
}

void TNumberSearch::Cancel(std::vector<TPhoneGridRow>& rows) {
    FKeyword.clear();
    if (FMatches.empty()) return;
    const std::size_t count = FMatches.size();
    // The moved rows must all still be there to be put back.
    if (count < rows.size() && FMatches.back() < rows.size()) {
        const std::vector<TPhoneGridRow> now = rows;
        std::size_t k = 0;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            if (k < count && r == FMatches[k]) {
                rows[r] = now[1 + k];
                ++k;
            } else {
                rows[r] = now[count + r - k];
            }
        }
    }
    FMatches.clear();
}

bool TNumberSearch::IsHighlighted(int column, int row, const std::string& cellText) const {
    return !FKeyword.empty() && column > 0 && row > 0 && cellText.find(FKeyword) != std::string::npos;
}

std::string SearchResultText(int count) {
    return count != 0 ? SearchCountText(count) : "Совпадений не найдено!";
}

std::string SearchCountText(int count) { return "Найдено совпадений " + std::to_string(count); }
