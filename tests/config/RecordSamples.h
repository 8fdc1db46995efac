#pragma once
// Configuration records laid out by hand for the tests.
#include <cstring>
#include <initializer_list>

#include "config/ConfigRecord.h"

namespace recordsamples {

inline void Put(ConfigRecord& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (auto b : bytes) r[at++] = b;
}
inline void PutText(ConfigRecord& r, std::size_t at, const char* text) {
    std::memcpy(r.data() + at, text, std::strlen(text));
}

// A record as a device might send it: every field set, Cyrillic texts in Windows-1251.
inline ConfigRecord DeviceRecord() {
    ConfigRecord r;
    Put(r, 0, {0xAD, 0x01, 0x01, 0x02, 0x00, 0x11, 0x22, 0x33, 0x44});
    Put(r, 9, {0x39, 0x30});   // 12345
    Put(r, 11, {0xE8, 0x03});  // 1000
    r[13] = 0xDF;              // every bit but the unused bit 5
    r[14] = 5;
    PutText(r, 15, "\xE8\xED\xF2\xE5\xF0\xED\xE5\xF2");  // "интернет"
    PutText(r, 55, "1234");
    r[60] = 0x01;
    PutText(r, 66, "srv.example.net");
    Put(r, 90, {0x50, 0x00});  // 80
    PutText(r, 92, "ntp.example.net");
    Put(r, 116, {0x7B, 0x00});
    PutText(r, 118, "+79001234567");
    Put(r, 134, {0, 200, 3, 250});
    Put(r, 138, {0x01, 1, 2, 0x02, 3, 4, 0x04, 5, 6, 0x08, 7, 8, 0x10, 9, 10, 0x20, 11, 12, 0x40, 22, 23});
    r[159] = 7;
    r[160] = 0xFD;  // -3
    Put(r, 161, {4, 5, 6, 0x1F, 30, 45, 0x41, 10, 5, 4, 255});
    Put(r, 172, {0xFF, 0xFF});
    PutText(r, 176, "*102#");
    Put(r, 192, {7, 2, 3});
    SealConfigRecord(r);
    return r;
}

}  // namespace recordsamples
