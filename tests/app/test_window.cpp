// The main window's shell: the wait panel's time-out on the test clock, the message panel,
// the progress strip, the action log, page buttons at each access level, page switching,
// the numeric-edit guard, the language at run time (Qt's own dialogs too), the window's icon,
// the settings file after a session, and the window used from the keyboard: Tab through
// every page (each control showing its focus), Russian typed into fields and grids.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QIcon>
#include <QImage>
#include <QWidget>
#include <arpa/inet.h>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

#include "config/ConfigTransfer.h"
#include "app/Unit1.h"
#include "cloud/CloudSession.h"
#include "firmware/FirmwareState.h"
#include "memory/MemoryState.h"
#include "memory/PhotoState.h"
#include "rfid/RfidState.h"
#include "config/ConfigFile.h"
#include "device/DeviceLink.h"
#include "platform/rtl/SafeFile.h"
#include "memory/PhoneRecord.h"
#include "platform/rtl/SysUtils.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Hosts.h"
#include "platform/sys/HotKeys.h"
#include "platform/sys/Online.h"
#include "platform/ui/Dialogs.h"
#include "memory/PhoneRecord.h"
#include "platform/sys/GuiThread.h"
#include "platform/ui/Grids.h"
#include "support/RealInput.h"
#include "support/TestSupport.h"
#include "tools/shots/OfflineRun.h"

namespace fs = std::filesystem;

namespace {

// The tool's language file, in a folder of the test's own (never beside the test executables,
// which other test programs share).
class TLangFile {
public:
    explicit TLangFile(const std::string& text) {
        g_LangFilePath = testsupport::TempDir("lang") + "/lang_zent.lng";
        std::ofstream(g_LangFilePath, std::ios::binary) << text;
    }
};

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        // Neither the news page nor the update server's questions reach out to the network
        // from a test.
        setenv("ZENTOR_NEWS_URL", "about:blank", 1);
        setenv("ZENTOR_ONLINE", "0", 1);
        ui::test::SetScripted(true);
        ui::test::ClearDialogs();
        g_LangFilePath = testsupport::TempDir("no-lang") + "/lang_zent.lng";
        g_SettingsPath = SettingsPath();
        g_Language = "russian";
        g_AccessLevel = 0;
        g_WaitTicks = 0;
        Application->CreateForm(Form1);
    }
    void TearDown() override {
        delete Form1;
        Form1 = nullptr;
        g_AccessLevel = 0;
        g_WaitTicks = 0;
    }
    std::string SettingsPath() {
        if (FSettingsDir.empty()) FSettingsDir = testsupport::TempDir("shell-appdata");
        return FSettingsDir + "/TALIVEX/TALIVEX Zentor/config.ini";
    }
    // The first showing runs the start-up sequence.
    void ShowWindow() { Form1->Show(); }
    TForm1& F() { return *Form1; }
    std::string FSettingsDir;
};

}  // namespace

TEST_F(Shell, WaitTimesOutWithMessage4KeepingThePreviousCaption) {
    F().Lprocess->SetCaption("Чтение...");
    ShowWaitPanel(15, 0, "0");
    EXPECT_TRUE(F().MESPANEL->GetVisible());
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 3);
    EXPECT_EQ(F().Lprocess->GetCaption(), "Чтение...");
    EXPECT_EQ(F().ProgressBar2->GetNumSegments(), 50);
    EXPECT_TRUE(F().TimerProgress->GetEnabled());
    g_BusyTransfer = 1;
    sys::AdvanceMs(14000);
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 3);
    EXPECT_EQ(g_BusyTransfer, 1);
    sys::AdvanceMs(1000);
    // No language file: message 4 reads "Message4".
    EXPECT_TRUE(F().MESPANEL->GetVisible());
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 0);
    EXPECT_EQ(F().MESLABEL->GetCaption(), "Message4");
    EXPECT_EQ(g_BusyTransfer, 0);
    EXPECT_EQ(g_WaitTicks, 0u);
    EXPECT_FALSE(F().TimerProgress->GetEnabled());
}

