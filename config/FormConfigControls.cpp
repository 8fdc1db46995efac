#include "config/FormConfigControls.h"

#include "config/ConfigItems.h"

void AddWeekdayItems(TUiCheckGroup* group) {
    group->SetColumns(7);
    for (std::string_view day : kWeekDayItems) group->GetItems()->Add(std::string(day));
}

TWeekdays WeekdaysOf(const TUiCheckGroup* group) {
    TWeekdays days{};
    for (int d = 0; d < 7 && d < group->ItemCount(); ++d)
        days[static_cast<std::size_t>(d)] = group->GetItemChecked(d);
    return days;
}

void ShowWeekdays(TUiCheckGroup* group, const TWeekdays& days) {
    for (int d = 0; d < 7 && d < group->ItemCount(); ++d)
        group->SetItemChecked(d, days[static_cast<std::size_t>(d)]);
}
