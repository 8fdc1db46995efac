#pragma once
// Internal: a scroll bar in the classic look of the window system's, drawn with the tool's
// own canvas into an image of its size and shown rectangle by rectangle, as the tool's own
// controls are. The standard style would draw it through its pixmap cache, whose keys change
// with the palette (the action log changes its font colour with every line), and fill its
// tall parts through the paint engine's thread pool: an open session's log, repainted every
// few seconds, would wake those threads and grow the cache all day.
#include <QScrollBar>
#include <QStyle>

#include "platform/ui/Graphics.h"

namespace ui {

class TClassicScrollBar : public QScrollBar {
public:
    explicit TClassicScrollBar(Qt::Orientation orientation) : QScrollBar(orientation) {}

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QStyle::SubControl PartAt(const QPoint& p) const;
    void Hold(QStyle::SubControl part);

    TBitmap FImage;
    QStyle::SubControl FPressed = QStyle::SC_None;  // the button the mouse went down on
    QStyle::SubControl FHeld = QStyle::SC_None;     // the same while the mouse is on it
};

}  // namespace ui
