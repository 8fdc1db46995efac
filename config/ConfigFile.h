#pragma once
// The ".fcg" configuration file: a 16-byte header ("MX", format 0x0B, chunk count, zeros)
// and chunks of type (u8), length (u16) and data: 1 = the configuration record, 0x64 = the
// number base (length = record count, 64 bytes each).
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigRecord.h"
#include "memory/PhoneRecord.h"

inline constexpr std::size_t kConfigFileHeaderSize = 16;
inline constexpr std::uint8_t kConfigFileFormat = 0x0B;
inline constexpr std::uint8_t kChunkConfigRecord = 0x01;
inline constexpr std::uint8_t kChunkNumbers = 0x64;

// Path of the current configuration file, kept in the settings file.
extern std::string g_ConfigPath;
// SetConfigPath: every path but the text "device" becomes the current path.
void ApplyConfigPath(const std::string& path);

// The bytes of a file holding record and numbers (at most 65535 numbers fit the chunk).
std::vector<std::uint8_t> BuildConfigFile(const ConfigRecord& record,
                                          const std::vector<PhoneRecord>& numbers);
// Replaces the file through a synced temporary file, so that a failed save never leaves a
// half-written configuration behind. False when anything fails.
bool SaveConfigFile(const std::string& path, const ConfigRecord& record,
                    const std::vector<PhoneRecord>& numbers);

enum class TConfigFileRead {
    Opened,         // the contents are filled
    CannotOpen,     // no such file, no access, or not a regular file
    NotConfigFile,  // wrong magic or format byte: nothing is to change (message 47)
};

struct TConfigFileContents {
    // The current record with the file's record bytes laid over it; a record chunk cut
    // short by the end of the file leaves the rest as it was.
    ConfigRecord Record;
    // Set when the file has a number chunk: the numbers to show, possibly none (then the
    // grid is emptied). Records cut short by the end of the file stay zero.
    std::optional<std::vector<PhoneRecord>> Numbers;
};

TConfigFileRead ReadConfigFile(std::istream& in, const ConfigRecord& current,
                               TConfigFileContents& contents);
TConfigFileRead OpenConfigFile(const std::string& path, const ConfigRecord& current,
                               TConfigFileContents& contents);
