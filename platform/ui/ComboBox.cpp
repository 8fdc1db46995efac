#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/StdCtrls.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The combo box's items live in the Qt widget; changing them from code raises no event.
class TComboStrings : public TStrings {
public:
    explicit TComboStrings(QComboBox* c) : FBox(c) {}
    int GetCount() const override { return FBox->count(); }
    std::string Get(int index) const override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        return FBox->itemText(index).toStdString();
    }
    void Put(int index, const std::string& s) override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        const QSignalBlocker block(FBox);
        FBox->setItemText(index, Q(s));
    }
    TObject* GetObject(int index) const override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        return reinterpret_cast<TObject*>(FBox->itemData(index).value<quintptr>());
    }
    void PutObject(int index, TObject* obj) override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        FBox->setItemData(index, QVariant::fromValue(reinterpret_cast<quintptr>(obj)));
    }
    void Insert(int index, const std::string& s) override {
        if (index < 0 || index > GetCount()) Error("List index out of bounds (%d)", index);
        const QSignalBlocker block(FBox);
        int keep = FBox->currentIndex();
        FBox->insertItem(index, Q(s));
        // Inserting never selects: an empty selection stays empty.
        if (keep < 0) FBox->setCurrentIndex(-1);
    }
    void Delete(int index) override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        const QSignalBlocker block(FBox);
        bool selected = FBox->currentIndex() == index;
        FBox->removeItem(index);
        if (selected) FBox->setCurrentIndex(-1);
    }
    void Clear() override {
        const QSignalBlocker block(FBox);
        FBox->clear();
        if (FBox->isEditable()) FBox->setEditText(QString());
    }

private:
    QComboBox* FBox;
};

QComboBox* Box(const TComboBox* c) { return static_cast<QComboBox*>(c->GetWidget()); }

}  // namespace

struct ComboSignals {
    static void Connect(TComboBox* c) {
        QComboBox* b = Box(c);
        QObject::connect(b, &QComboBox::activated, b, [c, b, alive = TControlGuard(c)](int) {
            if (!alive.Alive()) return;
            ui::TBusyWidget busy(b);
            ui::SafeCall([&] {
                c->Select();
                if (alive.Alive()) c->Change();  // OnSelect may have freed the box
            });
        });
    }
    static void ConnectEdit(TComboBox* c) {
        QComboBox* b = Box(c);
        if (QLineEdit* e = b->lineEdit())
            QObject::connect(e, &QLineEdit::textEdited, b, [c, b, alive = TControlGuard(c)](const QString&) {
                if (!alive.Alive()) return;
                ui::TBusyWidget busy(b);
                ui::SafeCall([c] { c->Change(); });
            });
    }
};

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, new QComboBox) {
    QComboBox* b = Box(this);
    FItems = std::make_unique<TComboStrings>(b);
    SetColor(clWindow);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 145, 21);
    b->setInsertPolicy(QComboBox::NoInsert);
    SetStyle(csDropDown);
    ComboSignals::Connect(this);
}

TComboBox::~TComboBox() { FDestroyingControl = true; }

int TComboBox::GetItemIndex() const { return Box(this)->currentIndex(); }

void TComboBox::SetItemIndex(int index) {
    QComboBox* b = Box(this);
    if (index < 0 || index >= b->count()) index = -1;
    const QSignalBlocker block(b);
    b->setCurrentIndex(index);
    if (index < 0 && b->isEditable()) b->setEditText(QString());
    ui::UpdateAccessibleTexts(this);
}

void TComboBox::SetStyle(TComboBoxStyle s) {
    FStyle = s;
    QComboBox* b = Box(this);
    const QSignalBlocker block(b);
    bool editable = s == csDropDown || s == csSimple;
    if (b->isEditable() != editable) {
        int keep = b->currentIndex();
        b->setEditable(editable);
        b->setCurrentIndex(keep);
        if (editable) {
            b->lineEdit()->setAlignment(Qt::AlignLeft);
            ComboSignals::ConnectEdit(this);
        }
    }
}

std::string TComboBox::GetText() const {
    QComboBox* b = Box(this);
    return (b->isEditable() ? b->currentText() : (b->currentIndex() >= 0 ? b->currentText() : QString())).toStdString();
}

void TComboBox::SetText(const std::string& s) {
    QComboBox* b = Box(this);
    const QSignalBlocker block(b);
    if (b->isEditable()) {
        int i = b->findText(Q(s), Qt::MatchFixedString);
        if (i >= 0 && b->itemText(i) == Q(s)) b->setCurrentIndex(i);
        else b->setCurrentIndex(-1);
        b->setEditText(Q(s));
    } else {
        // A list-only box can show only one of its items.
        b->setCurrentIndex(b->findText(Q(s), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
}

void TComboBox::SetDropDownCount(int n) {
    FDropDownCount = n;
    Box(this)->setMaxVisibleItems(std::max(1, n));
}

bool TComboBox::GetDroppedDown() const { return Box(this)->view() && Box(this)->view()->isVisible(); }

void TComboBox::Clear() {
    FItems->Clear();
    SetItemIndex(-1);
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::Select() {
    if (OnSelect) OnSelect(this);
}
