#include "widgets/UiTabsLayout.h"

#include <algorithm>
#include <cstdlib>

std::string UiTabPlainCaption(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

std::vector<std::string> UiTabCaptionLines(const std::string& caption) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t p = caption.find("\r\n", start);
        if (p == std::string::npos) {
            lines.push_back(caption.substr(start));
            return lines;
        }
        lines.push_back(caption.substr(start, p - start));
        start = p + 2;
    }
}

int TUiTabStripLayout::Overlap(int d) const {
    switch (Options.Style) {
        case tsSingleSlant:
        case tsBackSlant: return d / 2;
        case tsDoubleSlant: return d;
        case tsCutCorner:
        case tsRoundCorners: return Options.TabOverlap;
        case tsSquareCorners: return Options.TabOverlap + 1;
    }
    return 0;
}

int TUiTabStripLayout::FirstVisibleIndex() const {
    for (int i = 0; i < Tabs.Count(); ++i)
        if (Tabs.Items(i).Visible) return i;
    return -1;
}

int TUiTabStripLayout::LastVisibleIndex() const {
    for (int i = Tabs.Count() - 1; i >= 0; --i)
        if (Tabs.Items(i).Visible) return i;
    return -1;
}

int TUiTabStripLayout::FirstShownFrom(int i) const {
    for (int k = std::max(i, 0); k < Tabs.Count(); ++k)
        if (Tabs.Items(k).Visible) return k;
    return FirstVisibleIndex();
}

TSize TUiTabStripLayout::TextSize(const std::string& caption, const IUiTabTextMetrics& m) const {
    TSize size;
    for (const std::string& line : UiTabCaptionLines(UiTabPlainCaption(caption))) {
        TSize e = m.TextExtent(line, Options.BoldCurrentTab);
        size.cx = std::max(size.cx, e.cx);
        size.cy += e.cy;
    }
    if (Options.VerticalText) std::swap(size.cx, size.cy);
    return size;
}

TSize TUiTabStripLayout::ContentSize(const TUiTabData& tab, const IUiTabTextMetrics& m) const {
    const TUiTabLayoutOptions& o = Options;
    TSize text = TextSize(tab.Caption, m);
    TSize image;
    if (o.HasImages && tab.ImageIndex != -1) image = {o.ImageWidth, o.ImageHeight};
    TSize c;
    switch (o.ImagePosition) {
        case ipLeft:
        case ipRight:
            c = {o.ImageMargin + image.cx + text.cx, std::max(image.cy, text.cy)};
            break;
        case ipTop:
        case ipBottom:
            c = {std::max(image.cx, text.cx), o.ImageMargin + image.cy + text.cy};
            break;
        case ipBack: c = {std::max(image.cx, text.cx), std::max(image.cy, text.cy)}; break;
        case ipStretch: c = text; break;
    }
    if (o.TabWidth == 0) c.cx = std::max(c.cx, TextSize(RoundStyle() ? "AAA" : "A", m).cx);
    if (o.TabHeight == 0) c.cy = std::max(c.cy, m.FontHeight());
    if (o.ShowCloseButtonOnActiveTab && TextAlong()) {
        if (Horizontal())
            c.cx += 20;
        else
            c.cy += 20;
    }
    return c;
}

int TUiTabStripLayout::RowTop(int row) const {
    return TabAreaHeight - FixedDimension - row * (FixedDimension - Options.RowOverlap);
}

