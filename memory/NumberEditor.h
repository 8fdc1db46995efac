#pragma once
// The number editor's commands: add (0x2A) and delete (0x2B) one number or many, and the
// texts made of their per-record results. The editor never changes the grid.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "memory/PhoneRecord.h"
#include "platform/rtl/DateTime.h"

// The payload buffer of one command holds 1024 bytes.
inline constexpr std::size_t kMaxNumbersPerCommand = 16;
inline constexpr std::size_t kNumberLength = 10;

// What the editor's controls hold for an add record (item indices of the combos).
struct TNumberEditorValues {
    std::string Name;
    int AccessIndex = 0;
    int CodeTypeIndex = 0;
    TDateTime EndDate;   // the expiry picker; only its day counts
    int Passes = 0;      // UserStrToInt of the pass edit
    int ScheduleIndex = 0;
    // A loaded row's expiry to the second, sent in place of the picker's day.
    std::optional<std::uint32_t> KeptExpiry;
};

// Expiry of an add record: the picker's day at 00:00 when that is not earlier than now,
// else 0 (today or earlier means no expiry). Raises EConvertError for a day that local
// seconds in 32 bits cannot hold.
std::uint32_t AddRecordExpiry(TDateTime endDate, TDateTime now);
PhoneRecord BuildAddRecord(std::string_view number, const TNumberEditorValues& values, TDateTime now);
// Mark 0xFF and the number; the rest zero.
PhoneRecord BuildDeleteRecord(std::string_view number);

// The box text for a single number that cannot be sent, or "" when it can.
std::string CheckSingleNumber(std::string_view number);
// The box text for editor values that an add record cannot hold, or "" when they fit: a
// name longer than nameLimit characters (0 or more: the field's 19), a pass text that is no
// number from 0 to 255. Nothing is cut or wrapped.
std::string CheckAddValues(const std::string& name, std::size_t nameLimit, const std::string& passes);

// The memo lines that are exactly 10 characters long, in order.
std::vector<std::string> ManyNumbersLines(const std::vector<std::string>& memoLines);

// Request data: the records of the numbers, 64 bytes each; at most 16 numbers go into one
// command, the rest are left out (their count in *leftOut).
std::vector<std::uint8_t> AddNumbersData(const std::vector<std::string>& numbers,
                                         const TNumberEditorValues& values, TDateTime now,
                                         std::size_t* leftOut = nullptr);
std::vector<std::uint8_t> DeleteNumbersData(const std::vector<std::string>& numbers,
                                            std::size_t* leftOut = nullptr);

// The message for a reply of one result byte per record sent. numbers are the records'
// numbers in order (the memo's 10-character lines); singleNumber is the number a single
// success names (the memo's first line in many mode, else the number edit). "" for a
// reply with no results.
enum class TNumberCommand { Add, Delete };
std::string NumberResultText(TNumberCommand command, std::span<const std::uint8_t> results,
                             const std::vector<std::string>& numbers, const std::string& singleNumber);

// Expiry cell of a grid row ("ddMMyyyy", 7 digits with the day's leading zero missing, or
// "ddMMyyyy hh:mm:ss") for the picker: its day. False for an empty cell or a text that
// names no date.
bool ExpiryCellToDate(std::string_view cell, TDateTime& date);

// A grid row loaded into the editor is sent by an add as the grid writes it, unless the user
// changes a control: a value no combo item names (a schedule past 7, record type 3) shows no
// item, and the picker shows only the day of an expiry kept to the second.
//
// The item a combo of the access, schedule or record-type column shows for a cell; -1 for none.
int EditorItemOfCell(int column, const std::string& cell);
// The value an add sends for such a combo: the item shown, else the loaded row's cell as the
// grid reads it. The box text when that cell names nothing the record holds, else "".
std::string EditorComboValue(int column, int itemIndex, const std::string& rowCell, int& value);
// The row's expiry to the second while the date box is ticked and the picker shows its day.
std::optional<std::uint32_t> KeptRowExpiry(const std::string& rowCell, bool dated, TDateTime pickerDate);

// The pass-limit box is ticked unless the pass text is empty or "0".
inline bool PassesTicked(std::string_view passes) { return !passes.empty() && passes != "0"; }

// Texts.
inline constexpr const char* kTextFillNumber = "Заполните поле номера пользователя";
inline constexpr const char* kTextNumberLength = "Номер телефона должен состоять из 10-ти цифр";
inline constexpr const char* kLogAddNumber = "Команда на добавление номера";
inline constexpr const char* kLogAddNumbers = "Команда на добавление номеров";
inline constexpr const char* kLogDeleteNumber = "Команда на удаление номера";
inline constexpr const char* kLogDeleteNumbers = "Команда на удаление номеров";
inline constexpr const char* kLogAddReply = "Ответ на запрос добавления номера";
inline constexpr const char* kLogDeleteReply = "Ответ на запрос удаления номера";
inline constexpr const char* kCaptionAddMany = "Добавить несколько";
inline constexpr const char* kCaptionAddOne = "Добавить один";
