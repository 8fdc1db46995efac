#pragma once
// Colours, fonts, pens, brushes, regions, bitmaps and the canvas, with the window system's
// pixel rules: right and bottom edges are exclusive, a line leaves out its end point, and
// text is measured with the GDI figures of the font (winAscent + winDescent).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Sets.h"

class QImage;
class QFont;

// ---- Colours ---------------------------------------------------------------------------

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colour nn is 0xFF0000nn; ColorToRGB resolves it through the fixed table.
constexpr TColor SysColor(int index) { return static_cast<TColor>(0xFF000000u | unsigned(index)); }
constexpr bool IsSysColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0xFF000000u; }

constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
              COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
              COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9,
              COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
              COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
              COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21,
              COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
              COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
              COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int SysColorCount = 31;

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

// The literal 0x00BBGGRR value of system colour `index` (classic Windows 10 defaults);
// 0 for an index outside the table.
TColor GetSysColor(int index);
// A literal colour unchanged, a system colour resolved; clNone and clDefault resolve to black.
TColor ColorToRGB(TColor color);

// The three states of a check box, shared by the check box controls and the glyph painters.
enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

// ---- Fonts, pens, brushes --------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
constexpr int DEFAULT_CHARSET = 1, RUSSIAN_CHARSET = 204;

// Point sizes convert at 96 pixels per inch: Size = -Height * 72 / 96 (rounded), and a
// negative Height is the character height in pixels (the em), a positive one the cell height.
class TFont : public TObject {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);
    void Assign(const TFont& other);  // copies everything but OnChange, then raises it

    const std::string& GetName() const { return FName; }
    void SetName(const std::string& name);
    int GetHeight() const { return FHeight; }
    void SetHeight(int height);
    int GetSize() const;
    void SetSize(int points);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles style);
    int GetCharset() const { return FCharset; }
    void SetCharset(int charset);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch pitch);

    bool SameAs(const TFont& other) const;  // all properties equal (not OnChange)

    TNotifyEvent OnChange;

    // Platform use: the Qt font with the pixel size of this font's em and no antialiasing.
    QFont ToQFont() const;

private:
    void Changed();
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    int FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The binary raster operations of a pen (and of fills drawn with it).
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TObject {
public:
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    int GetWidth() const { return FWidth; }
    void SetWidth(int width);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle style);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode mode);
    void Assign(const TPen& other);

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TObject {
public:
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);  // also makes a clear brush solid, as the library does
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle style);
    void Assign(const TBrush& other);

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// ---- Regions ---------------------------------------------------------------------------

enum TRegionOp { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum TPolyFillMode { ALTERNATE = 1, WINDING = 2 };

// A set of pixels, as the window system's regions: a polygon region holds the pixels whose
// centres lie inside (right and bottom edges left out), a rectangle l..r-1 × t..b-1.
class TRegion {
public:
    TRegion();
    TRegion(const TRegion& other);
    TRegion& operator=(const TRegion& other);
    TRegion(TRegion&&) noexcept;
    TRegion& operator=(TRegion&&) noexcept;
    ~TRegion();

    static TRegion FromRect(const TRect& r);
    static TRegion FromRect(int l, int t, int r, int b) { return FromRect(TRect(l, t, r, b)); }
    static TRegion FromPolygon(const TPoint* points, int count, TPolyFillMode mode = ALTERNATE);
    static TRegion FromPolygon(const std::vector<TPoint>& points, TPolyFillMode mode = ALTERNATE) {
        return FromPolygon(points.data(), static_cast<int>(points.size()), mode);
    }
    // The ellipse inscribed in l..r-1 × t..b-1.
    static TRegion FromEllipse(int l, int t, int r, int b);
    static TRegion FromRoundRect(int l, int t, int r, int b, int cornerW, int cornerH);

    // this = a op b (RGN_COPY: this = a). Returns false when the result is empty.
    bool Combine(const TRegion& a, const TRegion& b, TRegionOp op);
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool IsEmpty() const;
    TRect GetBox() const;
    std::vector<TRect> GetRects() const;
    bool operator==(const TRegion& other) const;

