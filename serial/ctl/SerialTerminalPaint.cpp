// Drawing the terminal: the frame, every cell in its colours, underlines and the caret.
#include <algorithm>

#include "platform/rtl/Utf8.h"
#include "platform/ui/ExtCtrls.h"
#include "serial/ctl/SerialTerminal.h"

TSize TCustomSerialTerminal::GetCellSize() {
    TCanvas& c = *GetCanvas();
    c.SetFont(*GetFont());
    TTextMetric tm = GetFontTextMetric(*GetFont());
    TSize size;
    size.cx = std::max(1, c.TextWidth("W"));
    size.cy = std::max(1, tm.tmHeight);
    return size;
}

void TCustomSerialTerminal::Paint() {
    TCanvas& c = *GetCanvas();
    TRect client = GetClientRect();
    c.GetBrush()->SetColor(GetColor());
    c.FillRect(client);
    if (FBorderStyle != bsNone) {
        client = Frame3D(c, client, clBtnShadow, clBtnHighlight, 1);
        client = Frame3D(c, client, cl3DDkShadow, cl3DLight, 1);
    }
    const TSize cell = GetCellSize();
    const int ox = client.Left, oy = client.Top;
    c.SaveState();
    c.IntersectClipRect(client.Left, client.Top, client.Right, client.Bottom);
    c.GetBrush()->SetStyle(bsClear);
    for (int y = 1; y <= FRows; ++y) {
        const int top = oy + (y - 1) * cell.cy;
        if (top >= client.Bottom) break;
        for (int x = 1; x <= FColumns; ++x) {
            const int left = ox + (x - 1) * cell.cx;
            if (left >= client.Right) break;
            const TSerialTermChar ch = FBuffer->GetChar(x, y);
            if (ch.Ch == 0) continue;
            const TRect r(left, top, left + cell.cx, top + cell.cy);
            c.GetBrush()->SetColor(ch.BackColor);
            c.FillRect(r);
            c.GetBrush()->SetStyle(bsClear);
            if (ch.Ch != U' ') {
                std::string text;
                utf8::Append(text, ch.Ch);
                c.GetFont()->SetColor(ch.FrontColor);
                c.TextOut(left, top, text);
            }
            if (ch.Underline) {
                c.GetBrush()->SetColor(ch.FrontColor);
                c.FillRect(TRect(left, r.Bottom - 1, r.Right, r.Bottom));
                c.GetBrush()->SetStyle(bsClear);
            }
        }
    }
    if (!FCaretHidden && FCaret != tcNone && GetEnabled()) {
        const int left = ox + (FCaretX - 1) * cell.cx;
        const int bottom = oy + FCaretY * cell.cy;
        const int height = FCaret == tcBlock ? cell.cy : std::max(1, cell.cy / 8);
        // The caret inverts what lies under it, as the system caret does.
        const TRect r(left, bottom - height, left + cell.cx, bottom);
        for (int py = std::max(r.Top, client.Top); py < std::min(r.Bottom, client.Bottom); ++py)
            for (int px = std::max(r.Left, client.Left); px < std::min(r.Right, client.Right); ++px)
                c.SetPixel(px, py, ~c.GetPixel(px, py) & 0xFFFFFF);
    }
    c.RestoreState();
}