// What a window set goes with it: a window made after it starts as the first one did.
TEST_F(Shell, AWindowThatGoesTakesItsStateAlong) {
    ShowWaitPanel(15, 0, "0");
    g_AccessLevel = 32;
    g_ScanActive = 1;
    g_BusyTransfer = 1;
    g_PhotoMode = photoByName;
    g_LogNextRow = 7;
    g_FwTimeout = 20;
    g_ConfServerStop = 1;
    g_RfidPoll.PortOpened();
    delete Form1;
    Form1 = nullptr;
    EXPECT_EQ(g_WaitTicks, 0u);
    EXPECT_EQ(g_AccessLevel, 0);
    EXPECT_EQ(g_ScanActive, 0);
    EXPECT_EQ(g_BusyTransfer, 0);
    EXPECT_EQ(g_PhotoMode, photoIdle);
    EXPECT_EQ(g_LogNextRow, 1);
    EXPECT_EQ(g_FwTimeout, 0);
    EXPECT_EQ(g_ConfServerStop, 0);
    EXPECT_EQ(g_RfidPoll.TicksToWork(), 0u);
    EXPECT_EQ(g_SettingsPath, SettingsPath());  // the run's own
}

TEST_F(Shell, ProgressModeShowsItsShareAndEndsFifteenSecondsAfterTheLastUpdate) {
    ShowWaitPanel(3, 12, "Передача");
    EXPECT_EQ(F().ProgressBar2->GetNumSegments(), 20);
    EXPECT_EQ(F().ProgressBar2->GetPercent(), 25);
    EXPECT_EQ(F().Lprocess->GetCaption(), "Передача");
    sys::AdvanceMs(10000);
    ShowWaitPanel(6, 12, "0");  // the next block restarts the time-out
    EXPECT_EQ(F().ProgressBar2->GetPercent(), 50);
    sys::AdvanceMs(14000);
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 3);
    sys::AdvanceMs(1000);
    EXPECT_EQ(F().MESLABEL->GetCaption(), "Message4");
}

TEST_F(Shell, MessageDuringAWaitIsReplacedByTheTimeout) {
    ShowWaitPanel(5, 0, "Ждите");
    F().MessageShow("Промежуточное");
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 0);
    EXPECT_EQ(F().MESLABEL->GetCaption(), "Промежуточное");
    sys::AdvanceMs(5000);
    EXPECT_EQ(F().MESLABEL->GetCaption(), "Message4");
}

TEST_F(Shell, TimeoutModeMovesTheBarByTens) {
    F().ProgressBar2->SetPercent(0);
    ShowWaitPanel(100, 0, "0");
    std::vector<int> seen;
    for (int i = 0; i < 12; ++i) {
        sys::AdvanceMs(1000);
        seen.push_back(F().ProgressBar2->GetPercent());
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 10}));
}

TEST_F(Shell, HideWaitPanel) {
    ShowWaitPanel(15, 0, "x");
    HideWaitPanel("0");
    EXPECT_FALSE(F().MESPANEL->GetVisible());
    EXPECT_FALSE(F().TimerProgress->GetEnabled());
    sys::AdvanceMs(20000);
    EXPECT_FALSE(F().MESPANEL->GetVisible());  // no time-out after the wait ended
    ShowWaitPanel(15, 0, "x");
    HideWaitPanel("");
    EXPECT_TRUE(F().MESPANEL->GetVisible());
    EXPECT_EQ(F().PageControlMes->GetActivePageIndex(), 0);
    EXPECT_EQ(F().MESLABEL->GetCaption(), "");
    F().OKMESClick(nullptr);
    EXPECT_FALSE(F().MESPANEL->GetVisible());
    MessageShowOnMainForm("Готово");
    EXPECT_EQ(F().MESLABEL->GetCaption(), "Готово");
    F().Button2Click(nullptr);
    EXPECT_FALSE(F().MESPANEL->GetVisible());
}

TEST_F(Shell, OkStopsAPendingLoginRetry) {
    g_LoginRetryTicks = 7;
    F().MessageShow("a");
    F().OKMES->Click();
    EXPECT_EQ(g_LoginRetryTicks, 0);
    EXPECT_FALSE(F().MESPANEL->GetVisible());
}

