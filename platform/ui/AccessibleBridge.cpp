// The accessibility bridge: what screen readers and AT-SPI drivers see of the controls that
// paint themselves. Each answer is asked of the control at the moment of asking, so it is
// always the control's own state, and every action runs the control's own code, as a click
// or a key would.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <algorithm>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/LogView.h"
#include "platform/ui/Menus.h"

namespace ui {

namespace {

QAccessible::Role QtRole(TAccessibleRole r) {
    switch (r) {
        case TAccessibleRole::Client: return QAccessible::Client;
        case TAccessibleRole::Window: return QAccessible::Window;
        case TAccessibleRole::Pane: return QAccessible::Pane;
        case TAccessibleRole::Grouping: return QAccessible::Grouping;
        case TAccessibleRole::PushButton: return QAccessible::Button;
        case TAccessibleRole::CheckBox: return QAccessible::CheckBox;
        case TAccessibleRole::RadioButton: return QAccessible::RadioButton;
        case TAccessibleRole::PageTab: return QAccessible::PageTab;
        case TAccessibleRole::PageTabList: return QAccessible::PageTabList;
        case TAccessibleRole::ProgressBar: return QAccessible::ProgressBar;
        case TAccessibleRole::StaticText: return QAccessible::StaticText;
        case TAccessibleRole::Graphic: return QAccessible::Graphic;
        case TAccessibleRole::Table: return QAccessible::Table;
        case TAccessibleRole::Cell: return QAccessible::Cell;
        case TAccessibleRole::Indicator: return QAccessible::Indicator;
    }
    return QAccessible::Client;
}

QString ActionName(TAccessibleAction a) {
    switch (a) {
        case TAccessibleAction::Press: return QAccessibleActionInterface::pressAction();
        case TAccessibleAction::Toggle: return QAccessibleActionInterface::toggleAction();
        case TAccessibleAction::None: break;
    }
    return {};
}

// Runs a query of accessibility (a screen reader asks often): an exception from the control's
// code reads as nothing to report and shows no message.
template <class F>
void Quietly(F&& fn) {
    try {
        fn();
    } catch (...) {
    }
}

TAccessibleInfo InfoOf(const TControl* c) {
    TAccessibleInfo info;
    Quietly([&] { info = c->GetAccessibleInfo(); });
    return info;
}

TAccessibleTable TableOf(const TControl* c) {
    TAccessibleTable table;
    Quietly([&] { table = c->GetAccessibleTable(); });
    if (table.Columns < 0) table.Columns = 0;
    return table;
}

int ItemCount(const TControl* c) {
    int n = 0;
    Quietly([&] { n = std::max(0, c->GetAccessibleItemCount()); });
    return n;
}

void AddInfoState(QAccessible::State& s, const TAccessibleInfo& info) {
    s.checkable = info.Checkable;
    s.checked = info.Checked;
    s.disabled = !info.Enabled;
    if (info.Role == TAccessibleRole::PageTab || info.Role == TAccessibleRole::Cell) {
        s.selectable = true;
        s.selected = info.Selected;
    }
}

class TControlAccessible;

// One part of a composite control (a grid cell, a tab): no widget of its own; it asks the
// control for its text and place each time, so it stays right when the control changes.
class TItemAccessible : public QAccessibleInterface,
                        public QAccessibleActionInterface,
                        public QAccessibleTableCellInterface {
public:
    TItemAccessible(TControlAccessible* owner, int index) : FOwner(owner), FIndex(index) {}

    TControl* Control() const;
    bool isValid() const override {
        TControl* c = Control();
        return c && FIndex < ItemCount(c);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        TAccessibleInfo info = Info();
        if (t == QAccessible::Name) return QString::fromStdString(info.Name);
        if (t == QAccessible::Value) return QString::fromStdString(info.Value);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        TControl* c = Control();
        if (!isValid() || !c->GetWidget()) return {};
        TRect r;
        Quietly([&] { r = c->GetAccessibleItemRect(FIndex); });
        if (r.IsEmpty()) return {};
        QPoint g = c->GetWidget()->mapToGlobal(QPoint(r.Left, r.Top));
        return QRect(g, QSize(r.Width(), r.Height()));
    }
    QAccessible::Role role() const override { return isValid() ? QtRole(Info().Role) : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        AddInfoState(s, Info());
        s.invisible = rect().isEmpty();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        if (t == QAccessible::TableCellInterface && Columns() > 0)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // Actions: the part's own (a tab's press), run by the control.
    QStringList actionNames() const override {
        if (!isValid()) return {};
        TAccessibleInfo info = Info();
        QString name = ActionName(info.Action);
        if (name.isEmpty() || !info.Enabled) return {};
        return {name};
    }
    void doAction(const QString& name) override {
        if (name.isEmpty() || !actionNames().contains(name)) return;
        TControl* c = Control();
        int index = FIndex;
        SafeCall([c, index] { c->AccessibleItemPress(index); });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // A cell of a table: its place, and the header cells above and before it.
    bool isSelected() const override { return isValid() && Info().Selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return Columns() > 0 ? FIndex % Columns() : -1; }
    int rowIndex() const override { return Columns() > 0 ? FIndex / Columns() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

    int Index() const { return FIndex; }

private:
    TAccessibleInfo Info() const {
        TAccessibleInfo info;
        if (TControl* c = Control()) Quietly([&] { info = c->GetAccessibleItem(FIndex); });
        return info;
    }
    int Columns() const {
        TControl* c = Control();
        return c ? TableOf(c).Columns : 0;
    }
    TControlAccessible* FOwner;
    int FIndex;
};

// Custom-painted controls speak through their GetAccessibleInfo and AccessiblePress; a
// composite one adds its parts after its child widgets, a table offers them by row and
// column, and a control with a level offers its range.
class TControlAccessible : public QAccessibleWidget,
                           public QAccessibleValueInterface,
                           public QAccessibleTableInterface {
public:
    explicit TControlAccessible(QWidget* w) : QAccessibleWidget(w) {}
    ~TControlAccessible() override {
        for (QAccessible::Id id : std::as_const(FItems)) QAccessible::deleteAccessibleInterface(id);
    }

    TControl* Control() const { return ControlOf(object()); }

    // The part with that index, made once and kept.
    QAccessibleInterface* Item(int item) const {
        TControl* c = Control();
        if (!c || item < 0 || item >= ItemCount(c)) return nullptr;
        auto it = FItems.find(item);
        if (it != FItems.end()) return QAccessible::accessibleInterface(*it);
        auto* iface = new TItemAccessible(const_cast<TControlAccessible*>(this), item);
        FItems.insert(item, QAccessible::registerAccessibleInterface(iface));
        return iface;
    }

    int childCount() const override {
        TControl* c = Control();
        return QAccessibleWidget::childCount() + (c ? ItemCount(c) : 0);
    }
    QAccessibleInterface* child(int index) const override {
        int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        return Item(index - widgets);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = FItems.begin(); it != FItems.end(); ++it)
            if (QAccessible::accessibleInterface(*it) == child) {
                const auto* item = static_cast<const TItemAccessible*>(child);
                return item->isValid() ? QAccessibleWidget::childCount() + item->Index() : -1;
            }
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessible::Role role() const override {
        TControl* c = Control();
        return c ? QtRole(InfoOf(c).Role) : QAccessibleWidget::role();
    }
    QString text(QAccessible::Text t) const override {
        TControl* c = Control();
        if (!c) return QAccessibleWidget::text(t);
        switch (t) {
            case QAccessible::Name: return QString::fromStdString(InfoOf(c).Name);
            case QAccessible::Description: return QString::fromStdString(c->GetName());
            case QAccessible::Value: return QString::fromStdString(InfoOf(c).Value);
            default: return QAccessibleWidget::text(t);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (TControl* c = Control()) AddInfoState(s, InfoOf(c));
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        TControl* c = Control();
        if (c && t == QAccessible::ValueInterface && InfoOf(c).Ranged)
            return static_cast<QAccessibleValueInterface*>(this);
        if (c && t == QAccessible::TableInterface && TableOf(c).Columns > 0)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Actions: the control's own first (press or toggle), then its pop-up menu, then focus.
    QStringList actionNames() const override {
        QStringList names;
        if (TControl* c = Control()) {
            TAccessibleInfo info = InfoOf(c);
            QString own = ActionName(info.Action);
            if (!own.isEmpty() && info.Enabled) names << own;
            if (c->GetPopupMenu()) names << showMenuAction();
        }
        for (const QString& n : QAccessibleWidget::actionNames())
            if (!names.contains(n)) names << n;
        return names;
    }
    void doAction(const QString& name) override {
        TControl* c = Control();
        if (!c || !actionNames().contains(name)) return;
        if (name == ActionName(InfoOf(c).Action)) {
            SafeCall([c] { c->AccessiblePress(); });
        } else if (name == showMenuAction()) {
            ShowPopupMenu(c);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

    // A level: read only.
    QVariant currentValue() const override { return Level().Current; }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return Level().Maximum; }
    QVariant minimumValue() const override { return Level().Minimum; }
    QVariant minimumStepSize() const override { return 0; }

    // A table: its parts by row and column; the selection is the control's selected cells.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        int columns = Columns();
        if (columns <= 0 || column < 0 || column >= columns || row < 0 || row >= rowCount()) return nullptr;
        return Item(row * columns + column);
    }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        TAccessibleTable t = Table();
        for (int r = t.Selection.Top; t.Columns > 0 && r < t.Selection.Bottom; ++r)
            for (int c = t.Selection.Left; c < t.Selection.Right; ++c)
                if (QAccessibleInterface* cell = cellAt(r, c)) cells << cell;
        return cells;
    }
    QString columnDescription(int column) const override { return HeaderText(0, column, Table().HeaderRows); }
    QString rowDescription(int row) const override { return HeaderText(row, 0, Table().HeaderColumns); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return Columns(); }
    int rowCount() const override {
        TControl* c = Control();
        int columns = Columns();
        return c && columns > 0 ? ItemCount(c) / columns : 0;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    TAccessibleTable Table() const {
        TControl* c = Control();
        return c ? TableOf(c) : TAccessibleTable{};
    }

private:
    int Columns() const { return Table().Columns; }
    TAccessibleInfo Level() const {
        TControl* c = Control();
        return c ? InfoOf(c) : TAccessibleInfo{};
    }
    // The text of the header cell (row, column) when there is such a header.
    QString HeaderText(int row, int column, int headers) const {
        if (headers <= 0) return {};
        QAccessibleInterface* cell = cellAt(row, column);
        return cell ? cell->text(QAccessible::Name) : QString();
    }
    // The pop-up menu, as the context-menu key would show it: at the control's centre.
    static void ShowPopupMenu(TControl* c) {
        TPopupMenu* menu = c->GetPopupMenu();
        TPoint at = c->ClientToScreen(TPoint(c->GetWidth() / 2, c->GetHeight() / 2));
        menu->SetPopupComponent(c);
        SafeCall([&] { menu->Popup(at.x, at.y); });
    }

    mutable QHash<int, QAccessible::Id> FItems;  // parts asked for so far
};

TControl* TItemAccessible::Control() const { return FOwner->Control(); }
QWindow* TItemAccessible::window() const { return FOwner->window(); }
QAccessibleInterface* TItemAccessible::parent() const { return FOwner; }
QAccessibleInterface* TItemAccessible::table() const { return FOwner; }

QList<QAccessibleInterface*> TItemAccessible::columnHeaderCells() const {
    QList<QAccessibleInterface*> cells;
    TAccessibleTable t = FOwner->Table();
    if (t.Columns <= 0 || rowIndex() < t.HeaderRows) return cells;
    for (int r = 0; r < t.HeaderRows; ++r)
        if (QAccessibleInterface* cell = FOwner->cellAt(r, columnIndex())) cells << cell;
    return cells;
}

QList<QAccessibleInterface*> TItemAccessible::rowHeaderCells() const {
    QList<QAccessibleInterface*> cells;
    TAccessibleTable t = FOwner->Table();
    if (t.Columns <= 0 || columnIndex() < t.HeaderColumns) return cells;
    for (int c = 0; c < t.HeaderColumns; ++c)
        if (QAccessibleInterface* cell = FOwner->cellAt(rowIndex(), c)) cells << cell;
    return cells;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* w = dynamic_cast<TControlWidget*>(object)) return new TControlAccessible(w);
    return AccessibleLogView(object);
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

void UpdateAccessibleTexts(TControl* control) {
    QWidget* w = control ? control->GetWidget() : nullptr;
    if (!w) return;
    w->setAccessibleDescription(QString::fromStdString(control->GetName()));
    std::string text = control->GetText();
    if (!text.empty()) w->setAccessibleName(QString::fromStdString(text));
}

}  // namespace ui
