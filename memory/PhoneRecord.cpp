#include "memory/PhoneRecord.h"

#include <algorithm>
#include <cstdio>

#include "config/CivilDays.h"
#include "config/RecordBytes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The refusal of a cell, named by its column's header.
[[noreturn]] void RefuseCell(const char* header, const std::string& value, const char* wanted) {
    throw EConvertError(std::string("столбец \"") + header + "\": \"" + value + "\" — " + wanted);
}

// Day, month and year at characters 1-2, 3-4 and 5-8 of eight digits; false for any other
// text, a day the calendar lacks, or one that 32-bit seconds cannot hold.
bool ExpiryFromText(const std::string& text, std::uint32_t& localSeconds) {
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const auto part = [&](std::size_t at, std::size_t n) { return std::stoi(text.substr(at, n)); };
    std::int64_t seconds = 0;
    if (!LocalSecondsFromDate(part(4, 4), part(2, 2), part(0, 2), seconds) || seconds < 0 || seconds > 0xFFFFFFFFLL)
        return false;
    localSeconds = static_cast<std::uint32_t>(seconds);
    return true;
}

// A 7-digit expiry is missing the leading zero of its day.
std::string FullExpiryText(const std::string& text) { return text.size() == 7 ? "0" + text : text; }
void FixExpiryText(std::string& text) {
    if (text.size() == 7) text.insert(0, 1, '0');
}

// The record of one row; cell(column) reads the row's texts. A value the record cannot hold
// is refused, naming its column, never cut or wrapped.
template <class Cell>
PhoneRecord RecordOf(const Cell& cell) {
    const std::string& number = cell(colNumber);
    const std::string& name = cell(colName);
    if (RecordTextBytes(number) > kMaxNumberBytes) RefuseCell("Номер", number, "не более 10 символов");
    if (RecordTextBytes(name) > kMaxNameBytes) RefuseCell("Наименование", name, "не более 19 символов");
    std::uint8_t passes = 0;
    if (!PassesFromText(cell(colPasses), passes)) RefuseCell("Проходов", cell(colPasses), "нужно число от 0 до 255");
    std::uint32_t expiry = 0;
    if (!cell(colExpiry).empty() && !ExpiryFromText(FullExpiryText(cell(colExpiry)), expiry))
        RefuseCell("Действует до", cell(colExpiry), "нужна дата ддММгггг");

    PhoneRecord r;
    r[phone::Mark] = phone::MarkInUse;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, number);
    SetFieldText(r.data() + phone::Name, phone::NameWidth, name);
    const std::uint8_t access = IndexOfItem(kAccessTypeItems, cell(colAccess)) & 0x03;
    const std::uint8_t type = IndexOfItem(kCodeTypeItems, cell(colCodeType)) & 0x03;
    r[phone::Flags] = static_cast<std::uint8_t>(access | (type << 4));
    SetU32(r.data() + phone::Expiry, expiry);
    r[phone::Passes] = passes;
    r[phone::Schedule] = IndexOfItem(kSheduleItems, cell(colSchedule));
    return r;
}

std::string ItemText(std::span<const std::string_view> items, unsigned index) {
    return index < items.size() ? std::string(items[index]) : std::string();
}

}  // namespace

std::uint8_t IndexOfItem(std::span<const std::string_view> items, std::string_view text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<std::uint8_t>(i);
    return 0;
}

std::string ExpiryToText(std::uint32_t localSeconds) {
    const TCivilTime c = CivilFromLocalSeconds(localSeconds);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d", c.Day, c.Month, c.Year);
    return buf;
}

std::size_t RecordTextBytes(std::string_view text) { return Utf8ToCp1251(text).size(); }

bool PassesFromText(const std::string& text, std::uint8_t& passes) {
    int value = 0;
    if (!text.empty() && !TryStrToInt(text, value)) return false;
    if (value < 0 || value > kMaxPasses) return false;
    passes = static_cast<std::uint8_t>(value);
    return true;
}

PhoneRecord PhoneRowToRecord(TPhoneGridRow& row) {
    PhoneRecord r = RecordOf([&row](int c) -> const std::string& { return row[c]; });
    FixExpiryText(row[colExpiry]);
    return r;
}

void PhoneRecordToRow(const PhoneRecord& r, TPhoneGridRow& row) {
    row[colNumber] = GetFieldText(r.data() + phone::Number, phone::NumberWidth);
    row[colName] = GetFieldText(r.data() + phone::Name, phone::NameWidth);
    row[colAccess] = ItemText(kAccessTypeItems, r[phone::Flags] & 0x03);
    const std::uint32_t expiry = GetU32(r.data() + phone::Expiry);
    row[colExpiry] = expiry == 0 ? std::string() : ExpiryToText(expiry);
    row[colPasses] = std::to_string(r[phone::Passes]);
    row[colSchedule] = ItemText(kSheduleItems, r[phone::Schedule]);
    row[colCodeType] = ItemText(kCodeTypeItems, (r[phone::Flags] >> 4) & 0x03);
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
