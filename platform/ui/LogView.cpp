#include "platform/ui/LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/ui/ClassicScrollBar.h"

namespace ui {

namespace {

constexpr int kMargin = 4;  // a text document's margin around its text

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

qreal HeightOf(const QTextLayout& layout) { return layout.boundingRect().bottom(); }

// Where row r of a laid-out line ends: a wrapped row before the blank it broke at.
int RowEnd(const QTextLayout& layout, int r) {
    const QTextLine row = layout.lineAt(r);
    const int end = row.textStart() + row.textLength();
    return r + 1 < layout.lineCount() && end > 0 && layout.text().at(end - 1).isSpace() ? end - 1 : end;
}

// The keys that move the caret, each with its selecting form.
enum class TMove { Left, Right, Up, Down, Home, End, First, Last, PageUp, PageDown };
struct TMoveKey {
    QKeySequence::StandardKey Move, Select;
    TMove What;
};
constexpr TMoveKey kMoveKeys[] = {
    {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, TMove::Left},
    {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, TMove::Right},
    {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, TMove::Up},
    {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, TMove::Down},
    {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, TMove::Home},
    {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, TMove::End},
    {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, TMove::First},
    {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, TMove::Last},
    {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, TMove::PageUp},
    {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, TMove::PageDown},
};

}  // namespace

TLogView::TLogView() {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBar(new TClassicScrollBar(Qt::Vertical));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    MeasureRows();
}

QString TLogView::Text(std::size_t line) const { return Q(FLines.Line(line)); }

int TLogView::LayOut(QTextLayout& layout, std::size_t line) const {
    layout.setText(Text(line));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    // A view of no width yet wraps nothing.
    const qreal width = (viewport()->width() > 0 ? viewport()->width() : qreal(INT_MAX)) - 2 * kMargin;
    qreal y = 0;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLeadingIncluded(true);
        row.setLineWidth(width);
        row.setPosition(QPointF(kMargin, y));
        // A font whose leading is negative sets its rows that much closer.
        y += row.height() + (row.leading() < 0 ? qCeil(row.leading()) : 0);
    }
    layout.endLayout();
    return layout.lineCount();
}

std::uint32_t TLogView::Estimate(std::size_t line, qreal perRow) const {
    std::size_t chars = 0;  // UTF-8 lead bytes
    for (const char c : FLines.Line(line)) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return std::uint32_t(std::clamp<qreal>(std::ceil(qreal(chars) / perRow), 1, 1 << 20));
}

void TLogView::CountRows() {
    if (viewport()->width() != FCountedWidth) {
        FCountedWidth = viewport()->width();
        FRows.Truncate(0);
        FExact.clear();
    }
    // Characters a row holds at the font's average width.
    const qreal width = FCountedWidth > 0 ? FCountedWidth - 2 * kMargin : qreal(INT_MAX);
    const qreal perRow = std::max<qreal>(width / std::max<qreal>(QFontMetricsF(font()).averageCharWidth(), 1), 1);
    for (std::size_t i = FRows.Count(); i < FLines.Count(); ++i) FRows.Push(Estimate(i, perRow));
    FExact.resize(FLines.Count());
}

void TLogView::Recount() {
    const auto top = std::uint32_t(verticalScrollBar()->value());
    const std::size_t line = FRows.LineOf(top);
    const std::uint32_t row = FRows.Count() > 0 ? top - FRows.Before(line) : 0;
    FRows.Truncate(0);
    FExact.clear();
    CountRows();
    ShowAtTop(line, row);
    viewport()->update();
}

void TLogView::ShowAtTop(std::size_t line, std::uint32_t row) {
    if (line < FLines.Count()) row = std::min(row, ExactRows(line) - 1);
    SetRange();
    verticalScrollBar()->setValue(int(FRows.Before(line) + row));
}

void TLogView::Know(std::size_t line, int rows) const {
    // A layout at another width than the counted one (a resize not yet taken) says nothing.
    if (line >= FRows.Count() || viewport()->width() != FCountedWidth) return;
    FExact[line] = true;
    if (FRows.Rows(line) == std::uint32_t(rows)) return;
    FRows.Set(line, std::uint32_t(rows));
    FRangeStale = true;  // the next paint sets the range
}

std::uint32_t TLogView::ExactRows(std::size_t line) const {
    if (!FExact[line]) {
        QTextLayout layout;
        Know(line, LayOut(layout, line));
    }
    return FRows.Rows(line);
}

