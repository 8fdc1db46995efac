// Photographs with a simulated controller on a pty and the manual clock: the camera's
// picture fetched chunk by chunk into the photo file and shown, the server's picture, an
// event's picture with a lost chunk asked for again, abandoned after 15 s without replies,
// and damaged pictures reported without a crash.
#include <gtest/gtest.h>

#include <filesystem>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "device/LinkRig.h"
#include "memory/EventRecord.h"
#include "memory/MemoryState.h"
#include "memory/PhotoFile.h"
#include "platform/rtl/SafeFile.h"
#include "memory/PhotoProtocol.h"
#include "memory/PhotoState.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "tools/devsim/DevFrame.h"
#include "support/RealInput.h"
#include "tools/devsim/PhotoModel.h"
#include "tools/devsim/SampleContent.h"

namespace {

using namespace linktest;
using devsim::PhotoModel;

const std::string kDamaged = "Фотоизображение повреждено";
const TColor kPictureColour = RGB(200, 40, 40);

// A 64 x 48 picture in one colour with a lighter band, as Qt writes it.
Bytes Jpeg() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    for (int x = 0; x < 64; ++x) image.setPixelColor(x, 2, QColor(250, 250, 250));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return Bytes(out.begin(), out.end());
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Near(TColor a, TColor b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

struct PhotoRig {
    explicit PhotoRig(const std::string& name)
        : rig(name), device(rig.AddController("dev")), appData(testsupport::TempDir(name + "-appdata")) {
        setenv("AppData", appData.c_str(), 1);
        ResetPhotoState();
        device.model->SetAnswerStatus(false);
        photo = std::make_unique<PhotoModel>(*device.model, device.sim);
        photo->SetPicture(Jpeg());
        photo->SetChunkSize(100);
        rig.ListPorts({"!dev"});
        rig.CreateForm();
        ok = device.started && rig.ConnectTo(device);
        device.sim.ClearRecord();
        ui::test::ClearDialogs();
    }
    ~PhotoRig() {
        ResetPhotoState();
        unsetenv("AppData");
    }
    std::vector<devsim::Frame> Requests(std::uint8_t command) const {
        std::vector<devsim::Frame> out;
        for (const devsim::Frame& f : device.sim.Frames())
            if (f.command == command) out.push_back(f);
        return out;
    }
    bool Await(std::uint8_t command, std::size_t n) { return LinkRig::AwaitRequests(device, command, n); }
    // Answers request after request: each reply of the given frame size is delivered.
    bool DeliverAll(const std::vector<std::size_t>& frames) {
        for (std::size_t n : frames)
            if (!LinkRig::Deliver(n)) return false;
        return true;
    }
    static std::string Message() { return Form1->MESLABEL->GetCaption(); }
    TColor CentrePixel() const {
        auto bitmap = Form1->CAMImage->RenderToBitmap();
        return bitmap->GetPixel(bitmap->GetWidth() / 2, bitmap->GetHeight() / 2);
    }

    LinkRig rig;
    SimPort& device;
    std::string appData;
    std::unique_ptr<PhotoModel> photo;
    bool ok = false;
};

// Camera replies: the size, then one frame per chunk of the given size.
std::vector<std::size_t> CameraFrames(std::size_t total, std::size_t chunk) {
    std::vector<std::size_t> frames{FrameBytes(4)};
    for (std::size_t sent = 0; sent < total; sent += chunk) frames.push_back(FrameBytes(3 + std::min(chunk, total - sent)));
    return frames;
}

TEST(PhotoLink, CameraPictureFetchedInChunksWrittenAndShown) {
    PhotoRig c("photo-camera");
    ASSERT_TRUE(c.ok);
    const Bytes jpeg = Jpeg();
    const std::size_t chunks = (jpeg.size() + 99) / 100;
    Form1->BupdimageClick(Form1->FindComponent("Bupdimage"));
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 1));
    testsupport::Click(Form1->UiButton5);  // from the request on no number is read
    EXPECT_EQ(PhotoRig::Message(), Form1->GetMessageA(108));
    const std::vector<std::size_t> frames = CameraFrames(jpeg.size(), 100);
    ASSERT_TRUE(c.DeliverAll({frames[0], frames[1]}));
    Form1->MESLABEL->SetCaption("");
    testsupport::Click(Form1->UiButton5);
    EXPECT_EQ(PhotoRig::Message(), Form1->GetMessageA(108));
    ASSERT_TRUE(c.DeliverAll({frames.begin() + 2, frames.end()}));

