#include "platform/ui/Controls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "platform/ui/ControlWidget.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/PaintArea.h"
#include "platform/ui/PixelOps.h"

struct TControl::WidgetRef {
    QPointer<QWidget> widget;
    ui::TControlWidget* own = nullptr;  // set when the widget is our own painting widget
    QPointer<ui::TControlEventFilter> filter;  // a child of the wrapped widget
};

TControlGuard::TControlGuard(const TControl* control) {
    if (control) FToken = control->FLife;
}

namespace {

Qt::CursorShape QtCursor(TCursor c) {
    switch (c) {
        case crArrow: return Qt::ArrowCursor;
        case crCross: return Qt::CrossCursor;
        case crIBeam: return Qt::IBeamCursor;
        case crSizeNESW: return Qt::SizeBDiagCursor;
        case crSizeNS: return Qt::SizeVerCursor;
        case crSizeNWSE: return Qt::SizeFDiagCursor;
        case crSizeWE: return Qt::SizeHorCursor;
        case crUpArrow: return Qt::UpArrowCursor;
        case crHourGlass: case crSQLWait: return Qt::WaitCursor;
        case crNo: case crNoDrop: return Qt::ForbiddenCursor;
        case crAppStart: return Qt::BusyCursor;
        case crHelp: return Qt::WhatsThisCursor;
        case crHandPoint: return Qt::PointingHandCursor;
        case crSizeAll: return Qt::SizeAllCursor;
        case crHSplit: return Qt::SplitHCursor;
        case crVSplit: return Qt::SplitVCursor;
        default: return Qt::ArrowCursor;
    }
}

TMouseButton ButtonFromQt(Qt::MouseButton b) {
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

}  // namespace

// ---- TControl --------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TControl(AOwner, nullptr) {}

TControl::TControl(TComponent* AOwner, QWidget* widget) : TComponent(AOwner), FWidget(std::make_unique<WidgetRef>()) {
    ui::InstallAccessibility();
    AttachWidget(widget);
    FFont.OnChange = [this](TObject*) {
        if (FFontFromParent) return;
        FParentFont = false;
        ApplyWidgetFont();
        ui::SafeCall([this] { FontChanged(); });
    };
}

TControl::~TControl() {
    BeginDestroy();
    FFont.OnChange = nullptr;
    if (FParent) FParent->RemoveControl(this);
    QWidget* w = FWidget->widget;
    if (FWidget->own) FWidget->own->control = nullptr;
    if (FWidget->filter) FWidget->filter->control = nullptr;
    if (w) {
        ui::SetControlOf(w, nullptr);
        ui::DisposeWidget(w);  // the filter goes with it
    }
}

void TControl::BeginDestroy() {
    if (!FLife) return;
    FDestroyingControl = true;
    FLife.reset();
    TCustomForm::ControlDestroying(this);
    if (QWidget* w = FWidget->widget) {
        if (QWidget::mouseGrabber() == w) w->releaseMouse();
        if (QWidget::keyboardGrabber() == w) w->releaseKeyboard();
    }
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::AttachWidget(QWidget* widget) {
    if (!widget) {
        auto* own = new ui::TControlWidget(this);
        FWidget->own = own;
        widget = own;
    } else {
        FWidget->filter = new ui::TControlEventFilter(this);
        FWidget->filter->setParent(widget);
        widget->installEventFilter(FWidget->filter);
    }
    FWidget->widget = widget;
    ui::SetControlOf(widget, this);
    widget->setAttribute(Qt::WA_WState_Hidden, true);
    widget->hide();
}

QWidget* TControl::GetWidget() const { return FWidget->widget; }

void TControl::SetName(const std::string& name) {
    TComponent::SetName(name);
    if (QWidget* w = GetWidget()) {
        w->setObjectName(QString::fromStdString(name));
        ui::UpdateAccessibleTexts(this);
    }
}

TCustomForm* TControl::GetParentForm() const { return ::GetParentForm(this); }

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) return;
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    SetBoundsNoAlign(left, top, width, height);
    // Anchors are measured from where the control was put by hand.
    FAnchorRect = GetBoundsRect();
    if (FParent) {
        FAnchorParentW = FParent->GetClientWidth();
        FAnchorParentH = FParent->GetClientHeight();
        if (FAlign != alNone) FParent->AlignAfterChange(this);
    }
}

