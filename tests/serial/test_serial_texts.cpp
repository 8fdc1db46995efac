// Pure parts of the component set: texts, conversions, settings groups and the port-state
// record, against values worked out from the component's tables.
#include <gtest/gtest.h>

#include "serial/SerialPort.h"

namespace {

TEST(SerialErrors, TextsOfAllCodes) {
    const char* expected[25] = {"",
                                "Unable to open com port",
                                "WriteFile function failed",
                                "ReadFile function failed",
                                "Invalid Async parameter",
                                "PurgeComm function failed",
                                "Unable to get async status",
                                "SetCommState function failed",
                                "SetCommTimeouts failed",
                                "SetupComm function failed",
                                "ClearCommError function failed",
                                "GetCommModemStatus function failed",
                                "EscapeCommFunction function failed",
                                "TransmitCommChar function failed",
                                "Cannot set property while connected",
                                "EnumPorts function failed",
                                "Failed to store settings",
                                "Failed to load settings",
                                "Link (un)registration failed",
                                "Cannot change led state if ComPort is selected",
                                "Cannot wait for event if event thread is created",
                                "WaitForEvent method failed",
                                "A component is linked to OnRxBuf event",
                                "Registry error",
                                "Port Not Open"};
    for (int code = 1; code <= 24; ++code) {
        EXPECT_EQ(ComErrorMessages[code], expected[code]) << code;
        ESerialPort plain(code);
        EXPECT_EQ(plain.Message, expected[code]);
        EXPECT_EQ(plain.GetCode(), code);
        EXPECT_EQ(plain.GetWinCode(), -1);
    }
    EXPECT_EQ(SerialErrorCode(CE_OpenFailed), 1);
    EXPECT_EQ(SerialErrorCode(CEPortNotOpen), 24);
    EXPECT_EQ(SerialErrorKind(7), CE_SetStateFailed);
    EXPECT_EQ(ComErrorMessage(0), "");
    EXPECT_EQ(ComErrorMessage(25), "");
}

TEST(SerialErrors, MessageWithSystemError) {
    ESerialPort e(7, 87);
    EXPECT_EQ(std::string(e.what()), "SetCommState function failed (Error: 87)");
    EXPECT_EQ(e.GetCode(), 7);
    EXPECT_EQ(e.GetWinCode(), 87);
}

TEST(SerialErrors, ErrorSetTexts) {
    EXPECT_EQ(ComErrorsToStr({}), "<Ok>");
    EXPECT_EQ(ComErrorsToStr({ceFrame, ceOverrun}), "<ComError:Frame,Overrun>");
    EXPECT_EQ(ComErrorsToStr({ceTxFull, ceRxParity, ceIO}), "<ComError:Parity,IO,TxFull>");
}

TEST(SerialStrings, FormsAndFallbacks) {
    EXPECT_EQ(StrToBaudRate("115200"), br115200);
    EXPECT_EQ(StrToBaudRate("abc"), br9600);
    EXPECT_EQ(StrToBaudRate("custom"), brCustom);
    EXPECT_EQ(BaudRateToStr(br256000), "256000");
    EXPECT_EQ(BaudRateValue(br14400), 14400);
    EXPECT_EQ(StrToParity("even"), prEven);
    EXPECT_EQ(StrToParity("x"), prNone);
    EXPECT_EQ(ParityToStr(prSpace), "Space");
    EXPECT_EQ(StrToStopBits("1.5"), sbOne5StopBits);
    EXPECT_EQ(StrToStopBits("3"), sbOneStopBit);
    EXPECT_EQ(StopBitsToStr(sbTwoStopBits), "2");
    EXPECT_EQ(StrToDataBits("7"), dbSeven);
    EXPECT_EQ(StrToDataBits("9"), dbEight);
    EXPECT_EQ(DataBitsToStr(dbFive), "5");
    EXPECT_EQ(StrToFlowControl("SOFTWARE"), fcSoftware);
    EXPECT_EQ(StrToFlowControl(""), fcCustom);
    EXPECT_EQ(FlowControlToStr(fcHardware), "Hardware");
    EXPECT_EQ(StrToDTRFlowControl("handshake"), dtrHandshake);
    EXPECT_EQ(StrToRTSFlowControl("toggle"), rtsToggle);
    EXPECT_EQ(StrToRTSFlowControl("?"), rtsDisable);
}

TEST(SerialSettings, BufferSizesAndFlowControl) {
    TSerialBuffer b;
    b.SetInputSize(1025);
    EXPECT_EQ(b.GetInputSize(), 1024);
    b.SetInputSize(2048);
    EXPECT_EQ(b.GetInputSize(), 2048);
    b.SetOutputSize(-3);
    EXPECT_EQ(b.GetOutputSize(), -3);

    TSerialFlowControl f;
    EXPECT_EQ(f.GetFlowControl(), fcNone);
    f.SetControlDTR(dtrEnable);
    f.SetFlowControl(fcHardware);
    EXPECT_EQ(f.GetControlRTS(), rtsHandshake);
    EXPECT_TRUE(f.GetOutCTSFlow());
    EXPECT_EQ(f.GetControlDTR(), dtrEnable);  // left as it was
    EXPECT_EQ(f.GetFlowControl(), fcHardware);
    f.SetXonXoffIn(true);
    EXPECT_EQ(f.GetFlowControl(), fcCustom);
    f.SetFlowControl(fcSoftware);
    EXPECT_EQ(f.GetFlowControl(), fcSoftware);
    EXPECT_EQ(f.GetControlRTS(), rtsDisable);

    TSerialFlowControl copy;
    f.AssignTo(copy);
    EXPECT_EQ(copy.GetFlowControl(), fcSoftware);
    EXPECT_EQ(copy.GetControlDTR(), dtrEnable);
}

TEST(SerialPortState, RecordFromTheSettings) {
    TSerialPort port(nullptr);
    port.GetBuffer()->SetInputSize(2048);
    port.SetBaudRate(br19200);
    port.SetDataBits(dbSeven);
    port.SetStopBits(sbTwoStopBits);
    port.GetParity()->SetBits(prMark);
    port.GetFlowControl()->SetControlDTR(dtrHandshake);
    port.GetFlowControl()->SetControlRTS(rtsToggle);
    port.GetFlowControl()->SetXonXoffIn(true);
    port.SetDiscardNull(true);
    port.SetEventChar(u'\x17');
    comm::TPortState s = port.BuildPortState();
    EXPECT_EQ(s.BaudRate, 19200u);
    EXPECT_EQ(s.ByteSize, 7);
    EXPECT_EQ(s.StopBits, 2);
    EXPECT_EQ(s.Parity, 3);
    EXPECT_EQ(s.XonLim, 512);
    EXPECT_EQ(s.XoffLim, 512);
    EXPECT_EQ(s.XonChar, 17);
    EXPECT_EQ(s.XoffChar, 19);
    EXPECT_EQ(s.EvtChar, 0x17);
    // fBinary 0x0001, DTR handshake 0x0020, fInX 0x0200, fNull 0x0800, RTS toggle 0x3000.
    EXPECT_EQ(s.Flags(), 0x0001u | 0x0020u | 0x0200u | 0x0800u | 0x3000u);

    // The replacement character counts only with the parity check on.
    port.GetParity()->SetReplace(true);
    port.GetParity()->SetReplaceChar(u'?');
    EXPECT_EQ(port.BuildPortState().ErrorChar, 0);
    port.GetParity()->SetCheck(true);
    s = port.BuildPortState();
    EXPECT_EQ(s.ErrorChar, '?');
    EXPECT_EQ(s.Flags() & 0x0406u, 0x0402u);  // fParity and fErrorChar, no CTS flow

    // The custom rate counts only with brCustom.
    port.SetCustomBaudRate(31250);
    EXPECT_EQ(port.BuildPortState().BaudRate, 19200u);
    port.SetBaudRate(brCustom);
    EXPECT_EQ(port.BuildPortState().BaudRate, 31250u);
}

TEST(SerialEvents, MaskMapping) {
    EXPECT_EQ(EventsToMask({evRxChar, evRxFlag}), 0x0003u);
    EXPECT_EQ(EventsToMask(AllSerialEvents), 0x05FFu);
    EXPECT_EQ(EventsToMask({evError, evRx80Full}), 0x0480u);
    for (std::uint32_t bit : {0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x20u, 0x40u, 0x80u, 0x100u, 0x400u})
        EXPECT_EQ(EventsToMask(MaskToEvents(bit)), bit);
    EXPECT_TRUE(MaskToEvents(0x0200).Empty());  // no event has that bit
}

}  // namespace