    const auto requests = c.Requests(devsim::kCmdCameraPhoto);
    ASSERT_EQ(requests.size(), chunks + 1);
    EXPECT_EQ(requests[0].data, (Bytes{0x00, 0x00, 0x05}));
    for (std::size_t i = 1; i < requests.size(); ++i) EXPECT_EQ(requests[i].data, (Bytes{0x01, 0x00}));
    EXPECT_EQ(g_PhotoReceived, jpeg.size());
    EXPECT_FALSE(g_PhotoFile.IsOpen());
    EXPECT_EQ(ReadFile(c.appData + "/TALIVEX/TALIVEX Zentor/image.jpg"), jpeg);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());  // closed without a message
    EXPECT_EQ(Form1->CAMImage->GetPicture()->GetWidth(), 64);
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    // All asked for: no more requests.
    sys::AdvanceMs(1000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdCameraPhoto), chunks + 1);

    // The device button clicks the picture: its panel moves onto the status page, scaled to
    // the window.
    Form1->BdeviceClick(Form1->Bdevice);
    EXPECT_EQ(Form1->Panel15->GetParent(), Form1->TabSheet2);
    EXPECT_EQ(Form1->Panel15->GetLeft(), Form1->GetWidth() * 420 / 1024);
    EXPECT_EQ(Form1->Panel15->GetTop(), Form1->GetHeight() * 164 / 672);
}

TEST(PhotoLink, CameraSurplusBytesAreNotWrittenAndTheFetchEnds) {
    PhotoRig c("photo-surplus");
    ASSERT_TRUE(c.ok);
    // The device sends one byte more than it announced.
    const Bytes jpeg = Jpeg();
    Bytes sent = jpeg;
    sent.push_back(0x00);
    c.photo->SetPicture(sent);
    c.photo->SetAnnouncedSize(static_cast<long>(jpeg.size()));
    c.photo->SetChunkSize(4000);
    Form1->BupdimageClick(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 1));
    ASSERT_TRUE(c.DeliverAll({FrameBytes(4), FrameBytes(3 + sent.size())}));
    EXPECT_EQ(ReadFile(PhotoFilePath()), jpeg);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    sys::AdvanceMs(500);
    EXPECT_EQ(c.device.Requests(devsim::kCmdCameraPhoto), 2u);
}

