#pragma once
#include <cstdint>
#include <string>

// count bytes as upper-case hexadecimal, two digits each, no separator.
std::string BytesToHex(const std::uint8_t* bytes, std::uint16_t count);
