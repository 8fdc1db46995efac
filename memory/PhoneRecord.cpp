#include "memory/PhoneRecord.h"

#include <algorithm>
#include <cstdio>

#include "config/CivilDays.h"
#include "config/RecordBytes.h"
#include "platform/rtl/SysUtils.h"

namespace {

int EditInt(const std::string& text) { return text.empty() ? 0 : StrToInt(text); }

// Day, month and year at characters 1-2, 3-4 and 5-8, converted as the class library does.
std::uint32_t ExpiryFromText(const std::string& text) {
    const auto part = [&](std::size_t at, std::size_t n) {
        return StrToInt(at < text.size() ? std::string_view(text).substr(at, n) : std::string_view());
    };
    const int day = part(0, 2), month = part(2, 2), year = part(4, 4);
    std::int64_t seconds = 0;
    if (!LocalSecondsFromDate(year, month, day, seconds) || seconds < 0 || seconds > 0xFFFFFFFFLL)
        throw EConvertError("Invalid argument to date encode");
    return static_cast<std::uint32_t>(seconds);
}

// A 7-digit expiry is missing the leading zero of its day.
std::string FullExpiryText(const std::string& text) { return text.size() == 7 ? "0" + text : text; }
void FixExpiryText(std::string& text) {
    if (text.size() == 7) text.insert(0, 1, '0');
}

// The record of one row; cell(column) reads the row's texts.
template <class Cell>
PhoneRecord RecordOf(const Cell& cell) {
    PhoneRecord r;
    r[phone::Mark] = phone::MarkInUse;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, cell(colNumber));
    SetFieldText(r.data() + phone::Name, phone::NameWidth, cell(colName));
    const std::uint8_t access = IndexOfItem(kAccessTypeItems, cell(colAccess)) & 0x03;
    const std::uint8_t type = IndexOfItem(kCodeTypeItems, cell(colCodeType)) & 0x03;
    r[phone::Flags] = static_cast<std::uint8_t>(access | (type << 4));
    if (!cell(colExpiry).empty()) SetU32(r.data() + phone::Expiry, ExpiryFromText(FullExpiryText(cell(colExpiry))));
    r[phone::Passes] = static_cast<std::uint8_t>(EditInt(cell(colPasses)));
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
        records.push_back(RecordOf([&](int c) -> const std::string& { return cell(c, r); }));
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
