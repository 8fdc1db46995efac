// The service buttons' cable paths: the device commands they send to a device in working
// mode on a simulated cable, and that nothing reaches the cloud.
#include <gtest/gtest.h>

#include "device/LinkRig.h"
#include "platform/rtl/CodePage.h"

using linktest::LinkRig;
using linktest::SimPort;

namespace {

struct OnCable {
    explicit OnCable(const std::string& name) : rig(name), device(rig.AddController("dev")) {
        device.model->SetAnswerStatus(false);
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device);
    }
    std::vector<devsim::Frame> Await(std::uint8_t command, std::size_t n) {
        LinkRig::AwaitRequests(device, command, n);
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command == command) out.push_back(f);
        return out;
    }
    LinkRig rig;
    SimPort& device;
    bool ok = false;
};

TEST(CableService, ButtonsSendTheirDeviceCommands) {
    OnCable c("cable-service");
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(g_WorkingMode);

    Form1->Bar->SetCaption("Выключить");
    Form1->BarClick(Form1->Bar);
    auto autoreg = c.Await(0x27, 1);
    ASSERT_EQ(autoreg.size(), 1u);
    EXPECT_EQ(autoreg[0].data, devsim::Bytes{0});
    Form1->Bar->SetCaption("Включить");
    Form1->BarClick(Form1->Bar);
    autoreg = c.Await(0x27, 2);
    ASSERT_EQ(autoreg.size(), 2u);
    EXPECT_EQ(autoreg[1].data, devsim::Bytes{1});

    Form1->STSMS->SetText("+7Я");
    Form1->Button14Click(Form1->Button14);
    const auto sim = c.Await(0x40, 1);
    ASSERT_EQ(sim.size(), 1u);
    EXPECT_EQ(sim[0].data, (devsim::Bytes{'+', '7', 0xDF, 0}));

    Form1->BactoutClick(Form1->Bactout);
    EXPECT_EQ(c.Await(0x26, 1).size(), 1u);
    EXPECT_TRUE(c.Await(0x26, 1)[0].data.empty());

    Form1->BdefClick(Form1->Bdef);
    EXPECT_EQ(c.Await(0x28, 1).size(), 1u);
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());

    Form1->TransBaud->SetText("");
    Form1->TransPort->SetItemIndex(0);
    Form1->OpenTransPortClick(Form1->OpenTransPort);
    EXPECT_EQ(Form1->TransBaud->GetText(), "9600");
    const auto port = c.Await(0x34, 1);
    ASSERT_EQ(port.size(), 1u);
    EXPECT_EQ(port[0].data, (devsim::Bytes{0, 0x80, 0x25, 0, 0}));

    Form1->SCConnectClick(Form1->SCConnect);
    EXPECT_EQ(c.Await(0x5F, 1).size(), 1u);

    // The firmware button without a session goes to the firmware page.
    Form1->BupdClick(Form1->Bupd);
    EXPECT_EQ(Form1->ActivePageIndex(), 2);
    EXPECT_FALSE(Form1->ClientSocket->GetActive());
}

}  // namespace
