#pragma once
// Internal: the widget of a read-only memo whose lines only grow (an action log). It keeps
// them in one text buffer and lays out only the lines in view, so that a line costs its text
// and a few bytes; a text document would keep some 1 KB a line. It shows and scrolls as a
// plain-text edit does: lines wrapped at its width with the same margins, a row a scroll
// step, the caret and a selection that the keys and the mouse move, Copy and Select All.
// To a screen reader it is a read-only text that it reads by line, word and character.
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QBasicTimer>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/LineStore.h"
#include "platform/ui/RowIndex.h"

class QAccessibleInterface;
class QTextLayout;

namespace ui {

class TLogView : public QAbstractScrollArea {
public:
    // A place in the text: a line and a character (UTF-16 unit) of it.
    struct TPos {
        std::size_t Line = 0;
        int Column = 0;
        auto operator<=>(const TPos&) const = default;
    };
    using TSpan = std::pair<int, int>;  // columns [first, second) of a line

    TLogView();

    const TLineStore& Lines() const { return FLines; }
    void InsertLine(std::size_t i, std::string_view s);
    void ReplaceLine(std::size_t i, std::string_view s);
    void EraseLine(std::size_t i);
    void ClearLines();
    void ScrollToEnd();

    // The text as a screen reader counts it: characters (UTF-16 units) from its start, one
    // line break between lines.
    int Length() const;
    int Offset(TPos p) const;
    TPos PosOf(int offset) const;
    QString Text(std::size_t line) const;
    QString TextBetween(TPos from, TPos to) const;
    // The pieces of a line read one at a time: characters (its line break last), words,
    // sentences, the rows it wraps into at the present width, or the whole line.
    std::vector<TSpan> Pieces(std::size_t line, QAccessible::TextBoundaryType type) const;
    TPos Caret() const { return FCaret; }
    TPos Anchor() const { return FAnchor; }
    // Selects from anchor to caret as the mouse would, the caret brought into view.
    void Select(TPos anchor, TPos caret);
    void EnsureVisible(TPos p);
    // Where the character at p shows in the viewport; empty when its line is out of view.
    QRect CharRect(TPos p) const;
    // The place nearest a point of the viewport.
    TPos PosAt(const QPoint& p) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int LayOut(QTextLayout& layout, std::size_t line) const;
    void LinesChanged(std::size_t from);
    void MeasureRows();
    // Rows are counted at the view's width: those of a line laid out there exactly, the rest
    // estimated from their length, so that a change of width or font lays out only the
    // lines in view; the line at the top stays there.
    void CountRows();
    void Recount();
    // Scrolls the row of the line to the top, its last one for a row it does not have.
    void ShowAtTop(std::size_t line, std::uint32_t row);
    std::uint32_t Estimate(std::size_t line, qreal perRow) const;
    // Keeps the rows of a line laid out at the counted width.
    void Know(std::size_t line, int rows) const;
    std::uint32_t ExactRows(std::size_t line) const;
    void UpdateScrollBars();
    void SetRange();
    // Lays out each line in view from the top down: fn(line, layout, y of its top) until it
    // returns false or the view is full.
    template <class Fn>
    void ForLinesInView(Fn fn) const;
    TPos End() const;
    void MoveCaret(TPos to, bool select);
    void CountChars() const;
    // Line i as a part of the whole text: where it begins with the line break that joins it
    // to the rest, and that text.
    std::pair<int, QString> LineInText(std::size_t i) const;
    // Tells a screen reader, when one listens, of a change of the text, and of the caret and
    // the selection moved from where they were.
    void Tell(QAccessibleTextCursorEvent&& e);
    void TellCaret(TPos caret, TPos anchor);
    QString SelectedText() const;
    void Copy() const;
    void SelectAll();
    void RestartBlink();

    TLineStore FLines;
    // The rows of each counted line, at the width of FCountedWidth, and which of them are
    // laid out there; a layout that finds another count keeps it (and the scroll range
    // follows at the next paint).
    mutable TRowIndex FRows;
    mutable std::vector<bool> FExact;
    mutable bool FRangeStale = false;
    // The offset of each counted line, then where a line after them all would start:
    // counted when a screen reader asks.
    mutable std::vector<std::size_t> FFirstChar{0};
    int FCountedWidth = -1;
    qreal FRowHeight = 0, FRowStep = 0;  // of a row of the font, and from one row to the next
    TPos FCaret, FAnchor;
    qreal FCaretX = -1;  // kept while the caret moves up and down
    bool FCaretOn = false;
    QBasicTimer FBlink;
};

// The accessibility of a log view (a read-only multi-line text); null for another object.
QAccessibleInterface* AccessibleLogView(QObject* object);

}  // namespace ui
