#include "memory/PhoneRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/CivilDays.h"
#include "config/RecordBytes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

constexpr const char* kNotAnItem = "нет в списке";

// The refusal of a cell, named by its column's header.
[[noreturn]] void RefuseCell(const char* header, const std::string& value, const char* wanted) {
    throw EConvertError(std::string("столбец \"") + header + "\": \"" + value + "\" — " + wanted);
}

// Day, month and year at characters 1-2, 3-4 and 5-8 of eight digits, and the hour, minute
// and second after them for an expiry a controller keeps at another time than midnight;
// false for any other text, a day the calendar lacks, or one that 32-bit seconds cannot hold.
bool ExpiryFromText(const std::string& text, std::uint32_t& localSeconds) {
    const auto digits = [&](std::size_t at, std::size_t n) {
        return text.substr(at, n).find_first_not_of("0123456789") == std::string::npos;
    };
    const auto part = [&](std::size_t at, std::size_t n) { return std::stoi(text.substr(at, n)); };
    std::int64_t time = 0;
    if (text.size() == 17 && text[8] == ' ' && text[11] == ':' && text[14] == ':') {
        if (!digits(9, 2) || !digits(12, 2) || !digits(15, 2)) return false;
        if (part(9, 2) > 23 || part(12, 2) > 59 || part(15, 2) > 59) return false;
        time = part(9, 2) * 3600 + part(12, 2) * 60 + part(15, 2);
    } else if (text.size() != 8) {
        return false;
    }
    if (!digits(0, 8)) return false;
    std::int64_t seconds = 0;
    if (!LocalSecondsFromDate(part(4, 4), part(2, 2), part(0, 2), seconds)) return false;
    seconds += time;
    if (seconds < 0 || seconds > 0xFFFFFFFFLL) return false;
    localSeconds = static_cast<std::uint32_t>(seconds);
    return true;
}

std::string ExpiryCellText(std::uint32_t localSeconds) {
    if (localSeconds == 0) return {};
    std::string text = ExpiryToText(localSeconds);
    if (localSeconds % 86400 != 0) {
        const TCivilTime c = CivilFromLocalSeconds(localSeconds);
        char buf[32];
        std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", c.Hour, c.Minute, c.Second);
        text += buf;
    }
    return text;
}

// The index a cell names. Empty is the first item, as in a row typed into the grid.
bool IndexOfCell(std::span<const std::string_view> items, const std::string& text, std::uint8_t& index) {
    index = 0;
    if (text.empty()) return true;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) {
            index = static_cast<std::uint8_t>(i);
            return true;
        }
    return false;
}

// Schedules past the editor's seven are named the same way, up to what the byte holds.
bool ScheduleOfCell(const std::string& text, std::uint8_t& index) {
    if (IndexOfCell(kSheduleItems, text, index)) return true;
    if (!text.starts_with(kScheduleTextPrefix)) return false;
    const std::string n = text.substr(kScheduleTextPrefix.size());
    if (n.empty() || n.size() > 3 || n[0] == '0' || n.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(n) > 255)
        return false;
    index = static_cast<std::uint8_t>(std::stoi(n));
    return true;
}

bool CodeTypeOfCell(const std::string& text, std::uint8_t& index) {
    if (IndexOfCell(kCodeTypeItems, text, index)) return true;
    index = 3;
    return text == kCodeType3Text;
}

// A 7-digit expiry is missing the leading zero of its day.
std::string FullExpiryText(const std::string& text) { return text.size() == 7 ? "0" + text : text; }
void FixExpiryText(std::string& text) {
    if (text.size() == 7) text.insert(0, 1, '0');
}

// Writes text into the record's field in Windows-1251, zero-filled; false when it needs more
// bytes than the field holds before its terminating zero.
bool PutFieldText(PhoneRecord& r, std::size_t at, std::size_t width, std::string_view text) {
    std::memset(r.data() + at, 0, width);
    return Utf8ToCp1251(text, reinterpret_cast<char*>(r.data() + at), width) < width;
}

