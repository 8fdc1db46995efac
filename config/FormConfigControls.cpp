#include "config/FormConfigControls.h"

#include "config/ConfigItems.h"

// Day items carry their day + 1 in Tag, so that they are found whatever else the group holds.
void AddWeekdayItems(TComponent* owner, TUiGroupBox* group, int left, int top, int step) {
    for (int d = 0; d < 7; ++d) {
        auto* item = new TCheckBox(owner);
        item->SetParent(group);
        item->SetName(group->GetName() + "Day" + std::to_string(d + 1));
        item->SetCaption(std::string(kWeekDayItems[static_cast<std::size_t>(d)]));
        item->SetBounds(left + d * step, top, step - 4, 20);
        item->SetTag(d + 1);
    }
}

TCheckBox* WeekdayItem(const TUiGroupBox* group, int d) {
    for (int i = 0; i < group->GetControlCount(); ++i) {
        auto* item = dynamic_cast<TCheckBox*>(group->GetControl(i));
        if (item != nullptr && item->GetTag() == d + 1) return item;
    }
    return nullptr;
}

TWeekdays WeekdaysOf(const TUiGroupBox* group) {
    TWeekdays days{};
    for (int d = 0; d < 7; ++d) {
        const TCheckBox* item = WeekdayItem(group, d);
        days[static_cast<std::size_t>(d)] = item != nullptr && item->GetChecked();
    }
    return days;
}

void ShowWeekdays(TUiGroupBox* group, const TWeekdays& days) {
    for (int d = 0; d < 7; ++d)
        if (TCheckBox* item = WeekdayItem(group, d)) item->SetChecked(days[static_cast<std::size_t>(d)]);
}
