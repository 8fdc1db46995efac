// The serial desk reader in the main window against the simulated reader on a pty: the
// probe and the TID reads on RFIDTimer's ticks, the tag into the number editor and the
// record file, a reader that never answers, and the port list with a port chosen from it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "device/LinkRig.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "rfid/RfidState.h"
#include "serial/SerialPort.h"
#include "support/TestSupport.h"
#include "tools/readersim/SerialReaderSim.h"
#include "widgets/UiButton.h"
#include "widgets/UiRadGrp.h"

namespace {

using testsupport::WaitUntil;

// A click and a key as the user gives them.
void Click(TControl* c) {
    QWidget* w = c->GetWidget();
    const QPointF at(w->width() / 2, w->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

constexpr TTid kTid = {0xE2, 0x80, 0x11, 0x05, 0x20, 0x00, 0x7A, 0x3C, 0x9F, 0x1D, 0x4E, 0xB6};
// 04 00 21 and CRC-16/MCRF4XX, low byte first.
const std::vector<std::uint8_t> kProbe = {0x04, 0x00, 0x21, 0xD9, 0x6A};
const std::vector<std::uint8_t> kTidRead = {0x0E, 0x00, 0x02, 0x00, 0x02, 0x00, 0x06, 0x00,
                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x87, 0x68};

struct SerialReaderRig {
    explicit SerialReaderRig(const std::string& name) : rig(name), reader(rig.Path("reader")) {
        g_RfidPoll = TReaderPoll();
        g_TagFile.Close();
        ui::test::ClearDialogs();
        started = reader.Start();
        rig.CreateForm();
        ChoosePort(reader.LinkPath());
    }
    ~SerialReaderRig() {
        Form1->ClosePortRFID();
        g_TagFile.Close();
        g_RfidPoll = TReaderPoll();
    }
    // Types a path over the port list's text, as a user does.
    static void ChoosePort(const std::string& path) {
        QWidget* list = Form1->RFIDReaderPort->GetWidget();
        Key(list, Qt::Key_A, Qt::ControlModifier);
        // A printable ASCII key's code is its upper-case character.
        for (QChar ch : QString::fromStdString(path)) Key(list, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
        EXPECT_EQ(Form1->RFIDReaderPort->GetText(), path);
    }
    static void Tick() { sys::AdvanceMs(100); }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }

    linktest::LinkRig rig;
    readersim::TSerialReaderSim reader;
    bool started = false;
};

}  // namespace

TEST(SerialDeskReader, ProbedThenPolledTagGoesToEditorAndRecordFile) {
    SerialReaderRig r("rfid-serial");
    ASSERT_TRUE(r.started);
    r.reader.SetTag(kTid);
    const std::string file = testsupport::TempDir("rfid-serial-rec") + "/tags.txt";
    ui::test::PushFileAnswer(file);
    Form1->StartRFIDRecClick(Form1->StartRFIDRec);
    EXPECT_FALSE(Form1->StartRFIDRec->GetEnabled());
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 0");

    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    ASSERT_TRUE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(Form1->ComPortRFID->GetBaudRate(), br57600);
    EXPECT_TRUE(Form1->RFIDReaderDisConnect->GetEnabled());
    EXPECT_EQ(g_RfidPoll.ProbeTicks(), 15);

    // The first tick probes; the reader's answer starts the TID reads.
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDReaderConnect->GetTag() == 1; }));
    EXPECT_EQ(Form1->RFIDReaderConnect->GetCaption(), "Отключить");
    EXPECT_EQ(g_RfidPoll.ProbeTicks(), 0);
    EXPECT_EQ(r.reader.Received(), kProbe);
    EXPECT_EQ(r.reader.TidReads(), 0);

    // A TID read every second tick.
    SerialReaderRig::Tick();
    testsupport::Pump(50);
    EXPECT_EQ(r.reader.TidReads(), 0);
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->aPhone->GetText() == "3C9F1D4EB6"; }));
    EXPECT_EQ(Form1->RFIDL->GetCaption(), "RFID: E280110520007A3C9F1D4EB6");
    std::vector<std::uint8_t> sent = r.reader.Received();
    ASSERT_EQ(sent.size(), kProbe.size() + kTidRead.size());
    EXPECT_TRUE(std::equal(kTidRead.begin(), kTidRead.end(), sent.begin() + 5));
    EXPECT_EQ(r.reader.OtherFrames(), 0);

    // The same tag again while it stays in the field: another line.
    SerialReaderRig::Tick();
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDSCOUNT->GetCaption() == "Count: 2"; }));

    // The tag leaves the field.
    r.reader.SetTag(std::nullopt);
    SerialReaderRig::Tick();
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDL->GetCaption() == "RFID: no tag"; }));
    EXPECT_EQ(Form1->aPhone->GetText(), "3C9F1D4EB6");

    Form1->StopRFIDRecClick(Form1->StopRFIDRec);
    EXPECT_TRUE(Form1->StartRFIDRec->GetEnabled());
    EXPECT_EQ(testsupport::ReadFileText(file), "3C9F1D4EB6\r\n3C9F1D4EB6\r\n");
    EXPECT_EQ(Form1->RFIDSCOUNT->GetCaption(), "Count: 2");

    // The connect button now disconnects; no request goes out afterwards.
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(Form1->RFIDReaderConnect->GetTag(), 0);
    EXPECT_EQ(Form1->RFIDReaderConnect->GetCaption(), "Провериь порт");
    EXPECT_FALSE(g_RfidPoll.Reading());
    testsupport::Pump(50);
    const std::size_t before = r.reader.Received().size();
    for (int i = 0; i < 5; ++i) SerialReaderRig::Tick();
    testsupport::Pump(50);
    EXPECT_EQ(r.reader.Received().size(), before);
}

