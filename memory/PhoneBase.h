#pragma once
// The number base as records: built from the number grid around a transfer or a file, or
// read from a device or a file before the grid shows it.
#include <cstdint>
#include <vector>

#include "memory/PhoneRecord.h"

extern std::vector<PhoneRecord> g_PhoneRecords;
extern std::uint32_t g_PhoneCount;  // always g_PhoneRecords.size()

// Replaces the records and their count together.
void SetPhoneRecords(std::vector<PhoneRecord> records);