    struct Impl;
    Impl& GetImpl() const { return *FImpl; }

private:
    std::unique_ptr<Impl> FImpl;
};

// ---- Bitmaps ---------------------------------------------------------------------------

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

class TCanvas;

// Pixels are held as 32-bit B, G, R, A (premultiplied) in memory order; an opaque pixel has
// A = 255. A new bitmap is white.
class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    void Assign(const TBitmap& other);

    int GetWidth() const;
    int GetHeight() const;
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);  // keeps the overlapping pixels, new ones white
    bool GetEmpty() const { return GetWidth() == 0 || GetHeight() == 0; }
    TCanvas* GetCanvas();

    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat f) { FPixelFormat = f; }
    bool GetMonochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool m) { FPixelFormat = m ? pf1bit : pfDevice; }
    TAlphaFormat GetAlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat f) { FAlphaFormat = f; }

    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool t) { FTransparent = t; }
    TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode m) { FTransparentMode = m; }
    // tmAuto: the colour of the bottom-left pixel, as the library does.
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor c);

    // Rows of GetWidth() 32-bit pixels (B, G, R, A in memory).
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;
    // Fills from straight (not premultiplied) R, G, B, A bytes, 4 per pixel, row after row;
    // sets AlphaFormat to afDefined when any pixel is not opaque.
    void LoadFromRGBA(int width, int height, const std::uint8_t* rgba);
    TColor GetPixel(int x, int y) const;    // -1 outside
    void SetPixel(int x, int y, TColor c);  // ignored outside

    // Windows .bmp files (24 and 32 bits uncompressed; 8 bits with a palette on reading).
    // Raise std::runtime_error on failure.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    TNotifyEvent OnChange;
    void Changed() { if (OnChange) OnChange(this); }

    QImage& GetImage();  // platform use
    const QImage& GetImage() const;

private:
    std::unique_ptr<QImage> FImage;
    std::unique_ptr<TCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
    TAlphaFormat FAlphaFormat = afIgnored;
    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
};

// ---- Canvas ----------------------------------------------------------------------------

// DrawText flags.
constexpr unsigned DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                   DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20,
                   DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
                   DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                   DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
                   DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
                   DT_WORD_ELLIPSIS = 0x40000, DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;
// TextOut alignment (SetTextAlign).
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
                   TA_BASELINE = 24, TA_UPDATECP = 1;
// Raster operations of CopyRect (CopyMode), BitBlt and StretchBlt.
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009,
                    cmMergeCopy = 0x00C000CA, cmMergePaint = 0x00BB0226,
                    cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09,
                    cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328,
                    cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;
constexpr TCopyMode SRCCOPY = cmSrcCopy, SRCINVERT = cmSrcInvert, SRCAND = cmSrcAnd,
                    SRCPAINT = cmSrcPaint, NOTSRCCOPY = cmNotSrcCopy, BLACKNESS = cmBlackness,
                    WHITENESS = cmWhiteness, DSTINVERT = cmDstInvert, PATCOPY = cmPatCopy;

// Two-colour gradient fill of a rectangle.
enum TGradientFillMode {
    GRADIENT_FILL_RECT_H = 0,  // colour runs left (start) to right (stop)
    GRADIENT_FILL_RECT_V = 1   // colour runs top (start) to bottom (stop)
};

// The GDI text metrics of a font (pixels).
struct TTextMetric {
    int tmHeight = 0;  // tmAscent + tmDescent: the line height
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    bool tmTrueType = true;
};

