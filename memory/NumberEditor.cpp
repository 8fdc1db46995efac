#include "memory/NumberEditor.h"

#include <algorithm>

#include "config/RecordBytes.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

std::uint32_t AddRecordExpiry(TDateTime endDate, TDateTime now) {
    const TDateTime day = DateOf(endDate);
    if (day.Val < now.Val) return 0;
    const std::int64_t seconds = DateTimeToUnix(day);
    if (seconds < 0 || seconds > 0xFFFFFFFFLL) throw EConvertError("Invalid argument to date encode");
    return static_cast<std::uint32_t>(seconds);
}

PhoneRecord BuildAddRecord(std::string_view number, const TNumberEditorValues& v, TDateTime now) {
    PhoneRecord r;
    r[phone::Mark] = phone::MarkInUse;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, number);
    SetFieldText(r.data() + phone::Name, phone::NameWidth, v.Name);
    r[phone::Flags] = static_cast<std::uint8_t>((v.AccessIndex & 0x03) | ((v.CodeTypeIndex & 0x03) << 4));
    SetU32(r.data() + phone::Expiry, v.KeptExpiry ? *v.KeptExpiry : AddRecordExpiry(v.EndDate, now));
    r[phone::Passes] = static_cast<std::uint8_t>(v.Passes);
    r[phone::Schedule] = static_cast<std::uint8_t>(v.ScheduleIndex);
    return r;
}

PhoneRecord BuildDeleteRecord(std::string_view number) {
    PhoneRecord r;
    r[phone::Mark] = phone::MarkDelete;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, number);
    return r;
}

std::string CheckSingleNumber(std::string_view number) {
    if (number.empty()) return kTextFillNumber;
    if (utf8::Length(number) != kNumberLength) return kTextNumberLength;
    return {};
}

std::string CheckAddValues(const std::string& name, std::size_t nameLimit, const std::string& passes) {
    const std::size_t limit = nameLimit == 0 ? kMaxNameBytes : std::min(nameLimit, kMaxNameBytes);
    if (RecordTextBytes(name) > limit) return "Наименование: не более " + std::to_string(limit) + " символов";
    std::uint8_t value = 0;
    if (!PassesFromText(passes, value)) return "Проходов: \"" + passes + "\" — нужно число от 0 до 255";
    return {};
}

std::vector<std::string> ManyNumbersLines(const std::vector<std::string>& memoLines) {
    std::vector<std::string> out;
    for (const std::string& line : memoLines)
        if (utf8::Length(line) == kNumberLength) out.push_back(line);
    return out;
}

namespace {

template <class Build>
std::vector<std::uint8_t> RecordsData(const std::vector<std::string>& numbers, std::size_t* leftOut,
                                      Build build) {
    // Never more than the command's buffer holds.
    const std::size_t n = std::min(numbers.size(), kMaxNumbersPerCommand);
    if (leftOut) *leftOut = numbers.size() - n;
    std::vector<std::uint8_t> data;
    data.reserve(n * kPhoneRecordSize);
    for (std::size_t i = 0; i < n; ++i) {
        const PhoneRecord r = build(numbers[i]);
        data.insert(data.end(), r.Bytes.begin(), r.Bytes.end());
    }
    return data;
}

}  // namespace

std::vector<std::uint8_t> AddNumbersData(const std::vector<std::string>& numbers,
                                         const TNumberEditorValues& values, TDateTime now,
                                         std::size_t* leftOut) {
    return RecordsData(numbers, leftOut,
                       [&](const std::string& number) { return BuildAddRecord(number, values, now); });
}

std::vector<std::uint8_t> DeleteNumbersData(const std::vector<std::string>& numbers, std::size_t* leftOut) {
    return RecordsData(numbers, leftOut, [](const std::string& number) { return BuildDeleteRecord(number); });
}

std::string NumberResultText(TNumberCommand command, std::span<const std::uint8_t> results,
                             const std::vector<std::string>& numbers, const std::string& singleNumber) {
    const bool add = command == TNumberCommand::Add;
    if (results.empty()) return {};
    if (results.size() == 1) {
        if (results[0] != 0) return add ? "Номер не добавлен!" : "Номер не удален! Возможно отсутствует в памяти";
        return (add ? "Добавлен номер: " : "Удален номер: ") + singleNumber;
    }
    std::size_t done = 0;
    std::string list;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] != 0) continue;
        ++done;
        // A result beyond the records sent names no number.
        if (i < numbers.size()) list += numbers[i] + ", ";
    }
    return (add ? "Добавлено номеров " : "Удалено номеров ") + std::to_string(done) + " из " +
           std::to_string(results.size()) + "\r\n" + list;
}

bool ExpiryCellToDate(std::string_view cell, TDateTime& date) {
    // The picker holds the day of an expiry within a day; an add keeps its time (KeptRowExpiry).
    if (cell.size() == 17 && cell[8] == ' ') cell = cell.substr(0, 8);
    std::string day, month, year;
    if (cell.size() == 7) {
        day = "0" + std::string(cell.substr(0, 1));
        month = cell.substr(1, 2);
        year = cell.substr(3, 4);
    } else if (cell.size() == 8) {
        day = cell.substr(0, 2);
        month = cell.substr(2, 2);
        year = cell.substr(4, 4);
    } else {
        return false;
    }
    return TryStrToDateTime(day + "." + month + "." + year + " 00:00:00", date);
}

int EditorItemOfCell(int column, const std::string& cell) {
    const std::size_t items = column == colAccess     ? kAccessTypeItems.size()
                              : column == colSchedule ? kSheduleItems.size()
                                                      : kCodeTypeItems.size();
    std::uint8_t index = 0;
    return IndexOfCellText(column, cell, index) && index < items ? index : -1;
}

std::string EditorComboValue(int column, int itemIndex, const std::string& rowCell, int& value) {
    value = itemIndex;
    if (itemIndex >= 0) return {};
    std::uint8_t index = 0;
    if (IndexOfCellText(column, rowCell, index)) {
        value = index;
        return {};
    }
    const char* caption = column == colAccess ? "Права" : column == colSchedule ? "Расписание" : "Тип записи";
    return std::string(caption) + ": \"" + rowCell + "\" — нет в списке";
}

std::optional<std::uint32_t> KeptRowExpiry(const std::string& rowCell, bool dated, TDateTime pickerDate) {
    std::uint32_t seconds = 0;
    if (!dated || !ExpiryCellSeconds(rowCell, seconds)) return std::nullopt;
    if (DateOf(UnixToDateTime(seconds)).Val != DateOf(pickerDate).Val) return std::nullopt;
    return seconds;
}