TEST_F(Shell, ProgressStrip) {
    ASSERT_EQ(F().Panel9->GetWidth(), 1024);
    ASSERT_EQ(F().Panel22->GetWidth(), 115);
    F().SetPercentProgress(20, "(152 / 1250)");
    EXPECT_TRUE(F().ProcPanel->GetVisible());
    EXPECT_EQ(F().ProcPanel->GetCaption(), "20 % (152 / 1250)");
    EXPECT_EQ(F().ProcPanel->GetWidth(), (1024 - 115 - 1) * 20 / 100 + 1);
    F().SetPercentProgress(100, "");
    EXPECT_EQ(F().ProcPanel->GetWidth(), 909);
    F().SetPercentProgress(0, "");
    EXPECT_EQ(F().ProcPanel->GetWidth(), 1);
    F().SetPercentProgress(-1, "x");
    EXPECT_FALSE(F().ProcPanel->GetVisible());
}

TEST_F(Shell, ActionLog) {
    F().MiniLog("first", 0);
    F().MiniLog("second", 0);
    F().MiniLog("answer", 1);
    TStrings* lines = F().MiniLOG->GetLines();
    ASSERT_GE(lines->GetCount(), 4);
    const int n = lines->GetCount();
    // Outgoing lines are separated by an empty line; an incoming one is not.
    EXPECT_EQ(lines->Get(n - 4), "first");
    EXPECT_EQ(lines->Get(n - 3), "");
    EXPECT_EQ(lines->Get(n - 2), "second");
    EXPECT_EQ(lines->Get(n - 1), "<< answer");
    EXPECT_EQ(F().MiniLOG->GetFont()->GetColor(), RGB(0, 0, 255));
    F().MiniLog("third", 0);
    EXPECT_EQ(F().MiniLOG->GetFont()->GetColor(), RGB(255, 0, 0));
}

TEST_F(Shell, PageButtonsFollowTheAccessLevel) {
    TForm1& f = F();
    auto states = [&] {
        return std::vector<bool>{f.Bdevice->GetEnabled(), f.Busers->GetEnabled(), f.Blog->GetEnabled(),
                                 f.Bsetting->GetEnabled(), f.Bshedl->GetEnabled(), f.BService->GetEnabled(),
                                 f.CloseSession->GetVisible()};
    };
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, false, false, false}));
    g_AccessLevel = 0;
    f.ButtonEnabled(true);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false, false, false, true}));
    g_AccessLevel = 16;
    f.ButtonEnabled(true);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, false, false, false, true}));
    g_AccessLevel = 32;
    f.ButtonEnabled(true);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true, true, true, true, true}));
    f.ButtonEnabled(false);
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false, false, false, false, false}));
}

TEST_F(Shell, NinePagesWithHiddenTabsSwitchedByIndex) {
    TForm1& f = F();
    ASSERT_EQ(f.UiPageControl1->PageCount(), 9);
    const char* captions[] = {"Настройки", "Мониторинг состояния", "Обновление ПО трэкера",
                              "Удаленное конфигурирование", "Облачный сервис", "Авторизованные номера",
                              "Журнал", "Расписания", "Сервис"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_FALSE(f.UiPageControl1->Pages(i)->GetTabVisible());
        EXPECT_EQ(f.UiPageControl1->Pages(i)->GetCaption(), captions[i]);
        f.SelectPage(i);
        EXPECT_EQ(f.ActivePageIndex(), i);
    }
    f.SelectPage(9);  // out of range: the page stays
    EXPECT_EQ(f.ActivePageIndex(), 8);
    EXPECT_EQ(f.UiPageControl1->Pages(2), f.TabSheet9);
    EXPECT_EQ(f.UiPageControl1->Pages(4), f.TabSheet4);
}

TEST_F(Shell, NumericEditGuard) {
    TEdit* edit = new TEdit(Form1);
    edit->SetParent(Form1);
    edit->SetMaxLength(9999);
    edit->SetText("20000");
    Word key = 'X';
    F().EditKeyUp(edit, key, TShiftState{});
    EXPECT_EQ(edit->GetText(), "9999");
    EXPECT_EQ(key, 0);
    edit->SetMaxLength(250);
    edit->SetText("");
    key = 'X';
    F().EditKeyUp(edit, key, TShiftState{});
    EXPECT_EQ(edit->GetText(), "0");
    EXPECT_EQ(key, 'X');
    edit->SetText("12a");
    EXPECT_THROW(F().EditKeyUp(edit, key, TShiftState{}), EConvertError);
    EXPECT_EQ(edit->GetText(), "12a");
    EXPECT_EQ(F().UserStrToInt(""), 0);
}