void TLogView::InsertLine(std::size_t i, std::string_view s) {
    // As in a text document, a place at the insertion point or after it moves on past the new
    // line: a caret at the end of the text stays at its end.
    const std::size_t n = FLines.Count();
    const TPos at = i < n ? TPos{i, 0} : End();
    FLines.Insert(i, s);
    for (TPos* p : {&FCaret, &FAnchor}) {
        if (*p < at) continue;
        if (i < n) ++p->Line;
        else *p = {i, int(Text(i).size())};
    }
    LinesChanged(i);
    if (!QAccessible::isActive()) return;
    const auto [offset, text] = LineInText(i);
    Tell(QAccessibleTextInsertEvent(this, offset, text));
}

void TLogView::ReplaceLine(std::size_t i, std::string_view s) {
    const QString old = QAccessible::isActive() ? Text(i) : QString();
    FLines.Replace(i, s);
    for (TPos* p : {&FCaret, &FAnchor})
        if (p->Line == i) p->Column = 0;
    LinesChanged(i);
    if (QAccessible::isActive()) Tell(QAccessibleTextUpdateEvent(this, Offset({i, 0}), old, Text(i)));
}

void TLogView::EraseLine(std::size_t i) {
    const auto [offset, text] = QAccessible::isActive() ? LineInText(i) : std::pair<int, QString>();
    FLines.Erase(i);
    for (TPos* p : {&FCaret, &FAnchor}) {
        if (p->Line > i) --p->Line;
        else if (p->Line == i) p->Column = 0;
        if (p->Line >= FLines.Count()) *p = {};
    }
    LinesChanged(i);
    if (QAccessible::isActive()) Tell(QAccessibleTextRemoveEvent(this, offset, text));
}

void TLogView::ClearLines() {
    const QString text = QAccessible::isActive() ? TextBetween({}, End()) : QString();
    FLines.Clear();
    FCaret = FAnchor = {};
    std::vector<std::size_t>{0}.swap(FFirstChar);
    LinesChanged(0);
    if (QAccessible::isActive()) Tell(QAccessibleTextRemoveEvent(this, 0, text));
}

void TLogView::LinesChanged(std::size_t from) {
    FRows.Truncate(from);
    FExact.resize(std::min(FExact.size(), from));
    FFirstChar.resize(std::min(FFirstChar.size(), from + 1));
    UpdateScrollBars();
}

void TLogView::CountChars() const {
    for (std::size_t i = FFirstChar.size() - 1; i < FLines.Count(); ++i)
        FFirstChar.push_back(FFirstChar.back() + std::size_t(Text(i).size()) + 1);
}

TLogView::TPos TLogView::End() const {
    const std::size_t n = FLines.Count();
    return n == 0 ? TPos{} : TPos{n - 1, int(Text(n - 1).size())};
}

int TLogView::Length() const {
    CountChars();
    return FLines.Count() == 0 ? 0 : int(std::min<std::size_t>(FFirstChar.back() - 1, INT_MAX));
}

int TLogView::Offset(TPos p) const {
    CountChars();
    return int(std::min<std::size_t>(FFirstChar[p.Line] + std::size_t(p.Column), INT_MAX));
}

TLogView::TPos TLogView::PosOf(int offset) const {
    if (FLines.Count() == 0 || offset <= 0) return {};
    CountChars();
    const std::size_t at = std::min(std::size_t(offset), FFirstChar.back() - 1);
    const auto after = std::upper_bound(FFirstChar.begin(), FFirstChar.end() - 1, at);
    const auto line = std::size_t(after - FFirstChar.begin() - 1);
    return {line, int(at - FFirstChar[line])};
}

std::pair<int, QString> TLogView::LineInText(std::size_t i) const {
    const QString s = Text(i);
    if (i + 1 < FLines.Count()) return {Offset({i, 0}), s + '\n'};
    if (i == 0) return {0, s};
    return {Offset({i, 0}) - 1, '\n' + s};
}

QString TLogView::TextBetween(TPos from, TPos to) const {
    QString text;
    for (std::size_t line = from.Line; line <= to.Line && from < to; ++line) {
        const QString s = Text(line);
        const int start = line == from.Line ? from.Column : 0;
        text += s.mid(start, (line == to.Line ? to.Column : s.size()) - start);
        if (line != to.Line) text += '\n';
    }
    return text;
}

