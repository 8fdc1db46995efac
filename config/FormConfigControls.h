#pragma once
// Reading and setting the values the settings controls hold, one overload per kind of
// control, so that the mapping between controls and record does not care which kind of
// control shows a field.
#include <array>
#include <string>
#include <string_view>

#include "platform/ui/StdCtrls.h"
#include "widgets/UiPanel.h"

class TComponent;

using TWeekdays = std::array<bool, 7>;  // 0 Monday .. 6 Sunday

inline int ItemIndexOf(const TComboBox* c) { return c->GetItemIndex(); }
// An index the list does not have shows no item (-1), as the form library does.
inline void ShowItemIndex(TComboBox* c, int index) { c->SetItemIndex(index); }

inline bool CheckedOf(const TCheckBox* c) { return c->GetChecked(); }
inline void ShowChecked(TCheckBox* c, bool on) { c->SetChecked(on); }

inline std::string TextOf(const TEdit* e) { return e->GetText(); }
inline void ShowText(TEdit* e, const std::string& text) { e->SetText(text); }

// Weekday groups: a group box with the seven day check boxes "Пн." .. "Вс.", in order.
void AddWeekdayItems(TComponent* owner, TUiGroupBox* group, int left, int top, int step);
TWeekdays WeekdaysOf(const TUiGroupBox* group);
void ShowWeekdays(TUiGroupBox* group, const TWeekdays& days);
// The check box of day d (0 Monday .. 6 Sunday), or nullptr.
TCheckBox* WeekdayItem(const TUiGroupBox* group, int d);