TEST_F(Shell, HotKeysHeldWhileTheWindowLives) {
    auto mine = [] {
        std::string keys;
        for (const auto& k : sys::RegisteredHotKeys())
            if (k.modifiers == sys::MOD_ALT) keys += std::to_string(k.id) + char(k.key) + " ";
        return keys;
    };
    EXPECT_EQ(mine(), "125E 126H 127S ");
    delete Form1;
    Form1 = nullptr;
    EXPECT_EQ(mine(), "");
    Application->CreateForm(Form1);
}

TEST_F(Shell, StartsInRussianOnTheConnectionPageAndWritesTheSettingsAtClose) {
    ShowWindow();
    EXPECT_EQ(F().ActivePageIndex(), 4);
    EXPECT_EQ(g_Language, "russian");
    EXPECT_EQ(F().FormCaption->GetCaption().rfind("Конфигуратор Zeze ZUR \"Бранник IP\"  v.", 0), 0u);
    EXPECT_EQ(F().LangImage->GetHint(), "English");
    EXPECT_FALSE(F().Bdevice->GetEnabled());
    EXPECT_NE(g_SessionUid, 0);
    g_PortName = "/dev/ttyACM7";
    F().Close();
    const std::string text = testsupport::ReadFileText(g_SettingsPath);
    EXPECT_NE(text.find("[Settings]"), std::string::npos) << text;
    EXPECT_NE(text.find("Language=russian"), std::string::npos) << text;
    EXPECT_NE(text.find("ComPort=/dev/ttyACM7"), std::string::npos) << text;
    // The first start names "default", which does not open; the defaults then name their own.
    EXPECT_NE(text.find("File_configuration=" + g_ConfigPath), std::string::npos) << text;
}

TEST_F(Shell, SettingsThatCannotBeWrittenAreReportedOnceAndTheWindowCloses) {
    // A file where the settings folder should be.
    const std::string dir = testsupport::TempDir("shell-blocked");
    std::ofstream(dir + "/TALIVEX") << "x";
    g_SettingsPath = dir + "/TALIVEX/TALIVEX Zentor/config.ini";
    ShowWindow();
    F().Close();
    EXPECT_FALSE(F().GetVisible());
    std::vector<std::string> boxes;
    for (const auto& d : ui::test::ShownDialogs())
        if (d.text.find("Unable to write to") != std::string::npos) boxes.push_back(d.text);
    // The reason is the system's, as the exports give it.
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to write to " + g_SettingsPath + ": Not a directory"});
}

// A user without a Documents folder: the export's save dialog, the real one, opens in the
// home folder with the file's name, never in the working folder.
TEST_F(Shell, TheSaveDialogStartsAtHomeWithoutDocuments) {
    testsupport::TEnvGuard env;
    const std::string home = testsupport::TempDir("home-without-documents");
    env.Set("HOME", home.c_str());
    env.Set("XDG_CONFIG_HOME", nullptr);
    ShowWindow();
    ASSERT_TRUE(realinput::Activate(F().GetWidget()));
    F().SelectPage(5);
    ui::test::SetScripted(false);
    QStringList buttons;
    QString folder, file;
    realinput::OnNextBox(buttons, [&](QWidget* box) {
        if (auto* dialog = qobject_cast<QFileDialog*>(box)) {
            folder = dialog->directory().absolutePath();
            file = dialog->selectedFiles().value(0);
        }
        realinput::BoxKey(box, Qt::Key_Escape);
    });
    testsupport::Click(F().UiButton4->GetWidget());
    ui::test::SetScripted(true);
    EXPECT_EQ(folder.toStdString(), home);
    EXPECT_EQ(file.toStdString(), home + "/_numbers.csv");
}

TEST_F(Shell, RememberedDevicesAreReadOnceAndTheCloseWritesTheFileOnce) {
    fs::create_directories(fs::path(g_SettingsPath).parent_path());
    std::string text = "[Settings]\r\nLanguage=russian\r\n[Devices]\r\nCount=2000\r\n";
    for (int i = 0; i < 2000; ++i) text += "d" + std::to_string(i) + "=86" + std::to_string(i) + "\r\n";
    std::ofstream(g_SettingsPath, std::ios::binary) << text;
    ShowWindow();
    ASSERT_EQ(F().AIMEI->GetItems()->Count(), 2000);
    EXPECT_EQ(F().AIMEI->GetItems()->Get(1999), "861999");
    const auto commits = SafeFileCommitsForTests();
    F().Close();
    EXPECT_EQ(SafeFileCommitsForTests() - commits, 1u);
    EXPECT_NE(testsupport::ReadFileText(g_SettingsPath).find("d1999=861999\r\n"), std::string::npos);
}

