// How the tab control draws itself: background, the tabs in their shapes with their colours and
// captions, the cards with their frames and soft shadow, the focus rectangle, hot tracking and
// the drag indicator. Frame lines are recorded as commands and replayed in one pass.
#include <algorithm>
#include <initializer_list>

#include "widgets/UiTabsButtons.h"
#include "widgets/UiTabsControl.h"
#include "widgets/UiTabsFont.h"

namespace {

// Outline commands.
enum TOutlineCommand {
    ocPenFrame = 0,    // the pen takes the frame colour
    ocNothing = 1,
    ocFrameColor = 2,  // the frame colour is worked out again
    ocMoveTo = 3,
    ocLineTo = 4,
    ocShadow30 = 5,    // a shadow run, black blended 30 over the parent's pixel
    ocShadow15 = 6,
};

struct TOutlineStep {
    TOutlineCommand Command;
    TPoint Point;
};

bool Intersects(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TRect Intersection(const TRect& a, const TRect& b) {
    return TRect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom));
}

}  // namespace

// The painter holds what one paint needs: the canvas and the outline list.
class TUiTabPainter {
public:
    TUiTabPainter(TUiCustomTabControl& control, TCanvas& canvas) : C(control), Cv(canvas), S(control.FStrip) {}

    void Run();

private:
    void Background();
    void Tabs();
    void Tab(int index);
    TColor TabBackground(int index, const TRect& rect);
    void TabContent(int index, TColor fill);
    TRect ContentStripRect(int index) const;
    void Caption(int index, const TRect& textRect, TColor colour);
    void Image(int index, const TRect& content, TRect& textRect);
    void CaptionLines(TCanvas& canvas, const std::vector<std::string>& lines, const TRect& r, bool bold,
                      TColor colour, bool underlineAccel);
    void VerticalCaption(int index, const TRect& textRect, TColor colour, const std::vector<std::string>& lines,
                         bool bold, bool underlineAccel);
    void HotBar(int index, const TRect& rect, TColor fill);
    void Card(int row);
    void CardFrame(int row, const TRect& card);
    void RecordTabOutline(int index);
    void Replay();
    void ShadowRun(TPoint from, TPoint to, int weight);
    TColor TextColor(int index);

    TUiCustomTabControl& C;
    TCanvas& Cv;
    TUiTabStripLayout& S;
    std::vector<TOutlineStep> FSteps;
    TPoint FPen;
    TColor FFrame = clBtnShadow;
};

void TUiCustomTabControl::Paint() {
    FPaintingStarted = true;
    UpdateLayout();
    TUiTabPainter painter(*this, *GetCanvas());
    painter.Run();
    FPaintingStarted = false;
    FPartialRepaint = false;
}

void TUiTabPainter::Run() {
    FFrame = C.FrameColor();
    Background();
    C.PlaceButtons();
    Tabs();
    Card(0);
}

void TUiTabPainter::Background() {
    const TRect client(0, 0, C.GetClientWidth(), C.GetClientHeight());
    if (C.DoPaintBackground(&Cv, client)) return;
    if (C.GetTransparent()) {
        DrawParentImage(&C, &Cv);
    } else {
        Cv.GetBrush()->SetStyle(bsSolid);
        Cv.GetBrush()->SetColor(C.GetBackgroundColor());
        Cv.FillRect(client);
    }
}

