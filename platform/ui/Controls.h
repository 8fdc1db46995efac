#pragma once
// Controls: TControl (bounds, alignment, colour, font, caption, mouse), TWinControl (children,
// focus, keys), TCustomControl and TGraphicControl (Paint on an off-screen canvas). Every control
// owns a QWidget; a graphic control's widget is a see-through child of its parent's widget.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Types.h"
#include "platform/ui/Graphics.h"
#include "platform/rtl/Sets.h"

class QWidget;
class QEvent;
class QKeyEvent;
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

using Word = std::uint16_t;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
using TLeftRight = TAlignment;
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
    csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
    csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient,
    csMenuEvents, csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                  crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                  crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;

// Virtual key codes as the window system numbers them; letters and digits are their
// upper-case ASCII codes.
constexpr Word VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04,
               VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D,
               VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
               VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21,
               VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
               VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D,
               VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
               VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
               VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72,
               VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77,
               VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
               VK_SCROLL = 0x91;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// What a custom-painted control tells accessibility (screen readers, AT-SPI drivers).
enum class TAccessibleRole {
    Client, Window, Pane, Grouping, PushButton, CheckBox, RadioButton, PageTab, PageTabList,
    ProgressBar, StaticText, Graphic, Table, Cell, Indicator
};
// The action a control (or one of its parts) offers first: a press, or a toggle of its state.
enum class TAccessibleAction { None, Press, Toggle };
struct TAccessibleInfo {
    TAccessibleRole Role = TAccessibleRole::Client;
    std::string Name;    // the visible caption
    std::string Value;   // e.g. a progress bar's percentage
    bool Checkable = false;
    bool Checked = false;
    bool Enabled = true;
    bool Selected = false;  // the current tab, a selected cell
    TAccessibleAction Action = TAccessibleAction::None;  // run by AccessiblePress
    // A level between two bounds (progress bars, meters).
    bool Ranged = false;
    double Minimum = 0, Maximum = 0, Current = 0;
};
// Parts of a composite control laid out row by row as a table (a grid's cells).
struct TAccessibleTable {
    int Columns = 0;  // 0: the parts are no table
    int HeaderRows = 0, HeaderColumns = 0;
    TRect Selection;  // the selected cells: columns Left to Right - 1, rows Top to Bottom - 1
};

// A window's keyboard cues (WM_QUERYUISTATE, WM_CHANGEUISTATE): the window system hides focus
// rectangles and accelerator underlines in a new window until the keyboard is used in it.
constexpr unsigned UISF_HIDEFOCUS = 0x1, UISF_HIDEACCEL = 0x2;
constexpr int UIS_SET = 1, UIS_CLEAR = 2;

// Raises an event through a copy of its handler: the handler may free the component that
// holds it (a button whose OnClick frees its form).
template <class F, class... Args>
void FireEvent(const F& handler, Args&&... args) {
    if (!handler) return;
    F copy = handler;
    copy(std::forward<Args>(args)...);
}

// Tells whether a control still exists. Code that runs handlers (which may free the control)
// checks it before touching the control again. A control counts as gone once its destruction
// has begun.
class TControlGuard {
public:
    explicit TControlGuard(const TControl* control);
    bool Alive() const { return !FToken.expired(); }

private:
    std::weak_ptr<const char> FToken;
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    void SetName(const std::string& name) override;  // also the Qt objectName and description

    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    TCustomForm* GetParentForm() const;