TEST_F(Shell, AnUnreadableSettingsFileIsToldOnceAndKeptAsItIs) {
    fs::create_directories(fs::path(g_SettingsPath).parent_path());
    const std::string old = "[Settings]\nLanguage=english\n[Devices]\nCount=1\nd0=861\n861=1234\n";
    std::ofstream(g_SettingsPath, std::ios::binary) << old;
    SetSafeFileUnreadableForTests(g_SettingsPath);
    ShowWindow();
    EXPECT_EQ(g_Language, "russian");
    EXPECT_EQ(F().AIMEI->GetItems()->Count(), 0);
    // A login is remembered by the window only: the file is not written over.
    F().AIMEI->SetText("862");
    F().APASS->SetText("0000");
    F().UserAuthOK();
    F().Close();
    SetSafeFileUnreadableForTests("");
    EXPECT_EQ(testsupport::ReadFileText(g_SettingsPath), old);
    std::vector<std::string> boxes;
    for (const auto& d : ui::test::ShownDialogs())
        if (d.text.find("Unable to") != std::string::npos) boxes.push_back(d.text);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to read " + g_SettingsPath + ": Permission denied"});
}

TEST_F(Shell, LanguageSwitchesAtRunTimeAndBack) {
    TLangFile lang(
        "[Header]\nCaption=Конфигуратор//\\ Configurator\nLang=English//\\ Русский\n"
        "Close=Закрыть//\\ Close\nMinimize=Свернуть//\\ Minimize\n"
        "[Messages]\nM4=Нет ответа//\\ No answer\n");
    ShowWindow();
    EXPECT_EQ(F().GetMessageA(4), "Нет ответа");
    EXPECT_EQ(F().GetMessageA(5), "Message5");
    EXPECT_EQ(F().CloseImage->GetHint(), "Закрыть");
    F().LangImage->Click();
    EXPECT_EQ(g_Language, "english");
    EXPECT_EQ(F().GetMessageA(4), "No answer");
    EXPECT_EQ(F().CloseImage->GetHint(), "Close");
    EXPECT_EQ(F().MinzImage->GetHint(), "Minimize");
    EXPECT_EQ(F().LangImage->GetHint(), "Русский");
    EXPECT_EQ(F().FormCaption->GetCaption().rfind("Configurator Zeze ZUR", 0), 0u);
    EXPECT_EQ(F().ReadLangStr("Да//\\ Yes"), "Yes");
    F().LangImage->Click();
    EXPECT_EQ(g_Language, "russian");
    EXPECT_EQ(F().GetMessageA(4), "Нет ответа");
    EXPECT_EQ(F().ReadLangStr("Да//\\ Yes"), "Да");
    // A grid value the record cannot take is told, and the language stays as it was.
    F().PhonesGrid->SetRowCount(2);
    F().PhonesGrid->SetCells(colNumber, 1, "79001234567");
    F().PhonesGrid->SetCells(colPasses, 1, "300");
    testsupport::Click(F().LangImage->GetWidget());
    EXPECT_EQ(g_Language, "russian");
    EXPECT_EQ(F().LangImage->GetHint(), "English");
    EXPECT_FALSE(ui::test::ShownDialogs().empty());
    F().PhonesGrid->SetCells(colPasses, 1, "3");
    F().Close();
    EXPECT_NE(testsupport::ReadFileText(g_SettingsPath).find("Language=russian"), std::string::npos);
}

// The question to clear the event log, asked by the real box in the window's language,
// whichever language the window has switched to.
TEST_F(Shell, QuestionBoxesFollowTheWindowsLanguage) {
    ShowWindow();
    ASSERT_TRUE(realinput::Activate(F().GetWidget()));
    F().SelectPage(6);
    ui::test::SetScripted(false);
    QStringList buttons;
    testsupport::Click(F().LangImage->GetWidget());
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Return); });
    testsupport::Click(F().ClearMemHronology->GetWidget());
    EXPECT_EQ(buttons, (QStringList{"No", "Yes"}));
    testsupport::Click(F().LangImage->GetWidget());
    buttons.clear();
    realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Escape); });
    testsupport::Click(F().ClearMemHronology->GetWidget());
    EXPECT_EQ(buttons, (QStringList{"Да", "Нет"}));
    ui::test::SetScripted(true);
}

