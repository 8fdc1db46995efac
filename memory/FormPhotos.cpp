// Photographs: the camera picture (0x30), the server's picture (0x33) and an event's picture
// (0x35), fetched chunk by chunk into the photo file and shown in CAMImage.
#include <exception>
#include <stdexcept>
#include <string>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "memory/EventRecord.h"
#include "memory/MemoryState.h"
#include "memory/PhotoPlacement.h"
#include "memory/PhotoProtocol.h"
#include "memory/PhotoState.h"
#include "platform/image/Pictures.h"
#include "platform/sys/Clock.h"

namespace {

constexpr int kOutgoing = 0;
constexpr int kIncoming = 1;
constexpr std::uint8_t kPhotoFixOperation = 21;
constexpr std::uint32_t kPhotoWaitSeconds = 15;

const std::string kTextLoading = "Загрузка фото...";
const std::string kTextMissing = "Запрашиваемый файл отсутствует на сервере";
const std::string kTextDamaged = "Фотоизображение повреждено";
const std::string kLogServerReply = "Ответ на запрос фото с сервера";
const std::string kLogAskByName = "Запрос фотоснимка с сервера";
const std::string kLogFetching = "Получение фото...";
const std::string kLogReceived = "Фотоизображение получено";
const std::string kLogMissing = "Фотоизображение отсутствует";

void ArmPhotoRetries() {
    g_PhotoRetryTicks = kPhotoRetrySeconds;
    g_PhotoAttempts = kPhotoAttempts;
}

void StopPhotoRetries() {
    g_PhotoMode = photoIdle;
    g_PhotoRetryTicks = g_PhotoAttempts = 0;
}

}  // namespace

void TForm1::PhotoChunkHook() {}

void TForm1::Reply_Photo(const TDeviceReply& reply) {
    switch (reply.Command) {
        case CmdCameraPhoto: Reply_CameraPhoto(reply); break;
        case CmdServerPhoto: Reply_ServerPhoto(reply); break;
        case CmdEventPhoto: Reply_EventPhoto(reply); break;
        default: break;
    }
}

bool TForm1::ShowPhotoFile() {
    if (!CAMImage) return false;
    try {
        if (!g_PhotoFile.Commit()) throw std::runtime_error("picture not whole");
        TJPEGImage jpeg;
        jpeg.LoadFromFile(PhotoFilePath());
        TBitmap bitmap;
        jpeg.AssignTo(bitmap);
        CAMImage->SetPicture(bitmap);
        return true;
    } catch (const std::exception&) {
        // A damaged picture must not stay behind an old one that looks like the answer.
        CAMImage->GetPicture()->Clear();
        return false;
    }
}

// The picture's panel goes onto the page with the given corner at its place, as large as
// its full size allows without covering any other control there, hidden ones included (a
// progress bar shows during a transfer).
void TForm1::PlacePhotoPanel(TWinControl* page, TPoint corner, bool fromRight) {
    TPictureFit fit;
    fit.Corner = corner;
    fit.Kind = fromRight ? TPictureCorner::TopRight : TPictureCorner::TopLeft;
    fit.MaxWidth = kPhotoPanelWidth;
    fit.MaxHeight = kPhotoPanelHeight;
    fit.Bounds = TRect(kPhotoMargin, kPhotoMargin, page->GetClientWidth() - kPhotoMargin,
                       page->GetClientHeight() - kPhotoMargin);
    fit.Gap = kPhotoMargin;
    if (const TPicture* picture = CAMImage->GetPicture(); picture && !picture->Empty()) {
        fit.AspectWidth = picture->GetWidth();
        fit.AspectHeight = picture->GetHeight();
    }
    std::vector<TRect> controls;
    for (int i = 0; i < page->GetControlCount(); ++i)
        if (page->GetControl(i) != Panel15) controls.push_back(page->GetControl(i)->GetBoundsRect());
    Panel15->SetParent(page);
    const TRect place = FitPictureRect(fit, controls);
    Panel15->SetBounds(place.Left, place.Top, place.Width(), place.Height());
}

