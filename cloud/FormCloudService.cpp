// Buttons that act on the device whichever way it is reached: a device command on the cable
// (tunnelled by SendCommand during a session) or the cloud's own command; the side panel's
// page buttons; the replies of the transparent port and of the Safe City service.
#include <algorithm>

#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "cloud/CloudRequest.h"
#include "config/ConfigTransfer.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/sys/Clock.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Grids.h"

namespace {

constexpr const char* kInfoTitle = "Информация";
constexpr std::uint32_t kDefragWaitSeconds = 60;
constexpr std::uint32_t kCameraWaitSeconds = 50;

// Destructive commands: Enter alone (or an Escape that reached the page first) must not confirm.
bool AskYesNo(const std::string& text) { return MessageBox(text, kInfoTitle, MB_YESNO | MB_DEFBUTTON2) == IDYES; }

std::uint32_t U32(const TDeviceReply& r, std::size_t k) {
    if (k + 4 > r.Size) return 0;
    return static_cast<std::uint32_t>(r.d(k)) | static_cast<std::uint32_t>(r.d(k + 1)) << 8 |
           static_cast<std::uint32_t>(r.d(k + 2)) << 16 | static_cast<std::uint32_t>(r.d(k + 3)) << 24;
}

}  // namespace

void TForm1::BactoutClick(TObject*) {
    if (g_CloudSession) {
        if (TCustomWinSocket* socket = CloudSocket()) {
            SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::SetOut, "", socket);
            MiniLog("Активация выхода", 0);
            SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Status, "", socket);
            MiniLog("Запрос статуса", 0);
        }
    } else if (g_WorkingMode) {
        SendCommand(CmdSetOutput);
    }
}

void TForm1::BarClick(TObject*) {
    const bool on = Bar->GetCaption() == "Включить";
    if (g_CloudSession) {
        SendCloudRequest(CloudSocket(), AutoRegRequest(g_SessionImei, g_SessionPass, on));
        MiniLog("Управление авторегистрацией", 0);
        SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Status, "", CloudSocket());
        MiniLog("Запрос статуса", 0);
    } else if (g_WorkingMode) {
        SendCommand(CmdAutoRegistration, std::vector<std::uint8_t>{static_cast<std::uint8_t>(on ? 1 : 0)});
    }
}

void TForm1::BdefClick(TObject*) {
    if (g_CloudSession) {
        if (SendJsonCommand(g_SessionImei, g_SessionPass, cloudcmd::Defrag, "", CloudSocket()))
            AwaitCloudReply(TAsk::CloudDefrag, kDefragWaitSeconds);
        MiniLog("Дефрагментация памяти", 0);
    } else if (g_WorkingMode) {
        SendCommand(CmdDefragment);
    }
    ShowWaitPanel(kDefragWaitSeconds, 0, "Выполняется дефрагментация памяти номеров...");
}

void TForm1::Button8Click(TObject*) {
    if (g_CloudSession) {
        SendJsonCommand(AIMEI->GetText(), APASS->GetText(), cloudcmd::Reset, "", CloudSocket());
        MiniLog("Команда на перезагрузку", 0);
    } else if (g_WorkingMode) {
        ResetDevice(0);
    }
}

void TForm1::BupdClick(TObject*) {
    if (g_CloudSession) {
        if (SendJsonCommand(AIMEI->GetText(), APASS->GetText(), cloudcmd::Update, "", CloudSocket()))
            AwaitCloudReply(TAsk::CloudUpdate);
        MiniLog("Запрос на обновление прошивки", 0);
    } else {
        SelectPage(2);
    }
}

void TForm1::Button14Click(TObject*) {
    if (g_CloudSession) {
        SendJsonCommand(AIMEI->GetText(), APASS->GetText(), cloudcmd::SimNumber, STSMS->GetText(), CloudSocket());
        MiniLog("Запрос номера СИМ карты", 0);
    } else if (g_WorkingMode) {
        std::string number = Utf8ToCp1251(STSMS->GetText());
        std::vector<std::uint8_t> data(number.begin(), number.end());
        data.push_back(0);
        SendCommand(CmdSimNumber, data);
    }
}

void TForm1::BupdimageClick(TObject*) {
    if (AnotherTransferRuns()) return;
    if (g_CloudSession) {
        MessageShow("Запрос фотоснимка возможен при подключении по кабелю");
    } else if (g_WorkingMode) {
        // The picture is asked for as long as its wait runs; its size answers.
        if (SendCommand(CmdCameraPhoto, std::vector<std::uint8_t>{0x00, 0x00, 0x05}) > 0)
            g_AskedReplies.Ask(TAsk::CameraPhoto, RequestRoute(), sys::ListenMs(), 1000LL * kCameraWaitSeconds);
        ShowWaitPanel(kCameraWaitSeconds, 0, GetMessageA(73));
    }
}

