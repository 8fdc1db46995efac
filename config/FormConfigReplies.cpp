// The dispatcher's configuration and status cases.
#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "config/ConfigRecord.h"
#include "config/ConfigTransfer.h"
#include "config/StatusRecord.h"
#include "device/LinkPeers.h"
#include "device/ReplyDecode.h"

namespace {

// Result 5 counts as success for a write and is passed over for a read.
constexpr std::uint8_t kResultAlreadyDone = 5;
constexpr std::uint8_t kNoRecordFollows = 1;

std::string ResultText(TForm1& form, std::uint8_t code) {
    return ErrorCodeToText(code, [&form](int n) { return form.GetMessageA(n); });
}

}  // namespace

void TForm1::Reply_ReadConfig(const TDeviceReply& reply) {
    HideWaitPanel(kNoText);
    if (g_CloudSession) MiniLog("Ответ на запрос конфигурации", 1);
    const auto r = DecodeConfigReadReply(reply);
    if (!r || r->Result == kResultAlreadyDone) return;
    if (r->Result != 0) {
        MessageShow(ResultText(*this, r->Result));
        return;
    }
    if (r->Detail == 0) {
        // Bytes beyond what arrived keep what the record held; the CRC is the device's.
        ApplyConfigRecordBytes(g_ConfigRecord, r->Record, r->RecordSize);
        Read_config();
    } else if (r->Detail != kNoRecordFollows) {
        MessageShow(GetMessageA(kMsgNoConfigRecord));
    }
    SelectPage(g_ConfigPage);
}

void TForm1::Reply_WriteConfig(const TDeviceReply& reply) {
    HideWaitPanel(kNoText);
    if (g_CloudSession) MiniLog("Ответ на запрос записи конфигурации", 1);
    const auto r = DecodeConfigWriteReply(reply);
    if (!r) return;
    switch (r->Outcome) {
        case TConfigWriteOutcome::Written:
            MessageShow(g_ConfigPage == kSchedulesPage ? "Шаблоны расписаний сохранены" : "Конфигурация записана");
            break;
        case TConfigWriteOutcome::DeviceError:
            MessageShow(ResultText(*this, r->Result));
            break;
        case TConfigWriteOutcome::UnexpectedDetail:
            // The device neither confirmed nor refused: the user must not take it as written.
            MessageShow("Прибор не подтвердил запись конфигурации (код " + std::to_string(r->Detail) + ")");
            break;
    }
}

// A status with a nonzero result changes nothing; otherwise the bytes that came replace the
// start of the record, the rest keeps what it held.
void TForm1::Reply_Status(const TDeviceReply& reply) {
    const auto status = DecodeStatusReply(reply);
    if (!status || status->Result != 0) return;
    ApplyStatusRecordBytes(g_StatusRecord, status->Record, status->RecordSize);
    Refresh_Data();
}

// The factory reset reply leaves the wait panel to its own time-out.
void TForm1::Reply_FactoryReset(const TDeviceReply& reply) {
    if (g_CloudSession) MiniLog("Ответ на команду сброса настроек", 1);
    const auto result = DecodeResultByte(reply);
    if (result && *result == 0) MessageShow("Настройки сброшены на заводские");
}
