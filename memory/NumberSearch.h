#pragma once
// Keyword search in the number grid: matching rows move to the top, in their old order,
// and their cells are highlighted until the search is cancelled, which puts every row back.
#include <cstdint>
#include <string>
#include <vector>

#include "memory/PhoneRecord.h"

class TNumberSearch {
public:
    // FindInTableKeyWord: cancels the previous search, then moves the rows (from 1) with a
    // cell (from column 1) containing the keyword to the top. Returns the number of matches.
    // The keyword is kept whole for the highlighting, however long it is.
    int Find(std::vector<TPhoneGridRow>& rows, const std::string& keyword);
    // N8Click: no highlighting; the rows go back to their order before the search. When the
    // grid has lost rows since, the order cannot be restored and the rows stay as they are.
    void Cancel(std::vector<TPhoneGridRow>& rows);
    // Unchecking N5: no highlighting; the order stays.
    void ClearKeyword() { FKeyword.clear(); }
    // The grid was rebuilt or reordered: the old order is gone, nothing to put back.
    void Forget() {
        FKeyword.clear();
        FMatches.clear();
    }

    // g_SearchKeyword: empty while no cell is highlighted.
    const std::string& GetKeyword() const { return FKeyword; }
    const std::vector<std::uint32_t>& GetMatches() const { return FMatches; }
    // The cell-drawing rule: a cell below the header and right of column 0 whose text holds
    // the keyword (case-sensitive) is painted light green.
    bool IsHighlighted(int column, int row, const std::string& cellText) const;

private:
    std::string FKeyword;
    std::vector<std::uint32_t> FMatches;
};

inline constexpr std::uint32_t kSearchHighlightColor = 0x84FF84;

// The search button's keyword: the number edit's text, or the name edit's when it is empty.
inline std::string SearchKeyword(const std::string& phone, const std::string& name) {
    return phone.empty() ? name : phone;
}
// The message after a grid search.
std::string SearchResultText(int count);
// Menu N5 names the count even when it is 0.
std::string SearchCountText(int count);

inline constexpr const char* kTextFillSearch = "Заполните поле поиска пользователя";
inline constexpr const char* kTextSearchQuestion = "Отправить запрос на устройство? Иначе поиск будет в таблице";
inline constexpr const char* kTextSearchQuestionTitle = "Уточните";
inline constexpr const char* kLogSearchRequest = "Запрос параметров номера";
inline constexpr const char* kTextSearchWait = "Выполняется запрос";