TEST(PhotoLink, DamagedCameraPicturesAreReported) {
    PhotoRig c("photo-damaged");
    ASSERT_TRUE(c.ok);
    const Bytes jpeg = Jpeg();
    // A chunk announcing more bytes than its frame holds ends the fetch.
    c.photo->SetShortChunk(1);
    Form1->BupdimageClick(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 1));
    ASSERT_TRUE(c.DeliverAll({FrameBytes(4), FrameBytes(103), FrameBytes(103)}));
    EXPECT_EQ(c.Message(), kDamaged);
    EXPECT_TRUE(Form1->MESPANEL->GetVisible());
    EXPECT_FALSE(g_PhotoFile.IsOpen());
    sys::AdvanceMs(500);
    EXPECT_EQ(c.device.Requests(devsim::kCmdCameraPhoto), 3u);

    // Whole chunks of a picture that is no JPEG: reported, and no old picture left behind.
    Form1->OKMESClick(nullptr);
    c.photo->SetShortChunk(-1);
    Bytes garbage(350);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 7);
    garbage[0] = 0xFF, garbage[1] = 0xD8;  // a JPEG's start, then nothing sensible
    c.photo->SetPicture(garbage);
    Form1->BupdimageClick(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 4));
    ASSERT_TRUE(c.DeliverAll(CameraFrames(garbage.size(), 100)));
    EXPECT_EQ(ReadFile(PhotoFilePath()), garbage);
    EXPECT_EQ(c.Message(), kDamaged);
    EXPECT_TRUE(Form1->CAMImage->GetPicture()->Empty());

    // A disk that fills during the fetch: reported, the last whole picture stays.
    Form1->OKMESClick(nullptr);
    c.photo->SetPicture(jpeg);
    SetSafeFileWriteLimitForTests(150);
    Form1->BupdimageClick(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 6));
    ASSERT_TRUE(c.DeliverAll({FrameBytes(4), FrameBytes(103), FrameBytes(103)}));
    SetSafeFileWriteLimitForTests(-1);
    EXPECT_EQ(c.Message(), kDamaged);
    EXPECT_EQ(ReadFile(PhotoFilePath()), garbage);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.appData + "/TALIVEX/TALIVEX Zentor"),
                            std::filesystem::directory_iterator()), 1);

    // A camera error ends the wait with its numbered message, and the request with it.
    c.photo->SetCameraError(3);
    Form1->BupdimageClick(nullptr);
    ASSERT_TRUE(c.Await(devsim::kCmdCameraPhoto, 12));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(c.Message(), Form1->GetMessageA(75));
    testsupport::Click(Form1->UiButton5);
    EXPECT_TRUE(c.Await(CmdReadNumbers, 1));
}

// Server replies: one frame per chunk of 100 bytes, then the end.
std::vector<std::size_t> ServerFrames(std::size_t total) {
    std::vector<std::size_t> frames;
    for (std::size_t sent = 0; sent < total; sent += 100) frames.push_back(FrameBytes(1 + std::min<std::size_t>(100, total - sent)));
    frames.push_back(FrameBytes(1));  // done
    return frames;
}

TEST(PhotoLink, ServerPictureShownOnTheLogPage) {
    PhotoRig c("photo-server");
    ASSERT_TRUE(c.ok);
    const Bytes jpeg = Jpeg();
    c.photo->SendServerPicture();
    const std::vector<std::size_t> frames = ServerFrames(jpeg.size());
    ASSERT_TRUE(c.DeliverAll(frames));
    Form1->SelectPage(6);  // the page is laid out, and the picture placed, when first shown
    EXPECT_EQ(c.device.Requests(devsim::kCmdServerPhoto), frames.size() - 1);
    EXPECT_EQ(ReadFile(PhotoFilePath()), jpeg);
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    EXPECT_EQ(Form1->Panel15->GetParent(), Form1->UiGroupBox22);
    EXPECT_EQ(Form1->Panel15->GetLeft(), Form1->UiGroupBox22->GetWidth() - Form1->Panel15->GetWidth() - 5);
    EXPECT_EQ(Form1->Panel15->GetTop(), 14);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
}

// A left click at a point of a page reaches the control the window system finds there.
void ClickAt(TWinControl* page, TPoint p) {
    QWidget* hit = page->GetWidget()->childAt(p.x, p.y);
    ASSERT_NE(hit, nullptr);
    QTest::mouseClick(hit, Qt::LeftButton, Qt::NoModifier, hit->mapFrom(page->GetWidget(), QPoint(p.x, p.y)));
}