void TUiTabPainter::Tabs() {
    const int n = S.Tabs.Count();
    if (n == 0 || !S.AnyVisible()) return;
    int firstOfRow0 = -1;
    for (int i = 0; i < n && firstOfRow0 < 0; ++i)
        if (S.Tabs.Items(i).Visible && S.Tabs.Items(i).Row == 0) firstOfRow0 = i;
    if (firstOfRow0 < 0) firstOfRow0 = 0;
    const int selected = C.GetTabIndex();
    int lastRow = -1;
    // Backwards from the tab before row 0's first one: outer rows first, each covered by
    // the card of its row before the nearer row's tabs are drawn.
    for (int k = 1; k <= n; ++k) {
        const int i = ((firstOfRow0 - k) % n + n) % n;
        const TUiTabData& t = S.Tabs.Items(i);
        if (!t.Visible || i == selected || i < S.FirstVisibleTab || !S.IsFullyVisible(i)) continue;
        if (lastRow > t.Row) Card(lastRow);
        lastRow = t.Row;
        Tab(i);
    }
    if (lastRow > 0) Card(lastRow);
    if (selected >= 0 && selected < n && selected >= S.FirstVisibleTab && S.IsFullyVisible(selected))
        Tab(selected);
}

void TUiTabPainter::Tab(int index) {
    const TRect rect = S.TabRect(index);
    if (!Intersects(rect, Cv.GetClipRect())) return;
    if (const TRegion* region = C.TabRegion(index)) {
        const int saved = Cv.SaveState();
        Cv.SelectClipRegion(region);
        const TColor fill = TabBackground(index, rect);
        TabContent(index, fill);
        Cv.RestoreState(saved);
    }
    RecordTabOutline(index);
    Replay();
}

TColor TUiTabPainter::TabBackground(int index, const TRect& rect) {
    const TUiTabData& t = S.Tabs.Items(index);
    TColor F, start, end;
    if (!C.GetUseColoredTabs()) {
        F = C.GetColor();
        start = C.GetTabColors()->GetUnselected();
        end = C.GetTabColors()->GetShadow();
    } else {
        F = t.Color;
        start = LighterColor(F, 20);
        end = ColorsTooClose(start, clWhite) ? clBtnFace : DarkerColor(F, 40);
    }
    if (C.GetHotTrack() && C.GetHotTrackStyle() == htsTab && index == C.GetHotTab()) {
        if (C.GetHotTrackColorSource() == htcsTabColor) {
            end = DarkerColor(end, 30);
        } else if (C.GetHotTrackColorType() == htctActual) {
            end = C.GetHotTrackColor();
            start = LighterColor(C.GetHotTrackColor(), 60);
        } else {
            end = ComplementaryColor(C.GetHotTrackColor(), 140);
            start = LighterColor(end, 60);
        }
    }
    if (C.DoPaintTabBackground(&Cv, index, rect)) return F;
    Cv.GetBrush()->SetStyle(bsSolid);
    if (index == C.GetTabIndex() || !C.GetUseGradients() || !HighColorDisplay) {
        Cv.GetBrush()->SetColor(F);
        Cv.FillRect(rect);
        return F;
    }
    // From the outer edge (end colour) to the card (start colour).
    switch (S.Options.Orientation) {
        case toTop: PaintGradient(&Cv, rect, gdHorizontalEnd, 1, end, start); break;
        case toBottom: PaintGradient(&Cv, rect, gdHorizontalEnd, 1, start, end); break;
        case toLeft: PaintGradient(&Cv, rect, gdVerticalEnd, 1, end, start); break;
        case toRight: PaintGradient(&Cv, rect, gdVerticalEnd, 1, start, end); break;
    }
    return F;
}

TRect TUiTabPainter::ContentStripRect(int index) const {
    TRect r = S.StripTabRect(index);
    const int h = r.Height();
    const int O = S.Overlap(h);
    const int cut = S.Options.CutCornerSize;
    switch (S.Options.Style) {
        case tsSingleSlant:
            r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
            r.Right -= 2 * O + 2;
            r.Left += 3;
            r.Right += 3;
            r.Top += 2;
            break;
        case tsBackSlant:
            r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
            r.Left += 2 * O + 2;
            r.Left -= 3;
            r.Right -= 3;
            r.Top += 2;
            break;
        case tsDoubleSlant:
            r.Left += -1 + O + 1;
            r.Right += 1 - O + 1;
            r.Top += 2;
            break;
        case tsCutCorner:
            if (S.TextAlong())
                r = TRect(r.Left + cut + 3, r.Top + 1 + 3, r.Right - cut - 3, r.Bottom - 1);
            else
                r = TRect(r.Left + 4, r.Top + 1 + cut + 3, r.Right - 4, r.Bottom - 1);
            break;
        case tsRoundCorners:
        case tsSquareCorners:
            if (S.TextAlong())
                r = TRect(r.Left + 4, r.Top + 2, r.Right - 4, r.Bottom - 2);
            else
                r = TRect(r.Left + 2, r.Top + 4, r.Right - 2, r.Bottom - 4);
            break;
    }
    if (C.GetKeyboardCuesShown() && C.GetShowFocusRect())
        r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    return r;
}