void TUiTabStripLayout::Arrange(const IUiTabTextMetrics& m) {
    const TUiTabLayoutOptions& o = Options;
    const int n = Tabs.Count();
    ButtonBase = m.TextExtent("A", false).cy + 4 + (o.VerticalText ? 2 : 0);

    // Content extents along (L) and across (D) the strip.
    std::vector<int> along(n, 0), across(n, 0);
    int maxAcross = 0;
    for (int i = 0; i < n; ++i) {
        TUiTabData& t = Tabs.Items(i);
        if (!t.Visible) {
            t.Rect = TRect();
            t.Row = 0;
            continue;
        }
        TSize c = ContentSize(t, m);
        along[i] = Horizontal() ? c.cx : c.cy;
        across[i] = Horizontal() ? c.cy : c.cx;
        maxAcross = std::max(maxAcross, across[i]);
    }

    // Tab sizes by style; every tab as deep as the deepest content.
    const int fixedLength = Horizontal() ? o.TabWidth : o.TabHeight;
    const int fixedDepth = Horizontal() ? o.TabHeight : o.TabWidth;
    std::vector<int> lengths(n, 0);
    FixedDimension = 0;
    for (int i = 0; i < n; ++i) {
        if (!Tabs.Items(i).Visible) continue;
        const int L = along[i], D = maxAcross;
        int length = 0, depth = 0;
        switch (o.Style) {
            case tsSingleSlant:
            case tsBackSlant:
                length = 2 * Overlap(D + 6) + L + 6 + o.TabHeight / 2;
                depth = D + 6;
                break;
            case tsDoubleSlant:
                length = 2 * Overlap(D + 2) + L + 6 + o.TabHeight;
                depth = D + 6;
                break;
            case tsCutCorner:
                if (TextAlong()) {
                    length = L + 8 + 2 * o.CutCornerSize;
                    depth = D + 7;
                } else {
                    length = L + 10;
                    depth = D + 7 + o.CutCornerSize;
                }
                break;
            case tsRoundCorners:
            case tsSquareCorners:
                length = L + 6;
                depth = D + 6;
                break;
        }
        if (fixedLength > 0) length = fixedLength;
        if (fixedDepth > 0) depth = fixedDepth;
        lengths[i] = length;
        FixedDimension = std::max(FixedDimension, depth);
    }

    // Rows: the fewest with which the greedy placement fits every tab.
    const bool any = AnyVisible();
    int visibleCount = 0;
    for (int i = 0; i < n; ++i) visibleCount += Tabs.Items(i).Visible ? 1 : 0;
    RowCount = 1;
    TabAreaHeight = 0;
    if (o.MultiLine && any) {
        for (int r = 1; r <= std::max(visibleCount, 1); ++r) {
            RowCount = r;
            int avail = StripLength() - 2 * o.Margin - (r - 1) * o.RowIndent;
            if (Place(lengths, avail, false) <= r) break;
        }
    }

    if (!o.CardVisible)
        TabAreaHeight = (Horizontal() ? o.ClientHeight : o.ClientWidth) - 1;
    else if (any)
        TabAreaHeight = FixedDimension + (FixedDimension - o.RowOverlap) * (RowCount - 1) +
                        (RoundStyle() ? 3 : 0);

    if (!any) return;
    int avail = o.MultiLine ? StripLength() - 2 * o.Margin - (RowCount - 1) * o.RowIndent
                            : PlacingLength();
    Place(lengths, avail, true);
    if (o.MultiLine && o.AlignTabs && fixedLength <= 0) AlignRows();

    for (int i = 0; i < n; ++i) {
        TUiTabData& t = Tabs.Items(i);
        if (!t.Visible || t.Row == 0) continue;
        int shift = t.Row * o.RowIndent * (Reverse() ? -1 : 1);
        t.Rect.Left += shift;
        t.Rect.Right += shift;
    }
}

int TUiTabStripLayout::Place(const std::vector<int>& lengths, int avail, bool store) {
    const TUiTabLayoutOptions& o = Options;
    const int O = Overlap(FixedDimension);
    const int limit = avail - (RoundStyle() ? 4 : 0);
    int pos = o.Margin;  // distance from the strip's start
    int row = 0;
    bool atRowStart = true, endRow = false;
    for (int i = 0; i < Tabs.Count(); ++i) {
        TUiTabData& t = Tabs.Items(i);
        if (!t.Visible) continue;
        int len = std::max(std::min(lengths[i], limit), 0);
        if (o.MultiLine) {
            if (endRow || (!atRowStart && pos + len >= avail)) {
                ++row;
                pos = o.Margin;
                atRowStart = true;
                endRow = false;
            }
            if (atRowStart && pos + len >= avail) endRow = true;
        }
        if (store) {
            int top = RowTop(row);
            if (Reverse())
                t.Rect = TRect(-pos - len, top, -pos, top + FixedDimension);
            else
                t.Rect = TRect(pos, top, pos + len, top + FixedDimension);
            t.Row = row;
        }
        pos += len - O + 1;
        atRowStart = false;
    }
    if (store && Reverse()) {
        // Back into positive coordinates; only the scroll offset decides the final place.
        int shift = o.MultiLine ? o.ClientWidth : std::abs(pos);
        for (int i = 0; i < Tabs.Count(); ++i) {
            TUiTabData& t = Tabs.Items(i);
            if (!t.Visible) continue;
            t.Rect.Left += shift;
            t.Rect.Right += shift;
        }
    }
    return row + 1;
}

