#pragma once
// The 64-byte number record and its conversions to and from the rows of the number grid.
// The grid is the master copy; records exist around a transfer or a file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kPhoneRecordSize = 64;

struct PhoneRecord {
    std::array<std::uint8_t, kPhoneRecordSize> Bytes{};
    std::uint8_t* data() { return Bytes.data(); }
    const std::uint8_t* data() const { return Bytes.data(); }
    std::uint8_t& operator[](std::size_t i) { return Bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return Bytes[i]; }
    friend bool operator==(const PhoneRecord&, const PhoneRecord&) = default;
};

namespace phone {
inline constexpr std::size_t Mark = 0;
inline constexpr std::size_t Number = 1, NumberWidth = 11;
inline constexpr std::size_t Name = 12, NameWidth = 20;
inline constexpr std::size_t Flags = 32;     // bits 0-1 access level, bits 4-5 record type
inline constexpr std::size_t Expiry = 33;    // u32, unaligned; 0 = no expiry
inline constexpr std::size_t Passes = 37;    // 0 = no limit
inline constexpr std::size_t Schedule = 38;  // 0 round the clock, 1..7 schedule k
inline constexpr std::uint8_t MarkInUse = 0xAA;
inline constexpr std::uint8_t MarkDelete = 0xFF;
}  // namespace phone

// Items of the number editor's combo boxes; the grid shows the text, the record the index.
inline constexpr std::array<std::string_view, 4> kAccessTypeItems = {
    "Пользователь", "Управляющий", "Администратор", "IP пользователь"};
inline constexpr std::array<std::string_view, 3> kCodeTypeItems = {"Телефон", "Код 1wire", "Код RFID"};
inline constexpr std::array<std::string_view, 8> kSheduleItems = {
    "Круглосуточно", "Расписание 1", "Расписание 2", "Расписание 3",
    "Расписание 4",  "Расписание 5", "Расписание 6", "Расписание 7"};

// A controller may hold values the editor's items do not name; the grid shows them so that
// they are written back as they came: schedules 8 to 255 as "Расписание N", record type 3,
// and an expiry at another time than midnight as "ddMMyyyy hh:mm:ss".
inline constexpr std::string_view kScheduleTextPrefix = "Расписание ";
inline constexpr std::string_view kCodeType3Text = "Тип 3";


// Grid columns; row 0 of the grid is its header.
enum TPhoneGridColumn : int {
    colRowNumber = 0,
    colNumber = 1,
    colName = 2,
    colAccess = 3,
    colExpiry = 4,  // "ddMMyyyy", empty for no expiry
    colPasses = 5,
    colSchedule = 6,
    colCodeType = 7,
    colSync = 8,    // "add" / "del" while a cloud synchronisation is pending
};
inline constexpr int kPhoneGridColumns = 9;
inline constexpr int kClearedGridRows = 5;  // header and four empty rows
using TPhoneGridRow = std::array<std::string, kPhoneGridColumns>;

// What the record's fields hold: the number 10 and the name 19 Windows-1251 bytes, the
// pass limit one byte.
inline constexpr std::size_t kMaxNumberBytes = phone::NumberWidth - 1;
inline constexpr std::size_t kMaxNameBytes = phone::NameWidth - 1;
inline constexpr int kMaxPasses = 255;
std::size_t RecordTextBytes(std::string_view text);
// The pass limit of a typed text (empty is 0); false for text that is no number from 0 to 255.
bool PassesFromText(const std::string& text, std::uint8_t& passes);

// One grid row to a record (mark 0xAA). A 7-digit expiry gets its leading "0" back, in the
// row too. A value the record cannot hold is refused, never cut or wrapped: raises
// EConvertError naming the column for a number or name longer than its field, a pass
// count that is no number from 0 to 255, an expiry that names no date, or an access level,
// schedule or record type text that is not one the grid shows (empty is the first item).
PhoneRecord PhoneRowToRecord(TPhoneGridRow& row);
// Whether PhoneRowToRecord takes the row; the row stays as it is.
bool PhoneRowMakesRecord(const TPhoneGridRow& row);
// A record's texts into columns 1 to 7.
void PhoneRecordToRow(const PhoneRecord& record, TPhoneGridRow& row);

// Expiry texts: "ddMMyyyy" of local seconds, and back (false when it names no date).
std::string ExpiryToText(std::uint32_t localSeconds);
// An expiry cell as a row is written: 7 or 8 digits, or "ddMMyyyy hh:mm:ss"; false for an
// empty cell or one that names no time the record holds.
bool ExpiryCellSeconds(const std::string& cell, std::uint32_t& localSeconds);
// The index an access level, schedule or record-type cell names as a row is written (empty
// is the first item); false for a text the grid does not show.
bool IndexOfCellText(int column, const std::string& text, std::uint8_t& index);

// PhoneGridToStruct: the records of every row (from 1) whose number is not empty, in row
// order. rows holds every row of the grid, the header first; corrected expiry texts are
// written back into it. Raises EConvertError as PhoneRowToRecord does, naming the row too,
// and builds nothing.
std::vector<PhoneRecord> PhoneGridToRecords(std::vector<TPhoneGridRow>& rows);
// The same, reading the grid where it stands: cell(column, row) for rowCount rows, the header
// first. The rows whose 7-digit expiry needs its leading "0" back are added to fixedExpiry.
using TPhoneCellReader = std::function<const std::string&(int column, int row)>;
std::vector<PhoneRecord> PhoneGridToRecords(int rowCount, const TPhoneCellReader& cell, std::vector<int>& fixedExpiry);
