// The log view to a screen reader: a read-only multi-line text read through the text
// interface, a line, a word or a character at a time. Each answer lays out only the line it
// is about, so a reader's steps cost the same however long the log has grown; the text is
// not offered whole as the value.
#include <QAccessibleWidget>
#include <algorithm>

#include "platform/ui/LogView.h"

namespace ui {

namespace {

class TLogViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TLogViewAccessible(TLogView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? QString() : QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The selection is the view's own, one at most.
    void selection(int index, int* start, int* end) const override {
        const TLogView::TPos from = std::min(View()->Caret(), View()->Anchor());
        const TLogView::TPos to = std::max(View()->Caret(), View()->Anchor());
        *start = *end = 0;
        if (index != 0 || from == to) return;
        *start = View()->Offset(from);
        *end = View()->Offset(to);
    }
    int selectionCount() const override { return View()->Caret() != View()->Anchor(); }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) View()->Select(View()->Caret(), View()->Caret());
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) View()->Select(View()->PosOf(start), View()->PosOf(end));
    }
    int cursorPosition() const override { return View()->Offset(View()->Caret()); }
    void setCursorPosition(int position) override { View()->Select(View()->PosOf(position), View()->PosOf(position)); }

    int characterCount() const override { return View()->Length(); }
    QString text(int start, int end) const override {
        if (end < 0) end = View()->Length();
        return start < end ? View()->TextBetween(View()->PosOf(start), View()->PosOf(end)) : QString();
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        return Piece(offset, type, 0, start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        return Piece(offset, type, -1, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        return Piece(offset, type, 1, start, end);
    }

    // Only the lines in view have a place on the screen.
    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= View()->Length()) return {};
        const QRect r = View()->CharRect(View()->PosOf(offset));
        return r.isEmpty() ? QRect() : QRect(View()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint p = View()->viewport()->mapFromGlobal(point);
        return View()->viewport()->rect().contains(p) ? View()->Offset(View()->PosAt(p)) : -1;
    }
    void scrollToSubstring(int start, int) override { View()->EnsureVisible(View()->PosOf(start)); }
    // One font and colour for the whole text.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = View()->Length();
        return {};
    }

private:
    TLogView* View() const { return static_cast<TLogView*>(widget()); }

    // The piece of the given kind at the offset (step 0), or the one before or after it; the
    // whole text for no boundary. Offsets out of the text read as its end.
    QString Piece(int offset, QAccessible::TextBoundaryType type, int step, int* start, int* end) const {
        const TLogView* view = View();
        const int length = view->Length();
        if (offset < 0 || offset > length) offset = length;
        *start = *end = offset;
        if (type == QAccessible::NoBoundary) {
            if (step != 0) return {};
            *start = 0;
            *end = length;
            return text(0, length);
        }
        const TLogView::TPos at = view->PosOf(offset);
        std::size_t line = at.Line;
        std::vector<TLogView::TSpan> pieces = view->Pieces(line, type);
        // The piece that holds the place; for a word, a sentence or a row, the last one begun
        // at or before it (a blank reads as the word it follows).
        const int column = at.Column;
        const auto holds = std::find_if(pieces.rbegin(), pieces.rend(), [&](const TLogView::TSpan& p) {
            return p.first <= column && (type != QAccessible::CharBoundary || column < p.second);
        });
        // Else the one before is the last that ends before the place, the one after the first
        // that begins after it.
        std::ptrdiff_t k;
        if (holds != pieces.rend()) k = pieces.rend() - holds - 1 + step;
        else if (step == 0) return {};
        else if (step < 0) k = std::count_if(pieces.begin(), pieces.end(), [&](auto& p) { return p.second <= column; }) - 1;
        else k = std::count_if(pieces.begin(), pieces.end(), [&](auto& p) { return p.first < column; });
        // Pieces before or after the line are found in the lines next to it.
        while (k < 0 || k >= std::ptrdiff_t(pieces.size())) {
            if (k < 0 ? line == 0 : line + 1 >= view->Lines().Count()) return {};
            line = k < 0 ? line - 1 : line + 1;
            pieces = view->Pieces(line, type);
            k = k < 0 ? std::ptrdiff_t(pieces.size()) - 1 : 0;
        }
        const auto [from, to] = pieces[std::size_t(k)];
        const QString s = view->Text(line);
        *start = view->Offset({line, from});
        *end = *start + (to - from);
        return to > s.size() ? s.mid(from) + '\n' : s.mid(from, to - from);
    }
};

}  // namespace

QAccessibleInterface* AccessibleLogView(QObject* object) {
    auto* view = dynamic_cast<TLogView*>(object);
    return view ? new TLogViewAccessible(view) : nullptr;
}

}  // namespace ui
