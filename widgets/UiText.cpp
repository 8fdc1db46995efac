#include "widgets/UiText.h"

#include <cctype>

int DrawString(TCanvas* canvas, const std::string& text, TRect& rect, unsigned flags) {
    return canvas->DrawText(text, rect, flags);
}

std::string RemoveAccelerators(const std::string& caption) {
    std::string out;
    size_t n = caption.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        if (caption[i] != '&')
            out += caption[i];
        else if (caption[i + 1] == '&')
            out += '&';
    }
    if (n > 0) out += caption[n - 1];
    return out;
}

char CaptionAccelerator(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return char(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

bool IsTrueTypeFont(const TFont& font) { return GetFontTextMetric(font).tmTrueType; }

int GetFontLineHeight(const TFont& font) { return GetFontTextMetric(font).tmHeight + 2; }

TLogFont CreateRotatedFont(const TFont& font, int angle) {
    TLogFont lf;
    lf.Height = font.GetHeight();
    lf.Escapement = angle * 10;
    TFontStyles style = font.GetStyle();
    lf.Weight = style.Contains(fsBold) ? 700 : 400;
    lf.Italic = style.Contains(fsItalic);
    lf.Underline = style.Contains(fsUnderline);
    lf.StrikeOut = style.Contains(fsStrikeOut);
    lf.CharSet = font.GetCharset();
    lf.PitchAndFamily = font.GetPitch() == fpVariable ? 2 : font.GetPitch() == fpFixed ? 1 : 0;
    lf.FaceName = font.GetName();
    return lf;
}

void RedrawFrame(TWinControl* control, const TRect&) {
    if (control && control->GetVisible()) control->Invalidate();
}

void PropagateTransparent(TWinControl* control) {
    if (!control) return;
    for (int i = 0; i < control->GetControlCount(); ++i) {
        TControl* child = control->GetControl(i);
        if (auto* t = dynamic_cast<IUiTransparent*>(child); t && t->GetTransparent()) child->Invalidate();
    }
}