std::vector<TLogView::TSpan> TLogView::Pieces(std::size_t line, QAccessible::TextBoundaryType type) const {
    std::vector<TSpan> pieces;
    if (line >= FLines.Count()) return pieces;  // an empty log has no line, not even an empty one
    const QString text = Text(line);
    if (type == QAccessible::LineBoundary) {
        QTextLayout layout;
        for (int r = 0, rows = LayOut(layout, line); r < rows; ++r)
            pieces.emplace_back(layout.lineAt(r).textStart(), RowEnd(layout, r));
        return pieces;
    }
    if (type == QAccessible::ParagraphBoundary || type == QAccessible::NoBoundary) {
        pieces.emplace_back(0, int(text.size()));
        return pieces;
    }
    QTextBoundaryFinder finder(type == QAccessible::CharBoundary   ? QTextBoundaryFinder::Grapheme
                               : type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                   : QTextBoundaryFinder::Sentence,
                               text);
    const auto mark = [&](int i) { return !text.at(i).isLetterOrNumber() && !text.at(i).isSpace(); };
    for (int start = 0, end; (end = int(finder.toNextBoundary())) > start; start = end) {
        if (type != QAccessible::WordBoundary) pieces.emplace_back(start, end);
        // Blanks are no word; a run of signs ("<<", "...") is one.
        else if (mark(start) && !pieces.empty() && pieces.back().second == start && mark(pieces.back().first))
            pieces.back().second = end;
        else if (!text.at(start).isSpace()) pieces.emplace_back(start, end);
    }
    if (type == QAccessible::CharBoundary && line + 1 < FLines.Count())
        pieces.emplace_back(int(text.size()), int(text.size()) + 1);
    return pieces;
}

void TLogView::MeasureRows() {
    QTextLayout layout(QString(), font());
    layout.beginLayout();
    QTextLine row = layout.createLine();
    row.setLeadingIncluded(true);
    layout.endLayout();
    FRowHeight = row.height();
    FRowStep = row.height() + (row.leading() < 0 ? qCeil(row.leading()) : 0);
}

// As a plain-text edit counts them: the range ends where the last row shows whole at the
// bottom, its margin below it; a page is the rows that fit. Rows of one font are alike.
void TLogView::UpdateScrollBars() {
    CountRows();
    SetRange();
    viewport()->update();
}

void TLogView::SetRange() {
    FRangeStale = false;
    const qreal visible = viewport()->height() - kMargin - 1;
    qreal y = kMargin;
    std::uint32_t fit = 0;
    for (std::size_t i = FLines.Count(); i-- > 0;) {
        const auto rows = ExactRows(i);
        y += (rows - 1) * FRowStep + FRowHeight;
        if (y <= visible) {
            fit += rows;
            continue;
        }
        std::uint32_t above = 0;  // rows of the line that start above the view's top
        while (above < rows && above * FRowStep < y - visible) ++above;
        fit += rows - above;
        break;
    }
    if (FLines.Count() == 0) fit = 1;  // the one empty row of an empty memo
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, int(FRows.Total() - std::min(fit, FRows.Total())));
    bar->setPageStep(int(fit));
}

void TLogView::ScrollToEnd() {
    UpdateScrollBars();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

template <class Fn>
void TLogView::ForLinesInView(Fn fn) const {
    const auto top = std::uint32_t(verticalScrollBar()->value());
    if (FLines.Count() == 0 || top >= FRows.Total()) return;
    std::size_t line = FRows.LineOf(top);
    QTextLayout layout;
    Know(line, LayOut(layout, line));
    // The top row at the top, where the row above it ends; the first one below the margin.
    // A line whose rows were estimated has at least its first.
    const int row = std::min(int(top - FRows.Before(line)), layout.lineCount() - 1);
    qreal y = top == 0 ? kMargin : row == 0 ? 0 : -int(layout.lineAt(row - 1).naturalTextRect().bottom());
    while (y < viewport()->height()) {
        if (!fn(line, layout, y)) return;
        y += HeightOf(layout);
        if (++line == FLines.Count()) return;
        Know(line, LayOut(layout, line));
    }
}

void TLogView::paintEvent(QPaintEvent*) {
    CountRows();
    // A row that the top line, laid out, turns out not to have shows as its last one.
    const auto top = std::uint32_t(verticalScrollBar()->value());
    const std::size_t line = FRows.LineOf(top);
    if (line < FLines.Count() && top - FRows.Before(line) >= ExactRows(line)) ShowAtTop(line, top - FRows.Before(line));
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const TPos from = std::min(FCaret, FAnchor), to = std::max(FCaret, FAnchor);
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    ForLinesInView([&](std::size_t line, QTextLayout& layout, qreal y) {
        QList<QTextLayout::FormatRange> selections;
        if (from != to && from.Line <= line && line <= to.Line) {
            // A selection that goes on past the line's end takes its line break too.
            const int start = line == from.Line ? from.Column : 0;
            const int end = line == to.Line ? to.Column : int(layout.text().size()) + 1;
            selections.push_back({start, end - start, selected});
        }
        layout.draw(&painter, QPointF(0, y), selections);
        if (FCaretOn && line == FCaret.Line) layout.drawCursor(&painter, QPointF(0, y), FCaret.Column, 1);
        return true;
    });
    if (FCaretOn && FLines.Count() == 0) {  // an empty memo shows its caret on its one empty row
        QTextLayout empty(QString(), font());
        empty.beginLayout();
        empty.createLine().setPosition(QPointF(kMargin, 0));
        empty.endLayout();
        empty.drawCursor(&painter, QPointF(0, kMargin), 0, 1);
    }
    if (FRangeStale) SetRange();
}

bool TLogView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::Resize) {  // the rows are counted at its width
        if (viewport()->width() != FCountedWidth) Recount();
        else UpdateScrollBars();
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TLogView::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        MeasureRows();
        Recount();
    }
}

