#include "memory/PhoneRecord.h"

#include <cstdio>
#include <unordered_map>

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
    PhoneRecord r;
    r[phone::Mark] = phone::MarkInUse;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, row[colNumber]);
    SetFieldText(r.data() + phone::Name, phone::NameWidth, row[colName]);
    const std::uint8_t access = IndexOfItem(kAccessTypeItems, row[colAccess]) & 0x03;
    const std::uint8_t type = IndexOfItem(kCodeTypeItems, row[colCodeType]) & 0x03;
    r[phone::Flags] = static_cast<std::uint8_t>(access | (type << 4));
    std::string& expiry = row[colExpiry];
    if (!expiry.empty()) {
        if (expiry.size() == 7) expiry = "0" + expiry;
        SetU32(r.data() + phone::Expiry, ExpiryFromText(expiry));
    }
    r[phone::Passes] = static_cast<std::uint8_t>(EditInt(row[colPasses]));
    r[phone::Schedule] = IndexOfItem(kSheduleItems, row[colSchedule]);
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

std::vector<PhoneRecord> PhoneGridToRecords(std::vector<TPhoneGridRow>& rows) {
    std::vector<PhoneRecord> records;
    // Work on a copy so that a conversion error leaves the grid's texts as they were.
    std::vector<TPhoneGridRow> work = rows;
    for (std::size_t i = 1; i < work.size(); ++i)
        if (!work[i][colNumber].empty()) records.push_back(PhoneRowToRecord(work[i]));
    rows = std::move(work);
    return records;
}

std::vector<TPhoneGridRow> PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records) {
    if (records.empty()) return {};
    // Grid rows 1 .. count + 1, all empty; grid row k is rows[k - 1].
    std::vector<TPhoneGridRow> rows(records.size() + 1);
    // The grid row of each number shown so far, so that a base of thousands fills in one pass.
    std::unordered_map<std::string, std::size_t> rowOf;
    rowOf.reserve(records.size());
    std::size_t next = 1;
    for (const PhoneRecord& r : records) {
        std::string number = GetFieldText(r.data() + phone::Number, phone::NumberWidth);
        std::size_t at = next;
        if (number.empty()) {
            // The first empty row is always the next new one, which a later record takes over.
        } else if (const auto [it, added] = rowOf.try_emplace(std::move(number), next); added) {
            ++next;
        } else {
            at = it->second;
        }
        TPhoneGridRow& row = rows[at - 1];
        row[colRowNumber] = std::to_string(at);
        PhoneRecordToRow(r, row);
    }
    // Entries, then one empty row.
    rows.resize(next);
    rows.back() = TPhoneGridRow{};
    return rows;
}
