#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/StdCtrls.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The memo's lines live in its document. An empty document holds no line, or one empty
// line when that is what was added (the document cannot tell the two apart).
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(QPlainTextEdit* e) : FEdit(e) {
        QObject::connect(e->document(), &QTextDocument::contentsChanged, e, [this] {
            if (!FInternal) FOneEmptyLine = false;
        });
    }

    int GetCount() const override {
        QTextDocument* d = FEdit->document();
        if (d->isEmpty()) return FOneEmptyLine ? 1 : 0;
        return d->blockCount();
    }
    std::string Get(int index) const override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        return FEdit->document()->findBlockByNumber(index).text().toStdString();
    }
    void Put(int index, const std::string& s) override {
        if (index < 0 || index >= GetCount()) Error("List index out of bounds (%d)", index);
        Guard g(this);
        FOneEmptyLine = s.empty() && FEdit->document()->isEmpty();
        QTextCursor c(FEdit->document()->findBlockByNumber(index));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(Q(s));
    }
    void Insert(int index, const std::string& s) override {
        int n = GetCount();
        if (index < 0 || index > n) Error("List index out of bounds (%d)", index);
        Guard g(this);
        if (n == 0) {
            SetSingle(s);
            return;
        }
        if (FEdit->document()->isEmpty()) FOneEmptyLine = false;  // "" plus one more line
        if (index == n) {
            Append(s);
            return;
        }
        QTextCursor c(FEdit->document()->findBlockByNumber(index));
        c.insertText(Q(s) + "\n");
    }
    int Add(const std::string& s) override {
        int n = GetCount();
        Guard g(this);
        if (n == 0) {
            SetSingle(s);
        } else {
            FOneEmptyLine = false;
            Append(s);
        }
        return n;
    }
    void Delete(int index) override {
        int n = GetCount();
        if (index < 0 || index >= n) Error("List index out of bounds (%d)", index);
        Guard g(this);
        if (n == 1) {
            FOneEmptyLine = false;
            FEdit->clear();
            return;
        }
        if (n == 2 && FEdit->document()->findBlockByNumber(1 - index).text().isEmpty()) {
            // What stays is one empty line.
            FEdit->clear();
            FOneEmptyLine = true;
            return;
        }
        QTextBlock b = FEdit->document()->findBlockByNumber(index);
        QTextCursor c(b);
        if (index == n - 1) {
            // The last line takes the line break before it.
            c.movePosition(QTextCursor::PreviousBlock);
            c.movePosition(QTextCursor::EndOfBlock);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        } else {
            c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
    }
    void Clear() override {
        Guard g(this);
        FOneEmptyLine = false;
        FEdit->clear();
    }
    std::string GetText() const override {
        if (GetCount() == 0) return {};
        return TStrings::GetText();
    }
    void SetText(std::string_view text) override {
        // Lines end with CR LF, LF or CR; the text after the last break is a line of its own.
        std::string t;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                t.push_back('\n');
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else {
                t.push_back(text[i]);
            }
        }
        Guard g(this);
        bool oneEmpty = !text.empty() && (t == "\n");
        if (!t.empty() && t.back() == '\n') t.pop_back();
        FEdit->setPlainText(Q(t));
        FOneEmptyLine = oneEmpty;
    }

private:
    struct Guard {
        explicit Guard(TMemoStrings* m) : m(m) { m->FInternal = true; }
        ~Guard() { m->FInternal = false; }
        TMemoStrings* m;
    };
    void SetSingle(const std::string& s) {
        FEdit->setPlainText(Q(s));
        FOneEmptyLine = s.empty();
    }
    void Append(const std::string& s) {
        QTextCursor c(FEdit->document());
        c.movePosition(QTextCursor::End);
        c.insertText("\n" + Q(s));
    }
    QPlainTextEdit* FEdit;
    bool FOneEmptyLine = false;
    bool FInternal = false;
};

QPlainTextEdit* Edit(const TMemo* m) { return static_cast<QPlainTextEdit*>(m->GetWidget()); }

}  // namespace

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner, new QPlainTextEdit) {
    QPlainTextEdit* e = Edit(this);
    FLines = std::make_unique<TMemoStrings>(e);
    SetColor(clWindow);
    SetTabStop(true);
    ApplyWidgetFont();
    SetBounds(0, 0, 185, 89);
    SetScrollBars(ssNone);
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this, e, alive = TControlGuard(this)] {
        if (!alive.Alive()) return;
        ui::TBusyWidget busy(e);
        ui::SafeCall([this] {
            if (OnChange && !IsLoading()) OnChange(this);
        });
    });
}

TMemo::~TMemo() { FDestroyingControl = true; }

std::string TMemo::GetText() const { return FLines->GetText(); }
void TMemo::SetText(const std::string& s) { FLines->SetText(s); }
bool TMemo::GetReadOnly() const { return Edit(this)->isReadOnly(); }
void TMemo::SetReadOnly(bool r) {
    QPlainTextEdit* e = Edit(this);
    e->setReadOnly(r);
    // A read-only memo still shows its caret when focused and moves it with the keys.
    if (r) e->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TMemo::SetScrollBars(TScrollStyle s) {
    FScrollBars = s;
    QPlainTextEdit* e = Edit(this);
    bool h = s == ssHorizontal || s == ssBoth, v = s == ssVertical || s == ssBoth;
    e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar means long lines are not wrapped.
    e->setLineWrapMode(FWordWrap && !h ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetWordWrap(bool w) {
    FWordWrap = w;
    SetScrollBars(FScrollBars);
}

void TMemo::Clear() { FLines->Clear(); }

void TMemo::ScrollToEnd() {
    QScrollBar* bar = Edit(this)->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void TMemo::FontChanged() {
    TWinControl::FontChanged();
    ApplyWidgetPalette();  // one font colour for the whole memo
}