void TUiTabPainter::TabContent(int index, TColor fill) {
    TRect strip = ContentStripRect(index);
    const bool selected = index == C.GetTabIndex();
    // Room for the close button on the selected tab.
    TRect closeStrip;
    if (S.Options.ShowCloseButtonOnActiveTab && selected && S.TextAlong()) {
        if (S.Reverse()) {
            closeStrip = TRect(strip.Left, strip.Top, strip.Left + 20, strip.Bottom);
            strip.Left += 20;
        } else {
            closeStrip = TRect(strip.Right - 20, strip.Top, strip.Right, strip.Bottom);
            strip.Right -= 20;
        }
    }
    TRect content = S.MapRect(strip);
    const bool slanted = S.Options.Style == tsSingleSlant || S.Options.Style == tsBackSlant ||
                         S.Options.Style == tsDoubleSlant;
    if (slanted && S.Options.Orientation == toBottom) {
        content.Top += 1;
        content.Bottom += 1;
    }

    if (C.GetHotTrack() && C.GetHotTrackStyle() == htsTabBar && (index == C.GetHotTab() || selected))
        HotBar(index, S.TabRect(index), fill);

    TRect textRect = content;
    Image(index, content, textRect);
    Caption(index, textRect, TextColor(index));

    if (selected && C.GetKeyboardCuesShown() && C.Focused() && C.GetShowFocusRect()) {
        TRect f = content;
        if (S.Horizontal()) {
            f.Left -= 1;
            f.Right += 1;
            if (S.Options.Orientation == toTop) f.Bottom += 1; else f.Top -= 1;
        } else {
            f.Top -= 1;
            f.Bottom += 1;
        }
        if (S.RoundStyle()) {
            const int shift = S.Options.Style == tsSquareCorners ? 2 : 1;
            switch (S.Options.Orientation) {
                case toTop: f.Top += shift; f.Bottom += shift; break;
                case toBottom: f.Top -= shift; f.Bottom -= shift; break;
                case toLeft: f.Left += shift; f.Right += shift; break;
                case toRight: f.Left -= shift; f.Right -= shift; break;
            }
        }
        Cv.DrawFocusRect(f);
    }

    if (selected && C.GetActiveTabCloseButton() && S.Options.ShowCloseButtonOnActiveTab && !closeStrip.IsEmpty()) {
        // The close button sits at the end of the content rectangle, centred across the strip.
        const TRect area = S.MapRect(closeStrip);
        TRect full = S.MapRect(TRect(S.Reverse() ? closeStrip.Left : strip.Left, strip.Top,
                                     S.Reverse() ? strip.Right : closeStrip.Right, strip.Bottom));
        TRect b;
        if (S.Horizontal()) {
            const bool small = full.Height() < 13;
            const int len = small ? 10 : 15, dep = small ? 9 : 13;
            const int mid = (full.Top + full.Bottom) / 2 - (small ? 4 : 6);
            const int x = S.Reverse() ? full.Left : full.Right - len;
            b = Bounds(x, mid, len, dep);
        } else {
            const bool small = full.Width() < 15;
            const int len = small ? 10 : 15, dep = small ? 9 : 13;
            const int mid = (full.Left + full.Right) / 2 - (small ? 4 : 6);
            const bool atTop = (S.Options.Orientation == toLeft) != S.Reverse();
            const int y = atTop ? full.Top : full.Bottom - len;
            b = Bounds(mid, y, dep, len);
        }
        (void)area;
        C.GetActiveTabCloseButton()->SetBoundsRect(b);
    }
}