void TControl::SetBoundsNoAlign(int left, int top, int width, int height) {
    bool resized = width != FWidth || height != FHeight;
    bool moved = left != FLeft || top != FTop;
    if (!resized && !moved) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    UpdateWidgetGeometry();
    TControlGuard alive(this);
    if (moved) ui::SafeCall([this] { Moved(); });
    if (resized && alive.Alive()) ui::SafeCall([this] { Resize(); });
}

void TControl::UpdateWidgetGeometry() {
    QWidget* w = GetWidget();
    if (!w) return;
    if (w->isWindow() && !FParent) {
        w->move(FLeft, FTop);
        w->resize(FWidth, FHeight);
    } else {
        w->setGeometry(FLeft, FTop, FWidth, FHeight);
    }
    w->update();
}

void TControl::SetClientSize(int w, int h) {
    TRect cr = GetClientRect();
    SetBounds(FLeft, FTop, FWidth + (w - cr.Width()), FHeight + (h - cr.Height()));
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* parent) const {
    const TControl* c = this;
    while (c && c != parent) {
        p.x += c->FLeft;
        p.y += c->FTop;
        c = c->FParent;
        if (!parent && !c) break;
    }
    return p;
}

TPoint TControl::ClientToScreen(TPoint p) const {
    if (QWidget* w = GetWidget()) {
        QPoint g = w->mapToGlobal(QPoint(p.x, p.y));
        return TPoint(g.x(), g.y());
    }
    return p;
}

TPoint TControl::ScreenToClient(TPoint p) const {
    if (QWidget* w = GetWidget()) {
        QPoint l = w->mapFromGlobal(QPoint(p.x, p.y));
        return TPoint(l.x(), l.y());
    }
    return p;
}

void TControl::SetAlign(TAlign a) {
    if (a == FAlign) return;
    TAlign old = FAlign;
    FAlign = a;
    if (FParent && (a != alNone || old != alNone)) FParent->AlignAfterChange(this);
}

void TControl::SetAnchors(TAnchors a) {
    FAnchors = a;
    FAnchorRect = GetBoundsRect();
    if (FParent) {
        FAnchorParentW = FParent->GetClientWidth();
        FAnchorParentH = FParent->GetClientHeight();
    }
}

void TControl::UpdateWidgetVisibility() {
    QWidget* w = GetWidget();
    if (!w || w->isWindow()) return;
    w->setVisible(FVisible && FParent != nullptr);
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    UpdateWidgetVisibility();
    ui::SafeCall([this] { VisibleChanged(); });
    if (FParent && FAlign != alNone) FParent->AlignAfterChange(this);
}

bool TControl::GetShowing() const {
    for (const TControl* c = this; c; c = c->FParent) {
        if (!c->FVisible) return false;
        if (!c->FParent) return dynamic_cast<const TCustomForm*>(c) != nullptr;
    }
    return false;
}

void TControl::SetEnabled(bool e) {
    if (e == FEnabled) return;
    FEnabled = e;
    if (QWidget* w = GetWidget()) w->setEnabled(e);
    ui::SafeCall([this] { EnabledChanged(); });
}

void TControl::SetColor(TColor c) {
    if (c == FColor && !FParentColor) return;
    bool changed = c != FColor;
    FColor = c;
    FParentColor = false;
    if (changed) {
        ApplyWidgetPalette();
        ui::SafeCall([this] { ColorChanged(); });
    }
}

void TControl::SetParentColor(bool p) {
    if (p == FParentColor) return;
    FParentColor = p;
    if (p && FParent) ParentColorChangedInternal();
}

