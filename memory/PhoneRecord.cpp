#include "memory/PhoneRecord.h"

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
    if (RecordTextBytes(row[colNumber]) > kMaxNumberBytes)
        RefuseCell("Номер", row[colNumber], "не более 10 символов");
    if (RecordTextBytes(row[colName]) > kMaxNameBytes)
        RefuseCell("Наименование", row[colName], "не более 19 символов");
    std::uint8_t passes = 0;
    if (!PassesFromText(row[colPasses], passes)) RefuseCell("Проходов", row[colPasses], "нужно число от 0 до 255");
    std::uint32_t expirySeconds = 0;
    std::string expiry = row[colExpiry];
    if (!expiry.empty()) {
        if (expiry.size() == 7) expiry = "0" + expiry;
        if (!ExpiryFromText(expiry, expirySeconds)) RefuseCell("Действует до", row[colExpiry], "нужна дата ддММгггг");
    }
    row[colExpiry] = expiry;

    PhoneRecord r;
    r[phone::Mark] = phone::MarkInUse;
    SetFieldText(r.data() + phone::Number, phone::NumberWidth, row[colNumber]);
    SetFieldText(r.data() + phone::Name, phone::NameWidth, row[colName]);
    const std::uint8_t access = IndexOfItem(kAccessTypeItems, row[colAccess]) & 0x03;
    const std::uint8_t type = IndexOfItem(kCodeTypeItems, row[colCodeType]) & 0x03;
    r[phone::Flags] = static_cast<std::uint8_t>(access | (type << 4));
    SetU32(r.data() + phone::Expiry, expirySeconds);
    r[phone::Passes] = passes;
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
    for (std::size_t i = 1; i < work.size(); ++i) {
        if (work[i][colNumber].empty()) continue;
        try {
            records.push_back(PhoneRowToRecord(work[i]));
        } catch (const EConvertError& e) {
            throw EConvertError("Строка " + std::to_string(i) + ", " + e.what());
        }
    }
    rows = std::move(work);
    return records;
}

std::vector<TPhoneGridRow> PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records) {
    if (records.empty()) return {};
    // Grid rows 1 .. count + 1, all empty; grid row k is rows[k - 1].
    std::vector<TPhoneGridRow> rows(records.size() + 1);
    std::size_t next = 1;
    for (const PhoneRecord& r : records) {
        const std::string number = GetFieldText(r.data() + phone::Number, phone::NumberWidth);
        std::size_t at = 0;
        for (std::size_t k = 1; k <= rows.size(); ++k)
            if (rows[k - 1][colNumber] == number) {
                at = k;
                break;
            }
        if (at == 0) at = next++;
        TPhoneGridRow& row = rows[at - 1];
        row[colRowNumber] = std::to_string(at);
        PhoneRecordToRow(r, row);
    }
    // Entries, then one empty row.
    rows.resize(next);
    rows.back() = TPhoneGridRow{};
    return rows;
}
