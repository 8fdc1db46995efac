#include "app/Unit1.h"
#include "config/StatusRecord.h"
#include "device/ReplyDecode.h"

// Configuration and status replies; filled in as the configuration transfer lands.
void TForm1::Reply_ReadConfig(const TDeviceReply&) {}
void TForm1::Reply_WriteConfig(const TDeviceReply&) {}

// A status with a nonzero result changes nothing; otherwise the bytes that came replace the
// start of the record, the rest keeps what it held.
void TForm1::Reply_Status(const TDeviceReply& reply) {
    const auto status = DecodeStatusReply(reply);
    if (!status || status->Result != 0) return;
    ApplyStatusRecordBytes(g_StatusRecord, status->Record, status->RecordSize);
    Refresh_Data();
}

void TForm1::Reply_FactoryReset(const TDeviceReply&) {}
