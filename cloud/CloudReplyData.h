#pragma once
// The structured replies: device status ("gsmst"), one number's information ("gnum"), the
// configuration fields ("gconfig") and blocks of the event log ("gchrono"), read into the
// texts and values the window shows. Members are read only through the safe helpers.
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

#include "config/ConfigRecord.h"
#include "memory/EventRecord.h"

// What the status page shows for a "gsmst" reply, label by label.
struct TCloudStatusView {
    std::string Imei;                  // Limei
    std::string Signal;                // Lsig
    int SignalLevel = 0;               // Msig
    std::string Fw;                    // Lfw
    std::uint8_t FwVersion = 0;        // g_DeviceFwVersion
    int NameMaxLength = 10;            // aName: 10 below version 33, else 19
    std::uint8_t DeviceType = 0;       // g_DeviceType
    std::string Hw;                    // Lhw
    std::string Gsm, Gprs, Server, Memory;  // Lgsm, Lgprs, Lserver, Lmem
    std::string Input1, Input2, Output;     // Linput1, Linput2, Lout_
    std::string AutoReg, AutoRegButton;     // Lar, the caption of Bar
    std::string Access;                     // LACCESS (the access level is not changed)
    bool UpdateVisible = false;             // UPDPR
    int UpdatePercent = 0;
    bool HasNetTime = false;  // netTime is hidden first, shown only when the reply has one
    std::string NetTime;
    bool HasBalance = false;  // Balance is shown only when the reply has one
    std::string Balance;
    int Rfid1State = -1, Rfid2State = -1;  // -1 unknown, else 0 or 1
    std::string Ber;                        // GSMBER; empty when the reply has none
};
// imeiText is the text of the device selector (the reply does not carry the IMEI).
TCloudStatusView ReadCloudStatus(const Json::Value& data, const std::string& imeiText);

// The message text for a "gnum" reply.
std::string CloudNumberInfoText(const Json::Value& data);

// Writes the "gconfig" fields into the record. A field whose key is missing, or whose value
// is neither text nor integer, keeps its value: a short reply must not zero passwords or
// the server's port in a record that may later be written to the device. Texts are cut to
// their field less one byte. The CRC is left to the record's writer.
void ApplyCloudConfig(const Json::Value& data, ConfigRecord& record);

// One row of a "gchrono" block.
struct TCloudLogRow {
    std::string Date;  // "dd.MM.yyyy hh:mm:ss" of the Unix seconds, no zone conversion
    std::string Number, Operation, What;
};
inline constexpr int kCloudLogBlockRows = 32;
// A block of fewer rows is the last one; after a full block the window waits for the next.
inline bool CloudLogBlockIsLast(Json::ArrayIndex elements) {
    return elements < static_cast<Json::ArrayIndex>(kCloudLogBlockRows);
}
inline constexpr int kCloudLogWaitSeconds = 10;
inline constexpr int kCloudLogReadWaitSeconds = 60;  // for the first block
inline constexpr const char* kCloudLogWaitText = "Осуществляется чтение журнала";
inline constexpr const char* kCloudLogDoneText = "Загрузка журнала завершена!";
// Rows of the elements that are objects, in order.
std::vector<TCloudLogRow> ReadCloudLogRows(const Json::Value& data);
std::string CloudLogDateText(std::int64_t unixSeconds);

// Adds the rows not shown yet (a shown row is equal in date, number, operation and object)
// at nextRow on (the grid's rows, header first),
// growing the grid to keep one row beyond the last written. Returns the rows added.
int MergeCloudLogRows(std::vector<TLogGridRow>& rows, int& nextRow,
                      const std::vector<TCloudLogRow>& block);
// The last block ("ReversLog" checked): the rows with a date, from row 1 on, in reverse
// order, and column 0 of every row after the header renumbered.
void ReverseCloudLogRows(std::vector<TLogGridRow>& rows);