void TControl::ParentColorChangedInternal() {
    if (!FParentColor || !FParent) return;
    if (FParent->GetColor() != FColor) {
        FColor = FParent->GetColor();
        ApplyWidgetPalette();
        ui::SafeCall([this] { ColorChanged(); });
    }
    ui::SafeCall([this] { ParentColorChanged(); });
}

void TControl::SetFont(const TFont& f) {
    if (&f == &FFont) return;
    FFont.Assign(f);  // OnChange turns ParentFont off
    FParentFont = false;
}

void TControl::SetParentFont(bool p) {
    if (p == FParentFont) return;
    FParentFont = p;
    if (p && FParent) ParentFontChangedInternal();
}

void TControl::ParentFontChangedInternal() {
    if (!FParentFont || !FParent) return;
    if (!FFont.SameAs(*FParent->GetFont())) {
        FFontFromParent = true;
        FFont.Assign(*FParent->GetFont());
        FFontFromParent = false;
        ApplyWidgetFont();
        ui::SafeCall([this] { FontChanged(); });
    }
    ui::SafeCall([this] { ParentFontChanged(); });
}

void TControl::ApplyWidgetFont() {
    QWidget* w = GetWidget();
    if (!w || FWidget->own) return;  // our own widgets paint with TFont directly
    w->setFont(FFont.ToQFont());
    ApplyWidgetPalette();
}

void TControl::ApplyWidgetPalette() {
    QWidget* w = GetWidget();
    if (!w) return;
    if (FWidget->own) {
        w->update();
        return;
    }
    QPalette pal = w->palette();
    QColor back = QColor::fromRgb(ui::px::FromColor(FColor));
    QColor text = QColor::fromRgb(ui::px::FromColor(FFont.GetColor()));
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::Base, back);
    pal.setColor(QPalette::Button, back);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    w->setPalette(pal);
}

void TControl::SetText(const std::string& s) {
    if (s == FText) return;
    FText = s;
    UpdateWidgetText();
    ui::UpdateAccessibleTexts(this);
    ui::SafeCall([this] { TextChanged(); });
}

void TControl::SetHint(const std::string& s) {
    if (s == FHint) return;
    FHint = s;
    if (QWidget* w = GetWidget()) w->setToolTip(FShowHint ? QString::fromStdString(GetShortHint(s)) : QString());
    ui::SafeCall([this] { HintChanged(); });
}

void TControl::SetShowHint(bool s) {
    FShowHint = s;
    FParentShowHint = false;
    if (QWidget* w = GetWidget()) w->setToolTip(s ? QString::fromStdString(GetShortHint(FHint)) : QString());
}

void TControl::SetCursor(TCursor c) {
    FCursor = c;
    if (QWidget* w = GetWidget()) {
        if (c == crDefault) w->unsetCursor();
        else w->setCursor(QtCursor(c));
    }
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::Invalidate() {
    if (QWidget* w = GetWidget()) w->update();
}

void TControl::Repaint() {
    if (QWidget* w = GetWidget()) {
        if (w->isVisible()) w->repaint();
        else w->update();
    }
}

void TControl::Update() {
    if (QWidget* w = GetWidget(); w && w->isVisible()) w->repaint();
}

void TControl::BringToFront() {
    if (QWidget* w = GetWidget()) w->raise();
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.push_back(this);
    }
}

void TControl::SendToBack() {
    if (QWidget* w = GetWidget()) w->lower();
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.insert(v.begin(), this);
    }
}

bool TControl::GetMouseCapture() const {
    QWidget* w = GetWidget();
    return w && QWidget::mouseGrabber() == w;
}

void TControl::SetMouseCapture(bool capture) {
    QWidget* w = GetWidget();
    if (!w) return;
    if (capture && w->isVisible()) w->grabMouse();
    else if (!capture && QWidget::mouseGrabber() == w) w->releaseMouse();
}