    // Bounds, in the parent's client coordinates.
    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect GetClientRect() const { return TRect(0, 0, FWidth, FHeight); }
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    virtual void SetClientSize(int w, int h);
    void SetClientWidth(int w) { SetClientSize(w, GetClientHeight()); }
    void SetClientHeight(int h) { SetClientSize(GetClientWidth(), h); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // The point in the parent's client coordinates.
    TPoint ClientToParent(TPoint p, TWinControl* parent = nullptr) const;

    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign a);
    TAnchors GetAnchors() const { return FAnchors; }
    void SetAnchors(TAnchors a);

    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool GetShowing() const;  // visible and every parent visible
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool e);

    TColor GetColor() const { return FColor; }
    void SetColor(TColor c);  // turns ParentColor off
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool p);
    TFont* GetFont() { return &FFont; }
    const TFont* GetFont() const { return &FFont; }
    void SetFont(const TFont& f);  // turns ParentFont off
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool p);

    const std::string& GetCaption() const { return FText; }
    void SetCaption(const std::string& s) { SetText(s); }
    virtual std::string GetText() const { return FText; }
    virtual void SetText(const std::string& s);
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& s);
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool s);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool s) { FParentShowHint = s; }
    int GetTag() const { return Tag; }
    void SetTag(int t) { Tag = t; }
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor c);
    TBiDiMode GetBiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode m) { FBiDiMode = m; }
    bool UseRightToLeftAlignment() const { return false; }
    TControlStyle GetControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle s) { FControlStyle = s; }
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    void Invalidate();
    void Repaint();  // paints now
    void Update();   // paints what is invalid now
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    bool GetMouseCapture() const;
    void SetMouseCapture(bool capture);
    bool IsMouseInside() const { return FMouseInside; }

    // Paints the control as it stands (with its children) into a new bitmap of its size.
    std::unique_ptr<TBitmap> RenderToBitmap();
    // Paints this control alone (background and Paint, no children) at (x, y) of canvas.
    virtual void PaintTo(TCanvas& canvas, int x, int y);
    // The same for the part inside area (control coordinates) only: the rest of the control
    // is neither painted nor copied.
    void PaintAreaTo(TCanvas& canvas, int x, int y, const TRect& area);
    // Paints the parent's client behind this control into canvas (for transparent drawing):
    // canvas pixel (0,0) is this control's top-left corner. Nothing without a parent.
    void PaintParentBackground(TCanvas& canvas);

    // Mouse and click events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

    // Accessibility bridge: custom-painted controls override these. AccessiblePress runs
    // the action GetAccessibleInfo names, as a click would.
    virtual TAccessibleInfo GetAccessibleInfo() const;
    virtual void AccessiblePress() { Click(); }
    // Parts of a composite custom-painted control (the cells of a grid, the tabs of a tab
    // strip) that accessibility shows as its children; a rectangle is in the control's client
    // coordinates.
    virtual int GetAccessibleItemCount() const { return 0; }
    virtual TAccessibleInfo GetAccessibleItem(int index) const;
    virtual TRect GetAccessibleItemRect(int index) const;
    virtual void AccessibleItemPress(int index) { (void)index; }
    virtual TAccessibleTable GetAccessibleTable() const { return {}; }

    // The form library's message hooks, as virtuals. Public so tests and the layer can send them.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseEnter();   // CM_MOUSEENTER
    virtual void MouseLeave();   // CM_MOUSELEAVE
    virtual void EnabledChanged();  // CM_ENABLEDCHANGED
    virtual void VisibleChanged();  // CM_VISIBLECHANGED
    virtual void ColorChanged();    // CM_COLORCHANGED
    virtual void FontChanged();     // CM_FONTCHANGED
    virtual void TextChanged();     // CM_TEXTCHANGED
    virtual void ParentColorChanged();  // CM_PARENTCOLORCHANGED
    virtual void ParentFontChanged();   // CM_PARENTFONTCHANGED
    virtual void HintChanged() {}
    virtual bool DialogChar(char Key);  // CM_DIALOGCHAR: true when the accelerator was taken
    // CM_DIALOGKEY: Enter or Escape that the focused control left, offered by the form to
    // its controls in turn; true when taken (a default or cancel button clicks).
    virtual bool DialogKey(Word Key, TShiftState Shift);
    virtual void Resize();              // after the size changed
    virtual void Moved() {}             // after the position changed

    // The keyboard cues of the control's window: the UISF_ flags that are hidden now (both in a
    // control that is on no form).
    unsigned QueryUIState() const;
    // Hides (UIS_SET) or shows (UIS_CLEAR) keyboard cues of the control's window; when they
    // change, every control of the window hears it through UIStateChanged.
    void ChangeUIState(int action, unsigned flags);
    virtual void UIStateChanged() { Invalidate(); }  // WM_UPDATEUISTATE

    // What accessibility calls a control that shows no text: its caption, else its short
    // hint, else its name.
    std::string AccessibleFallbackName() const;

    // The Qt widget behind this control (platform use only).
    QWidget* GetWidget() const;
    // Platform use: one event for this control from its widget; true when consumed.
    virtual bool HandleWidgetEvent(QEvent* event);
    // Platform use: paints the widget's content (background and Paint) into its image, an
    // image of the control's size. Only the pixels inside area (clipped to the image) are
    // painted; the others keep what they held.
    virtual void PaintWidgetImage(QImage& image, const TRegion& area);
    // Platform use: paints the part inside area (control coordinates) straight onto canvas,
    // the control's (0,0) at canvas point (x, y), when that gives the pixels PaintAreaTo's
    // image would; false when the control must be painted apart.
    virtual bool PaintAreaOnto(TCanvas& canvas, int x, int y, const TRect& area);