void TLogView::scrollContentsBy(int, int) { viewport()->update(); }

QRect TLogView::CharRect(TPos p) const {
    QRect rect;
    ForLinesInView([&](std::size_t line, QTextLayout& layout, qreal y) {
        if (line < p.Line) return true;
        if (line == p.Line) {
            const QTextLine row = layout.lineForTextPosition(p.Column);
            const qreal x = row.cursorToX(p.Column), next = row.cursorToX(layout.nextCursorPosition(p.Column));
            rect = QRectF(x, y + row.y(), std::max<qreal>(next - x, 1), row.height()).toAlignedRect();
        }
        return false;
    });
    return rect;
}

TLogView::TPos TLogView::PosAt(const QPoint& p) const {
    TPos at;
    ForLinesInView([&](std::size_t line, QTextLayout& layout, qreal y) {
        // The first row that reaches below the point: rows overlap where the leading is negative.
        int r = 0;
        while (r + 1 < layout.lineCount() && p.y() >= y + layout.lineAt(r).rect().bottom()) ++r;
        at = {line, layout.lineAt(r).xToCursor(p.x())};
        if (p.y() < y + HeightOf(layout)) return false;
        if (line + 1 == FLines.Count()) at = End();  // below the text: its end
        return true;
    });
    return at;
}

void TLogView::MoveCaret(TPos to, bool select) { Select(select ? FAnchor : to, to); }

void TLogView::Select(TPos anchor, TPos caret) {
    const TPos was = FCaret, wasAnchor = FAnchor;
    FAnchor = anchor;
    FCaret = caret;
    EnsureVisible(FCaret);
    RestartBlink();
    viewport()->update();
    TellCaret(was, wasAnchor);
}

void TLogView::Tell(QAccessibleTextCursorEvent&& e) {
    e.setCursorPosition(Offset(FCaret));
    QAccessible::updateAccessibility(&e);
}

void TLogView::TellCaret(TPos caret, TPos anchor) {
    if (!QAccessible::isActive()) return;
    if (FCaret != caret) Tell(QAccessibleTextCursorEvent(this, 0));
    const TPos from = std::min(FCaret, FAnchor), to = std::max(FCaret, FAnchor);
    if (std::min(caret, anchor) != from || std::max(caret, anchor) != to)
        Tell(QAccessibleTextSelectionEvent(this, Offset(from), Offset(to)));
}

void TLogView::EnsureVisible(TPos p) {
    if (FLines.Count() == 0) return;
    CountRows();
    QTextLayout layout;
    Know(p.Line, LayOut(layout, p.Line));
    SetRange();
    const int row = int(FRows.Before(p.Line)) + layout.lineForTextPosition(p.Column).lineNumber();
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value()) bar->setValue(row);
    else if (row >= bar->value() + bar->pageStep()) bar->setValue(row - std::max(bar->pageStep(), 1) + 1);
}

