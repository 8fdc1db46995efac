#include "platform/ui/TextLayout.h"

#include "platform/ui/Graphics.h"

namespace ui::text {

namespace {

size_t CharLen(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return std::min(n, s.size() - i);
}

// Drops the last character (UTF-8 aware).
void PopChar(std::string& s) {
    if (s.empty()) return;
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    s.erase(i);
}

std::string ExpandTabs(const std::string& s, bool expand) {
    std::string out;
    size_t col = 0;
    for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
        if (s[i] == '\t') {
            size_t n = expand ? 8 - col % 8 : 1;
            out.append(n, ' ');
            col += n;
        } else {
            out.append(s, i, CharLen(s, i));
            ++col;
        }
    }
    return out;
}

struct Piece {
    std::string text;
    int underline = -1;
};

std::vector<Piece> SplitLines(const std::string& s, int underline, bool single) {
    std::vector<Piece> out(1);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r' || c == '\n') {
            if (single) continue;
            if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out.emplace_back();
            continue;
        }
        if (int(i) == underline) out.back().underline = int(out.back().text.size());
        out.back().text.push_back(c);
    }
    return out;
}

// Greedy word wrap at spaces; a word wider than the width stands alone on its line.
std::vector<Piece> Wrap(const Piece& p, int width, const Measure& measure) {
    std::vector<Piece> out;
    const std::string& s = p.text;
    size_t start = 0;
    for (;;) {
        size_t sp = s.find(' ', start);
        size_t end = sp == std::string::npos ? s.size() : sp;  // the first word always goes
        while (end < s.size()) {
            size_t next = s.find_first_not_of(' ', end);
            if (next == std::string::npos) break;
            size_t sp2 = s.find(' ', next);
            size_t end2 = sp2 == std::string::npos ? s.size() : sp2;
            if (measure(s.substr(start, end2 - start)) > width) break;
            end = end2;
        }
        Piece line{s.substr(start, end - start), -1};
        if (p.underline >= int(start) && p.underline < int(end)) line.underline = p.underline - int(start);
        out.push_back(line);
        size_t next = s.find_first_not_of(' ', end);
        if (next == std::string::npos) break;
        start = next;
    }
    return out;
}

}  // namespace

std::string StripAccelerators(const std::string& text, int* underline) {
    std::string out;
    if (underline) *underline = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && underline && *underline < 0) *underline = int(out.size());
        }
        out.push_back(text[i]);
    }
    return out;
}

TLayout LayOut(const std::string& text, const TRect& rect, unsigned flags, int lineHeight, int aveCharWidth,
               const Measure& measure) {
    (void)aveCharWidth;
    TLayout lay;
    bool single = flags & DT_SINGLELINE;
    if (text.empty()) {
        lay.calcRect = TRect(rect.Left, rect.Top, rect.Left, single ? rect.Top + lineHeight : rect.Top);
        lay.height = lineHeight;
        return lay;
    }
    int underline = -1;
    std::string s = ExpandTabs(text, flags & DT_EXPANDTABS);
    if (!(flags & DT_NOPREFIX)) {
        s = StripAccelerators(s, &underline);
        if (flags & DT_HIDEPREFIX) underline = -1;
    }
    std::vector<Piece> pieces = SplitLines(s, underline, single);
    std::vector<Piece> lines;
    int width = rect.Width();
    for (const Piece& p : pieces) {
        if ((flags & DT_WORDBREAK) && !single) {
            for (Piece& w : Wrap(p, width, measure)) lines.push_back(std::move(w));
        } else {
            lines.push_back(p);
        }
    }
    bool ellipsis = flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    int y = rect.Top;
    if (single) {
        if (flags & DT_VCENTER) y = (rect.Top + rect.Bottom - lineHeight) / 2;
        else if (flags & DT_BOTTOM) y = rect.Bottom - lineHeight;
    }
    int maxWidth = 0;
    for (Piece& p : lines) {
        int w = measure(p.text);
        if (ellipsis && w > width) {
            std::string cut = p.text;
            while (!cut.empty() && measure(cut + "...") > width) PopChar(cut);
            if (p.underline >= int(cut.size())) p.underline = -1;
            p.text = cut + "...";
            w = measure(p.text);
        }
        TLine line;
        line.text = p.text;
        line.width = w;
        line.underline = p.underline;
        line.y = y;
        if (flags & DT_CENTER) line.x = (rect.Left + rect.Right - w) / 2;
        else if (flags & DT_RIGHT) line.x = rect.Right - w;
        else line.x = rect.Left;
        maxWidth = std::max(maxWidth, w);
        lay.lines.push_back(line);
        y += lineHeight;
    }
    lay.height = y - rect.Top;
    lay.calcRect = TRect(rect.Left, rect.Top, rect.Left + maxWidth, rect.Top + int(lines.size()) * lineHeight);
    return lay;
}

}  // namespace ui::text
