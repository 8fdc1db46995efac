// The local configuration server end to end: a device dials in over loopback, is asked to
// identify every 3 s until it answers, its frames are dispatched with the slow-link flag,
// and the server stops one second after the device has gone.
#include <gtest/gtest.h>

#include <string>

#include "platform/net/ScktComp.h"
#include "tests/cloud/CloudRig.h"
#include "tools/devsim/DevFrame.h"

using cloudtest::CloudRig;
using testsupport::WaitUntil;

namespace {

// A device dialling in: the tool's own client socket on loopback, keeping what it receives.
struct DiallingDevice {
    explicit DiallingDevice(int port) {
        socket.SetAddress("127.0.0.1");
        socket.SetPort(port);
        socket.OnRead = [this](TObject*, TCustomWinSocket* s) {
            char buf[4096];
            int n;
            while ((n = s->ReceiveBuf(buf, sizeof buf)) > 0) received.append(buf, static_cast<std::size_t>(n));
        };
        socket.Open();
    }
    std::size_t Identifies() const {
        const std::string probe(reinterpret_cast<const char*>(devsim::BuildRequest(0x00, {}).data()),
                                devsim::BuildRequest(0x00, {}).size());
        std::size_t n = 0;
        for (std::size_t at = received.find(probe); at != std::string::npos; at = received.find(probe, at + 1)) ++n;
        return n;
    }
    void Send(const devsim::Bytes& bytes) {
        socket.GetSocket()->SendBuf(bytes.data(), static_cast<int>(bytes.size()));
    }
    TClientSocket socket{nullptr};
    std::string received;
};

int Listening() { return Form1->ConfServer->GetSocket()->GetLocalPort(); }

TEST(ConfServer, DeviceIsIdentifiedEveryThreeSecondsUntilItAnswers) {
    CloudRig rig("confserver-identify");
    Form1->RconfPort->SetText("");  // port 0: the system picks one
    Form1->Button1Click(Form1->Button1);
    ASSERT_TRUE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->Button1->Tag, 1);
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(20));
    EXPECT_EQ(Form1->ComPortDeviceCaption->GetCaption(), "Remote config: wait ...");

    DiallingDevice device(Listening());
    ASSERT_TRUE(WaitUntil([] { return g_ConfServerConnected == 1; }));
    EXPECT_EQ(g_RemoteAddress, "127.0.0.1");
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(45) + ", IP:127.0.0.1");

    sys::AdvanceMs(1000);  // the next tick asks
    ASSERT_TRUE(WaitUntil([&] { return device.Identifies() == 1; }));
    sys::AdvanceMs(2000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Identifies(), 1u);
    sys::AdvanceMs(1000);  // three seconds after the first
    ASSERT_TRUE(WaitUntil([&] { return device.Identifies() == 2; }));

    // The answer, with a status reply in the same block: both dispatched, the link marked.
    devsim::Bytes block = devsim::BuildReply(0x00, {1, 3, 0, 0, 0x0B, 0});
    ASSERT_EQ(g_ConfServerLink, 0);
    device.Send(block);
    ASSERT_TRUE(WaitUntil([] { return g_IdentifyRetry == 0; }));
    EXPECT_EQ(g_ConfServerLink, 1);
    EXPECT_NE(Form1->ComPortDeviceCaption->GetCaption().find("127.0.0.1: "), std::string::npos);
    sys::AdvanceMs(6000);
    testsupport::Pump(50);
    EXPECT_EQ(device.Identifies(), 2u);

    // Requests of the tool reach the device over this link.
    const std::size_t before = device.received.size();
    SendCommand(CmdReadStatus, std::vector<std::uint8_t>{0});
    ASSERT_TRUE(WaitUntil([&] { return device.received.size() > before; }));

    // The device goes: the server stops one tick later.
    device.socket.Close();
    ASSERT_TRUE(WaitUntil([] { return g_ConfServerStop == 1; }));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(57));
    EXPECT_EQ(Form1->Button1->Tag, 1);
    sys::AdvanceMs(1000);
    EXPECT_EQ(Form1->Button1->Tag, 0);
    EXPECT_FALSE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(59));
    EXPECT_EQ(g_ConfServerLink, 0);
    EXPECT_EQ(g_ConfServerConnected, 0);
}

TEST(ConfServer, ButtonStopsTheServerAtOnce) {
    CloudRig rig("confserver-stop");
    Form1->RconfPort->SetText("0");
    Form1->Button1Click(Form1->Button1);
    ASSERT_TRUE(Form1->ConfServer->GetActive());
    Form1->Button1Click(Form1->Button1);
    EXPECT_FALSE(Form1->ConfServer->GetActive());
    EXPECT_EQ(Form1->Button1->Tag, 0);
    EXPECT_EQ(Form1->ConfServState->GetCaption(), Form1->GetMessageA(59));
    EXPECT_EQ(Form1->Send_gprs_data(reinterpret_cast<const std::uint8_t*>("x"), 1), 0);
}

TEST(ConfServer, TwoFramesInOneBlockAreBothDispatched) {
    CloudRig rig("confserver-two-frames");
    Form1->RconfPort->SetText("0");
    Form1->Button1Click(Form1->Button1);
    DiallingDevice device(Listening());
    ASSERT_TRUE(WaitUntil([] { return g_ConfServerConnected == 1; }));
    // A transparent-port result and a Safe City status, one after the other.
    devsim::Bytes block = devsim::BuildReply(0x34, {0});
    const devsim::Bytes second = devsim::BuildReply(0x62, {0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    block.insert(block.end(), second.begin(), second.end());
    Form1->SafeCityStat->SetCaption("x");
    Form1->SafeCityTags->SetCaption("x");
    device.Send(block);
    ASSERT_TRUE(WaitUntil([] { return Form1->SafeCityStat->GetCaption() == "Безопасный город: отключен"; }));
    EXPECT_EQ(Form1->SafeCityTags->GetCaption(), "");
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), Form1->GetMessageA(32));
    EXPECT_EQ(g_ConfServerLink, 1);
}

}  // namespace
