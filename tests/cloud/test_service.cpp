// Service buttons during a cloud session (cloud commands, or device commands tunnelled to the
// device behind the server), the remembered devices and the group sync at login.
#include <gtest/gtest.h>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"
#include "support/TestSupport.h"
#include "tests/cloud/CloudRig.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

// The device's IMEI typed into its field, key by key.
void TypeImei(const std::string& imei) {
    Form1->AIMEI->SetText("");
    for (char ch : imei) testsupport::KeyClick(Form1->AIMEI->GetWidget(), Qt::Key_0 + (ch - '0'), QString(QChar(ch)));
}

// The request frames with this command that reached the device behind the server.
std::vector<devsim::Frame> FramesOf(CloudRig& rig, std::uint8_t command) {
    std::vector<devsim::Frame> out;
    for (const devsim::Frame& f : rig.Device().Frames())
        if (f.command == command) out.push_back(f);
    return out;
}

TEST(CloudService, AutomaticRegistrationFollowsTheButtonsCaption) {
    CloudRig rig("service-autoreg");
    ASSERT_TRUE(rig.LogIn());
    Form1->Bar->SetCaption("Выключить");
    Form1->BarClick(Form1->Bar);
    ASSERT_TRUE(rig.AwaitCount("gsmst", 1));
    std::vector<cloudsim::Request> r = rig.sim.Requests();
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(r[1].command, "autoreg");
    EXPECT_EQ(r[1].data.asString(), "0");
    EXPECT_EQ(r[1].imei, cloudtest::kImei);
    EXPECT_EQ(r[2].command, "gsmst");
    EXPECT_TRUE(CloudRig::Logged("Управление авторегистрацией"));
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged("Ответ на команду авторегистрации"); }));
}

TEST(CloudService, TransparentPortBaudIsClampedAndTunnelled) {
    CloudRig rig("service-transparent", true);
    ASSERT_TRUE(rig.LogIn());
    Form1->TransPort->SetItemIndex(1);
    Form1->TransBaud->SetText("4800");
    Form1->OpenTransPortClick(Form1->OpenTransPort);
    EXPECT_EQ(Form1->TransBaud->GetText(), "9600");
    ASSERT_TRUE(WaitUntil([&] { return FramesOf(rig, 0x34).size() == 1; }));
    EXPECT_EQ(FramesOf(rig, 0x34)[0].data, (devsim::Bytes{1, 0x80, 0x25, 0, 0}));
    Form1->TransBaud->SetText("230400");
    Form1->OpenTransPortClick(Form1->OpenTransPort);
    EXPECT_EQ(Form1->TransBaud->GetText(), "115200");
    ASSERT_TRUE(WaitUntil([&] { return FramesOf(rig, 0x34).size() == 2; }));
    EXPECT_EQ(FramesOf(rig, 0x34)[1].data, (devsim::Bytes{1, 0x00, 0xC2, 0x01, 0}));
}

TEST(CloudService, FactoryResetOnlyAfterYes) {
    CloudRig rig("service-factory", true);
    ASSERT_TRUE(rig.LogIn());
    ui::test::ClearDialogs();
    ui::test::PushDialogAnswer(IDNO);
    Form1->BfactoryDefaultClick(Form1->BfactoryDefault);
    ui::test::PushDialogAnswer(IDYES);
    Form1->BfactoryDefaultClick(Form1->BfactoryDefault);
    ASSERT_TRUE(WaitUntil([&] { return FramesOf(rig, 0x2F).size() == 1; }));
    testsupport::Pump(50);
    EXPECT_EQ(FramesOf(rig, 0x2F).size(), 1u);
    ASSERT_EQ(ui::test::ShownDialogs().size(), 2u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].caption, "Информация");
    EXPECT_TRUE(CloudRig::Logged("Команда на сброс настроек"));

    // Clearing the number memory (the service page's cancel button, which Escape reaches)
    // asks a question whose default answer is No.
    ui::test::ClearDialogs();
    testsupport::AccessibleAction(Form1->UiButton9->GetWidget());
    ASSERT_EQ(ui::test::ShownDialogs().size(), 1u);
    EXPECT_EQ(ui::test::ShownDialogs()[0].flags & MB_DEFBUTTON2, MB_DEFBUTTON2);
    testsupport::Pump(50);
    EXPECT_TRUE(FramesOf(rig, 0x2D).empty());
    ui::test::ClearDialogs();
}

TEST(CloudService, PhotoInASessionOnlyExplains) {
    CloudRig rig("service-photo", true);
    ASSERT_TRUE(rig.LogIn());
    const std::size_t before = rig.sim.FramesToDevice();
    Form1->BupdimageClick(nullptr);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Запрос фотоснимка возможен при подключении по кабелю");
    testsupport::Pump(50);
    EXPECT_EQ(rig.sim.FramesToDevice(), before);
}