TPoint Centre(const TControl* c) {
    const TRect r = c->GetBoundsRect();
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

// The shown controls of a page that a click at their centre does not reach.
std::vector<std::string> ControlsOutOfReach(TWinControl* page) {
    std::vector<std::string> out;
    for (int i = 0; i < page->GetControlCount(); ++i) {
        TControl* c = page->GetControl(i);
        if (c == Form1->Panel15 || !c->GetVisible()) continue;
        const TPoint p = Centre(c);
        QWidget* hit = page->GetWidget()->childAt(p.x, p.y);
        if (hit != c->GetWidget() && !c->GetWidget()->isAncestorOf(hit)) out.push_back(c->GetName());
    }
    return out;
}

TEST(PhotoLink, AShownPictureHidesNoControlOfItsPage) {
    PhotoRig c("photo-place");
    ASSERT_TRUE(c.ok);
    // The server's picture arrives while the log page is open: it keeps clear of the
    // filters and the buttons, and is not cut by its box.
    Form1->SelectPage(6);
    c.photo->SendServerPicture();
    ASSERT_TRUE(c.DeliverAll(ServerFrames(Jpeg().size())));
    TWinControl* box = Form1->UiGroupBox22;
    ASSERT_EQ(Form1->Panel15->GetParent(), box);
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    EXPECT_LE(Form1->Panel15->GetBoundsRect().Bottom, box->GetClientHeight());
    EXPECT_EQ(ControlsOutOfReach(box), std::vector<std::string>{});
    Form1->LogBar->SetVisible(true);  // shown while the log is read
    EXPECT_EQ(ControlsOutOfReach(box), std::vector<std::string>{});

    // A click on it enlarges it on the status page, above the output and camera buttons.
    ClickAt(box, Centre(Form1->Panel15));
    ASSERT_EQ(Form1->Panel15->GetParent(), Form1->TabSheet2);
    Form1->SelectPage(1);
    EXPECT_GE(Form1->Panel15->GetWidth(), 300);
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    EXPECT_EQ(ControlsOutOfReach(Form1->TabSheet2), std::vector<std::string>{});
    // The camera button still takes its click: a new picture is asked for.
    ClickAt(Form1->TabSheet2, Centre(dynamic_cast<TControl*>(Form1->FindComponent("Bupdimage"))));
    EXPECT_TRUE(c.Await(devsim::kCmdCameraPhoto, 1));
}

// A double click on a row of the event-log grid, on its operation cell, as the user gives it.
void DoubleClickLogRow(int row) {
    TUiStringGrid* g = Form1->HrGrid;
    Form1->SelectPage(6);
    const TRect r = g->CellRect(logColOperation, row);
    realinput::DoubleClick(g->GetWidget(), QPoint(g->BorderWidth() + (r.Left + r.Right) / 2,
                                                  g->BorderWidth() + (r.Top + r.Bottom) / 2));
}

// The event-log grid with one photo event in row 1 and another event in row 2.
void FillLog(const std::string& object) {
    TUiStringGrid* g = Form1->HrGrid;
    g->SetRowCount(4);
    g->SetCells(logColOperation, 1, OperationToText(21));
    g->SetCells(logColObject, 1, object);
    g->SetCells(logColOperation, 2, OperationToText(1));
    g->SetCells(logColObject, 2, object);
}

TEST(PhotoLink, EventPictureWithALostChunkAskedForAgain) {
    PhotoRig c("photo-event");
    ASSERT_TRUE(c.ok);
    const Bytes jpeg = Jpeg();
    const std::string name = EventPhotoFileName(SessionImeiText(), "Камера 1");
    c.photo->SetEventName(name);
    Form1->SelectPage(6);
    FillLog("Камера 1");

    // Another operation's row sends nothing.
    DoubleClickLogRow(2);
    sys::AdvanceMs(200);
    EXPECT_EQ(c.device.Requests(devsim::kCmdEventPhoto), 0u);

    DoubleClickLogRow(1);
    ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, 1));
    EXPECT_EQ(c.photo->AskedNames(), std::vector<std::string>{name});
    EXPECT_EQ(c.Requests(devsim::kCmdEventPhoto)[0].data, EventPhotoByNameRequest(name));
    // The first chunk comes with the answer to the name; the reply to offset 100 is lost.
    ASSERT_TRUE(testsupport::WaitUntil([&] { return c.device.sim.PendingOutput() >= FrameBytes(101); }));
    c.photo->LoseReplies(1);
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(101)));
    ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, 2));
    EXPECT_EQ(c.Requests(devsim::kCmdEventPhoto)[1].data, EventPhotoAtOffsetRequest(100));
    EXPECT_EQ(g_PhotoMode, photoByOffset);
    EXPECT_EQ(Form1->Lprocess->GetCaption(), "Загрузка фото...");
    // A chunk for another offset is not taken and asks for nothing.
    Bytes stray = {0x05, 0x2C, 0x01, 0x00, 0x00, 0xAB, 0xCD};
    c.device.sim.Send(devsim::BuildReply(devsim::kCmdEventPhoto, stray));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(stray.size())));
    EXPECT_EQ(g_PhotoOffset, 100u);
    EXPECT_EQ(g_PhotoFile.Written(), 100u);
    EXPECT_EQ(c.device.Requests(devsim::kCmdEventPhoto), 2u);
    // Three seconds later the same offset is asked for again.
    for (int s = 0; s < 3; ++s) sys::AdvanceMs(1000);
    ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, 3));
    EXPECT_EQ(c.Requests(devsim::kCmdEventPhoto)[2].data, EventPhotoAtOffsetRequest(100));

    std::vector<std::size_t> frames;
    for (std::size_t sent = 100; sent < jpeg.size(); sent += 100) frames.push_back(FrameBytes(5 + std::min<std::size_t>(100, jpeg.size() - sent)));
    frames.push_back(FrameBytes(1));  // done
    ASSERT_TRUE(c.DeliverAll(frames));
    EXPECT_EQ(g_PhotoMode, photoIdle);
    EXPECT_EQ(g_PhotoOffset, jpeg.size());
    EXPECT_EQ(ReadFile(PhotoFilePath()), jpeg);
    EXPECT_TRUE(Near(c.CentrePixel(), kPictureColour));
    EXPECT_EQ(Form1->Panel15->GetParent(), Form1->UiGroupBox22);
    EXPECT_FALSE(Form1->MESPANEL->GetVisible());
    // Retries stopped: nothing more is asked.
    const std::size_t asked = c.device.Requests(devsim::kCmdEventPhoto);
    for (int s = 0; s < 5; ++s) sys::AdvanceMs(1000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdEventPhoto), asked);

    // A missing file is reported.
    c.photo->SetEventName("other.jpg");
    DoubleClickLogRow(1);
    ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, asked + 1));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(1)));
    EXPECT_EQ(c.Message(), "Запрашиваемый файл отсутствует на сервере");
    EXPECT_EQ(g_PhotoMode, photoIdle);
}