// The save dialog Qt draws itself (exporting the numbers) speaks the window's language, and
// follows it when the language is switched.
TEST_F(Shell, QtsOwnFileDialogFollowsTheWindowsLanguage) {
    ShowWindow();
    ASSERT_TRUE(realinput::Activate(F().GetWidget()));
    F().SelectPage(5);
    ui::test::SetScripted(false);
    const auto saveDialogButtons = [this] {
        QStringList buttons;
        realinput::OnNextBox(buttons, [](QWidget* box) { realinput::BoxKey(box, Qt::Key_Escape); });
        testsupport::Click(F().UiButton4->GetWidget());
        return buttons;
    };
    QStringList buttons = saveDialogButtons();
    EXPECT_TRUE(buttons.contains("Сохранить") && buttons.contains("Отмена")) << buttons.join(", ").toStdString();
    testsupport::Click(F().LangImage->GetWidget());
    buttons = saveDialogButtons();
    EXPECT_TRUE(buttons.contains("Save") && buttons.contains("Cancel")) << buttons.join(", ").toStdString();
    ui::test::SetScripted(true);
}

// The window carries the tool's own icon, in the sizes from a menu's to a large task bar's.
TEST_F(Shell, TheWindowCarriesTheToolsIcon) {
    ShowWindow();
    const QIcon icon = F().GetWidget()->windowIcon();
    for (const int size : {16, 32, 48, 256}) EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
}

TEST_F(Shell, OddLanguageValueIsKeptAndSpeaksRussian) {
    fs::create_directories(fs::path(g_SettingsPath).parent_path());
    std::ofstream(g_SettingsPath) << "[Settings]\nLanguage=English\nComPort=COM3\n";
    ShowWindow();
    EXPECT_EQ(g_Language, "English");
    EXPECT_EQ(F().LangImage->GetHint(), "English");
    F().Close();
    EXPECT_NE(testsupport::ReadFileText(g_SettingsPath).find("Language=English"), std::string::npos);
}

TEST_F(Shell, OverlaysCentredAndNewsPanelFollowsItsPage) {
    ShowWindow();
    EXPECT_EQ(F().MESPANEL->GetLeft(), 251);
    EXPECT_EQ(F().MESPANEL->GetTop(), 257);
    EXPECT_EQ(F().Panel10->GetParent(), F().TabSheet4);
    EXPECT_FALSE(F().Button19->GetVisible());
    // A page that cannot be fetched hides the panel.
    Application->ProcessMessages();
    EXPECT_FALSE(F().Panel10->GetVisible());
    // A loaded page takes its place and size from the window's height.
    F().Panel10->SetVisible(true);
    F().WebBrowser1->LoadHtml("http://news.test/news", "<p>Новости</p>");
    F().WebBrowser1DocumentComplete(F().WebBrowser1, "http://news.test/news");
    EXPECT_EQ(F().Panel10->GetTop(), 171);
    EXPECT_EQ(F().Panel10->GetHeight(), 400);
    EXPECT_TRUE(F().Button19->GetVisible());
    F().Button19->Click();
    EXPECT_FALSE(F().Panel10->GetVisible());
}