// Draws into a bitmap's pixels (a TBitmap's, or a control's off-screen image while it paints).
// Rules: Rectangle(l,t,r,b) covers l..r-1 × t..b-1, its frame drawn inside with the pen and its
// inside filled with the brush (with a clear pen it covers l..r-2 × t..b-2, as GDI does);
// FillRect and FrameRect use the brush and cover l..r-1 × t..b-1; a line leaves out its end
// point; a polygon's fill leaves out right and bottom edges, its outline is drawn with the pen.
class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont* GetFont() { return &FFont; }
    TPen* GetPen() { return &FPen; }
    TBrush* GetBrush() { return &FBrush; }
    void SetFont(const TFont& f) { FFont.Assign(f); }
    void SetPen(const TPen& p) { FPen.Assign(p); }
    void SetBrush(const TBrush& b) { FBrush.Assign(b); }

    TCopyMode GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode m) { FCopyMode = m; }
    TPoint GetPenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    unsigned GetTextAlign() const { return FTextAlign; }
    void SetTextAlign(unsigned flags) { FTextAlign = flags; }
    bool HandleAllocated() const { return FTarget != nullptr; }
    int GetWidth() const;   // of the target, 0 without one
    int GetHeight() const;

    // Lines and shapes.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& points) { Polyline(points.data(), int(points.size())); }
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Polygon(const TPoint* points, int count);
    void Polygon(const std::vector<TPoint>& points) { Polygon(points.data(), int(points.size())); }
    void Ellipse(int l, int t, int r, int b);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int l, int t, int r, int b, int cornerW, int cornerH);
    void FillRegion(const TRegion& region);  // with the brush
    void FrameRegion(const TRegion& region, TColor color, int w = 1, int h = 1);
    void DrawFocusRect(const TRect& r);      // dotted, XOR
    void GradientFill(const TRect& r, TColor start, TColor stop, TGradientFillMode mode);

    TColor GetPixel(int x, int y) const;  // -1 outside the target or the clip
    void SetPixel(int x, int y, TColor c);

    // Pictures and copies.
    void Draw(int x, int y, const TBitmap& bitmap);  // honours the bitmap's Transparent
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& src);  // with CopyMode
    void BitBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, TCopyMode rop);
    void StretchBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw, int sh,
                    TCopyMode rop);
    // Copies source pixels except those of maskColor (nearest-neighbour stretch).
    void TransparentBlt(int x, int y, int w, int h, TCanvas& source, int sx, int sy, int sw,
                        int sh, TColor maskColor);

    // Text. TextOut honours SetTextAlign; a solid brush fills the text's cells behind it.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);  // clipped to r
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // Returns the height of the text drawn; DT_CALCRECT measures into rect without drawing.
    int DrawText(const std::string& text, TRect& rect, unsigned flags);
    void GetTextMetrics(TTextMetric& tm);

    // Clipping (device coordinates of the target, before the origin).
    void SelectClipRegion(const TRegion* region);  // nullptr removes the clip
    void SelectClipRect(const TRect& r) { TRegion g = TRegion::FromRect(r); SelectClipRegion(&g); }
    bool GetClipRegion(TRegion& region) const;     // false when there is none
    void IntersectClipRect(int l, int t, int r, int b);
    void ExcludeClipRect(int l, int t, int r, int b);
    TRect GetClipRect() const;  // the clip box in logical coordinates

    // The logical origin: drawing at (0,0) lands on target pixel (x,y).
    void SetOrigin(int x, int y) { FOrigin = TPoint(x, y); }
    TPoint GetOrigin() const { return FOrigin; }
    void MoveOrigin(int dx, int dy) { FOrigin.x += dx; FOrigin.y += dy; }

    // Saves and restores pen, brush, font, origin, clip, copy mode and text alignment.
    int SaveState();
    void RestoreState(int id = -1);

    // Platform use: where this canvas draws (not owned). nullptr detaches.
    void SetTarget(QImage* image);
    QImage* GetTarget() const { return FTarget; }

    struct Clip;

private:
    friend struct CanvasOps;
    bool Reaches(int dx, int dy) const;
    QImage* FTarget = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TPoint FPenPos;
    TPoint FOrigin;
    TCopyMode FCopyMode = cmSrcCopy;
    unsigned FTextAlign = 0;
    std::unique_ptr<Clip> FClip;
    std::vector<std::shared_ptr<void>> FSaved;
};

// A font's GDI metrics at a given Height (negative: em in pixels; positive: cell height),
// from the winAscent/winDescent and unitsPerEm of its file. Cached per name, height, style.
TTextMetric GetFontTextMetric(const TFont& font);
// The family Qt actually uses for this font ("Tahoma" when fonts-wine is registered).
std::string FontFamilyInUse(const TFont& font);
// Registers the tool's fonts (Tahoma from fonts-wine) once; needs the Qt application object.
void RegisterApplicationFonts();