TEST(SerialDeskReader, SilentReaderGetsFifteenProbesThenThePortCloses) {
    SerialReaderRig r("rfid-silent");
    ASSERT_TRUE(r.started);
    r.reader.SetAnswering(false);
    testsupport::AccessibleAction(Form1->RFIDReaderConnect->GetWidget());
    ASSERT_TRUE(Form1->ComPortRFID->GetConnected());
    for (int i = 1; i <= 15; ++i) {
        SerialReaderRig::Tick();
        ASSERT_TRUE(WaitUntil([&] { return r.reader.InformationRequests() == i; })) << i;
        EXPECT_TRUE(Form1->ComPortRFID->GetConnected());
    }
    // The last probe reached the reader and has its tick to be answered; then the port closes.
    SerialReaderRig::Tick();  // 1.6 s
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(SerialReaderRig::Message(), "Считыватель не обнаружен!");
    EXPECT_EQ(g_RfidPoll.ProbeTicks(), 0);
    EXPECT_EQ(Form1->RFIDReaderConnect->GetTag(), 0);
    for (int i = 0; i < 5; ++i) SerialReaderRig::Tick();
    testsupport::Pump(50);
    EXPECT_EQ(r.reader.InformationRequests(), 15);
    EXPECT_EQ(r.reader.TidReads(), 0);
}

TEST(SerialDeskReader, NoiseOnTheLineCostsNoGoodReply) {
    SerialReaderRig r("rfid-noise");
    ASSERT_TRUE(r.started);
    r.reader.SetTag(kTid);
    testsupport::AccessibleAction(Form1->RFIDReaderConnect->GetWidget());
    // A stray byte before the reader's first answer: the reader is still found at once.
    ASSERT_TRUE(r.reader.SendRaw({0xFF}));
    testsupport::Pump(20);
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDReaderConnect->GetTag() == 1; }));
    // A damaged reply and a stray byte: the replies after them are each read as they come.
    std::vector<std::uint8_t> damaged = readersim::TidReply(kTid);
    damaged.back() ^= 0x5A;
    ASSERT_TRUE(r.reader.SendRaw(damaged));
    ASSERT_TRUE(r.reader.SendRaw({0x30}));
    testsupport::Pump(20);
    for (int read = 1; read <= 3; ++read) {
        Form1->aPhone->SetText("");
        SerialReaderRig::Tick();
        SerialReaderRig::Tick();
        ASSERT_TRUE(WaitUntil([] { return Form1->aPhone->GetText() == "3C9F1D4EB6"; })) << read;
    }
}

