// The frame controller pushing its settings into registered controls, and the version test.
#include <gtest/gtest.h>

#include <vector>

#include "widgets/UiFrameController.h"

namespace {
// A control with a few of the controller's properties, recording every write.
class TFakeFramed : public TComponent, public IUiFrameControlled {
public:
    explicit TFakeFramed(TComponent* owner) : TComponent(owner) {}
    ~TFakeFramed() override { ChangeFrameController(this, Controller, nullptr); }
    TUiFrameControllerNotifications GetFrameControllerNotifications() const override { return N; }
    bool SetFrameProperty(TUiFrameControllerProperty p, const TUiFrameController& c) override {
        switch (p) {
        case fcpColor: Color = c.GetColor(); break;
        case fcpFrameStyle: Style = c.GetFrameStyle(); break;
        case fcpFrameColor: FrameColor = c.GetFrameColor(); break;
        case fcpParentColor: break;
        default: return false;
        }
        Writes.push_back(p);
        return true;
    }
    TUiFrameControllerNotifications N;
    TUiFrameController* Controller = nullptr;
    TColor Color = clWindow, FrameColor = clNone;
    TFrameStyle Style = fsNone;
    std::vector<TUiFrameControllerProperty> Writes;
};

class TSelfUpdating : public TComponent, public IUiFrameControlled {
public:
    explicit TSelfUpdating(TComponent* owner) : TComponent(owner) {}
    bool HandlesFrameControllerChange() const override { return true; }
    void FrameControllerChanged() override { ++Calls; }
    int Calls = 0;
};
}  // namespace

TEST(UiFrameController, RegistrationPushesEverythingOnce) {
    TComponent owner(nullptr);
    auto* ctl = new TUiFrameController(&owner);
    auto* a = new TFakeFramed(&owner);
    ctl->SetColor(clYellow);
    ChangeFrameController(a, a->Controller, ctl);
    EXPECT_EQ(a->Color, clYellow);
    EXPECT_EQ(a->Style, fsFlat);
    EXPECT_EQ(a->Writes, (std::vector<TUiFrameControllerProperty>{fcpParentColor, fcpColor,
                                                                  fcpFrameColor, fcpFrameStyle}));
    // Registering again keeps one entry and pushes all settings again.
    a->Writes.clear();
    ctl->AddControl(a);
    EXPECT_EQ(ctl->ControlCount(), 1);
    EXPECT_EQ(a->Writes.size(), 4u);
}

TEST(UiFrameController, SettingsFollowNotificationBits) {
    TComponent owner(nullptr);
    auto* ctl = new TUiFrameController(&owner);
    auto* a = new TFakeFramed(&owner);
    a->N.Exclude(fcpFrameStyle);
    ChangeFrameController(a, a->Controller, ctl);
    ctl->SetFrameStyle(fsRaised);
    EXPECT_EQ(a->Style, fsNone);  // keeps its own
    ctl->SetFrameColor(clRed);
    EXPECT_EQ(a->FrameColor, clRed);
}

TEST(UiFrameController, UpdatesWaitForEndUpdate) {
    TComponent owner(nullptr);
    auto* ctl = new TUiFrameController(&owner);
    auto* a = new TFakeFramed(&owner);
    ChangeFrameController(a, a->Controller, ctl);
    a->Writes.clear();
    ctl->BeginUpdate();
    ctl->SetColor(clRed);
    ctl->SetFrameStyle(fsGroove);
    EXPECT_TRUE(a->Writes.empty());
    ctl->EndUpdate();
    EXPECT_EQ(a->Color, clRed);
    EXPECT_EQ(a->Style, fsGroove);
    EXPECT_EQ(a->Writes.size(), 4u);
}