TEST_F(Shell, GridHeadersAndScaling) {
    auto grid = [&](const char* name, std::vector<int> widths) {
        auto* g = dynamic_cast<TStringGrid*>(Form1->FindComponent(name));
        if (!g) {
            g = new TStringGrid(Form1);
            g->SetName(name);
            g->SetParent(Form1);
        }
        g->SetColCount(static_cast<int>(widths.size()));
        g->SetRowCount(2);
        g->SetDefaultRowHeight(24);
        for (int c = 0; c < static_cast<int>(widths.size()); ++c) g->SetColWidths(c, widths[c]);
        return g;
    };
    const std::vector<int> phones = {30, 102, 128, 126, 111, 92, 118, 87, 30};
    const std::vector<int> log = {30, 169, 133, 340, 161};
    TStringGrid* p = grid("PhonesGrid", phones);
    TStringGrid* h = grid("HrGrid", log);
    p->SetCells(8, 0, "Метка");
    F().WriteGridHeadersStep();
    EXPECT_EQ(p->GetCells(0, 0), "№");
    EXPECT_EQ(p->GetCells(7, 0), "Тип записи");
    EXPECT_EQ(p->GetCells(8, 0), "Метка");
    EXPECT_EQ(h->GetCells(4, 0), "Объект влияния");
    // At the design width nothing changes; twice as wide doubles every figure.
    p->SetWidth(861);
    h->SetWidth(1722);
    F().ScaleGridsStep();
    for (int c = 0; c < 9; ++c) EXPECT_EQ(p->GetColWidths(c), phones[c]) << c;
    EXPECT_EQ(p->GetDefaultRowHeight(), 24);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(h->GetColWidths(c), 2 * log[c]) << c;
    EXPECT_EQ(h->GetDefaultRowHeight(), 48);
}

TEST_F(Shell, LanguageFileCaptionsTheNamedControls) {
    auto* cnp1 = dynamic_cast<TControl*>(Form1->FindComponent("CNP1"));
    auto* ops = dynamic_cast<TComboBox*>(Form1->FindComponent("OPERATOR"));
    if (!cnp1 || !ops) GTEST_SKIP() << "the settings page is not built";
    {
        // Without a language file the captions it names are empty.
        ShowWindow();
        EXPECT_EQ(cnp1->GetCaption(), "");
    }
    const fs::path tree = fs::path(__FILE__).parent_path().parent_path().parent_path();
    std::ifstream shipped(tree / "lang" / "lang_zent.lng", std::ios::binary);
    std::stringstream text;
    text << shipped.rdbuf();
    TLangFile lang(text.str());
    F().SetLanguage(g_Language);
    EXPECT_EQ(cnp1->GetCaption(), "Параметры подключения");
    ASSERT_EQ(ops->GetItems()->GetCount(), 6);
    EXPECT_EQ(ops->GetItems()->Get(1), "Билайн");
    F().LangImageClick(nullptr);
    EXPECT_EQ(cnp1->GetCaption(), "Connection parameters");
    EXPECT_EQ(ops->GetItems()->Get(1), "Beeline");
    EXPECT_EQ(F().GetMessageA(4), "No response: the wait has timed out");
}

TEST_F(Shell, SettingsEditHandlers) {
    auto* address = dynamic_cast<TEdit*>(Form1->FindComponent("CON_ADR1"));
    auto* hint = dynamic_cast<TControl*>(Form1->FindComponent("Label40"));
    auto* outType = dynamic_cast<TComboBox*>(Form1->FindComponent("OUTTYPE"));
    auto* pulse = dynamic_cast<TControl*>(Form1->FindComponent("Panel4"));
    if (!address || !hint || !outType || !pulse) GTEST_SKIP() << "the settings page is not built";
    address->SetText("srv.example.net");
    F().CON_ADR1Change(address);
    EXPECT_TRUE(hint->GetVisible());
    address->SetText("srv.example.net:10950");
    F().CON_ADR1Change(address);
    EXPECT_FALSE(hint->GetVisible());
    outType->SetItemIndex(1);
    F().OUTTYPEChange(outType);
    EXPECT_TRUE(pulse->GetVisible());
    outType->SetItemIndex(0);
    F().OUTTYPEChange(outType);
    EXPECT_FALSE(pulse->GetVisible());
}

