#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTranslator>
#include <cstdlib>
#include <deque>
#include <utility>

#include "platform/rtl/SysUtils.h"
#include "platform/sys/Folders.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Forms.h"

namespace ui::test {
namespace {
struct Script {
    int scripted = -1;  // -1: decide from the platform
    std::deque<int> answers;
    std::deque<std::string> files;
    std::deque<int> popups;
    std::vector<TShownDialog> shown;
};
Script& S() {
    static Script s;
    return s;
}
}  // namespace

void SetScripted(bool on) { S().scripted = on ? 1 : 0; }
bool IsScripted() {
    if (S().scripted >= 0) return S().scripted == 1;
    const char* t = std::getenv("ZENTOR_TEST");
    if (t && *t && std::string(t) != "0") return true;
    return QGuiApplication::platformName() == "offscreen";
}
void PushDialogAnswer(int answer) { S().answers.push_back(answer); }
void PushFileAnswer(const std::string& path) { S().files.push_back(path); }
void PushPopupAnswer(int index) { S().popups.push_back(index); }
const std::vector<TShownDialog>& ShownDialogs() { return S().shown; }
void ClearDialogs() {
    S().shown.clear();
    S().answers.clear();
    S().files.clear();
    S().popups.clear();
}

int RecordPopup(TPopupMenu*, int x, int y) {
    int choice = -1;
    if (!S().popups.empty()) {
        choice = S().popups.front();
        S().popups.pop_front();
    }
    S().shown.push_back({"popup", "", std::to_string(x) + "," + std::to_string(y), 0, choice});
    return choice;
}

namespace {
int NextAnswer(int fallback) {
    if (S().answers.empty()) return fallback;
    int a = S().answers.front();
    S().answers.pop_front();
    return a;
}
}  // namespace

int Record(const std::string& kind, const std::string& caption, const std::string& text, int flags, int fallback) {
    int a = NextAnswer(fallback);
    S().shown.push_back({kind, caption, text, flags, a});
    return a;
}

bool RecordFile(const std::string& kind, const std::string& title, const std::string& filter, std::string& path) {
    std::string chosen;
    if (!S().files.empty()) {
        chosen = S().files.front();
        S().files.pop_front();
    }
    S().shown.push_back({kind, title, filter, 0, chosen.empty() ? 0 : 1});
    if (chosen.empty()) return false;
    path = chosen;
    return true;
}

}  // namespace ui::test

namespace {

TDialogLanguage g_DialogLanguage = TDialogLanguage::Russian;

// The buttons as the system's own boxes name them in each language; Qt's own names would be
// English (or the system's language) whatever the window speaks.
struct TButtonText {
    QMessageBox::StandardButton Button;
    const char* Russian;
    const char* English;
};
constexpr TButtonText kButtonTexts[] = {
    {QMessageBox::Ok, "ОК", "OK"},
    {QMessageBox::Cancel, "Отмена", "Cancel"},
    {QMessageBox::Yes, "&Да", "&Yes"},
    {QMessageBox::No, "&Нет", "&No"},
    {QMessageBox::Abort, "&Прервать", "&Abort"},
    {QMessageBox::Retry, "П&овторить", "&Retry"},
    {QMessageBox::Ignore, "Пропу&стить", "&Ignore"},
    {QMessageBox::YesToAll, "Д&а для всех", "Yes to &All"},
    {QMessageBox::NoToAll, "Н&ет для всех", "N&o to All"},
    {QMessageBox::Help, "&Справка", "&Help"},
    {QMessageBox::Close, "&Закрыть", "&Close"},
};

// Adds the button named in the window's language; exec() then returns the standard button.
void AddButton(QMessageBox& box, QMessageBox::StandardButton button) {
    QPushButton* b = box.addButton(button);
    for (const TButtonText& t : kButtonTexts)
        if (t.Button == button)
            b->setText(QString::fromUtf8(g_DialogLanguage == TDialogLanguage::English ? t.English : t.Russian));
}

std::string Title() { return Application ? Application->GetTitle() : std::string(); }

int DefaultFor(int buttons) {
    switch (buttons) {
        case MB_OK: return IDOK;
        case MB_YESNO: case MB_YESNOCANCEL: return IDNO;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        default: return IDCANCEL;
    }
}

int g_ModalLoops = 0;
std::function<void()> g_AfterModalLoops;

// A box or file dialog runs a loop of its own while this lives.
class TModalLoop {
public:
    TModalLoop() { ++g_ModalLoops; }
    ~TModalLoop() {
        // Posted: the code that showed the box goes on first, back to the loop it came from.
        if (--g_ModalLoops == 0 && g_AfterModalLoops)
            sys::PostToGuiThread([] { ui::WhenNoModalLoop(std::exchange(g_AfterModalLoops, nullptr)); });
    }
    TModalLoop(const TModalLoop&) = delete;
    TModalLoop& operator=(const TModalLoop&) = delete;
};

// Where a file dialog opens: its initial folder, else the home folder; without a folder that
// exists it would open in the working folder ("/" for an installed tool), where nothing can be
// saved. The file name goes in it.
std::string FileDialogStart(const std::string& initialDir, const std::string& fileName) {
    const std::string folder = !initialDir.empty() && DirectoryExists(initialDir) ? initialDir : sys::HomeFolder();
    if (fileName.empty()) return folder;
    return IncludeTrailingPathDelimiter(folder) + fileName;
}

QWidget* ActiveWindow() {
    QWidget* w = QApplication::activeWindow();
    if (!w && Application && Application->GetMainForm()) w = Application->GetMainForm()->GetWidget();
    return w;
}

}  // namespace