TEST(UiFrameController, ColourRulesAndHotTrack) {
    TUiFrameController ctl(nullptr);
    ctl.SetParentColor(true);
    ctl.SetColor(clAqua);
    EXPECT_FALSE(ctl.GetParentColor());
    EXPECT_EQ(ctl.GetFocusColor(), clAqua);  // followed the colour it equalled
    ctl.SetFocusColor(clRed);
    ctl.SetColor(clLime);
    EXPECT_EQ(ctl.GetFocusColor(), clRed);
    ctl.SetFrameSides(TSides{sdLeft});
    ctl.SetFrameHotTrack(true);
    EXPECT_TRUE(ctl.GetFrameVisible());
    EXPECT_EQ(ctl.GetFrameSides(), AllSides);
}

TEST(UiFrameController, SelfUpdatingControlsAreToldInstead) {
    TComponent owner(nullptr);
    auto* ctl = new TUiFrameController(&owner);
    auto* s = new TSelfUpdating(&owner);
    ctl->AddControl(s);
    ctl->SetFrameColor(clRed);
    EXPECT_EQ(s->Calls, 2);
}

TEST(UiFrameController, DestructionOnEitherSideUnlinks) {
    TComponent owner(nullptr);
    auto* ctl = new TUiFrameController(&owner);
    auto* a = new TFakeFramed(&owner);
    ChangeFrameController(a, a->Controller, ctl);
    delete a;
    EXPECT_EQ(ctl->ControlCount(), 0);
    auto* b = new TFakeFramed(&owner);
    ChangeFrameController(b, b->Controller, ctl);
    EXPECT_EQ(ctl->ControlCount(), 1);
}

TEST(UiFrameController, OldStreamProperties) {
    TUiFrameController ctl(nullptr);
    TUiTextReader reader("FrameFlat = True\nFrameFocusStyle = fsButtonUp\nFrameFlatStyle = fsFlat\n");
    ctl.DefineProperties(reader);
    EXPECT_TRUE(ctl.GetFrameHotTrack());
    EXPECT_EQ(ctl.GetFrameStyle(), fsStatus);
    EXPECT_EQ(ctl.GetFrameHotStyle(), fsButtonUp);
}

TEST(UiFrameController, AssignCopiesSettingsNotControls) {
    TUiFrameController a(nullptr), b(nullptr);
    a.SetFrameStyle(fsBump);
    a.SetDisabledColor(clGray);
    b.Assign(&a);
    EXPECT_EQ(b.GetFrameStyle(), fsBump);
    EXPECT_EQ(b.GetDisabledColor(), clGray);
}

TEST(UiVersion, ComparesMajorMinorPairs) {
    // Windows 10 (10.0) is later than every named version, Windows 7 (6.1) included.
    for (int i = 0; i <= 8; ++i) EXPECT_TRUE(RunningAtLeast(i)) << i;
    EXPECT_FALSE(RunningAtLeast(9));
    EXPECT_TRUE(RunningAtLeastVersion(8, VER_PLATFORM_WIN32_NT, 6, 1));
    EXPECT_FALSE(RunningAtLeastVersion(8, VER_PLATFORM_WIN32_NT, 6, 0));
    EXPECT_TRUE(RunningAtLeastVersion(5, VER_PLATFORM_WIN32_NT, 6, 0));
    EXPECT_FALSE(RunningAtLeastVersion(4, VER_PLATFORM_WIN32_WINDOWS, 5, 0));
    EXPECT_TRUE(RunningAtLeastVersion(3, VER_PLATFORM_WIN32_WINDOWS, 4, 90));
    EXPECT_FALSE(RunningAtLeastVersion(2, VER_PLATFORM_WIN32_WINDOWS, 4, 0));
}

TEST(UiRegIniFile, SettersMarkChanged) {
    TUiRegIniFile f(nullptr);
    f.Changed = false;
    f.SetPath("x");
    EXPECT_TRUE(f.Changed);
    f.Changed = false;
    f.SetPath("x");
    EXPECT_FALSE(f.Changed);
    EXPECT_EQ(f.GetRegKey(), hkeyCurrentUser);
}