TEST(CloudService, TransparentPortThroughTheServerSendsTheTypedSettings) {
    CloudRig rig("service-rport");
    ASSERT_TRUE(rig.LogIn());
    Form1->RIP->SetText("10.0.0.5");
    Form1->RPORT->SetText("4001");
    Form1->RBAUD->SetText("19200");
    Form1->RTOUT->SetText("30");
    Form1->Button11Click(Form1->Button11);
    ASSERT_TRUE(rig.AwaitCount("rport", 1));
    const cloudsim::Request r = rig.sim.Requests().back();
    EXPECT_EQ(r.data["ip"].asString(), "10.0.0.5");
    EXPECT_EQ(r.data["port"].asString(), "4001");
    EXPECT_EQ(r.data["baud"].asString(), "19200");
    EXPECT_EQ(r.data["timeout"].asString(), "30");
    ASSERT_TRUE(WaitUntil([] { return Form1->MESLABEL->GetCaption() == "Прозрачное соединение запущено!"; }));
}

// Replies to requests never sent, or sent on a connection since closed, show nothing and
// keep the session and the wait shown.
TEST(CloudService, RepliesNobodyAwaitsShowNothing) {
    CloudRig rig("service-unasked");
    ASSERT_TRUE(rig.LogIn());
    rig.sim.SetReply("defrag", Json::Value());
    testsupport::Click(Form1->Bdef);
    ASSERT_TRUE(rig.AwaitCount("defrag", 1));
    for (const char* reply : {R"({"data":"ok","response":"rport"})", R"({"data":"updated","response":"update"})",
                              R"({"data":"fail auth","response":"dispauth"})"})
        rig.sim.SendRaw(std::string(reply) + "\n\r");
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged(UnaskedReplyLine("dispauth")); }));
    EXPECT_EQ(g_CloudSession, 1);
    EXPECT_TRUE(Form1->TimerProgress->GetEnabled());
    testsupport::Click(Form1->Button5);  // logs in again on a new connection
    ASSERT_TRUE(rig.AwaitCount("dispauth", 2));
    ASSERT_TRUE(WaitUntil([] { return g_CloudSession == 1; }));
    Form1->MESLABEL->SetCaption("");
    rig.sim.SendRaw("{\"data\":\"ok\",\"response\":\"defrag\"}\n\r");
    ASSERT_TRUE(WaitUntil([] { return CloudRig::Logged(UnaskedReplyLine("defrag")); }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "");
}

TEST(CloudService, SafeCityReplies) {
    CloudRig rig("service-safecity");
    std::vector<std::uint8_t> status = {1, 0, 0, 0, 0x2C, 0x01, 0, 0};
    // 2024-03-02 10:20:00 and 2025-01-31 00:00:00 as local seconds.
    for (std::uint32_t t : {1709374800u, 1738281600u})
        for (int k = 0; k < 4; ++k) status.push_back(static_cast<std::uint8_t>(t >> (8 * k)));
    Form1->Reply_SafeCity(TDeviceReply{0x62, status.data(), status.size()});
    EXPECT_EQ(Form1->SafeCityStat->GetCaption(), "Безопасный город: подключен");
    EXPECT_EQ(Form1->SafeCityTags->GetCaption(), "Память базы БГ: 300");
    EXPECT_EQ(Form1->SafeCityBaseDate->GetCaption(), "Датакод базы БГ: 2024-03-02 10:20");
    EXPECT_EQ(Form1->SafeCityAccessDate->GetCaption(), "Доступ действует до: 2025-01-31");
    const std::uint8_t test[] = {4};
    Form1->Reply_SafeCity(TDeviceReply{0x5F, test, 1});
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "База номеров загружена. Объект подключен к Безопасному городу.");
    Form1->MESLABEL->SetCaption("");
    const std::uint8_t unknown[] = {9};
    Form1->Reply_SafeCity(TDeviceReply{0x5F, unknown, 1});
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "");
}

