// Pure rules of the shell: wait panel counters, page buttons, layout arithmetic, hex text,
// and the order of the showing and closing sequences.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/HexText.h"
#include "app/PageButtons.h"
#include "app/ShellLayout.h"
#include "app/StartupSequence.h"
#include "app/WaitPanelState.h"

TEST(WaitCounters, TimeoutModeEndsAfterItsSeconds) {
    TWaitCounters c;
    TWaitBar bar;
    bar.Percent = 0;
    OpenWait(c, bar, 15, 0);
    EXPECT_EQ(bar.Segments, 50);
    EXPECT_EQ(c.Limit, 15u);
    EXPECT_EQ(c.Ticks, 1u);
    int ticks = 0;
    while (!TickWait(c, bar)) ++ticks;
    // Ticks 2..15 do not time out, the 15th tick after opening makes 16 > 15.
    EXPECT_EQ(ticks + 1, 15);
}

TEST(WaitCounters, ProgressModeAndItsFixedTimeout) {
    TWaitCounters c;
    TWaitBar bar;
    OpenWait(c, bar, 3, 12);
    EXPECT_EQ(bar.Segments, 20);
    EXPECT_EQ(bar.Percent, 25);
    EXPECT_EQ(c.Limit, 15u);
    for (int i = 0; i < 14; ++i) EXPECT_FALSE(TickWait(c, bar));
    EXPECT_EQ(bar.Percent, 25);  // the bar does not move in progress mode
    EXPECT_TRUE(TickWait(c, bar));
    // A large transfer does not wrap the percentage.
    OpenWait(c, bar, 50'000'000u, 100'000'000u);
    EXPECT_EQ(bar.Percent, 50);
}

TEST(WaitCounters, ZeroTimeoutEndsOnFirstTickAndIdleNeverEnds) {
    TWaitCounters c;
    TWaitBar bar;
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(TickWait(c, bar));
    OpenWait(c, bar, 0, 0);
    EXPECT_TRUE(TickWait(c, bar));
}

TEST(WaitCounters, MovingBarSequence) {
    std::vector<int> seen;
    int p = 0;
    for (int i = 0; i < 13; ++i) {
        p = NextWaitBarPercent(p);
        seen.push_back(p);
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 10, 20}));
    EXPECT_EQ(NextWaitBarPercent(95), 105);  // 96 <= 100: still grows by 10
    EXPECT_EQ(NextWaitBarPercent(100), 0);
}

TEST(PageButtons, AccessLevels) {
    TPageButtonStates none;
    EXPECT_EQ(PageButtonStates(false, 32), none);
    EXPECT_EQ(PageButtonStates(false, 0), none);

    TPageButtonStates manager;
    manager.Device = manager.Users = manager.Log = true;
    manager.CloseSessionVisible = true;
    EXPECT_EQ(PageButtonStates(true, 16), manager);
    EXPECT_EQ(PageButtonStates(true, 0), manager);

    TPageButtonStates admin = manager;
    admin.Setting = admin.Shedule = admin.Service = true;
    EXPECT_EQ(PageButtonStates(true, 32), admin);
}

TEST(ShellLayout, DesignFigures) {
    EXPECT_EQ(AnimationPanelLeft(1024), 312);
    EXPECT_EQ(AnimationPanelTop(672), 372);
    EXPECT_EQ(CentredOffset(1024, 521), 251);
    EXPECT_EQ(CentredOffset(672, 157), 257);
    EXPECT_EQ(CentredOffset(100, 101), 0);  // -1 / 2 rounds toward zero
    EXPECT_EQ(ProgressStripWidth(1020, 115, 100), 905);
    EXPECT_EQ(ProgressStripWidth(1020, 115, 0), 1);
    EXPECT_EQ(ProgressStripWidth(1020, 115, 20), 181);
    EXPECT_EQ(NewsPanelTop(672), 171);
    EXPECT_EQ(NewsPanelHeight(672), 400);
}

TEST(ShellLayout, GridScalingKeepsDesignWidthsAndDoubles) {
    const std::vector<int> phones = {30, 102, 128, 126, 111, 92, 118, 87, 30};
    const std::vector<int> log = {30, 169, 133, 340, 161};
    for (int w : phones) {
        EXPECT_EQ(ScaleGridValue(w, 861), w);
        EXPECT_EQ(ScaleGridValue(w, 1722), 2 * w);
    }
    for (int w : log) EXPECT_EQ(ScaleGridValue(w, 861), w);
    EXPECT_EQ(ScaleGridValue(24, 861), 24);
    EXPECT_EQ(ScaleGridValue(24, 1722), 48);
    EXPECT_EQ(ScaleGridValue(24, 430), 11);  // 11.98...: truncated, not rounded
}