protected:
    // Controls that wrap a ready-made Qt widget pass it here (the control owns it).
    TControl(TComponent* AOwner, QWidget* widget);

    // Where the control's own background comes from (the parent's image for graphic controls).
    virtual bool IsWindowed() const { return false; }
    // Whether the wrapped Qt widget handles a mouse or key event itself after our handlers.
    virtual bool WidgetHandlesInput() const { return false; }
    void ApplyWidgetFont();
    void ApplyWidgetPalette();
    virtual void UpdateWidgetText() {}
    // Text the user is about to type into the wrapped widget; false drops it.
    virtual bool AcceptTyping(const std::string& text) { (void)text; return true; }
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The first step of destruction (each destructor calls it; it runs once): the control
    // counts as gone for guards, and forms, the mouse capture and the keyboard forget it.
    void BeginDestroy();
    bool FMouseInside = false;
    bool FDestroyingControl = false;
    bool FQtClicks = false;  // the wrapped Qt widget reports clicks itself (buttons, boxes)

private:
    friend class TWinControl;
    friend class TControlGuard;
    bool HandleKeyEvent(QKeyEvent* event);  // a windowed control's key press or release
    void AttachWidget(QWidget* widget);
    void ParentFontChangedInternal();
    void ParentColorChangedInternal();
    void SetBoundsNoAlign(int left, int top, int width, int height);
    void UpdateWidgetGeometry();
    void UpdateWidgetVisibility();

    struct WidgetRef;
    std::unique_ptr<WidgetRef> FWidget;
    std::shared_ptr<const char> FLife = std::make_shared<const char>(0);
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TRect FAnchorRect;  // bounds and the parent's client size when anchors were last fixed
    int FAnchorParentW = 0, FAnchorParentH = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    TFont FFont;
    bool FParentFont = true;
    bool FFontFromParent = false;
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TPopupMenu* FPopupMenu = nullptr;
    bool FClicked = false;  // left button went down on us

protected:
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int GetControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* GetControl(int index) const { return FControls.at(index); }
    bool ContainsControl(const TControl* c) const;  // a child or a child's child
    TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;

    // Alignment of the children (alTop, alBottom, alLeft, alRight, alClient in that order).
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    // The client area the children align in; panels shrink it by their borders.
    virtual void AdjustClientRect(TRect& rect) const { (void)rect; }

    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool t);
    int GetTabOrder() const;
    void SetTabOrder(int order);
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    bool GetParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool v) { FParentBackground = v; Invalidate(); }
    bool GetDoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
    bool HandleAllocated() const { return true; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    virtual void DoEnter();  // CM_ENTER
    virtual void DoExit();   // CM_EXIT
    // Raise the key events; a key set to 0 is taken (the widget does not see it).
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void FocusChanged() {}  // after DoEnter/DoExit, for repainting focus marks
    // Keys the control handles itself even when a form would take them (Enter in a memo,
    // the arrows in a terminal). The form uses Tab to move the focus, Enter and Escape for
    // its buttons, and the arrows a painted control leaves alone to move between its
    // neighbours, only when this is false.
    virtual bool WantsSpecialKey(Word Key) const { (void)Key; return false; }
    // Moves the focus from current to the next (or previous) tab stop among this control's
    // own children, wrapping around; false when there is none other.
    bool SelectNextChild(TWinControl* current, bool forward);

    // Offers the key to the visible, enabled children in turn (each offers it to its own).
    bool DialogKey(Word Key, TShiftState Shift) override;

    void PaintTo(TCanvas& canvas, int x, int y) override;
    // Paints the part inside area of this control's client (not its windowed children) with
    // the control's origin at (x, y).
    void PaintBackgroundTo(TCanvas& canvas, int x, int y, const TRect& area);

    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);

protected:
    TWinControl(TComponent* AOwner, QWidget* widget);
    bool IsWindowed() const override { return true; }
    virtual void AlignControls(TControl* aControl, TRect& rect);
    void Resize() override;
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;

private:
    friend class TControl;
    void AlignAfterChange(TControl* control);
    void NotifyChildrenFont();
    void NotifyChildrenColor();
    std::vector<TControl*> FControls;  // in creation (z) order
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FTabStop = false;
    bool FParentBackground = true;
    bool FDoubleBuffered = false;
};

// A windowed control that paints itself: Paint draws on GetCanvas(), an off-screen image of the
// control's size that then goes to the screen. The background is filled with Color first
// unless the style holds csOpaque.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* GetCanvas() { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWidgetImage(QImage& image, const TRegion& area) override;
    bool PaintAreaOnto(TCanvas& canvas, int x, int y, const TRect& area) override;
    // Whether Paint only fills the client opaquely, without a clip of its own, so that it may
    // paint straight over another image at an offset (a parent painted behind a child).
    virtual bool PaintIsOpaqueFill() const { return false; }

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A control without a window of its own: it paints over its parent (nothing is erased first)
// and takes no focus or keys.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* GetCanvas() { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void PaintWidgetImage(QImage& image, const TRegion& area) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// The hint pause and the hint window are the window system's; these record the settings.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
