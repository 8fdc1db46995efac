#pragma once
// The device's 32-byte event record, its operation texts, the event-log grid rows made of
// records, and the tab-separated export of that grid.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t kEventRecordSize = 32;

struct EventRecord {
    std::array<std::uint8_t, kEventRecordSize> Bytes{};
    std::uint8_t* data() { return Bytes.data(); }
    const std::uint8_t* data() const { return Bytes.data(); }
    std::uint8_t& operator[](std::size_t i) { return Bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return Bytes[i]; }
    friend bool operator==(const EventRecord&, const EventRecord&) = default;

    // u32 seconds of the device's local clock.
    std::uint32_t GetTime() const;
    std::string GetNumber() const;
    std::uint8_t GetOperation() const;
    // Up to 16 characters: the field needs no NUL when the text fills it.
    std::string GetObject() const;
};

namespace eventrec {
inline constexpr std::size_t Time = 0;
inline constexpr std::size_t Number = 4, NumberWidth = 11;
inline constexpr std::size_t Operation = 15;
inline constexpr std::size_t Object = 16, ObjectWidth = 16;
}  // namespace eventrec

// EventOperationCode texts; any other code gives "Не известная: " and the code.
std::string OperationToText(std::uint8_t code);

// Device time as the grid shows it: "dd.MM.yyyy hh:mm".
std::string EventTimeText(std::uint32_t localSeconds);

// HrGrid columns; row 0 is the header.
enum TLogGridColumn : int {
    logColRowNumber = 0,
    logColTime = 1,
    logColNumber = 2,
    logColOperation = 3,
    logColObject = 4,
};
inline constexpr int kLogGridColumns = 5;
inline constexpr int kClearedLogRows = 2;
using TLogGridRow = std::array<std::string, kLogGridColumns>;

// LogsStructToGrid: grid rows 1 .. count + 1 (row i + 1 for record i, then one empty row),
// so the grid's row count is size() + 1. No records give no rows.
std::vector<TLogGridRow> EventRecordsToGridRows(const std::vector<EventRecord>& records);

// Button10Click: the file's bytes (Windows-1251): the header, then columns 1 to 4 of every
// row from 1 whose time is not empty, tab-separated. rows holds the header first.
std::string EventLogExport(const std::vector<TLogGridRow>& rows);
std::string EventLogExportFileName(const std::string& imei);

// The first row from 1 whose cell in column equals value, else -1.
int FindInLogTable(const std::vector<TLogGridRow>& rows, const std::string& value, int column);

inline constexpr const char* kEventLogExportHeader =
    "Дата события\tНомер абонента\tОперация\tОбъект влияния\r\n";