void TUiTabStripLayout::AlignRows() {
    const TUiTabLayoutOptions& o = Options;
    for (int r = 0; r < RowCount; ++r) {
        std::vector<int> members;
        int lo = 0, hi = 0;
        for (int i = 0; i < Tabs.Count(); ++i) {
            const TUiTabData& t = Tabs.Items(i);
            if (!t.Visible || t.Row != r) continue;
            if (members.empty()) {
                lo = t.Rect.Left;
                hi = t.Rect.Right;
            }
            lo = std::min(lo, t.Rect.Left);
            hi = std::max(hi, t.Rect.Right);
            members.push_back(i);
        }
        if (members.empty()) continue;
        int spare = StripLength() - 2 * o.Margin - (RowCount - 1) * o.RowIndent - (hi - lo) -
                    (RoundStyle() ? 4 : 0);
        if (spare <= 0) continue;
        const int count = static_cast<int>(members.size());
        int moved = 0;
        for (int k = 0; k < count; ++k) {
            int share = spare / count + (k < spare % count ? 1 : 0);
            TRect& rc = Tabs.Items(members[static_cast<size_t>(k)]).Rect;
            if (Reverse()) {
                rc.Right -= moved;
                rc.Left -= moved + share;
            } else {
                rc.Left += moved;
                rc.Right += moved + share;
            }
            moved += share;
        }
    }
}

void TUiTabStripLayout::UpdateScrolling() {
    const int first = FirstVisibleIndex();
    const int previous = FirstVisibleTab;
    if (Options.MultiLine || first < 0) {
        TabsScrolled = false;
    } else {
        int limit = StripLength() - 2 * Options.Margin - CloseExtra() - MenuExtra();
        int edge = Reverse() ? Tabs.Items(first).Rect.Right : Tabs.Items(LastVisibleIndex()).Rect.Right;
        TabsScrolled = limit < edge;
    }
    if (!TabsScrolled) {
        FirstVisibleTab = first;
        return;
    }
    const int n = Tabs.Count();
    for (int i = std::max(previous, 0); i < n; ++i) {
        FirstVisibleTab = i;
        if (IsFullyVisible(i)) return;
    }
    for (int i = std::min(previous, n) - 1; i >= 0; --i) {
        FirstVisibleTab = i;
        if (IsFullyVisible(i)) return;
    }
    FirstVisibleTab = first;
}

void TUiTabStripLayout::RotateRows(int selected) {
    if (!Options.MultiLine || selected < 0 || selected >= Tabs.Count()) return;
    if (!Tabs.Items(selected).Visible) return;
    int rows = 0;
    for (int i = 0; i < Tabs.Count(); ++i)
        if (Tabs.Items(i).Visible) rows = std::max(rows, Tabs.Items(i).Row + 1);
    const int s = Tabs.Items(selected).Row;
    if (rows <= 1 || s == 0) return;
    std::vector<int> tops(static_cast<size_t>(rows)), bottoms(static_cast<size_t>(rows));
    std::vector<bool> seen(static_cast<size_t>(rows), false);
    for (int i = 0; i < Tabs.Count(); ++i) {
        const TUiTabData& t = Tabs.Items(i);
        if (!t.Visible || seen[static_cast<size_t>(t.Row)]) continue;
        seen[static_cast<size_t>(t.Row)] = true;
        tops[static_cast<size_t>(t.Row)] = t.Rect.Top;
        bottoms[static_cast<size_t>(t.Row)] = t.Rect.Bottom;
    }
    for (int i = 0; i < Tabs.Count(); ++i) {
        TUiTabData& t = Tabs.Items(i);
        if (!t.Visible) continue;
        int row = (t.Row + rows - s) % rows;
        t.Row = row;
        t.Rect.Top = tops[static_cast<size_t>(row)];
        t.Rect.Bottom = bottoms[static_cast<size_t>(row)];
    }
}

bool TUiTabStripLayout::EnsureTabVisible(int v) {
    if (!TabsScrolled || v < 0 || v >= Tabs.Count()) return false;
    const int old = FirstVisibleTab;
    if (v >= FirstVisibleTab) {
        while (FirstVisibleTab < v && !IsFullyVisible(v)) ++FirstVisibleTab;
    } else {
        FirstVisibleTab = v;
    }
    return FirstVisibleTab != old;
}

