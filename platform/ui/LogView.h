#pragma once
// Internal: the widget of a read-only memo whose lines only grow (an action log). It keeps
// them in one text buffer and lays out only the lines in view, so that a line costs its text
// and a few bytes; a text document would keep some 1 KB a line. It shows and scrolls as a
// plain-text edit does: lines wrapped at its width with the same margins, a row a scroll
// step, the caret and a selection that the keys and the mouse move, Copy and Select All.
#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ui/LineStore.h"

class QAccessibleInterface;
class QTextLayout;

namespace ui {

class TLogView : public QAbstractScrollArea {
public:
    TLogView();

    const TLineStore& Lines() const { return FLines; }
    void InsertLine(std::size_t i, std::string_view s);
    void ReplaceLine(std::size_t i, std::string_view s);
    void EraseLine(std::size_t i);
    void ClearLines();
    void ScrollToEnd();

protected:
    void paintEvent(QPaintEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // A place in the text: a line and a character (UTF-16 unit) of it.
    struct TPos {
        std::size_t Line = 0;
        int Column = 0;
        auto operator<=>(const TPos&) const = default;
    };
    QString Text(std::size_t line) const;
    int LayOut(QTextLayout& layout, std::size_t line) const;
    void LinesChanged(std::size_t from);
    void MeasureRows();
    void CountRows();
    std::size_t LineOfRow(std::uint32_t row) const;
    void UpdateScrollBars();
    // Lays out each line in view from the top down: fn(line, layout, y of its top) until it
    // returns false or the view is full.
    template <class Fn>
    void ForLinesInView(Fn fn) const;
    TPos PosAt(const QPoint& p) const;
    void MoveCaret(TPos to, bool select);
    void EnsureCaretVisible();
    QString SelectedText() const;
    void Copy() const;
    void SelectAll();
    void RestartBlink();

    TLineStore FLines;
    // The first row of each counted line, then the rows of them all. Rows are counted when
    // asked for, at the width of that time.
    std::vector<std::uint32_t> FFirstRow{0};
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