TEST(ShellLayout, SessionUid) {
    // 1 January 2024 00:00 is day 45292.
    const double day = DateTimeFromLocalSeconds(1704067200.0);
    EXPECT_DOUBLE_EQ(day, 45292.0);
    EXPECT_EQ(SessionUidFromDateTime(day), 452920000);
    // 8.64 s is one unit; two runs 5 s apart in the same unit share the identifier.
    EXPECT_EQ(SessionUidFromDateTime(DateTimeFromLocalSeconds(1704067200.0 + 1.0)),
              SessionUidFromDateTime(DateTimeFromLocalSeconds(1704067200.0 + 6.0)));
    EXPECT_EQ(SessionUidFromDateTime(DateTimeFromLocalSeconds(1704067200.0 + 9.0)), 452920001);
}

TEST(HexText, Bytes) {
    const std::uint8_t b[] = {0x0A, 0xFF, 0x00, 0x5c};
    EXPECT_EQ(BytesToHex(b, 2), "0AFF");
    EXPECT_EQ(BytesToHex(b, 4), "0AFF005C");
    EXPECT_EQ(BytesToHex(b, 0), "");
    EXPECT_EQ(BytesToHex(nullptr, 3), "");
}

namespace {

class RecordingShow : public TShowSteps {
public:
    std::vector<std::string> calls;
    bool openSucceeds = false;
    void CentreOverlayPanels() override { calls.push_back("centre"); }
    void PlaceAnimationPanel() override { calls.push_back("animation"); }
    void CreateGroupList() override { calls.push_back("grouplist"); }
    void ReadFormSettings() override { calls.push_back("settings"); }
    void SetLanguage() override { calls.push_back("language"); }
    bool OpenFromFile(const std::string& path) override {
        calls.push_back("open:" + path);
        return openSucceeds;
    }
    void Load_default() override { calls.push_back("defaults"); }
    void ButtonEnabled(bool e) override { calls.push_back(e ? "buttons:on" : "buttons:off"); }
    void WriteGridHeaders() override { calls.push_back("headers"); }
    void SelectPage(int i) override { calls.push_back("page:" + std::to_string(i)); }
    void LoadDeviceList() override { calls.push_back("devices"); }
    void Find_Device() override { calls.push_back("search"); }
    void SetDatePickersToday() override { calls.push_back("dates"); }
    void SetSessionUid() override { calls.push_back("uid"); }
    void GetConfiguratorVersionFromServer() override { calls.push_back("version"); }
    void ClearSearchKeyword() override { calls.push_back("keyword"); }
    void OpenNewsPage() override { calls.push_back("news"); }
    void ScaleGrids() override { calls.push_back("scale"); }
    std::string ConfigPath() const override { return "default"; }
};

class RecordingClose : public TCloseSteps {
public:
    std::vector<std::string> calls;
    void ClosePort() override { calls.push_back("port"); }
    void ClosePortRFID() override { calls.push_back("rfid"); }
    void SaveFormSettings() override { calls.push_back("settings"); }
    void UnregisterDeviceNotification() override { calls.push_back("notify"); }
};

}  // namespace

TEST(StartupOrder, ShowSequence) {
    RecordingShow s;
    RunShowSequence(s);
    EXPECT_EQ(s.calls, (std::vector<std::string>{
                           "centre", "animation", "grouplist", "settings", "language",
                           "open:default", "defaults", "buttons:off", "headers", "page:4",
                           "devices", "search", "dates", "uid", "version", "keyword", "news",
                           "scale"}));
    RecordingShow ok;
    ok.openSucceeds = true;
    RunShowSequence(ok);
    EXPECT_EQ(std::count(ok.calls.begin(), ok.calls.end(), "defaults"), 0);
}

TEST(StartupOrder, CloseSequence) {
    RecordingClose c;
    RunCloseSequence(c);
    EXPECT_EQ(c.calls, (std::vector<std::string>{"port", "rfid", "settings", "notify"}));
}
