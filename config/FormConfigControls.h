#pragma once
// Reading and setting the values the settings controls hold, one overload per kind of
// control, so that the mapping between controls and record does not care which kind of
// control shows a field.
#include <array>
#include <string>

#include "platform/ui/StdCtrls.h"
#include "widgets/UiRadGrp.h"

using TWeekdays = std::array<bool, 7>;  // 0 Monday .. 6 Sunday

inline int ItemIndexOf(const TComboBox* c) { return c->GetItemIndex(); }
// An index the list does not have shows no item (-1), as the form library does.
inline void ShowItemIndex(TComboBox* c, int index) { c->SetItemIndex(index); }

inline int ItemIndexOf(const TUiRadioGroup* g) { return g->GetItemIndex(); }
// The group clamps to its items; the values shown are -1 or an item it has.
inline void ShowItemIndex(TUiRadioGroup* g, int index) { g->SetItemIndex(index); }

inline bool CheckedOf(const TCheckBox* c) { return c->GetChecked(); }
inline void ShowChecked(TCheckBox* c, bool on) { c->SetChecked(on); }

inline std::string TextOf(const TEdit* e) { return e->GetText(); }
inline void ShowText(TEdit* e, const std::string& text) { e->SetText(text); }

// Weekday groups: a check group with the items "Пн." .. "Вс." in one row.
void AddWeekdayItems(TUiCheckGroup* group);
TWeekdays WeekdaysOf(const TUiCheckGroup* group);
void ShowWeekdays(TUiCheckGroup* group, const TWeekdays& days);
