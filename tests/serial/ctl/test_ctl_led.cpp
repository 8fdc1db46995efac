// The signal lamp: states from the port's link events, the ring timer on the manual clock,
// the state rule while a port is chosen, and its pixels.
#include <gtest/gtest.h>

#include "platform/sys/Clock.h"
#include "platform/ui/Forms.h"
#include "serial/SerialPortCtl.h"
#include "serial/SerialTestSupport.h"

namespace {

class LedTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 100, 100);
        led = new TSerialLed(form.get());
        led->SetParent(form.get());
        led->OnChange = [this](TObject*, TLedState s) { changes.push_back(s); };
    }
    std::unique_ptr<TForm> form;
    TSerialLed* led = nullptr;
    std::vector<TLedState> changes;
};

TEST_F(LedTest, CreatedOffAt25By25) {
    EXPECT_EQ(led->GetWidth(), 25);
    EXPECT_EQ(led->GetHeight(), 25);
    EXPECT_EQ(led->GetState(), lsOff);
    EXPECT_EQ(led->GetRingDuration(), 1000);
    EXPECT_EQ(led->GetKind(), lkRedLight);
}

TEST_F(LedTest, StateWithoutAPortAndTheRuleWithOne) {
    led->SetState(lsOn);
    led->SetState(lsOn);
    EXPECT_EQ(changes, (std::vector<TLedState>{lsOn}));
    TSerialPort port(nullptr);
    led->SetComPort(&port);  // a closed port: off
    EXPECT_EQ(led->GetState(), lsOff);
    try {
        led->SetState(lsOn);
        FAIL() << "no exception";
    } catch (const ESerialPort& e) {
        EXPECT_EQ(e.GetCode(), 19);
        EXPECT_EQ(e.Message, "Cannot change led state if ComPort is selected");
    }
    led->SetComPort(nullptr);
    led->SetState(lsOn);
    EXPECT_EQ(led->GetState(), lsOn);
}

TEST_F(LedTest, FollowsTheChosenLinkEventOnly) {
    TSerialPort port(nullptr);
    led->SetLedSignal(lsRx);
    led->SetComPort(&port);
    port.CallRing();
    EXPECT_EQ(led->GetState(), lsOff);
    led->SetLedSignal(lsRing);
    port.CallRing();
    EXPECT_EQ(led->GetState(), lsOn);
    sys::AdvanceMs(1000);
    EXPECT_EQ(led->GetState(), lsOff);
}

TEST_F(LedTest, ConnectionLampOnARealPort) {
    serialtest::Rig rig("led-conn");
    ASSERT_TRUE(rig.started);
    led->SetComPort(rig.port.get());
    EXPECT_EQ(led->GetState(), lsOff);
    rig.port->Open();
    EXPECT_EQ(led->GetState(), lsOn);
    rig.port->Close();
    EXPECT_EQ(led->GetState(), lsOff);
    rig.port->Open();
    // A lamp given an open port shows its state at once.
    auto* second = new TSerialLed(form.get());
    second->SetComPort(rig.port.get());
    EXPECT_EQ(second->GetState(), lsOn);
    // Receive lamp: on when bytes arrive.
    auto* rx = new TSerialLed(form.get());
    rx->SetLedSignal(lsRx);
    rx->SetComPort(rig.port.get());
    EXPECT_EQ(rx->GetState(), lsOff);
    rig.sim.Send({'x'});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return rx->GetState() == lsOn; }));
    // The port freed: the lamps forget it and go off.
    rig.port.reset();
    EXPECT_EQ(led->GetComPort(), nullptr);
    EXPECT_EQ(second->GetState(), lsOff);
}

TEST_F(LedTest, ARingLightsForRingDuration) {
    TSerialPort port(nullptr);
    led->SetLedSignal(lsRing);
    led->SetRingDuration(300);
    led->SetComPort(&port);
    port.CallRing();
    EXPECT_EQ(led->GetState(), lsOn);
    sys::AdvanceMs(299);
    EXPECT_EQ(led->GetState(), lsOn);
    sys::AdvanceMs(1);
    EXPECT_EQ(led->GetState(), lsOff);
    sys::AdvanceMs(1000);
    EXPECT_EQ(changes, (std::vector<TLedState>{lsOn, lsOff}));
    // A second ring while lit starts the time again.
    port.CallRing();
    sys::AdvanceMs(200);
    port.CallRing();
    sys::AdvanceMs(200);
    EXPECT_EQ(led->GetState(), lsOn);
    sys::AdvanceMs(100);
    EXPECT_EQ(led->GetState(), lsOff);
}

TEST_F(LedTest, LoadingKeepsOnChangeQuiet) {
    led->BeginLoading();
    led->SetState(lsOn);
    led->EndLoading();
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(led->GetState(), lsOn);
}

TEST(LedGlyphs, ResourceNamesAndPictures) {
    EXPECT_EQ(LedResourceName(lkRedLight, true), "LEDREDON");
    EXPECT_EQ(LedResourceName(lkPurpleLight, false), "LEDPURPLEOFF");
    EXPECT_EQ(LedResourceName(lkBulb, true), "LEDBULBON");
    EXPECT_EQ(LedResourceName(lkCustom, true), "");
    TBitmap b;
    EXPECT_FALSE(LoadLedResource("LEDORANGEON", b));
    for (int k = lkRedLight; k <= lkBulb; ++k)
        for (bool on : {true, false}) EXPECT_TRUE(LoadLedResource(LedResourceName(TLedKind(k), on), b));
}

TEST_F(LedTest, PaintsTheBitmapCentred) {
    led->SetState(lsOn);
    auto on = led->RenderToBitmap();
    EXPECT_EQ(on->GetPixel(12, 12) & 0xFFFFFF, 0x0000FF);  // the red face
    const TColor back = on->GetPixel(0, 0) & 0xFFFFFF;
    EXPECT_NE(back, clOlive);  // the picture's corner colour is transparent
    EXPECT_EQ(on->GetPixel(24, 24) & 0xFFFFFF, back);
    led->SetState(lsOff);
    auto off = led->RenderToBitmap();
    EXPECT_EQ(off->GetPixel(12, 12) & 0xFFFFFF, 0x000060);
    led->SetKind(lkGreenLight);
    led->SetState(lsOn);
    EXPECT_EQ(led->RenderToBitmap()->GetPixel(12, 12) & 0xFFFFFF, 0x00FF00);
    // A custom picture larger than the lamp starts at its top-left corner, never left of it.
    TBitmap big(40, 40);
    big.GetCanvas()->GetBrush()->SetColor(clBlue);
    big.GetCanvas()->FillRect(TRect(0, 0, 40, 40));
    big.SetPixel(0, 0, clYellow);
    led->SetKind(lkCustom);
    led->SetGlyphOn(big);
    EXPECT_TRUE(led->IsGlyphStored());
    auto custom = led->RenderToBitmap();
    EXPECT_EQ(custom->GetPixel(0, 0) & 0xFFFFFF, clYellow);
    EXPECT_EQ(custom->GetPixel(10, 10) & 0xFFFFFF, clBlue);
}

}  // namespace