void TForm1::BfactoryDefaultClick(TObject*) {
    if (AnotherTransferRuns()) return;
    if (!AskYesNo("Внимание! Все настройки вернутся на заводские и номерная база будет полностью "
                  "удалена! Продолжить?"))
        return;
    if (!g_CloudSession && !g_WorkingMode) return;
    SendCommand(CmdFactoryReset);
    if (g_CloudSession) MiniLog("Команда на сброс настроек", 0);
}

void TForm1::UiButton9Click(TObject*) {
    if (AnotherTransferRuns()) return;
    if (!AskYesNo("Внимание! Все номера будут удалены из памяти! Продолжить?")) return;
    MessageShow("Чистка памяти номеров");
    if (SendCommand(CmdWriteNumbers, PhonesEraseData()) > 0) AwaitPhonesErase();
    g_BusyTransfer = 0;
    MiniLog("Запрос на очистку всей памяти", 0);
    ClearTableClick(this);
}

void TForm1::OpenTransPortClick(TObject*) {
    const std::int32_t baud = std::clamp<std::int32_t>(UserStrToInt(TransBaud->GetText()), 9600, 115200);
    TransBaud->SetText(std::to_string(baud));
    const auto b = static_cast<std::uint32_t>(baud);
    SendCommand(CmdTransparentPort,
                std::vector<std::uint8_t>{static_cast<std::uint8_t>(TransPort->GetItemIndex()),
                                          static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(b >> 8),
                                          static_cast<std::uint8_t>(b >> 16), static_cast<std::uint8_t>(b >> 24)});
}

void TForm1::SCConnectClick(TObject*) { SendCommand(CmdSafeCityTest); }

void TForm1::Button11Click(TObject*) {
    const TTransparentPortParams params{RIP->GetText(), RPORT->GetText(), RBAUD->GetText(), RTOUT->GetText()};
    if (SendCloudRequest(CloudSocket(), TransparentPortRequest(AIMEI->GetText(), APASS->GetText(), params)))
        AwaitCloudReply(TAsk::CloudPort);
    MiniLog("Запрос на открытие прозрачного порта", 0);
}

void TForm1::BdeviceClick(TObject*) {
    SelectPage(1);
    if (auto* camera = dynamic_cast<TControl*>(FindComponent("CAMImage")))
        if (camera->OnClick) camera->OnClick(camera);
}

void TForm1::BusersClick(TObject*) { SelectPage(5); }

void TForm1::BlogClick(TObject*) {
    if (!g_DeviceConnected) SelectPage(6);
}

void TForm1::BServiceClick(TObject*) { SelectPage(8); }

void TForm1::SCProcMessage(std::uint8_t code) {
    static const char* const kTexts[] = {
        "Ожидайте. Выполняется запрос.",
        "Объект не зарегистрирован. Обратитесь к Оператору Безопасного города.",
        "Ожидайте. Копируется база номеров.",
        "Срок использования истек. Обратитесь к Оператору Безопасного города.",
        "База номеров загружена. Объект подключен к Безопасному городу.",
        "Объект подключен к Безопасному городу. База номеров актуальна.",
        "Считыватель в настройках не назначен.",
    };
    if (code < std::size(kTexts)) MessageShow(kTexts[code]);
}

void TForm1::Reply_TransparentPort(const TDeviceReply& reply) {
    if (reply.Size < 1) return;
    MessageShow(GetMessageA(reply.d(0) != 0 ? 27 : 32));
}

void TForm1::Reply_SafeCity(const TDeviceReply& reply) {
    if (reply.Command == CmdSafeCityTest) {
        if (reply.Size >= 1) SCProcMessage(reply.d(0));
        return;
    }
    if (reply.Size < 16) return;  // a short status says nothing reliable
    if (U32(reply, 0) == 0) {
        SafeCityStat->SetCaption("Безопасный город: отключен");
        SafeCityTags->SetCaption("");
        SafeCityBaseDate->SetCaption("");
        SafeCityAccessDate->SetCaption("");
        return;
    }
    SafeCityStat->SetCaption("Безопасный город: подключен");
    SafeCityTags->SetCaption("Память базы БГ: " + std::to_string(U32(reply, 4)));
    SafeCityBaseDate->SetCaption("Датакод базы БГ: " +
                                 FormatDateTime("yyyy-mm-dd hh:nn", UnixToDateTime(U32(reply, 8))));
    SafeCityAccessDate->SetCaption("Доступ действует до: " +
                                   FormatDateTime("yyyy-mm-dd", UnixToDateTime(U32(reply, 12))));
}