bool TUiTabStripLayout::ScrollForward() {
    const int n = Tabs.Count();
    const int last = LastVisibleIndex();
    if (FirstVisibleTab >= n - 1 || last < 0 || IsFullyVisible(last)) return false;
    const int old = FirstVisibleTab;
    do {
        ++FirstVisibleTab;
    } while (FirstVisibleTab < n && !IsFullyVisible(FirstVisibleTab));
    if (FirstVisibleTab >= n) {
        FirstVisibleTab = old;
        return false;
    }
    return true;
}

bool TUiTabStripLayout::ScrollBack() {
    const int first = FirstVisibleIndex();
    if (FirstVisibleTab <= 0 || first < 0 || IsFullyVisible(first)) return false;
    const int old = FirstVisibleTab;
    do {
        --FirstVisibleTab;
    } while (FirstVisibleTab >= 0 && !IsFullyVisible(FirstVisibleTab));
    if (FirstVisibleTab < 0) {
        FirstVisibleTab = old;
        return false;
    }
    return true;
}

bool TUiTabStripLayout::IsFullyVisible(int i) const {
    if (i < 0 || i >= Tabs.Count() || !Tabs.Items(i).Visible) return false;
    if (!TabsScrolled) return true;
    if (i < FirstVisibleTab) return false;
    const TRect& r = Tabs.Items(i).Rect;
    const int s = ScrollOffset();
    int from = Reverse() ? s - r.Right : r.Left - s;
    int to = Reverse() ? s - r.Left : r.Right - s;
    return from >= 0 && to <= ScrollingLength();
}

TRect TUiTabStripLayout::TabAreaRect() const {
    const int W = Options.ClientWidth - 1, H = Options.ClientHeight - 1, D = TabAreaHeight;
    switch (Options.Orientation) {
        case toTop:
            return TRect(0, 0, (!Reverse() && Options.ShowShadow) ? W - 2 : W, D);
        case toLeft: return TRect(0, 0, D, H);
        case toBottom: return TRect(0, H - D, W, H);
        case toRight: return TRect(W - D, 0, W, H);
    }
    return TRect();
}

int TUiTabStripLayout::StripLength() const {
    TRect a = TabAreaRect();
    return Horizontal() ? a.Width() : a.Height();
}

int TUiTabStripLayout::PlacingLength() const {
    return StripLength() - 2 * Options.Margin - CloseExtra() - MenuExtra() -
           (TabsScrolled ? 2 * ButtonLength() + 2 : 0);
}

int TUiTabStripLayout::ScrollingLength() const {
    return StripLength() - 2 * ButtonLength() - 2 * Options.Margin - CloseExtra() - MenuExtra();
}

int TUiTabStripLayout::ScrollOffset() const {
    int first = FirstShownFrom(FirstVisibleTab);
    if (first < 0) return 0;
    const TRect& r = Tabs.Items(first).Rect;
    if (Reverse()) return r.Right + Options.Margin + 2;
    return r.Left - Options.Margin - (RoundStyle() ? 2 : 0);
}

TPoint TUiTabStripLayout::MapPoint(TPoint p) const {
    const TRect a = TabAreaRect();
    const int s = ScrollOffset();
    if (!Reverse()) {
        switch (Options.Orientation) {
            case toTop: return TPoint(a.Left + p.x - s, a.Top + p.y);
            case toBottom: return TPoint(a.Left + p.x - s, a.Bottom - p.y);
            case toLeft: return TPoint(a.Left + p.y, a.Bottom - (p.x - s));
            case toRight: return TPoint(a.Right - p.y, a.Top + (p.x - s));
        }
    } else {
        switch (Options.Orientation) {
            case toTop: return TPoint(a.Right - (s - p.x), a.Top + p.y);
            case toBottom: return TPoint(a.Right - (s - p.x), a.Bottom - p.y);
            case toLeft: return TPoint(a.Left + p.y, a.Top + (s - p.x));
            case toRight: return TPoint(a.Right - p.y, a.Bottom - (s - p.x));
        }
    }
    return p;
}