std::unique_ptr<TBitmap> TControl::RenderToBitmap() {
    auto bmp = std::make_unique<TBitmap>(FWidth, FHeight);
    QWidget* w = GetWidget();
    if (!w || FWidth <= 0 || FHeight <= 0) return bmp;
    QImage& img = bmp->GetImage();
    img.fill(0xFFFFFFFFu);
    QPainter p(&img);
    w->render(&p, QPoint(0, 0), QRegion(), QWidget::DrawChildren);
    return bmp;
}

void TControl::PaintTo(TCanvas& canvas, int x, int y) { PaintAreaTo(canvas, x, y, TRect(0, 0, FWidth, FHeight)); }

void TControl::PaintAreaTo(TCanvas& canvas, int x, int y, const TRect& area) {
    const QRect a = QRect(0, 0, FWidth, FHeight) & ui::ToQRect(area);
    if (a.isEmpty()) return;
    TBitmap part;
    QImage& img = part.GetImage();
    if (FWidget->own) {
        if (!FWidget->own->painting &&
            PaintAreaOnto(canvas, x, y, TRect(a.left(), a.top(), a.left() + a.width(), a.top() + a.height())))
            return;
        if (FWidget->own->painting) {
            img = FWidget->own->image.copy(a);
        } else {
            // An image of the control's size of which only the area is touched: a strip of a
            // large control costs what the strip does.
            QImage whole(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);
            ui::FillArea(whole, a, 0u);
            PaintWidgetImage(whole, ui::ToTRegion(a));
            img = whole.copy(a);
        }
    } else if (QWidget* w = GetWidget()) {
        img = QImage(a.size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(0xFF000000u | (ui::px::FromColor(FColor) & 0xFFFFFF));
        QPainter p(&img);
        w->render(&p, QPoint(0, 0), QRegion(a), QWidget::DrawWindowBackground);
    }
    part.SetAlphaFormat(afPremultiplied);
    canvas.Draw(x + a.left(), y + a.top(), part);
}

bool TControl::PaintAreaOnto(TCanvas&, int, int, const TRect&) { return false; }

void TControl::PaintParentBackground(TCanvas& canvas) {
    if (!FParent) return;
    FParent->PaintTo(canvas, -FLeft, -FTop);
}

void TControl::PaintWidgetImage(QImage& image, const TRegion& area) {
    // A windowed control without a Paint of its own shows its colour.
    if (IsWindowed())
        ui::FillArea(image, ui::RegionOf(area), 0xFF000000u | (ui::px::FromColor(FColor) & 0xFFFFFF));
}

TAccessibleInfo TControl::GetAccessibleItem(int) const { return {}; }
TRect TControl::GetAccessibleItemRect(int) const { return {}; }

std::string TControl::AccessibleFallbackName() const {
    if (!GetCaption().empty()) return GetCaption();
    if (!FHint.empty()) return GetShortHint(FHint);
    return GetName();
}

TAccessibleInfo TControl::GetAccessibleInfo() const {
    TAccessibleInfo info;
    info.Role = IsWindowed() ? TAccessibleRole::Client : TAccessibleRole::Graphic;
    info.Name = GetText();
    info.Enabled = FEnabled;
    return info;
}

void TControl::Click() { FireEvent(OnClick, this); }
void TControl::DblClick() { FireEvent(OnDblClick, this); }
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FireEvent(OnMouseDown, this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) { FireEvent(OnMouseMove, this, Shift, X, Y); }
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FireEvent(OnMouseUp, this, Button, Shift, X, Y);
}
void TControl::MouseEnter() { FireEvent(OnMouseEnter, this); }
void TControl::MouseLeave() { FireEvent(OnMouseLeave, this); }
void TControl::EnabledChanged() { Invalidate(); }
void TControl::VisibleChanged() {}
void TControl::ColorChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::TextChanged() { Invalidate(); }
void TControl::ParentColorChanged() {}
void TControl::ParentFontChanged() {}
bool TControl::DialogChar(char) { return false; }
bool TControl::DialogKey(Word, TShiftState) { return false; }
void TControl::Resize() { FireEvent(OnResize, this); }