void TUiTabPainter::Image(int index, const TRect& c, TRect& textRect) {
    TImageList* images = C.GetImages();
    if (!images) return;
    const TUiTabData& t = S.Tabs.Items(index);
    // A disabled tab shows its own image when it has one, else its image greyed.
    const bool ownDisabled = !t.Enabled && t.DisabledIndex != -1;
    const int image = ownDisabled ? t.DisabledIndex : t.ImageIndex;
    if (image == -1) return;
    const int iw = images->GetWidth(), ih = images->GetHeight(), m = S.Options.ImageMargin;
    TRect r = c;
    switch (S.Options.ImagePosition) {
        case ipLeft: r.Right = c.Left + iw; textRect.Left = r.Right + m; break;
        case ipRight: r.Left = c.Right - iw; textRect.Right = r.Left - m; break;
        case ipTop: r.Bottom = c.Top + ih; textRect.Top = r.Bottom + m; break;
        case ipBottom: r.Top = c.Bottom - ih; textRect.Bottom = r.Top - m; break;
        case ipBack:
        case ipStretch: break;
    }
    const bool enabled = t.Enabled || ownDisabled;
    if (S.Options.ImagePosition == ipStretch) {
        TBitmap b;
        images->GetBitmap(image, &b);
        if (!enabled) {
            TBitmap grey(iw, ih);
            images->Draw(grey.GetCanvas(), 0, 0, image, false);
            Cv.StretchDraw(r, grey);
        } else {
            Cv.StretchDraw(r, b);
        }
        return;
    }
    int x = r.Left, y = r.Top;
    switch (C.GetImageAlignment()) {
        case haLeft: break;
        case haCenter: x = (r.Left + r.Right - iw) / 2; break;
        case haRight: x = r.Right - iw; break;
    }
    switch (C.GetImageAlignmentVertical()) {
        case vaTop: break;
        case vaCenter: y = (r.Top + r.Bottom - ih) / 2; break;
        case vaBottom: y = r.Bottom - ih; break;
    }
    images->Draw(&Cv, x, y, image, enabled);
}

TColor TUiTabPainter::TextColor(int index) {
    const TUiTabData& t = S.Tabs.Items(index);
    TColor colour;
    if (!t.Enabled) {
        colour = C.GetTextColors()->GetDisabled();
        C.DoGetTextColor(index, tsDisabled, colour);
    } else if (C.GetHotTrack() && index == C.GetHotTab()) {
        if (C.GetHotTrackStyle() == htsText)
            colour = C.GetHotTrackColorType() == htctActual ? C.GetHotTrackColor()
                                                            : ComplementaryColor(C.GetHotTrackColor(), 140);
        else
            colour = C.GetTextColors()->GetSelected();
        C.DoGetTextColor(index, tsHotTrack, colour);
    } else if (index == C.GetTabIndex()) {
        colour = C.GetTextColors()->GetSelected();
        C.DoGetTextColor(index, tsSelected, colour);
    } else {
        colour = C.GetTextColors()->GetUnselected();
        C.DoGetTextColor(index, tsUnselected, colour);
    }
    return colour;
}

void TUiTabPainter::Caption(int index, const TRect& textRect, TColor colour) {
    const TUiTabData& t = S.Tabs.Items(index);
    const bool bold = C.GetBoldCurrentTab() && index == C.GetTabIndex();
    const bool cues = C.GetKeyboardCuesShown();
    const std::string text = cues ? t.Caption : RemoveAccelerators(t.Caption);
    const std::vector<std::string> lines = UiTabCaptionLines(text);
    if (S.Options.VerticalText) {
        VerticalCaption(index, textRect, colour, lines, bold, cues);
        return;
    }
    CaptionLines(Cv, lines, textRect, bold, colour, cues);
}