// The review pictures are taken as on a machine with a default route and no name service:
// the run must reach no peer and show no server error.
TEST_F(Shell, ReviewRunReachesNoNetwork) {
    testsupport::TEnvGuard env;
    env.Set("ZENTOR_ONLINE", "1");
    for (const char* peer : {"ZENTOR_CLOUD_HOST", "ZENTOR_UPDATE_HOST", "ZENTOR_FILE_HOST"}) env.Set(peer, nullptr);
    env.Set("ZENTOR_NEWS_URL", "http://news.invalid/news");
    TakeRunOffline();
    ASSERT_FALSE(sys::IsOnline());
    ASSERT_EQ(sys::NewsUrl(), "about:blank");
    for (const sys::THostPort& peer : {sys::CloudServer(), sys::UpdateServer(), sys::FileServer()}) {
        ASSERT_EQ(peer.host, "127.0.0.1");
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(peer.port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_NE(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(errno, ECONNREFUSED);
        ::close(fd);
    }
    ShowWindow();
    Application->ProcessMessages();
    EXPECT_FALSE(F().MESPANEL->GetVisible()) << F().MESLABEL->GetCaption();
}

TEST_F(Shell, TheKeyboardReachesEveryControlOfEveryPage) {
    testsupport::TEnvGuard offline;  // no update query at start-up whose answer takes the focus
    offline.Set("ZENTOR_ONLINE", "0");
    ShowWindow();
    ASSERT_TRUE(realinput::Activate(F().GetWidget()));
    g_AccessLevel = 32;
    F().ButtonEnabled(true);
    for (int page = 0; page < 9; ++page) {
        F().SelectPage(page);
        std::vector<TWinControl*> all, stops;
        F().GetTabOrderList(all);
        for (TWinControl* c : all)
            if (c->GetTabStop() && c->CanFocus()) stops.push_back(c);
        const std::size_t n = stops.size(), start = std::find(stops.begin(), stops.end(), F().Bdevice) - stops.begin();
        ASSERT_LT(start, n);
        ASSERT_FALSE(F().MESPANEL->GetVisible());
        F().Bdevice->SetFocus();
        QImage focused;  // the control the last Tab reached, as it looked then
        for (std::size_t i = 1; i <= n; ++i) {
            TWinControl* left = F().GetActiveControl();
            realinput::Key(Qt::Key_Tab);
            // Every control the keyboard reaches shows that it has the focus.
            if (i > 1) {
                EXPECT_NE(left->GetWidget()->grab().toImage(), focused) << left->GetName() << " shows no focus";
            }
            ASSERT_EQ(F().GetActiveControl(), stops[(start + i) % n]) << "page " << page << ", Tab " << i;
            focused = F().GetActiveControl()->GetWidget()->grab().toImage();
        }
        for (std::size_t i = 1; i <= n; ++i) {
            realinput::Key(Qt::Key_Backtab, Qt::ShiftModifier);
            ASSERT_EQ(F().GetActiveControl(), stops[(start + n - i) % n]) << "page " << page << ", Shift+Tab " << i;
        }
    }
    // The arrows walk the column of page buttons.
    F().Bdevice->SetFocus();
    realinput::Key(Qt::Key_Down);
    realinput::Key(Qt::Key_Down);
    EXPECT_EQ(F().GetActiveControl(), F().Blog);
    realinput::Key(Qt::Key_Up);
    EXPECT_EQ(F().GetActiveControl(), F().Busers);
    // The settings tabs turn with Ctrl+Tab from a field on them.
    F().SelectPage(0);
    F().ConfPages->SetActivePageIndex(0);  // the strip opens on its third tab
    F().OPERATOR->SetFocus();
    realinput::Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(F().ConfPages->GetActivePageIndex(), 1);
    // The password page comes up with its field ready for typing.
    F().GetPassword(TPasswordKind::Ask, 1);
    EXPECT_EQ(F().GetActiveControl(), F().PassEdit);
    realinput::Type("1234");
    EXPECT_EQ(F().PassEdit->GetText(), "1234");
}

TEST_F(Shell, RussianTypedIntoTheNameFieldAndTheNumberGridsEditor) {
    testsupport::TEnvGuard offline;  // no update query at start-up whose answer takes the focus
    offline.Set("ZENTOR_ONLINE", "0");
    ShowWindow();
    ASSERT_TRUE(realinput::Activate(F().GetWidget()));
    F().SelectPage(5);
    F().aName->SetFocus();
    realinput::Type("Юрьев (охрана)");
    EXPECT_EQ(F().aName->GetText(), "Юрьев (охрана)");
    // In-place editing, switched on from the grid's menu, takes the same text.
    F().N4->Click();
    TUiStringGrid* g = F().PhonesGrid;
    const TRect r = g->CellRect(colName, 1);
    realinput::DoubleClick(g->GetWidget(), QPoint(g->BorderWidth() + r.Left + 5, g->BorderWidth() + r.Top + 5));
    ASSERT_TRUE(g->GetEditorMode());
    realinput::Type("Петров_2");
    realinput::Key(Qt::Key_Return);
    sys::ServeGuiCalls();
    EXPECT_EQ(g->GetCells(colName, 1), "Петров_2");
}