bool TControl::HandleWidgetEvent(QEvent* e) {
    if (FDestroyingControl) return false;
    bool custom = FWidget->own != nullptr;
    auto* win = dynamic_cast<TWinControl*>(this);
    // Every handler below may free this control: once it is gone the event counts as taken,
    // so that Qt neither hands it on to the freed widget nor to its parents.
    TControlGuard alive(this);
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            TMouseButton b = ButtonFromQt(me->button());
            TShiftState shift = ui::ShiftFromQt(int(me->modifiers()), int(me->buttons()));
            QPoint pos = me->position().toPoint();
            bool dbl = e->type() == QEvent::MouseButtonDblClick && FControlStyle.Contains(csDoubleClicks);
            // The window system sends the second press of a double click before the double
            // click itself: that press clicks nothing when it is released.
            if (b == mbLeft && FControlStyle.Contains(csClickEvents)) FClicked = !dbl;
            ui::SafeCall([&] {
                if (dbl) {
                    shift.Include(ssDouble);
                    if (b == mbLeft && FControlStyle.Contains(csClickEvents)) DblClick();
                    if (!alive.Alive()) return;
                }
                MouseDown(b, shift, pos.x(), pos.y());
            });
            return custom || !alive.Alive();
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            TMouseButton b = ButtonFromQt(me->button());
            TShiftState shift = ui::ShiftFromQt(int(me->modifiers()), int(me->buttons()));
            QPoint pos = me->position().toPoint();
            bool click = false;
            if (b == mbLeft && FClicked) {
                FClicked = false;
                click = GetClientRect().Contains(TPoint(pos.x(), pos.y())) || TRect(0, 0, FWidth, FHeight).Contains(TPoint(pos.x(), pos.y()));
            }
            ui::SafeCall([&] {
                if (click && !FQtClicks) Click();
            });
            if (!alive.Alive()) return true;  // the handler freed us
            ui::SafeCall([&] { MouseUp(b, shift, pos.x(), pos.y()); });
            return custom || !alive.Alive();
        }
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            TShiftState shift = ui::ShiftFromQt(int(me->modifiers()), int(me->buttons()));
            QPoint pos = me->position().toPoint();
            ui::SafeCall([&] { MouseMove(shift, pos.x(), pos.y()); });
            return custom || !alive.Alive();
        }
        case QEvent::Enter:
            if (!FMouseInside) {
                FMouseInside = true;
                ui::SafeCall([&] { MouseEnter(); });
            }
            return !alive.Alive();
        case QEvent::Leave:
            if (FMouseInside) {
                FMouseInside = false;
                ui::SafeCall([&] { MouseLeave(); });
            }
            return !alive.Alive();
        case QEvent::ContextMenu:
            if (FPopupMenu) {
                auto* ce = static_cast<QContextMenuEvent*>(e);
                TPopupMenu* menu = FPopupMenu;
                menu->SetPopupComponent(this);
                ui::SafeCall([&] { menu->Popup(ce->globalPos().x(), ce->globalPos().y()); });
                return true;
            }
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return win && HandleKeyEvent(static_cast<QKeyEvent*>(e));
        case QEvent::FocusIn:
            if (win) {
                if (TCustomForm* form = GetParentForm(); form && form != win) form->FocusControlChanged(win);
            }
            return !alive.Alive();
        default:
            return false;
    }
}

// ---- TWinControl -----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, nullptr) {}

TWinControl::TWinControl(TComponent* AOwner, QWidget* widget) : TControl(AOwner, widget) {
    FControlStyle.Include(csAcceptsControls);
    // A windowed control of ours paints every pixel of its image (its colour first, or a
    // Paint that fills it): what lies behind it needs no painting when it repaints.
    if (FWidget->own) FWidget->own->setAttribute(Qt::WA_OpaquePaintEvent, true);
}

TWinControl::~TWinControl() {
    BeginDestroy();
    // Children go with their parent, whoever owns them.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        delete c;
    }
}

