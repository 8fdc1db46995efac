#include "config/ConfigRecord.h"

#include <algorithm>
#include <cstring>

#include "config/RecordBytes.h"
#include "device/DeviceFrame.h"

ConfigRecord g_ConfigRecord;

void SealConfigRecord(ConfigRecord& record) {
    SetU16(record.data() + cfg::Crc, CalcCRC16(record.data(), cfg::Crc));
}

bool ConfigRecordCrcOk(const ConfigRecord& record) {
    return GetU16(record.data() + cfg::Crc) == CalcCRC16(record.data(), cfg::Crc);
}

void ApplyConfigRecordBytes(ConfigRecord& record, const std::uint8_t* bytes, std::size_t n) {
    n = std::min(n, kConfigRecordSize);
    if (bytes != nullptr && n > 0) std::memcpy(record.data(), bytes, n);
}

std::array<std::uint8_t, kConfigRecordSize + 3> ConfigWriteRequestData(const ConfigRecord& record) {
    std::array<std::uint8_t, kConfigRecordSize + 3> data{};
    data[0] = 0x00;
    SetU16(data.data() + 1, static_cast<std::uint16_t>(kConfigRecordSize));
    std::memcpy(data.data() + 3, record.data(), kConfigRecordSize);
    return data;
}
