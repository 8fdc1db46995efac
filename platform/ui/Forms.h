#pragma once
// Forms, the application object and the screen.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Controls.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10, mrClose = 11;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window. Its client area is its size (the window system's frame is outside).
// OnCreate runs from AfterConstruction (Application->CreateForm calls it), OnShow on the first
// showing only, OnClose (with the action) then hide on Close, OnDestroy from BeforeDestruction
// (Application frees its forms that way; deleting a form calls it too when it was not called).
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    virtual void AfterConstruction();  // raises OnCreate once
    virtual void BeforeDestruction();  // raises OnDestroy once

    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons i) { FBorderIcons = i; }
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition p) { FPosition = p; }
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState s);
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle s) { FFormStyle = s; }
    bool GetKeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool k) { FKeyPreview = k; }
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult r) { FModalResult = r; }

    void SetVisible(bool v) override;
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // OnCloseQuery, OnClose with the action, then: the main form ends the application; caHide
    // hides; caMinimize minimizes; caFree hides and releases the form.
    void Close();
    // Frees the form once the handler that asked has returned (from the message loop), so a
    // form may be freed from its own controls' handlers.
    void Release();
    // Shows the form and runs a local loop until ModalResult is set or it closes.
    TModalResult ShowModal();
    bool GetActive() const;
    void BringToFront();

    TWinControl* GetActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* c);
    // Moves the focus to the next (or previous) tab stop.
    void SelectNext(TWinControl* current, bool forward);
    // Tab pressed on current (the form: its active control). Ctrl+Tab is offered to the
    // controls (a page control turns its pages); Tab and Shift+Tab move the focus. True when
    // the key was used.
    bool TabKey(TWinControl* current, TShiftState Shift);

    // The window system moves the window with the mouse (a title bar of our own).
    void StartSystemMove();
    // Centres the window on the screen now.
    void CenterOnScreen();
    bool WasShown() const { return FShown; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

    bool HandleWidgetEvent(QEvent* event) override;
    TAccessibleInfo GetAccessibleInfo() const override;
    void FocusControlChanged(TWinControl* control);  // layer use
    unsigned GetUIState() const { return FUIState; }  // layer use: see TControl::QueryUIState
    void SetUIState(unsigned state);                   // layer use: see TControl::ChangeUIState
    // Layer use: control is being destroyed; every form that has it (or a control inside it)
    // as its active control forgets it, without raising its exit events.
    static void ControlDestroying(TControl* control);

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual bool CloseQuery();
    void TextChanged() override;
    void PaintWidgetImage(QImage& image, const TRegion& area) override;

private:
    void ApplyWindowFlags();
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    TWinControl* FActiveControl = nullptr;
    bool FCreated = false;
    bool FDestroyed = false;
    bool FShown = false;
    bool FClosing = false;
    bool FModal = false;
    unsigned FUIState = UISF_HIDEFOCUS | UISF_HIDEACCEL;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Creates the Qt application when there is none, registers the fonts, marks the GUI
    // thread and routes exceptions that leave handlers to ShowException. Without a display
    // to show windows on, says so on one line and ends the program with status 1.
    void Initialize();
    template <class T>
    void CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        FormCreated(form);
        form->AfterConstruction();
    }
    // Shows the main form and runs the loop until it closes or Terminate; then frees the forms.
    void Run();
    // Frees the forms still owned, each told first, then the Qt application Initialize made.
    // TApplicationScope calls it at the end of main.
    void Finalize();
    void ProcessMessages();
    void Terminate();
    bool GetTerminated() const { return FTerminated; }

    TCustomForm* GetMainForm() const { return FMainForm; }
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& t) { FTitle = t; }
    bool GetShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool s) { FShowMainForm = s; }
    bool GetMainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool v) { FMainFormOnTaskBar = v; }
    std::string GetExeName() const;
    // The icon of every window, in the sizes given (the window system picks the one it needs).
    void SetIcon(const std::vector<std::unique_ptr<TBitmap>>& sizes);
    bool HasIcon() const;

    // The standard display of an exception: its message (a full stop added) in a message box.
    void ShowException(const std::exception& e);
    void HandleException(std::exception_ptr e);
    int MessageBox(const std::string& text, const std::string& caption, int flags);

    TExceptionEvent OnException;

    void FormCreated(TCustomForm* form);  // layer use
    void FormClosed(TCustomForm* form);   // layer use: the main form's close ends Run
    void FormDestroyed(TCustomForm* form);  // layer use: forgets a form being destroyed

private:
    void FreeForms();
    TCustomForm* FMainForm = nullptr;
    std::string FTitle = "zentor";
    bool FTerminated = false;
    bool FShowMainForm = true;
    bool FMainFormOnTaskBar = false;
    bool FRunning = false;
};

extern TApplication* Application;

// The application's life in main: when it ends, Application is finalized. Left to static
// destruction, the Qt application would go after Qt's own globals and crash on the way out.
class TApplicationScope {
public:
    TApplicationScope() = default;
    ~TApplicationScope() { Application->Finalize(); }
    TApplicationScope(const TApplicationScope&) = delete;
    TApplicationScope& operator=(const TApplicationScope&) = delete;
};

class TScreen {
public:
    int GetWidth() const;
    int GetHeight() const;
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor c);  // crDefault ends an override
    TCustomForm* GetActiveForm() const;

private:
    TCursor FCursor = crDefault;
};

extern TScreen* Screen;

// The form that holds control (or control itself when it is a form); nullptr when none.
TCustomForm* GetParentForm(const TControl* control);
