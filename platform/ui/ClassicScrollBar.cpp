#include "platform/ui/ClassicScrollBar.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QStyleOptionSlider>

#include "platform/ui/ClassicGlyphs.h"
#include "platform/ui/PaintArea.h"

namespace ui {

void TClassicScrollBar::paintEvent(QPaintEvent* e) {
    // The parts stand where the style finds them under the mouse.
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto part = [&](QStyle::SubControl sc) {
        const QRect r = style()->subControlRect(QStyle::CC_ScrollBar, &option, sc, this);
        return TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    };
    if (FImage.GetWidth() != width() || FImage.GetHeight() != height()) FImage.SetSize(width(), height());
    TCanvas& c = *FImage.GetCanvas();
    c.GetBrush()->SetStyle(bsSolid);
    c.GetBrush()->SetColor(clScrollBar);
    c.FillRect(TRect(0, 0, width(), height()));
    const bool vertical = orientation() == Qt::Vertical;
    const bool scrolls = isEnabled() && minimum() < maximum();
    const struct {
        QStyle::SubControl Part;
        int Direction;
        bool Can;
    } buttons[] = {{QStyle::SC_ScrollBarSubLine, vertical ? 0 : 2, value() > minimum()},
                   {QStyle::SC_ScrollBarAddLine, vertical ? 1 : 3, value() < maximum()}};
    for (const auto& b : buttons) {
        DrawClassicScrollBox(c, part(b.Part), FHeld == b.Part);
        DrawClassicScrollArrow(c, part(b.Part), b.Direction, scrolls && b.Can, FHeld == b.Part);
    }
    if (scrolls) DrawClassicScrollBox(c, part(QStyle::SC_ScrollBarSlider));
    ShowImage(*this, FImage.GetImage(), e->region());
}

QStyle::SubControl TClassicScrollBar::PartAt(const QPoint& p) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->hitTestComplexControl(QStyle::CC_ScrollBar, &option, p, this);
}

void TClassicScrollBar::Hold(QStyle::SubControl part) {
    if (part == FHeld) return;
    FHeld = part;
    update();
}

void TClassicScrollBar::mousePressEvent(QMouseEvent* e) {
    QScrollBar::mousePressEvent(e);
    const QStyle::SubControl part = PartAt(e->position().toPoint());
    const bool button = part == QStyle::SC_ScrollBarSubLine || part == QStyle::SC_ScrollBarAddLine;
    FPressed = e->button() == Qt::LeftButton && button ? part : QStyle::SC_None;
    Hold(FPressed);
}

void TClassicScrollBar::mouseMoveEvent(QMouseEvent* e) {
    QScrollBar::mouseMoveEvent(e);
    if (FPressed != QStyle::SC_None) Hold(PartAt(e->position().toPoint()) == FPressed ? FPressed : QStyle::SC_None);
}

void TClassicScrollBar::mouseReleaseEvent(QMouseEvent* e) {
    QScrollBar::mouseReleaseEvent(e);
    Hold(QStyle::SC_None);
}

}  // namespace ui