bool TWinControl::ContainsControl(const TControl* c) const {
    for (; c; c = c->GetParent())
        if (c->GetParent() == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->GetVisible() && (allowDisabled || c->GetEnabled()) && c->GetBoundsRect().Contains(p)) return c;
    }
    return nullptr;
}

void TWinControl::InsertControl(TControl* c) {
    if (!c || c->FParent == this) return;
    c->FParent = this;
    FControls.push_back(c);
    if (auto* w = dynamic_cast<TWinControl*>(c)) FTabList.push_back(w);
    if (QWidget* cw = c->GetWidget()) {
        cw->setParent(GetWidget());
        cw->setGeometry(c->FLeft, c->FTop, c->FWidth, c->FHeight);
    }
    c->UpdateWidgetVisibility();
    c->FAnchorRect = c->GetBoundsRect();
    c->FAnchorParentW = GetClientWidth();
    c->FAnchorParentH = GetClientHeight();
    c->ParentFontChangedInternal();
    c->ParentColorChangedInternal();
    if (c->FAlign != alNone) AlignAfterChange(c);
}

void TWinControl::RemoveControl(TControl* c) {
    if (!c || c->FParent != this) return;
    FControls.erase(std::remove(FControls.begin(), FControls.end(), c), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), c), FTabList.end());
    c->FParent = nullptr;
    // The exit handler of the control losing the focus may free it, or this parent.
    bool childDying = c->FDestroyingControl, selfDying = FDestroyingControl;
    TControlGuard self(this), child(c);
    if (TCustomForm* form = GetParentForm(); form && form->GetActiveControl() &&
                                             (form->GetActiveControl() == c ||
                                              (dynamic_cast<TWinControl*>(c) &&
                                               static_cast<TWinControl*>(c)->ContainsControl(form->GetActiveControl()))))
        form->FocusControlChanged(nullptr);
    if ((!childDying && !child.Alive()) || (!selfDying && !self.Alive())) return;  // freed by the handler
    if (QWidget* cw = c->GetWidget(); cw && !c->FDestroyingControl) {
        cw->hide();
        cw->setParent(nullptr);
    }
    if (!FDestroyingControl && c->FAlign != alNone) Realign();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
    if (FDestroyingControl) return;
    if (FAlignLevel > 0) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    TRect rect = GetClientRect();
    AdjustClientRect(rect);
    AlignControls(nullptr, rect);
}

void TWinControl::AlignAfterChange(TControl* control) {
    if (FDestroyingControl) return;
    if (FAlignLevel > 0) {
        FAlignPending = true;
        return;
    }
    TRect rect = GetClientRect();
    AdjustClientRect(rect);
    AlignControls(control, rect);
}