void TUiTabPainter::CaptionLines(TCanvas& canvas, const std::vector<std::string>& lines, const TRect& r,
                                 bool bold, TColor colour, bool underlineAccel) {
    TFont font = UiTabDrawingFont(*C.GetFont(), bold);
    font.SetColor(colour);
    canvas.SetFont(font);
    canvas.GetBrush()->SetStyle(bsClear);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    std::vector<TSize> sizes;
    int total = 0;
    for (const std::string& line : lines) {
        TSize e = canvas.TextExtent(UiTabPlainCaption(line));
        sizes.push_back(e);
        total += e.cy;
    }
    int y = r.Top;
    switch (C.GetTextAlignmentVertical()) {
        case vaTop: break;
        case vaCenter: y = r.Top + (r.Height() - total) / 2; break;
        case vaBottom: y = r.Bottom - total; break;
    }
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        int x = r.Left;
        switch (C.GetTextAlignment()) {
            case haLeft: break;
            case haCenter: x = r.Left + (r.Width() - sizes[k].cx) / 2; break;
            case haRight: x = r.Right - sizes[k].cx; break;
        }
        // Up to three pieces: before the accelerator, the accelerator underlined, after it.
        std::string before, accel, after;
        bool found = false;
        for (size_t i = 0; i < line.size(); ++i) {
            char ch = line[i];
            if (ch == '&' && i + 1 < line.size()) {
                if (line[i + 1] == '&') {
                    (found ? after : before) += '&';
                    ++i;
                    continue;
                }
                if (!found) {
                    found = true;
                    // One whole UTF-8 character.
                    size_t len = 1;
                    unsigned char lead = static_cast<unsigned char>(line[i + 1]);
                    if (lead >= 0xF0) len = 4; else if (lead >= 0xE0) len = 3; else if (lead >= 0xC0) len = 2;
                    accel = line.substr(i + 1, len);
                    i += len;
                    continue;
                }
                continue;
            }
            if (ch == '&') continue;
            (found ? after : before) += ch;
        }
        canvas.TextOut(x, y, before);
        x += canvas.TextExtent(before).cx;
        if (!accel.empty()) {
            TFont u = font;
            TFontStyles st = u.GetStyle();
            if (underlineAccel) st.Include(fsUnderline);
            u.SetStyle(st);
            canvas.SetFont(u);
            canvas.TextOut(x, y, accel);
            x += canvas.TextExtent(accel).cx;
            canvas.SetFont(font);
            canvas.TextOut(x, y, after);
        }
        y += sizes[k].cy;
    }
}

void TUiTabPainter::VerticalCaption(int, const TRect& r, TColor colour, const std::vector<std::string>& lines,
                                    bool bold, bool underlineAccel) {
    // Drawn unrotated into a scratch bitmap (black on white), then turned onto the tab: a
    // quarter turn to the left (reading upward), or to the right on right-hand tabs.
    const int w = r.Height(), h = r.Width();
    if (w <= 0 || h <= 0) return;
    TBitmap scratch(w, h);
    TCanvas* sc = scratch.GetCanvas();
    sc->GetBrush()->SetColor(clWhite);
    sc->FillRect(TRect(0, 0, w, h));
    CaptionLines(*sc, lines, TRect(0, 0, w, h), bold, clBlack, underlineAccel);
    const bool clockwise = S.Options.Orientation == toRight;
    const TColor rgb = ColorToRGB(colour);
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) {
            if (scratch.GetPixel(u, v) != clBlack) continue;
            int x, y;
            if (clockwise) {
                x = r.Right - 1 - v;
                y = r.Top + u;
            } else {
                x = r.Left + v;
                y = r.Bottom - 1 - u;
            }
            Cv.SetPixel(x, y, rgb);
        }
}