TEST(SerialDeskReader, PortThatCannotOpenAndTheDisconnectButton) {
    SerialReaderRig r("rfid-noport");
    ASSERT_TRUE(r.started);
    SerialReaderRig::ChoosePort(r.rig.Path("absent"));
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(SerialReaderRig::Message(), "Не удается открыть порт!");
    EXPECT_EQ(g_RfidPoll.ProbeTicks(), 0);

    // The disconnect button only closes the port; the connect button still reads "Отключить"
    // and its next click disconnects.
    SerialReaderRig::ChoosePort(r.reader.LinkPath());
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDReaderConnect->GetTag() == 1; }));
    Form1->RFIDReaderDisConnectClick(Form1->RFIDReaderDisConnect);
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(Form1->RFIDReaderConnect->GetTag(), 1);
    EXPECT_EQ(Form1->RFIDReaderConnect->GetCaption(), "Отключить");
    SerialReaderRig::Tick();
    SerialReaderRig::Tick();  // a TID read on a closed port goes nowhere
    Form1->RFIDReaderConnectClick(Form1->RFIDReaderConnect);
    EXPECT_EQ(Form1->RFIDReaderConnect->GetTag(), 0);
    EXPECT_FALSE(Form1->ComPortRFID->GetConnected());
}

TEST(SerialDeskReader, PortListHoldsTheSystemsPortsAndTheChosenOneOpens) {
    linktest::LinkRig rig("rfid-list");
    readersim::TSerialReaderSim first(rig.Path("a")), second(rig.Path("b"));
    ASSERT_TRUE(first.Start() && second.Start());
    setenv("ZENTOR_PORTS", (rig.Path("b") + "=Desk reader;" + rig.Path("a")).c_str(), 1);
    g_RfidPoll = TReaderPoll();
    rig.CreateForm();
    TComboBox* list = Form1->RFIDReaderPort;
    // As the device list names them, in the list's order; the first is chosen.
    const std::vector<std::string> names{rig.Path("a"), "Desk reader (" + rig.Path("b") + ")"};
    EXPECT_EQ(list->GetItems()->ToVector(), names);
    EXPECT_EQ(list->GetText(), names[0]);
    // USB, then COM again: the serial ports come back, the first chosen.
    Click(Form1->COMUSBSELECT->GetButton(1));
    Click(Form1->COMUSBSELECT->GetButton(0));
    EXPECT_EQ(list->GetItems()->ToVector(), names);
    EXPECT_EQ(list->GetItemIndex(), 0);
    // The next port by the arrow key; the connect button opens its path and probes there.
    Key(list->GetWidget(), Qt::Key_Down);
    EXPECT_EQ(list->GetText(), names[1]);
    Click(Form1->RFIDReaderConnect);
    ASSERT_TRUE(Form1->ComPortRFID->GetConnected());
    EXPECT_EQ(Form1->ComPortRFID->GetPort(), rig.Path("b"));
    SerialReaderRig::Tick();
    ASSERT_TRUE(WaitUntil([] { return Form1->RFIDReaderConnect->GetTag() == 1; }));
    EXPECT_EQ(second.InformationRequests(), 1);
    EXPECT_EQ(first.InformationRequests(), 0);
    Form1->ClosePortRFID();
    g_RfidPoll = TReaderPoll();
}