void TWinControl::AlignControls(TControl* aControl, TRect& rect) {
    TControlGuard self(this);
    ++FAlignLevel;  // children moved here must not start another pass
    auto before = [](TControl* a, TControl* b, TAlign al) {
        switch (al) {
            case alTop: return a->FTop < b->FTop;
            case alBottom: return a->FTop + a->FHeight >= b->FTop + b->FHeight;
            case alLeft: return a->FLeft < b->FLeft;
            case alRight: return a->FLeft + a->FWidth >= b->FLeft + b->FWidth;
            default: return false;
        }
    };
    for (TAlign al : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        if (aControl && aControl->FAlign == al && aControl->FVisible && aControl->FParent == this) list.push_back(aControl);
        for (TControl* c : FControls) {
            if (c == aControl || c->FAlign != al || !c->FVisible) continue;
            size_t j = 0;
            while (j < list.size() && !before(c, list[j], al)) ++j;
            list.insert(list.begin() + long(j), c);
        }
        // A child's OnResize may free or add controls (or free this parent): each control is
        // checked before it is moved.
        std::vector<TControlGuard> alive;
        for (TControl* c : list) alive.emplace_back(c);
        for (size_t i = 0; i < list.size(); ++i) {
            if (!self.Alive()) return;
            TControl* c = list[i];
            if (!alive[i].Alive() || c->FParent != this) continue;
            int w = std::max(0, rect.Width()), h = std::max(0, rect.Height());
            switch (al) {
                case alTop:
                    c->SetBoundsNoAlign(rect.Left, rect.Top, w, c->FHeight);
                    rect.Top += c->FHeight;
                    break;
                case alBottom:
                    c->SetBoundsNoAlign(rect.Left, rect.Bottom - c->FHeight, w, c->FHeight);
                    rect.Bottom -= c->FHeight;
                    break;
                case alLeft:
                    c->SetBoundsNoAlign(rect.Left, rect.Top, c->FWidth, h);
                    rect.Left += c->FWidth;
                    break;
                case alRight:
                    c->SetBoundsNoAlign(rect.Right - c->FWidth, rect.Top, c->FWidth, h);
                    rect.Right -= c->FWidth;
                    break;
                case alClient: c->SetBoundsNoAlign(rect.Left, rect.Top, w, h); break;
                default: break;
            }
        }
    }
    // Anchored controls keep their distances to the edges they are anchored to.
    int pw = GetClientWidth(), ph = GetClientHeight();
    std::vector<TControl*> anchored(FControls);
    std::vector<TControlGuard> alive;
    for (TControl* c : anchored) alive.emplace_back(c);
    for (size_t i = 0; i < anchored.size(); ++i) {
        if (!self.Alive()) return;
        TControl* c = anchored[i];
        if (!alive[i].Alive() || c->FParent != this || c->FAlign != alNone) continue;
        TAnchors a = c->FAnchors;
        if (a.Contains(akLeft) && a.Contains(akTop) && !a.Contains(akRight) && !a.Contains(akBottom)) continue;
        if (c->FAnchorParentW == 0 && c->FAnchorParentH == 0) continue;
        int dx = pw - c->FAnchorParentW, dy = ph - c->FAnchorParentH;
        TRect r = c->FAnchorRect;
        int l = r.Left, t = r.Top, w = r.Width(), h = r.Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft)) w += dx;
            else l += dx;
        } else if (!a.Contains(akLeft)) {
            l += dx / 2;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop)) h += dy;
            else t += dy;
        } else if (!a.Contains(akTop)) {
            t += dy / 2;
        }
        c->SetBoundsNoAlign(l, t, std::max(0, w), std::max(0, h));
    }
    --FAlignLevel;
}

void TWinControl::SetTabStop(bool t) {
    FTabStop = t;
    // Our own painting widgets take the focus by Tab only, as the library's custom controls do.
    if (QWidget* w = GetWidget(); w && dynamic_cast<ui::TControlWidget*>(w) && !dynamic_cast<TCustomForm*>(this))
        w->setFocusPolicy(t ? Qt::TabFocus : Qt::NoFocus);
}

int TWinControl::GetTabOrder() const {
    if (!GetParent()) return -1;
    const auto& list = GetParent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!GetParent()) return;
    auto& list = GetParent()->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, int(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : FTabList) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

bool TWinControl::SelectNextChild(TWinControl* current, bool forward) {
    std::vector<TWinControl*> list;
    for (TWinControl* c : FTabList)
        if (c == current || (c->GetTabStop() && c->CanFocus())) list.push_back(c);
    auto it = std::find(list.begin(), list.end(), current);
    if (list.size() < 2 || it == list.end()) return false;
    long n = long(list.size()), i = long(it - list.begin());
    list[size_t(((i + (forward ? 1 : -1)) % n + n) % n)]->SetFocus();
    return true;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled()) return false;
    return GetParentForm() != nullptr;
}

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm();
    if (form && form != this) form->SetActiveControl(this);
    else if (QWidget* w = GetWidget()) w->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm();
    return form && form->GetActiveControl() == this;
}