void SetDialogLanguage(TDialogLanguage language) {
    g_DialogLanguage = language;
    // What Qt draws itself (the file dialogs, an edit's menu) speaks the window's language
    // too: Qt's own Russian catalogue is loaded for a Russian window and dropped for an
    // English one. Without the catalogue (Debian's qt6-translations-l10n) Qt speaks English.
    static QPointer<QTranslator> qtTexts;  // owned by the Qt application, gone with it
    if (!QCoreApplication::instance()) return;
    if (language == TDialogLanguage::Russian && !qtTexts) {
        auto* texts = new QTranslator(QCoreApplication::instance());
        if (texts->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(texts);
            qtTexts = texts;
        } else {
            delete texts;
        }
    } else if (language == TDialogLanguage::English && qtTexts) {
        QCoreApplication::removeTranslator(qtTexts);
        delete qtTexts;
    }
}

int MessageBox(const std::string& text, const std::string& caption, int flags) {
    int buttons = flags & 0xF;
    if (ui::test::IsScripted()) return ui::test::Record("messagebox", caption, text, flags, DefaultFor(buttons));
    QMessageBox box(ActiveWindow());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (flags & 0xF0) {
        case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
    }
    struct B {
        QMessageBox::StandardButton q;
        int id;
    };
    std::vector<B> list;
    switch (buttons) {
        case MB_OKCANCEL: list = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
        case MB_ABORTRETRYIGNORE: list = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}}; break;
        case MB_YESNOCANCEL: list = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}; break;
        case MB_YESNO: list = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
        case MB_RETRYCANCEL: list = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
        default: list = {{QMessageBox::Ok, IDOK}}; break;
    }
    for (const B& b : list) AddButton(box, b.q);
    int def = (flags >> 8) & 0x3;
    if (def < int(list.size())) box.setDefaultButton(list[size_t(def)].q);
    const TModalLoop loop;
    int r = box.exec();
    for (const B& b : list)
        if (r == b.q) return b.id;
    return DefaultFor(buttons);
}