void TForm1::PlacePhotoPanelOnLog() {
    if (!Panel15 || !UiGroupBox22) return;
    PlacePhotoPanel(UiGroupBox22, TPoint(UiGroupBox22->GetWidth() - kPhotoMargin, 14), true);
}

void TForm1::PlacePhotoPanelOnStatus() {
    if (!Panel15) return;
    PlacePhotoPanel(TabSheet2, TPoint(GetWidth() * 420 / 1024, GetHeight() * 164 / 672), false);
}

void TForm1::CAMImageClick(TObject*) { PlacePhotoPanelOnStatus(); }

void TForm1::Reply_CameraPhoto(const TDeviceReply& reply) {
    const TCameraReply r = DecodeCameraReply(reply.Data, reply.Size);
    switch (r.Kind) {
        case TCameraReplyKind::Size:
            // Only a picture asked for is fetched.
            if (!g_AskedReplies.Answer(TAsk::CameraPhoto, sys::ListenMs())) {
                MiniLog(UnaskedDeviceReplyLine(reply.Command), kIncoming);
                break;
            }
            g_PhotoSize = r.Size;
            g_PhotoReceived = 0;
            g_PhotoFile.Recreate(PhotoFilePath());
            PhotoChunkHook();
            SendCommand(CmdCameraPhoto, PhotoNextChunkRequest());
            break;
        case TCameraReplyKind::Chunk: {
            if (!g_PhotoFile.IsOpen()) break;  // no picture announced
            // Bytes past the announced size are not the picture's.
            const std::size_t n = BoundedChunk(g_PhotoSize, g_PhotoReceived, r.ChunkSize);
            const std::size_t written = g_PhotoFile.Write(r.Chunk, n);
            g_PhotoReceived += static_cast<std::uint32_t>(written);
            PhotoChunkHook();
            if (written < n) {
                // The file could not take the chunk: the picture cannot be finished.
                g_PhotoFile.Close();
                HideWaitPanel(kTextDamaged);
                break;
            }
            if (g_PhotoReceived != g_PhotoSize) {
                SendCommand(CmdCameraPhoto, PhotoNextChunkRequest());
                break;
            }
            HideWaitPanel(ShowPhotoFile() ? kNoText : kTextDamaged);
            break;
        }
        case TCameraReplyKind::Damaged:
            if (!g_PhotoFile.IsOpen()) break;
            g_PhotoFile.Close();
            HideWaitPanel(kTextDamaged);
            break;
        case TCameraReplyKind::Error:
        case TCameraReplyKind::Ended:
            // It ends the picture's request too, should it come before the size.
            g_AskedReplies.Answer(TAsk::CameraPhoto, sys::ListenMs());
            g_PhotoFile.Close();
            HideWaitPanel(r.Kind == TCameraReplyKind::Error ? GetMessageA(r.Message) : kNoText);
            break;
        case TCameraReplyKind::Ignored: break;
    }
}

void TForm1::Reply_ServerPhoto(const TDeviceReply& reply) {
    if (g_CloudSession) MiniLog(kLogServerReply, kIncoming);
    if (reply.Size == 0) return;
    const std::uint8_t* rest = reply.Data + 1;
    const std::size_t restSize = reply.Size - 1;
    switch (reply.d(0)) {
        case 0:
            g_PhotoFile.Recreate(PhotoFilePath());
            g_PhotoFile.Write(rest, restSize);
            ShowWaitPanel(kPhotoWaitSeconds, 0, kTextLoading);
            SendCommand(CmdServerPhoto, PhotoNextChunkRequest());
            break;
        case 1:
            if (!g_PhotoFile.IsOpen()) break;  // no picture started
            if (g_PhotoFile.Write(rest, restSize) < restSize) {
                g_PhotoFile.Close();
                HideWaitPanel(kTextDamaged);
                break;
            }
            PhotoChunkHook();
            SendCommand(CmdServerPhoto, PhotoNextChunkRequest());
            break;
        case 2: {
            if (!g_PhotoFile.IsOpen()) break;
            const bool shown = ShowPhotoFile();
            PlacePhotoPanelOnLog();
            HideWaitPanel(shown ? kNoText : kTextDamaged);
            break;
        }
        case 3: MessageShow(kTextMissing); break;
        default: break;
    }
}