void TUiTabPainter::HotBar(int index, const TRect& tabRect, TColor fill) {
    TRect bar(tabRect.Left - 1, tabRect.Top - 1, tabRect.Right + 1, tabRect.Bottom + 1);
    switch (S.Options.Orientation) {
        case toTop: bar.Bottom = bar.Top + 6; break;
        case toLeft: bar.Right = bar.Left + 6; break;
        case toBottom: bar.Top = bar.Bottom - 4; break;
        case toRight: bar.Left = bar.Right - 4; break;
    }
    TColor colour;
    if (index == C.GetTabIndex())
        colour = C.GetTabColors()->GetHighlightBar();
    else if (C.GetHotTrackColorSource() == htcsTabColor)
        colour = DarkerColor(fill, 40);
    else
        colour = C.GetHotTrackColorType() == htctActual ? C.GetHotTrackColor()
                                                        : ComplementaryColor(C.GetHotTrackColor(), 140);
    Cv.GetBrush()->SetStyle(bsSolid);
    Cv.GetBrush()->SetColor(colour);
    Cv.FillRect(bar);
}

void TUiTabPainter::Card(int row) {
    TRect card = S.CardRect(row);
    TRect painted = card;
    if (S.Options.CardVisible) {
        painted.Right += 1;
        painted.Bottom += 1;
    }
    if (!C.DoPaintCardBackground(&Cv, row, painted)) {
        const int sel = C.GetTabIndex();
        TColor fill = C.GetColor();
        if (C.GetUseColoredTabs() && sel >= 0 && sel < S.Tabs.Count()) fill = S.Tabs.Items(sel).Color;
        Cv.GetBrush()->SetStyle(bsSolid);
        Cv.GetBrush()->SetColor(fill);
        Cv.FillRect(painted);
    }
    if (S.Options.ShowCardFrame) {
        CardFrame(row, card);
        Replay();
    }
}

void TUiTabPainter::CardFrame(int row, const TRect& card) {
    const TUiTabLayoutOptions& o = S.Options;
    const bool shadow = o.ShowShadow && o.Orientation == toTop && !S.Reverse();
    int L = card.Left, T = card.Top, R = card.Right, B = card.Bottom;
    const int outerR = R, outerB = B;
    if (shadow) {
        R -= 2;
        B -= 2;
    }
    // The side facing the tabs, with its gap under the selected tab of row 0.
    const int sel = C.GetTabIndex();
    const bool gap = row == 0 && sel >= 0 && sel < S.Tabs.Count() && S.IsFullyVisible(sel) &&
                     sel >= S.FirstVisibleTab;
    const TRect tab = gap ? S.TabRect(sel) : TRect();
    FSteps.push_back({ocFrameColor, {}});
    FSteps.push_back({ocPenFrame, {}});
    auto line = [&](TPoint a, TPoint b) {
        FSteps.push_back({ocMoveTo, a});
        FSteps.push_back({ocLineTo, b});
    };
    // The side facing the tabs, both ends included, open strictly between lo and hi.
    const bool across = o.Orientation == toTop || o.Orientation == toBottom;
    auto tabSide = [&](int fixed, int from, int to, int lo, int hi) {
        auto pt = [&](int v) { return across ? TPoint(v, fixed) : TPoint(fixed, v); };
        if (!gap) {
            line(pt(from), pt(to + 1));
            return;
        }
        if (lo >= from) line(pt(from), pt(std::min(lo, to) + 1));
        if (hi <= to) line(pt(std::max(hi, from)), pt(to + 1));
    };
    const bool full = o.ShowFullFrame;
    auto loop = [&](std::initializer_list<TPoint> pts) {
        if (!full) return;
        auto it = pts.begin();
        FSteps.push_back({ocMoveTo, *it});
        for (++it; it != pts.end(); ++it) FSteps.push_back({ocLineTo, *it});
    };
    switch (o.Orientation) {
        case toTop:
            tabSide(T, L, R, tab.Left, tab.Right);
            loop({TPoint(R, T), TPoint(R, B), TPoint(L, B), TPoint(L, T)});
            break;
        case toBottom:
            tabSide(B, L, R, tab.Left, tab.Right);
            loop({TPoint(L, B), TPoint(L, T), TPoint(R, T), TPoint(R, B)});
            break;
        case toLeft:
            tabSide(L, T, B, tab.Top, tab.Bottom);
            loop({TPoint(L, T), TPoint(R, T), TPoint(R, B), TPoint(L, B)});
            break;
        case toRight:
            tabSide(R, T, B, tab.Top, tab.Bottom);
            loop({TPoint(R, T), TPoint(L, T), TPoint(L, B), TPoint(R, B)});
            break;
    }
    if (shadow && full) {
        // A soft shadow along the right and bottom edges (every repaint here is a full one,
        // so it is always redrawn).
        FSteps.push_back({ocMoveTo, TPoint(outerR - 1, T + 1)});
        FSteps.push_back({ocShadow30, TPoint(outerR - 1, outerB - 1)});
        FSteps.push_back({ocShadow30, TPoint(L, outerB - 1)});
        FSteps.push_back({ocMoveTo, TPoint(outerR - 1, T)});
        FSteps.push_back({ocShadow15, TPoint(outerR, T)});
        FSteps.push_back({ocShadow15, TPoint(outerR, outerB)});
        FSteps.push_back({ocShadow15, TPoint(L, outerB)});
        FSteps.push_back({ocShadow15, TPoint(L, outerB - 1)});
    }
}