TEST(CloudDevices, LoginRemembersTheDeviceAndAGroupIsSyncedAtLogin) {
    CloudRig rig("devices-remember");
    Form1->INFODEV->SetText("Ворота");
    ASSERT_TRUE(rig.LogIn());
    {
        TIniFile ini(g_SettingsPath);
        EXPECT_EQ(ini.ReadInteger("Devices", "Count", 0), 1);
        EXPECT_EQ(ini.ReadString("Devices", "d0", ""), cloudtest::kImei);
        EXPECT_EQ(ini.ReadString("Devices", cloudtest::kImei, ""), cloudtest::kPass);
        EXPECT_EQ(ini.ReadString("Descriptions", cloudtest::kImei, ""), "Ворота");
    }
    EXPECT_EQ(Form1->AIMEI->GetItems()->IndexOf(cloudtest::kImei), 0);
    Form1->CloseSessionClick(nullptr);

    // The device and two others in the group.
    {
        TIniFile ini(g_SettingsPath);
        ini.WriteString("Group", "862000000000002", "");
        ini.WriteString("Group", cloudtest::kImei, "");
        ini.WriteString("Group", "862000000000003", "");
    }
    TStringList groupList;
    g_GroupList = &groupList;
    Form1->APASS->SetText("");
    TypeImei(cloudtest::kImei);
    EXPECT_EQ(Form1->APASS->GetText(), cloudtest::kPass);
    EXPECT_EQ(Form1->INFODEV->GetText(), "Ворота");
    EXPECT_TRUE(Form1->Group_panel->GetVisible());
    ASSERT_EQ(Form1->Group_memo->GetLines()->Count(), 2);
    EXPECT_EQ(Form1->Group_memo->GetLines()->Get(0), "862000000000002");
    EXPECT_EQ(Form1->Group_memo->GetLines()->Get(1), "862000000000003");

    ASSERT_TRUE(WaitUntil([&] { return !rig.sim.ClientConnected(); }));
    Form1->Button5Click(Form1->Button5);
    ASSERT_TRUE(rig.AwaitCount("sync", 1));
    const cloudsim::Request sync = rig.sim.Requests().back();
    ASSERT_EQ(sync.data.size(), 2u);
    EXPECT_EQ(sync.data[0].asString(), "862000000000002");
    EXPECT_EQ(sync.data[1].asString(), "862000000000003");
    g_GroupList = nullptr;
}

TEST(CloudDevices, TheNextLoginAnnouncesTheGroupAsTheButtonsLeftIt) {
    CloudRig rig("devices-group-follow");
    {
        TIniFile ini(g_SettingsPath);
        ini.WriteString("Group", cloudtest::kImei, "");
        ini.WriteString("Group", "862000000000002", "");
    }
    TStringList groupList;
    g_GroupList = &groupList;
    TypeImei(cloudtest::kImei);
    ASSERT_TRUE(Form1->Group_panel->GetVisible());
    // Removed: the login announces no group. The status request that follows the login
    // shows that no "sync" went before it.
    testsupport::AccessibleAction(Form1->Button18->GetWidget());
    EXPECT_FALSE(Form1->Group_panel->GetVisible());
    ASSERT_TRUE(rig.LogIn());
    for (int s = 0; s < 5; ++s) sys::AdvanceMs(1000);
    ASSERT_TRUE(rig.AwaitCount("gsmst", 1));
    EXPECT_EQ(rig.sim.Count("sync"), 0u);
    testsupport::AccessibleAction(Form1->CloseSession->GetWidget());
    ASSERT_TRUE(WaitUntil([&] { return !rig.sim.ClientConnected(); }));

    // Added again: the next login announces the other member.
    testsupport::AccessibleAction(Form1->Button17->GetWidget());
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Добавлен в группу");
    ASSERT_TRUE(rig.LogIn());
    ASSERT_TRUE(rig.AwaitCount("sync", 1));
    const cloudsim::Request sync = rig.sim.Requests().back();
    ASSERT_EQ(sync.data.size(), 1u);
    EXPECT_EQ(sync.data[0].asString(), "862000000000002");
    g_GroupList = nullptr;
}

TEST(CloudDevices, GroupHoldsFiveAtMost) {
    CloudRig rig("devices-group");
    for (int i = 1; i <= 6; ++i) {
        Form1->AIMEI->SetText("86200000000000" + std::to_string(i));
        Form1->Button17Click(Form1->Button17);
        EXPECT_EQ(Form1->MESLABEL->GetCaption(), i <= 5 ? "Добавлен в группу" : "Максимальное кол-во в группе = 5");
    }
    Form1->AIMEI->SetText("862000000000001");
    Form1->Button17Click(Form1->Button17);
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Присутствует в группе");
    Form1->Group_panel->SetVisible(true);
    Form1->AIMEI->SetText("862000000000009");
    Form1->Button18Click(Form1->Button18);
    EXPECT_FALSE(Form1->Group_panel->GetVisible());
    TIniFile ini(g_SettingsPath);
    TStringList keys;
    ini.ReadSection("Group", keys);
    EXPECT_EQ(keys.Count(), 5);
}

}  // namespace