// devsim's full sample controller: every record type with Cyrillic names, and a picture kept
// under each photograph event of its log.
TEST(PhotoLink, SampleControllerServesEachPhotoEventsPicture) {
    PhotoRig c("photo-sample");
    ASSERT_TRUE(c.ok);
    const std::vector<Bytes> base = devsim::SampleNumbers(30);
    std::set<std::string> numbers;
    std::set<int> types;
    for (const Bytes& r : base) {
        numbers.insert(std::string(reinterpret_cast<const char*>(r.data() + 1)));
        types.insert(r[32] >> 4);
        EXPECT_GE(r[12], 0xC0);  // a Cyrillic capital in Windows-1251
    }
    EXPECT_EQ(numbers.size(), base.size());
    EXPECT_EQ(types, (std::set<int>{0, 1, 2}));
    const devsim::TSampleLog log = devsim::SampleLog(40, base);
    ASSERT_GE(log.Photos.size(), 2u);
    for (std::size_t k = 0; k < log.Photos.size(); ++k)
        c.photo->AddEventPicture(EventPhotoFileName(SessionImeiText(), log.Photos[k]), devsim::SamplePicture(k));

    const Bytes jpeg = devsim::SamplePicture(1);
    FillLog(log.Photos[1]);
    DoubleClickLogRow(1);
    ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, 1));
    std::vector<std::size_t> frames{FrameBytes(1 + std::min<std::size_t>(100, jpeg.size()))};
    for (std::size_t sent = 100; sent < jpeg.size(); sent += 100) frames.push_back(FrameBytes(5 + std::min<std::size_t>(100, jpeg.size() - sent)));
    frames.push_back(FrameBytes(1));  // done
    ASSERT_TRUE(c.DeliverAll(frames));
    EXPECT_EQ(ReadFile(PhotoFilePath()), jpeg);
    EXPECT_EQ(Form1->CAMImage->GetPicture()->GetWidth(), 160);
}