void TUiTabPainter::RecordTabOutline(int index) {
    std::vector<TPoint> shape = S.TabShape(index);
    const TUiTabStyle style = S.Options.Style;
    size_t want = 0;
    switch (style) {
        case tsSingleSlant:
        case tsDoubleSlant:
        case tsBackSlant: want = S.Options.SoftCorners ? 6 : (style == tsDoubleSlant ? 4 : 5); break;
        case tsCutCorner: want = 5; break;
        case tsRoundCorners: want = 6; break;
        case tsSquareCorners: want = 4; break;
    }
    if (shape.size() != want) throw EUiTabControlError(SUiTabShapePoints);
    FSteps.push_back({ocPenFrame, {}});
    FSteps.push_back({ocMoveTo, shape[0]});
    for (size_t i = 1; i < shape.size(); ++i) FSteps.push_back({ocLineTo, shape[i]});
}

void TUiTabPainter::Replay() {
    TPen* pen = Cv.GetPen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetMode(pmCopy);
    for (const TOutlineStep& s : FSteps) {
        switch (s.Command) {
            case ocPenFrame: pen->SetColor(FFrame); break;
            case ocNothing: break;
            case ocFrameColor: FFrame = C.FrameColor(); break;
            case ocMoveTo:
                Cv.MoveTo(s.Point.x, s.Point.y);
                FPen = s.Point;
                break;
            case ocLineTo:
                Cv.LineTo(s.Point.x, s.Point.y);
                FPen = s.Point;
                break;
            case ocShadow30:
                ShadowRun(FPen, s.Point, 30);
                FPen = s.Point;
                break;
            case ocShadow15:
                ShadowRun(FPen, s.Point, 15);
                FPen = s.Point;
                break;
        }
    }
    FSteps.clear();
}