void TWinControl::DoEnter() { FireEvent(OnEnter, this); }
void TWinControl::DoExit() { FireEvent(OnExit, this); }
void TWinControl::KeyDown(Word& Key, TShiftState Shift) { FireEvent(OnKeyDown, this, Key, Shift); }
void TWinControl::KeyUp(Word& Key, TShiftState Shift) { FireEvent(OnKeyUp, this, Key, Shift); }
void TWinControl::KeyPress(char& Key) { FireEvent(OnKeyPress, this, Key); }

bool TWinControl::DialogKey(Word Key, TShiftState Shift) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (!c->GetVisible() || !c->GetEnabled()) continue;
        if (c->DialogKey(Key, Shift)) return true;  // the taker may have freed the rest
    }
    return false;
}

void TWinControl::Resize() {
    TControlGuard alive(this);
    Realign();
    if (alive.Alive()) TControl::Resize();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    NotifyChildrenFont();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    NotifyChildrenColor();
}

void TWinControl::EnabledChanged() {
    TControl::EnabledChanged();
    for (TControl* c : FControls) c->Invalidate();
}

void TWinControl::NotifyChildrenFont() {
    for (TControl* c : std::vector<TControl*>(FControls)) c->ParentFontChangedInternal();
}

void TWinControl::NotifyChildrenColor() {
    for (TControl* c : std::vector<TControl*>(FControls)) c->ParentColorChangedInternal();
}

void TWinControl::PaintTo(TCanvas& canvas, int x, int y) { TControl::PaintTo(canvas, x, y); }
void TWinControl::PaintBackgroundTo(TCanvas& canvas, int x, int y, const TRect& area) {
    PaintAreaTo(canvas, x, y, area);
}

// ---- TCustomControl, TGraphicControl ---------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() { BeginDestroy(); }

void TCustomControl::PaintWidgetImage(QImage& image, const TRegion& area) {
    const QRegion a = ui::RegionOf(area) & image.rect();
    if (a.isEmpty()) return;
    if (!FControlStyle.Contains(csOpaque))
        ui::FillArea(image, a, 0xFF000000u | (ui::px::FromColor(GetColor()) & 0xFFFFFF));
    ui::PaintClipped(*FCanvas, image, a, [this] { Paint(); });
}

bool TCustomControl::PaintAreaOnto(TCanvas& canvas, int x, int y, const TRect& area) {
    if (&canvas == FCanvas.get() || !PaintIsOpaqueFill()) return false;
    QImage* target = canvas.GetTarget();
    if (!target || target->isNull()) return true;
    const QPoint at(x + canvas.GetOrigin().x, y + canvas.GetOrigin().y);
    QRegion clip = QRegion(ui::ToQRect(area).translated(at)) & target->rect();
    TRegion canvasClip;
    if (canvas.GetClipRegion(canvasClip)) clip &= ui::RegionOf(canvasClip);
    if (clip.isEmpty()) return true;
    if (!FControlStyle.Contains(csOpaque))
        ui::FillArea(*target, clip, 0xFF000000u | (ui::px::FromColor(GetColor()) & 0xFFFFFF));
    ui::PaintClipped(*FCanvas, *target, clip, [this] { Paint(); }, at);
    return true;
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FControlStyle.Exclude(csAcceptsControls);
    if (QWidget* w = GetWidget()) {
        w->setAttribute(Qt::WA_TranslucentBackground, true);
        w->setFocusPolicy(Qt::NoFocus);
    }
}
TGraphicControl::~TGraphicControl() { BeginDestroy(); }

void TGraphicControl::PaintWidgetImage(QImage& image, const TRegion& area) {
    const QRegion a = ui::RegionOf(area) & image.rect();
    if (a.isEmpty()) return;
    ui::FillArea(image, a, 0u);  // nothing painted shows the parent
    ui::PaintClipped(*FCanvas, image, a, [this] { Paint(); });
}

std::string GetShortHint(const std::string& hint) {
    size_t p = hint.find('|');
    return p == std::string::npos ? hint : hint.substr(0, p);
}

std::string GetLongHint(const std::string& hint) {
    size_t p = hint.find('|');
    return p == std::string::npos ? hint : hint.substr(p + 1);
}