void TForm1::SendEventPhotoRequest() {
    if (g_PhotoMode == photoByName) {
        SendCommand(CmdEventPhoto, EventPhotoByNameRequest(g_PhotoFileName));
        MiniLog(kLogAskByName, kOutgoing);
    } else if (g_PhotoMode == photoByOffset) {
        SendCommand(CmdEventPhoto, EventPhotoAtOffsetRequest(g_PhotoOffset));
        MiniLog(kLogFetching + std::to_string(g_PhotoOffset), kOutgoing);
    }
}

void TForm1::HrGridDblClick(TObject*) {
    if (!HrGrid) return;
    const int row = HrGrid->GetRow();
    if (row < 1 || row >= HrGrid->GetRowCount()) return;
    if (HrGrid->GetCells(logColOperation, row) != OperationToText(kPhotoFixOperation)) return;
    if (AnotherTransferRuns()) return;
    g_PhotoFileName = EventPhotoFileName(SessionImeiText(), HrGrid->GetCells(logColObject, row));
    g_PhotoMode = photoByName;
    SendEventPhotoRequest();
    ArmPhotoRetries();
}

void TForm1::Reply_EventPhoto(const TDeviceReply& reply) {
    if (reply.Size == 0) return;
    switch (reply.d(0)) {
        case 0: {
            if (g_PhotoMode != photoByName) break;
            g_PhotoFile.Recreate(PhotoFilePath());
            g_PhotoFile.Write(reply.Data + 1, reply.Size - 1);
            ShowWaitPanel(kPhotoWaitSeconds, 0, kTextLoading);
            g_PhotoMode = photoByOffset;
            g_PhotoOffset = g_PhotoFile.Written();
            SendEventPhotoRequest();
            ArmPhotoRetries();
            break;
        }
        case 5: {
            // A late chunk after the fetch ended would restart it on a closed file.
            if (g_PhotoMode != photoByOffset || reply.Size < 5) break;
            const std::uint32_t offset = reply.d(1) | (reply.d(2) << 8) | (reply.d(3) << 16) |
                                         (static_cast<std::uint32_t>(reply.d(4)) << 24);
            if (offset != g_PhotoOffset) break;
            const std::size_t n = reply.Size - 5;
            const std::size_t written = g_PhotoFile.Write(reply.Data + 5, n);
            if (written < n) {
                StopPhotoRetries();
                g_PhotoFile.Close();
                HideWaitPanel(kTextDamaged);
                break;
            }
            PhotoChunkHook();
            ShowWaitPanel(kPhotoWaitSeconds, 0, "Загрузка фото " + std::to_string(offset) + "...");
            g_PhotoOffset += static_cast<std::uint32_t>(written);
            SendEventPhotoRequest();
            ArmPhotoRetries();
            break;
        }
        case 2: {
            // Only a fetch under way has a file to show.
            if (g_PhotoMode != photoByOffset) break;
            StopPhotoRetries();
            const bool shown = ShowPhotoFile();
            PlacePhotoPanelOnLog();
            HideWaitPanel(shown ? kNoText : kTextDamaged);
            MiniLog(kLogReceived, kIncoming);
            break;
        }
        case 3:
            if (g_PhotoMode == photoIdle) break;
            StopPhotoRetries();
            g_PhotoFile.Close();
            MessageShow(kTextMissing);
            MiniLog(kLogMissing, kIncoming);
            break;
        default: break;
    }
}

unsigned TForm1::PhotoRetryDue() const { return g_PhotoRetryTicks; }

void TForm1::PhotoRetryStep() {
    switch (PhotoRetryTick(g_PhotoRetryTicks, g_PhotoAttempts)) {
        case TPhotoRetryAction::SendAgain: SendEventPhotoRequest(); break;
        case TPhotoRetryAction::GiveUp:
            g_PhotoMode = photoIdle;
            g_PhotoFile.Close();
            break;
        case TPhotoRetryAction::None: break;
    }
}