void TLogView::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Copy)) return Copy();
    if (e->matches(QKeySequence::SelectAll)) return SelectAll();
    for (const TMoveKey& k : kMoveKeys) {
        const bool select = e->matches(k.Select);
        if (!select && !e->matches(k.Move)) continue;
        if (FLines.Count() == 0) return;
        QTextLayout layout;
        Know(FCaret.Line, LayOut(layout, FCaret.Line));
        const int length = int(layout.text().size());
        const QTextLine row = layout.lineForTextPosition(FCaret.Column);
        TPos to = FCaret;
        std::int64_t rowStep = 0;
        switch (k.What) {
            case TMove::Left:
                if (to.Column > 0) to.Column = layout.previousCursorPosition(to.Column);
                else if (to.Line > 0) to = {to.Line - 1, int(Text(to.Line - 1).size())};
                break;
            case TMove::Right:
                if (to.Column < length) to.Column = layout.nextCursorPosition(to.Column);
                else if (to.Line + 1 < FLines.Count()) to = {to.Line + 1, 0};
                break;
            case TMove::Home: to.Column = row.textStart(); break;
            case TMove::End: to.Column = RowEnd(layout, row.lineNumber()); break;
            case TMove::First: to = {}; break;
            case TMove::Last: to = End(); break;
            case TMove::Up: rowStep = -1; break;
            case TMove::Down: rowStep = 1; break;
            case TMove::PageUp: rowStep = -verticalScrollBar()->pageStep(); break;
            case TMove::PageDown: rowStep = verticalScrollBar()->pageStep(); break;
        }
        if (rowStep != 0) {
            // Up and down keep the caret's column on screen, as far as the rows allow.
            if (FCaretX < 0) FCaretX = row.cursorToX(FCaret.Column);
            const std::int64_t last = std::int64_t(FRows.Total()) - 1;
            const auto target = std::uint32_t(std::clamp(std::int64_t(FRows.Before(FCaret.Line)) + row.lineNumber() + rowStep,
                                                         std::int64_t(0), last));
            if (k.What == TMove::PageUp || k.What == TMove::PageDown)
                verticalScrollBar()->setValue(verticalScrollBar()->value() + int(rowStep));
            to.Line = FRows.LineOf(target);
            Know(to.Line, LayOut(layout, to.Line));
            to.Column = layout.lineAt(std::min(int(target - FRows.Before(to.Line)), layout.lineCount() - 1)).xToCursor(FCaretX);
            const qreal keep = FCaretX;
            MoveCaret(to, select);
            FCaretX = keep;
            return;
        }
        FCaretX = -1;
        return MoveCaret(to, select);
    }
    e->ignore();  // the form's keys (Tab, the default button) go on
}

void TLogView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    FCaretX = -1;
    MoveCaret(PosAt(e->position().toPoint()), e->modifiers() & Qt::ShiftModifier);
}

void TLogView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    // A double click selects the word under the mouse, as in a text edit.
    const TPos at = PosAt(e->position().toPoint());
    for (const auto& [start, end] : Pieces(at.Line, QAccessible::WordBoundary))
        if (start <= at.Column && at.Column <= end) return Select({at.Line, start}, {at.Line, end});
}

void TLogView::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    MoveCaret(PosAt(e->position().toPoint()), true);
}

void TLogView::mouseReleaseEvent(QMouseEvent* e) {
    // What the mouse selected is the window system's selection too (a middle click pastes it).
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (e->button() == Qt::LeftButton && FCaret != FAnchor && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

void TLogView::contextMenuEvent(QContextMenuEvent* e) {
    // The plain-text edit's own menu for a read-only text, in Qt's words.
    QMenu menu(this);
    QAction* copy = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "&Copy") + "\t" +
                                   QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText));
    copy->setEnabled(FCaret != FAnchor);
    QObject::connect(copy, &QAction::triggered, this, [this] { Copy(); });
    menu.addSeparator();
    QAction* all = menu.addAction(QCoreApplication::translate("QWidgetTextControl", "Select All") + "\t" +
                                  QKeySequence(QKeySequence::SelectAll).toString(QKeySequence::NativeText));
    all->setEnabled(FLines.Count() > 0);
    QObject::connect(all, &QAction::triggered, this, [this] { SelectAll(); });
    menu.exec(e->globalPos());
}

QString TLogView::SelectedText() const { return TextBetween(std::min(FCaret, FAnchor), std::max(FCaret, FAnchor)); }

void TLogView::Copy() const {
    if (FCaret != FAnchor) QGuiApplication::clipboard()->setText(SelectedText());
}

void TLogView::SelectAll() {
    if (FLines.Count() == 0) return;
    const TPos was = FCaret, wasAnchor = FAnchor;
    FAnchor = {};
    FCaret = End();
    viewport()->update();
    TellCaret(was, wasAnchor);
}

void TLogView::RestartBlink() {
    FCaretOn = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (FCaretOn && flash >= 2) FBlink.start(flash / 2, this);
    else FBlink.stop();
}

void TLogView::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    RestartBlink();
    viewport()->update();
}

void TLogView::focusOutEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusOutEvent(e);
    RestartBlink();
    viewport()->update();
}

void TLogView::timerEvent(QTimerEvent* e) {
    if (e->timerId() != FBlink.timerId()) return QAbstractScrollArea::timerEvent(e);
    FCaretOn = !FCaretOn;
    viewport()->update();
}

}  // namespace ui
