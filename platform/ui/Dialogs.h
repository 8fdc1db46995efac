#pragma once
// Message and question boxes and the file dialogs. Under scripted dialogs (always in tests:
// the offscreen platform or ZENTOR_TEST) nothing modal is shown: every box is recorded and
// answered from a queue of scripted answers, or with its default (OK, No, Cancel).
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Sets.h"

constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
              MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10,
              MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
              MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40,
              MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
              MB_APPLMODAL = 0x0, MB_TASKMODAL = 0x2000, MB_TOPMOST = 0x40000;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The language of the boxes' buttons, of MessageDlg's captions and of the dialogs Qt draws
// itself (the file dialogs). The tool sets its window's language here, so that a Russian
// window asks "Да"/"Нет" whatever the system's language.
enum class TDialogLanguage { Russian, English };
void SetDialogLanguage(TDialogLanguage language);

// A box with the text and an OK button; the caption is the application's title.
void ShowMessage(const std::string& text);
// The window system's message box: flags MB_...; returns IDOK, IDYES, IDNO...
int MessageBox(const std::string& text, const std::string& caption, int flags);
// The library's dialog; returns mrYes, mrNo, mrOk...
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& f) { FFileName = f; }
    // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& f) { FFilter = f; }
    int GetFilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int i) { FFilterIndex = i; }
    const std::string& GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& d) { FInitialDir = d; }
    const std::string& GetDefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& e) { FDefaultExt = e; }
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& t) { FTitle = t; }

    // True when the user chose a file (FileName then holds it, with DefaultExt added when the
    // name has no extension). The dialog opens in InitialDir, or in the home folder when that
    // is not set or is not there (a user without ~/Documents).
    virtual bool Execute();

protected:
    virtual bool IsSave() const { return false; }

private:
    std::string FFileName, FFilter, FInitialDir, FDefaultExt, FTitle;
    int FFilterIndex = 1;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

class TPopupMenu;

namespace ui {
// Qt's name filter from the library's "Description|*.a;*.b|..." filter.
std::string QtNameFilters(const std::string& filter);
// Runs fn now when no box or file dialog is up; else ends each as Escape would (Cancel, or
// No) and runs fn from the event loop once the last of their loops has returned, so that fn
// never runs inside a box's loop. A later call replaces an fn still waiting.
void WhenNoModalLoop(std::function<void()> fn);
}  // namespace ui

namespace ui::test {

struct TShownDialog {
    std::string kind;     // "message", "messagebox", "messagedlg", "open", "save", "popup"
    std::string caption;  // box caption or dialog title
    std::string text;     // message text, or the file dialog's filter
    int flags = 0;        // MB_ flags, or the TMsgDlgButtons bits
    int answer = 0;       // what was answered (ID.., mr.., 1 chosen / 0 cancelled, item index)
};

void SetScripted(bool on);
bool IsScripted();
// Answers for the next boxes, in order (IDYES, IDNO, mrYes...). An empty queue answers with the
// default: IDOK/mrOk for OK boxes, IDNO/mrNo when No is offered, else IDCANCEL/mrCancel.
void PushDialogAnswer(int answer);
// The next file dialog's choice; an empty path cancels it.
void PushFileAnswer(const std::string& path);
// The next popup's choice (index into the menu's top items); -1 chooses nothing.
void PushPopupAnswer(int index);
const std::vector<TShownDialog>& ShownDialogs();
void ClearDialogs();  // forgets what was shown and every queued answer

int RecordPopup(TPopupMenu* menu, int x, int y);  // layer use

}  // namespace ui::test
