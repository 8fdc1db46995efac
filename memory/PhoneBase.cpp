#include "memory/PhoneBase.h"

#include <utility>

std::vector<PhoneRecord> g_PhoneRecords;
std::uint32_t g_PhoneCount = 0;

void SetPhoneRecords(std::vector<PhoneRecord> records) {
    g_PhoneRecords = std::move(records);
    g_PhoneCount = static_cast<std::uint32_t>(g_PhoneRecords.size());
}