void TUiTabPainter::ShadowRun(TPoint from, TPoint to, int weight) {
    // Like a line, the run leaves out its end point. It lies along an edge, so the box of its
    // pixels holds nothing else: only the part that this paint shows is blended, over the
    // parent's pixels under that part alone, and drawn in one go.
    if (from == to) return;
    const int dx = (to.x > from.x) - (to.x < from.x), dy = (to.y > from.y) - (to.y < from.y);
    const TPoint last(to.x - dx, to.y - dy);
    const TRect run = Intersection(TRect(std::min(from.x, last.x), std::min(from.y, last.y),
                                         std::max(from.x, last.x) + 1, std::max(from.y, last.y) + 1),
                                   Cv.GetClipRect());
    if (run.IsEmpty()) return;
    TBitmap behind(run.Width(), run.Height());
    TCanvas* bc = behind.GetCanvas();
    bc->SetOrigin(-run.Left, -run.Top);
    bc->GetBrush()->SetColor(C.GetParent() ? C.GetParent()->GetColor() : C.GetBackgroundColor());
    bc->FillRect(run);
    DrawParentImage(&C, bc);
    TColor back = -1, shade = 0;  // the last blend: a run is mostly of one colour
    for (int y = 0; y < run.Height(); ++y)
        for (int x = 0; x < run.Width(); ++x) {
            if (const TColor b = behind.GetPixel(x, y); b != back)
                shade = BlendColors(clBlack, back = b, static_cast<std::uint8_t>(weight));
            behind.SetPixel(x, y, shade);
        }
    Cv.Draw(run.Left, run.Top, behind);
}

// ---- the engine's paint hooks ---------------------------------------------------------------

bool TUiCustomTabControl::DoPaintBackground(TCanvas* Canvas, const TRect& Rect) {
    bool handled = false;
    if (OnPaintBackground) OnPaintBackground(this, Canvas, Rect, handled);
    return handled;
}

bool TUiCustomTabControl::DoPaintCardBackground(TCanvas* Canvas, int Row, const TRect& Rect) {
    bool handled = false;
    if (OnPaintCardBackground) OnPaintCardBackground(this, Canvas, Row, Rect, handled);
    return handled;
}

bool TUiCustomTabControl::DoPaintTabBackground(TCanvas* Canvas, int TabIndex, const TRect& Rect) {
    bool handled = false;
    if (OnPaintTabBackground) OnPaintTabBackground(this, Canvas, TabIndex, Rect, handled);
    return handled;
}

void TUiCustomTabControl::DoGetTextColor(int TabIndex, TUiTextStyle Style, TColor& Color) {
    bool handled = false;
    TColor c = Color;
    if (OnGetTextColor) OnGetTextColor(this, TabIndex, Style, c, handled);
    if (handled) Color = c;
}

void TUiCustomTabControl::MakeDragIndicatorBitmap(TBitmap& bitmap, TColor back) const {
    const bool side = FStrip.Options.Orientation == toLeft || FStrip.Options.Orientation == toRight;
    const int w = side ? 8 : 15, h = side ? 15 : 8;
    bitmap.SetSize(w, h);
    const TColor ink = XorColors(FDragIndicatorColor, back);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // d: depth from the outer edge; a: position along the strip.
            int d = 0, a = 0;
            switch (FStrip.Options.Orientation) {
                case toTop: d = y; a = x; break;
                case toBottom: d = h - 1 - y; a = x; break;
                case toLeft: d = x; a = y; break;
                case toRight: d = w - 1 - x; a = y; break;
            }
            bitmap.SetPixel(x, y, (a >= d && a < 15 - d) ? ink : clBlack);
        }
}

void TUiCustomTabControl::DrawDragIndicator(const TRect& Rect) {
    TWinControl* parent = GetParent();
    if (Rect.IsEmpty() || !parent) {
        if (FDragIndicator) FDragIndicator->SetVisible(false);
        return;
    }
    if (!FDragIndicator) {
        FDragIndicator = new TUiTabDragIndicator(this, this);
        FDragIndicator->SetParent(parent);
    }
    FDragIndicator->SetBoundsRect(TRect(Rect.Left + GetLeft(), Rect.Top + GetTop(), Rect.Right + GetLeft(),
                                        Rect.Bottom + GetTop()));
    FDragIndicator->SetVisible(true);
    FDragIndicator->BringToFront();
    FDragIndicator->Invalidate();
}