// An event picture asked for by a double click on its log row, which the device never answers.
bool AskForAnUnansweredEventPicture(PhotoRig& c) {
    c.photo->SetEventName(EventPhotoFileName(SessionImeiText(), "Камера 2"));
    c.photo->LoseReplies(1000);
    FillLog("Камера 2");
    DoubleClickLogRow(1);
    return c.Await(devsim::kCmdEventPhoto, 1);
}

TEST(PhotoLink, EventPictureAbandonedAfterFifteenSeconds) {
    PhotoRig c("photo-giveup");
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(AskForAnUnansweredEventPicture(c));
    // Sent at 0, 3, 6, 9 and 12 s; abandoned at 15 s.
    std::vector<int> sentAt;
    std::size_t seen = 1;
    for (int second = 1; second <= 20; ++second) {
        sys::AdvanceMs(1000);
        if (second % 3 == 0 && second <= 12) {
            ASSERT_TRUE(c.Await(devsim::kCmdEventPhoto, seen + 1));
        }
        const std::size_t now = c.device.Requests(devsim::kCmdEventPhoto);
        if (now > seen) sentAt.push_back(second);
        seen = now;
        if (second == 14) {
            EXPECT_EQ(g_PhotoMode, photoByName);
        }
        if (second == 15) {
            EXPECT_EQ(g_PhotoMode, photoIdle);
        }
    }
    EXPECT_EQ(sentAt, (std::vector<int>{3, 6, 9, 12}));
    EXPECT_EQ(seen, 5u);

    // A first chunk arriving now is not taken.
    const Bytes late = {0x00, 0xFF, 0xD8, 0xFF};
    c.device.sim.Send(devsim::BuildReply(devsim::kCmdEventPhoto, late));
    ASSERT_TRUE(LinkRig::Deliver(FrameBytes(late.size())));
    EXPECT_EQ(g_PhotoMode, photoIdle);
    EXPECT_FALSE(g_PhotoFile.IsOpen());
    sys::AdvanceMs(4000);
    EXPECT_EQ(c.device.Requests(devsim::kCmdEventPhoto), 5u);
}

// The link goes while an event picture is asked for: the fetch ends at once and says so.
TEST(PhotoLink, EventPictureEndsWhenTheLinkGoes) {
    PhotoRig c("photo-lost");
    ASSERT_TRUE(c.ok);
    ASSERT_TRUE(AskForAnUnansweredEventPicture(c));
    c.device.sim.Unplug();
    sys::AdvanceMs(3000);  // a notice takes the link down, or else the retry's write does
    ASSERT_TRUE(testsupport::WaitUntil(
        [] { return PhotoRig::Message() == "Связь с устройством потеряна.\r\nПолучение фотоснимка прервано."; }));
    EXPECT_EQ(g_PhotoMode, photoIdle);
    EXPECT_FALSE(g_PhotoFile.IsOpen());
}

}  // namespace