TRect TUiTabStripLayout::MapRect(const TRect& r) const {
    TPoint a = MapPoint(TPoint(r.Left, r.Top));
    TPoint b = MapPoint(TPoint(r.Right, r.Bottom));
    return TRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

TRect TUiTabStripLayout::StripTabRect(int i) const {
    if (i < 0 || i >= Tabs.Count() || !Tabs.Items(i).Visible) return TRect();
    TRect r = Tabs.Items(i).Rect;
    if (RoundStyle() && i == Selected) {
        r.Left -= 2;
        r.Right += 2;
        r.Top -= 2;
    }
    return r;
}

TRect TUiTabStripLayout::TabRect(int i) const {
    if (i < 0 || i >= Tabs.Count() || !Tabs.Items(i).Visible) return TRect();
    return MapRect(StripTabRect(i));
}

std::vector<TPoint> TUiTabStripLayout::StripTabShape(const TRect& rc) const {
    const int L = rc.Left, T = rc.Top, R = rc.Right, B = rc.Bottom, h = B - T;
    const bool soft = Options.SoftCorners;
    switch (Options.Style) {
        case tsSingleSlant:
            if (soft) return {{L, B}, {L, T + 2}, {L + 2, T}, {R - h - 4, T}, {R - h + 2, T + 2}, {R, B}};
            return {{L, B}, {L, T + 2}, {L + 2, T}, {R - h, T}, {R, B}};
        case tsDoubleSlant:
            if (soft)
                return {{L, B}, {L + h - 2, T + 2}, {L + h + 4, T}, {R - h - 4, T}, {R - h + 2, T + 2}, {R, B}};
            return {{L, B}, {L + h, T}, {R - h, T}, {R, B}};
        case tsCutCorner: {
            const int C = Options.CutCornerSize;
            return {{L, B}, {L, T}, {R - C, T}, {R, T + C}, {R, B}};
        }
        case tsRoundCorners: return {{L, B}, {L, T + 2}, {L + 2, T}, {R - 2, T}, {R, T + 2}, {R, B}};
        case tsBackSlant:
            if (soft) return {{L, B}, {L + h - 2, T + 2}, {L + h + 4, T}, {R - 2, T}, {R, T + 2}, {R, B}};
            return {{L, B}, {L + h, T}, {R - 2, T}, {R, T + 2}, {R, B}};
        case tsSquareCorners: return {{L, B}, {L, T}, {R, T}, {R, B}};
    }
    return {};
}

std::vector<TPoint> TUiTabStripLayout::TabShape(int i) const {
    if (i < 0 || i >= Tabs.Count() || !Tabs.Items(i).Visible) return {};
    std::vector<TPoint> pts = StripTabShape(StripTabRect(i));
    for (TPoint& p : pts) p = MapPoint(p);
    return pts;
}

TRect TUiTabStripLayout::CardRect(int row) const {
    const TUiTabLayoutOptions& o = Options;
    TRect c(0, 0, o.ClientWidth - 1, o.ClientHeight - 1);
    if (o.CardVisible && !AnyVisible()) return c;
    const int P = row * (FixedDimension - o.RowOverlap);
    const int side = TabAreaHeight - P;
    switch (o.Orientation) {
        case toTop: c.Top += side; c.Bottom -= P; break;
        case toBottom: c.Bottom -= side; c.Top += P; break;
        case toLeft: c.Left += side; c.Right -= P; break;
        case toRight: c.Right -= side; c.Left += P; break;
    }
    int startIn = row * o.RowIndent, endIn = (RowCount - row - 1) * o.RowIndent;
    if (Reverse()) std::swap(startIn, endIn);
    switch (o.Orientation) {
        case toTop:
        case toBottom: c.Left += startIn; c.Right -= endIn; break;
        case toLeft: c.Bottom -= startIn; c.Top += endIn; break;
        case toRight: c.Top += startIn; c.Bottom -= endIn; break;
    }
    if (c.IsEmpty()) c = TRect();
    if (!o.CardVisible) {
        switch (o.Orientation) {
            case toTop: c.Left -= 3; c.Right += 3; c.Bottom += 3; break;
            case toBottom: c.Left -= 3; c.Right += 3; c.Top -= 3; break;
            case toLeft: c.Top -= 3; c.Bottom += 3; c.Right += 3; break;
            case toRight: c.Top -= 3; c.Bottom += 3; c.Left -= 3; break;
        }
    }
    return c;
}

TRect TUiTabStripLayout::DisplayRect() const {
    const TUiTabLayoutOptions& o = Options;
    if (!o.CardVisible) return TRect(-2, -2, -1, -1);
    TRect r = CardRect(0);
    if (o.ShowCardFrame && o.ShowFullFrame) {
        ++r.Left;
        ++r.Top;
        if (o.Orientation == toTop && !Reverse() && o.ShowShadow) {
            r.Right -= 2;
            r.Bottom -= 2;
        }
    } else if (o.ShowCardFrame) {
        if (o.Orientation == toTop) ++r.Top;
        ++r.Right;
        ++r.Bottom;
    } else {
        if (!o.ShowFullFrame) {
            if (o.Orientation == toLeft) --r.Left;
            if (o.Orientation == toBottom) ++r.Bottom;
            if (o.Orientation == toRight) ++r.Right;
        }
        ++r.Right;
        ++r.Bottom;
    }
    return r;
}

int TUiTabStripLayout::ButtonLength() const {
    const int F = FixedDimension - 2;
    const int fixedDepth = Horizontal() ? Options.TabHeight : Options.TabWidth;
    int length = ButtonBase;
    if (TextAlong() && fixedDepth >= 1) length = std::max(length, F);
    return length;
}

int TUiTabStripLayout::ButtonDepth() const {
    const int F = FixedDimension - 2;
    const int fixedDepth = Horizontal() ? Options.TabHeight : Options.TabWidth;
    if (TextAlong() && ButtonBase <= fixedDepth) return std::max(ButtonBase, F);
    return std::min(ButtonBase, F);
}

TRect TUiTabStripLayout::PlaceButton(int l, int d, int e) const {
    const TRect a = TabAreaRect();
    const int M = Options.Margin;
    const bool rev = Reverse();
    switch (Options.Orientation) {
        case toTop: {
            int left = rev ? a.Left + M + e
                           : (Options.ShowShadow ? a.Right - l - 1 - M - e : a.Right - l + 1 - M - e);
            return Bounds(left, a.Bottom - d - 2, l, d);
        }
        case toLeft:
            return Bounds(a.Right - d - 2, rev ? a.Bottom - l + 1 - M - e : a.Top + M + e, d, l);
        case toBottom:
            return Bounds(rev ? a.Left + M + e : a.Right - l + 1 - M - e, a.Top + 2, l, d);
        case toRight:
            return Bounds(a.Left + 2, rev ? a.Top + M + e : a.Bottom - l + 1 - M - e, d, l);
    }
    return TRect();
}

TRect TUiTabStripLayout::CloseButtonRect() const {
    return PlaceButton(ButtonLength(), ButtonDepth(), 0);
}

TRect TUiTabStripLayout::MenuButtonRect() const {
    return PlaceButton(ButtonLength(), ButtonDepth(), CloseExtra());
}

TRect TUiTabStripLayout::ScrollerRect() const {
    return PlaceButton(2 * ButtonLength() - 1, ButtonDepth(), CloseExtra() + MenuExtra());
}

int UiTabKeyTarget(TUiTabNavKey key, TUiTabOrientation orientation, TUiTabSequence sequence,
                   int count, int current, const std::function<bool(int)>& canSelect) {
    if (count <= 0) return -1;
    const bool reverse = sequence == tsReverse;
    if (key == TUiTabNavKey::Home || key == TUiTabNavKey::End) {
        bool fromStart = key == TUiTabNavKey::Home;
        if ((orientation == toLeft) != reverse) fromStart = !fromStart;
        if (fromStart) {
            int stop = (current >= 0 && current < count) ? current : count - 1;
            for (int i = 0; i <= stop; ++i)
                if (canSelect(i)) return i;
        } else {
            int stop = (current >= 0 && current < count) ? current : 0;
            for (int i = count - 1; i >= stop; --i)
                if (canSelect(i)) return i;
        }
        return -1;
    }
    bool forward = key == TUiTabNavKey::Right || key == TUiTabNavKey::Down;
    if (orientation == toLeft) forward = !forward;
    if (reverse) forward = !forward;
    const int step = forward ? 1 : -1;
    const int from = (current >= 0 && current < count) ? current : (forward ? -1 : count);
    for (int k = 1; k <= count; ++k) {
        int i = ((from + step * k) % count + count) % count;
        if (i == current) break;
        if (canSelect(i)) return i;
    }
    return -1;
}
