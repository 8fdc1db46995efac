// Text on the canvas: glyphs by Qt (no antialiasing), cells and lines by the GDI figures.
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include "platform/ui/CanvasInternal.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/PixelOps.h"
#include "platform/ui/TextLayout.h"


namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// Draws one line with its top-left cell corner at device (x, y), clipped to `clip` (device)
// and to the canvas clip. underlineAt: index of a character to underline, or -1.
void DrawLine(QImage* img, const QRegion* canvasClip, const QRect* clip, const TFont& font, int x, int y,
              const std::string& text, int underlineAt, bool opaque, TColor back) {
    if (!img || img->isNull()) return;
    TTextMetric tm = GetFontTextMetric(font);
    QFont qf = font.ToQFont();
    QFontMetrics fm(qf);
    QString qs = Q(text);
    int width = fm.horizontalAdvance(qs);
    QPainter p(img);
    QRegion region(0, 0, img->width(), img->height());
    if (canvasClip) region &= *canvasClip;
    if (clip) region &= QRegion(*clip);
    p.setClipRegion(region);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (opaque) p.fillRect(QRect(x, y, width, tm.tmHeight), QColor::fromRgb(ui::px::FromColor(back)));
    QColor color = QColor::fromRgb(ui::px::FromColor(font.GetColor()));
    p.setFont(qf);
    p.setPen(color);
    p.drawText(QPoint(x, y + tm.tmAscent), qs);
    if (underlineAt >= 0 && size_t(underlineAt) < text.size()) {
        size_t len = 1;
        unsigned char lead = static_cast<unsigned char>(text[size_t(underlineAt)]);
        if (lead >= 0xF0) len = 4;
        else if (lead >= 0xE0) len = 3;
        else if (lead >= 0xC0) len = 2;
        int ux = x + fm.horizontalAdvance(Q(text.substr(0, size_t(underlineAt))));
        int uw = fm.horizontalAdvance(Q(text.substr(size_t(underlineAt), len)));
        int uy = y + tm.tmAscent + 1;
        p.fillRect(QRect(ux, uy, uw, 1), color);
    }
}

}  // namespace

void TCanvas::GetTextMetrics(TTextMetric& tm) { tm = GetFontTextMetric(FFont); }

TSize TCanvas::TextExtent(const std::string& text) {
    QFontMetrics fm(FFont.ToQFont());
    return TSize{fm.horizontalAdvance(Q(text)), GetFontTextMetric(FFont).tmHeight};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    TTextMetric tm = GetFontTextMetric(FFont);
    TSize ext = TextExtent(text);
    int px = x, py = y;
    if (FTextAlign & TA_UPDATECP) {
        px = FPenPos.x;
        py = FPenPos.y;
    }
    unsigned h = FTextAlign & 6;
    if (h == TA_CENTER) px -= ext.cx / 2;
    else if (h == TA_RIGHT) px -= ext.cx;
    unsigned v = FTextAlign & 24;
    if (v == TA_BASELINE) py -= tm.tmAscent;
    else if (v == TA_BOTTOM) py -= tm.tmHeight;
    DrawLine(FTarget, FClip ? &FClip->region : nullptr, nullptr, FFont, px + FOrigin.x, py + FOrigin.y, text, -1,
             FBrush.GetStyle() != bsClear, FBrush.GetColor());
    if (FTextAlign & TA_UPDATECP) FPenPos.x += (h == TA_CENTER) ? 0 : (h == TA_RIGHT ? -ext.cx : ext.cx);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    QRect clip(r.Left + FOrigin.x, r.Top + FOrigin.y, std::max(0, r.Width()), std::max(0, r.Height()));
    bool opaque = FBrush.GetStyle() != bsClear;
    if (opaque) FillRect(r);  // ETO_OPAQUE fills the whole rectangle
    DrawLine(FTarget, FClip ? &FClip->region : nullptr, &clip, FFont, x + FOrigin.x, y + FOrigin.y, text, -1, false,
             FBrush.GetColor());
}

int TCanvas::DrawText(const std::string& text, TRect& rect, unsigned flags) {
    QFontMetrics fm(FFont.ToQFont());
    TTextMetric tm = GetFontTextMetric(FFont);
    ui::text::Measure measure = [&fm](const std::string& s) { return fm.horizontalAdvance(Q(s)); };
    ui::text::TLayout lay = ui::text::LayOut(text, rect, flags, tm.tmHeight, tm.tmAveCharWidth, measure);
    if (flags & DT_CALCRECT) {
        rect = lay.calcRect;
        return lay.height;
    }
    QRect clip(rect.Left + FOrigin.x, rect.Top + FOrigin.y, std::max(0, rect.Width()), std::max(0, rect.Height()));
    bool opaque = FBrush.GetStyle() != bsClear;
    for (const ui::text::TLine& line : lay.lines)
        DrawLine(FTarget, FClip ? &FClip->region : nullptr, (flags & DT_NOCLIP) ? nullptr : &clip, FFont,
                 line.x + FOrigin.x, line.y + FOrigin.y, line.text, line.underline, opaque, FBrush.GetColor());
    return lay.height;
}