// The record of one row; cell(column) reads the row's texts. A value the record cannot hold
// is refused, naming its column, never cut or wrapped.
template <class Cell>
PhoneRecord RecordOf(const Cell& cell) {
    PhoneRecord r;
    const std::string& number = cell(colNumber);
    const std::string& name = cell(colName);
    if (!PutFieldText(r, phone::Number, phone::NumberWidth, number))
        RefuseCell("Номер", number, "не более 10 символов");
    if (!PutFieldText(r, phone::Name, phone::NameWidth, name)) RefuseCell("Наименование", name, "не более 19 символов");
    std::uint8_t passes = 0;
    if (!PassesFromText(cell(colPasses), passes)) RefuseCell("Проходов", cell(colPasses), "нужно число от 0 до 255");
    std::uint32_t expiry = 0;
    if (!cell(colExpiry).empty() && !ExpiryCellSeconds(cell(colExpiry), expiry))
        RefuseCell("Действует до", cell(colExpiry), "нужна дата ддММгггг");
    // A text no item names is refused, never taken as the first item: that could lift a
    // restriction without a word.
    std::uint8_t access = 0, schedule = 0, type = 0;
    if (!IndexOfCellText(colAccess, cell(colAccess), access)) RefuseCell("Права", cell(colAccess), kNotAnItem);
    if (!IndexOfCellText(colSchedule, cell(colSchedule), schedule))
        RefuseCell("Расписание", cell(colSchedule), kNotAnItem);
    if (!IndexOfCellText(colCodeType, cell(colCodeType), type))
        RefuseCell("Тип записи", cell(colCodeType), kNotAnItem);

    r[phone::Mark] = phone::MarkInUse;
    r[phone::Flags] = static_cast<std::uint8_t>(access | (type << 4));
    SetU32(r.data() + phone::Expiry, expiry);
    r[phone::Passes] = passes;
    r[phone::Schedule] = schedule;
    return r;
}

}  // namespace

std::string ExpiryToText(std::uint32_t localSeconds) {
    const TCivilTime c = CivilFromLocalSeconds(localSeconds);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d", c.Day, c.Month, c.Year);
    return buf;
}

bool ExpiryCellSeconds(const std::string& cell, std::uint32_t& localSeconds) {
    return ExpiryFromText(FullExpiryText(cell), localSeconds);
}

bool IndexOfCellText(int column, const std::string& text, std::uint8_t& index) {
    switch (column) {
    case colAccess: return IndexOfCell(kAccessTypeItems, text, index);
    case colSchedule: return ScheduleOfCell(text, index);
    case colCodeType: return CodeTypeOfCell(text, index);
    default: return false;
    }
}

// One byte for each character or malformed byte, as Utf8ToCp1251 writes them.
std::size_t RecordTextBytes(std::string_view text) { return utf8::Length(text); }

bool PassesFromText(const std::string& text, std::uint8_t& passes) {
    int value = 0;
    if (!text.empty() && !TryStrToInt(text, value)) return false;
    if (value < 0 || value > kMaxPasses) return false;
    passes = static_cast<std::uint8_t>(value);
    return true;
}

bool PhoneRowMakesRecord(const TPhoneGridRow& row) {
    try {
        RecordOf([&row](int c) -> const std::string& { return row[c]; });
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

PhoneRecord PhoneRowToRecord(TPhoneGridRow& row) {
    PhoneRecord r = RecordOf([&row](int c) -> const std::string& { return row[c]; });
    FixExpiryText(row[colExpiry]);
    return r;
}

void PhoneRecordToRow(const PhoneRecord& r, TPhoneGridRow& row) {
    row[colNumber] = GetFieldText(r.data() + phone::Number, phone::NumberWidth);
    row[colName] = GetFieldText(r.data() + phone::Name, phone::NameWidth);
    row[colAccess] = kAccessTypeItems[r[phone::Flags] & 0x03];
    row[colExpiry] = ExpiryCellText(GetU32(r.data() + phone::Expiry));
    row[colPasses] = std::to_string(r[phone::Passes]);
    const std::uint8_t schedule = r[phone::Schedule];
    row[colSchedule] = schedule < kSheduleItems.size() ? std::string(kSheduleItems[schedule])
                                                       : std::string(kScheduleTextPrefix) + std::to_string(schedule);
    const unsigned type = (r[phone::Flags] >> 4) & 0x03;
    row[colCodeType] = type < kCodeTypeItems.size() ? kCodeTypeItems[type] : kCodeType3Text;
}

std::vector<PhoneRecord> PhoneGridToRecords(int rowCount, const TPhoneCellReader& cell, std::vector<int>& fixedExpiry) {
    std::vector<PhoneRecord> records;
    records.reserve(static_cast<std::size_t>(std::max(rowCount, 0)));
    for (int r = 1; r < rowCount; ++r) {
        if (cell(colNumber, r).empty()) continue;
        try {
            records.push_back(RecordOf([&](int c) -> const std::string& { return cell(c, r); }));
        } catch (const EConvertError& e) {
            throw EConvertError("Строка " + std::to_string(r) + ", " + e.what());
        }
        if (cell(colExpiry, r).size() == 7) fixedExpiry.push_back(r);
    }
    return records;
}

std::vector<PhoneRecord> PhoneGridToRecords(std::vector<TPhoneGridRow>& rows) {
    std::vector<int> fixedExpiry;
    std::vector<PhoneRecord> records = PhoneGridToRecords(
        static_cast<int>(rows.size()), [&rows](int c, int r) -> const std::string& { return rows[r][c]; }, fixedExpiry);
    for (int r : fixedExpiry) FixExpiryText(rows[r][colExpiry]);
    return records;
}
