#include "widgets/UiBars.h"

#include <cmath>

#include "platform/ui/ThemeServices.h"
#include "widgets/UiBarLayout.h"
#include "widgets/UiGrafx.h"

namespace {

void Fill(TCanvas* c, const TRect& r, TColor color) {
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(color);
    c->FillRect(r);
}

// The part of the bar not filled.
TRect Remainder(const TRect& r, const TRect& filled, TOrientation o) {
    if (o == orVertical) return TRect(r.Left, r.Top, r.Right, filled.Top);
    return TRect(filled.Right, r.Top, r.Right, r.Bottom);
}

// The text centred on the bar's midpoint, clipped to one part of it.
void PartText(TCanvas* c, const TRect& bar, const TRect& part, const std::string& text, TColor color) {
    if (text.empty() || part.IsEmpty()) return;
    int id = c->SaveState();
    c->IntersectClipRect(part.Left, part.Top, part.Right, part.Bottom);
    c->GetBrush()->SetStyle(bsClear);
    c->GetFont()->SetColor(color);
    c->SetTextAlign(TA_CENTER);
    int y = bar.Top + (bar.Height() - c->TextHeight("X")) / 2;
    c->TextOut((bar.Left + bar.Right) / 2, y, text);
    c->RestoreState(id);
}

}  // namespace

void DrawSegmentBar(TCanvas* c, const TRect& r, TOrientation o, bool flat, bool themeAware,
                    int percent, int numSegments, TColor back, TColor bar) {
    bool vertical = o == orVertical;
    int length = vertical ? r.Height() : r.Width();
    if (themeAware && ThemeServices()->ThemesEnabled()) {
        TRect in(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        int len = PercentBarFill(vertical ? in.Height() : in.Width(), percent);
        TRect chunk = vertical ? TRect(in.Left, in.Bottom - len, in.Right, in.Bottom)
                               : TRect(in.Left, in.Top, in.Left + len, in.Bottom);
        ThemeServices()->DrawElement(*c, {TThemeClass::Progress, vertical ? PP_CHUNKVERT : PP_CHUNK, 1},
                                     chunk);
        return;
    }
    TSegmentBarLayout l = SegmentBarLayout(length, numSegments);
    if (!flat) Fill(c, r, back);  // the margins and the gaps between segments
    if (l.Count == 0) return;
    int lit = SegmentBarLit(percent, l.Count);
    for (int i = 1; i <= l.Count; ++i) {
        if (i > lit && flat) break;
        TRect seg = vertical ? Bounds(r.Left, r.Top + (l.Count - i) * l.Size + l.Margin, r.Width(), l.Size)
                             : Bounds(r.Left + (i - 1) * l.Size + l.Margin, r.Top, l.Size, r.Height());
        // A back-colour outline leaves a one-pixel gap between neighbours.
        if (!flat) {
            if (vertical)
                seg = TRect(seg.Left + 1, seg.Top + 1, seg.Right - 1, seg.Bottom);
            else
                seg = TRect(seg.Left + 1, seg.Top + 1, seg.Right, seg.Bottom - 1);
        }
        Fill(c, seg, i <= lit ? bar : back);
    }
}

std::string PercentBarText(std::uint32_t total, std::uint32_t done, bool showParts, bool showPercent,
                           int percent) {
    if (!showPercent) return {};
    if (showParts) return std::to_string(done) + " / " + std::to_string(total);
    return std::to_string(unsigned(percent)) + "%";
}

TRect PercentBarFilled(const TRect& r, TOrientation o, int percent) {
    if (o == orVertical)
        return TRect(r.Left, r.Bottom - PercentBarFill(r.Height(), percent), r.Right, r.Bottom);
    return TRect(r.Left, r.Top, r.Left + PercentBarFill(r.Width(), percent), r.Bottom);
}

void DrawPercentBar(TCanvas* c, const TRect& r, TOrientation o, std::uint32_t total,
                    std::uint32_t done, bool showParts, bool transparent, bool showPercent,
                    int percent, TColor back, TColor bar) {
    std::string text = PercentBarText(total, done, showParts, showPercent, percent);
    TRect filled = PercentBarFilled(r, o, percent);
    TRect rest = Remainder(r, filled, o);
    if (!filled.IsEmpty()) Fill(c, filled, bar);
    PartText(c, r, filled, text, back);
    if (!transparent && !rest.IsEmpty()) Fill(c, rest, back);
    PartText(c, r, rest, text, bar);
}

void DrawGradientPercentBar(TCanvas* c, const TRect& r, TOrientation o, std::uint32_t total,
                            std::uint32_t done, bool showParts, bool transparent, bool showPercent,
                            int percent, TColor back, TColor bar, TGradientDirection direction,
                            TColor backStop, TColor barStop) {
    std::string text = PercentBarText(total, done, showParts, showPercent, percent);
    TRect filled = PercentBarFilled(r, o, percent);
    TRect rest = Remainder(r, filled, o);
    if (!filled.IsEmpty()) PaintGradient(c, filled, direction, 1, bar, barStop);
    PartText(c, r, filled, text, back);
    if (!transparent && !rest.IsEmpty()) PaintGradient(c, rest, direction, 1, back, backStop);
    PartText(c, r, rest, text, bar);
}