void ShowMessage(const std::string& text) {
    if (ui::test::IsScripted()) {
        ui::test::Record("message", Title(), text, MB_OK, IDOK);
        return;
    }
    MessageBox(text, Title(), MB_OK);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    static const char* const english[] = {"Warning", "Error", "Information", "Confirm", ""};
    static const char* const russian[] = {"Предупреждение", "Ошибка", "Информация", "Подтверждение", ""};
    std::string caption = (g_DialogLanguage == TDialogLanguage::English ? english : russian)[type];
    int fallback = buttons.Contains(mbNo) ? mrNo : buttons.Contains(mbOK) ? mrOk : mrCancel;
    if (ui::test::IsScripted())
        return ui::test::Record("messagedlg", caption, text, int(buttons.Bits()), fallback);
    QMessageBox box(ActiveWindow());
    box.setWindowTitle(QString::fromStdString(caption.empty() ? Title() : caption));
    box.setText(QString::fromStdString(text));
    box.setIcon(type == mtWarning ? QMessageBox::Warning
                : type == mtError ? QMessageBox::Critical
                : type == mtInformation ? QMessageBox::Information
                : type == mtConfirmation ? QMessageBox::Question : QMessageBox::NoIcon);
    struct B {
        TMsgDlgBtn b;
        QMessageBox::StandardButton q;
        int mr;
    };
    static const B map[] = {{mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
                            {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
                            {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
                            {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::YesToAll, mrAll},
                            {mbNoToAll, QMessageBox::NoToAll, mrNoToAll}, {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
                            {mbHelp, QMessageBox::Help, mrNone},      {mbClose, QMessageBox::Close, mrClose}};
    QMessageBox::StandardButtons all;
    for (const B& b : map)
        if (buttons.Contains(b.b) && !(all & b.q)) {
            all |= b.q;
            AddButton(box, b.q);
        }
    const TModalLoop loop;
    int r = box.exec();
    for (const B& b : map)
        if (buttons.Contains(b.b) && r == b.q) return b.mr;
    return fallback;
}

namespace ui {
void WhenNoModalLoop(std::function<void()> fn) {
    if (!fn) return;
    if (g_ModalLoops == 0) {
        fn();
        return;
    }
    g_AfterModalLoops = std::move(fn);
    while (QWidget* box = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
        else box->close();
        if (QApplication::activeModalWidget() == box) return;  // it stays up until its user ends it
    }
}

std::string QtNameFilters(const std::string& filter) {
    // "Desc|*.a;*.b|Desc2|*.c" → "Desc (*.a *.b);;Desc2 (*.c)"
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t p = filter.find('|', start);
        parts.push_back(filter.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string pat = parts[i + 1];
        for (char& c : pat)
            if (c == ';') c = ' ';
        if (!out.empty()) out += ";;";
        std::string desc = parts[i];
        size_t paren = desc.find(" (");
        if (paren != std::string::npos) desc = desc.substr(0, paren);
        out += desc + " (" + pat + ")";
    }
    return out;
}
}  // namespace ui

bool TOpenDialog::Execute() {
    std::string path;
    bool ok;
    if (ui::test::IsScripted()) {
        ok = ui::test::RecordFile(IsSave() ? "save" : "open", FTitle, FFilter, path);
    } else {
        const QString start = QString::fromStdString(FileDialogStart(FInitialDir, FFileName));
        QString filters = QString::fromStdString(ui::QtNameFilters(FFilter));
        QStringList list = filters.split(";;");
        QString selected = FFilterIndex >= 1 && FFilterIndex <= list.size() ? list[FFilterIndex - 1] : QString();
        QString title = QString::fromStdString(FTitle);
        const TModalLoop loop;
        QString chosen = IsSave() ? QFileDialog::getSaveFileName(ActiveWindow(), title, start, filters, &selected)
                                  : QFileDialog::getOpenFileName(ActiveWindow(), title, start, filters, &selected);
        ok = !chosen.isEmpty();
        path = chosen.toStdString();
        if (ok && list.contains(selected)) FFilterIndex = int(list.indexOf(selected)) + 1;
    }
    if (!ok) return false;
    if (!FDefaultExt.empty()) {
        size_t slash = path.find_last_of('/');
        std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        if (base.find('.') == std::string::npos) {
            std::string ext = FDefaultExt[0] == '.' ? FDefaultExt.substr(1) : FDefaultExt;
            path += "." + ext;
        }
    }
    FFileName = path;
    return true;
}
