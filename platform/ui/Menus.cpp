#include "platform/ui/Menus.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <map>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/Dialogs.h"

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Clear();
    if (FParentItem) FParentItem->Remove(this);
}

void TMenuItem::SetChecked(bool c) {
    if (c == FChecked) return;
    FChecked = c;
    if (c && FRadioItem && FParentItem)
        for (TMenuItem* o : FParentItem->FItems)
            if (o != this && o->FRadioItem && o->FGroupIndex == FGroupIndex) o->FChecked = false;
}

void TMenuItem::Add(TMenuItem* item) { Insert(GetCount(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item->FParentItem == this) return;
    if (item->FParentItem) item->FParentItem->Remove(item);
    index = std::clamp(index, 0, GetCount());
    FItems.insert(FItems.begin() + index, item);
    item->FParentItem = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParentItem = nullptr;
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = FItems.at(index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (!FItems.empty()) Delete(GetCount() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
    if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() { delete FItems; }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

namespace {
void Build(QMenu* menu, TMenuItem* parent, std::map<QAction*, TMenuItem*>& map) {
    for (int i = 0; i < parent->GetCount(); ++i) {
        TMenuItem* item = parent->GetItem(i);
        if (!item->GetVisible()) continue;
        if (item->IsLine()) {
            menu->addSeparator();
            continue;
        }
        QString text = QString::fromStdString(item->GetCaption());
        if (item->GetCount() > 0) {
            QMenu* sub = menu->addMenu(text);
            sub->setEnabled(item->GetEnabled());
            Build(sub, item, map);
            continue;
        }
        QAction* a = menu->addAction(text);
        a->setEnabled(item->GetEnabled());
        a->setCheckable(item->GetChecked() || item->GetAutoCheck());
        a->setChecked(item->GetChecked());
        map[a] = item;
    }
}
}  // namespace

void TPopupMenu::Popup(int x, int y) {
    ui::SafeCall([&] {
        if (OnPopup) OnPopup(this);
    });
    if (ui::test::IsScripted()) {
        int choice = ui::test::RecordPopup(this, x, y);
        if (choice >= 0 && choice < FItems->GetCount()) {
            TMenuItem* item = FItems->GetItem(choice);
            ui::SafeCall([item] { item->Click(); });
        }
        return;
    }
    QMenu menu;
    std::map<QAction*, TMenuItem*> map;
    Build(&menu, FItems, map);
    QAction* chosen = menu.exec(QPoint(x, y));
    if (!chosen) return;
    auto it = map.find(chosen);
    if (it != map.end()) {
        TMenuItem* item = it->second;
        ui::SafeCall([item] { item->Click(); });
    }
}
