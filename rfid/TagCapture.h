#pragma once
// What a captured tag becomes: the label text, the key code the number base stores, and a
// line of the tag record file. Serial and USB-HID readers both deliver 12 TID bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "rfid/ReaderFrame.h"

inline constexpr const char* kRfidNoTag = "RFID: no tag";
inline constexpr std::size_t kRfidTagNumberDigits = 10;

// "RFID: " and the 12 bytes as 24 upper-case hexadecimal digits.
std::string TagLabelText(const TTid& tid);
// The key code: the last 5 bytes as 10 upper-case hexadecimal digits.
std::string RfidTagNumber(const TTid& tid);
// A line of the record file: the first 10 characters of the number editor's text, CR LF.
std::string TagRecordLine(const std::string& phoneText);
// "Count: 3"
std::string TagCountText(std::int32_t count);

// The USB-HID library's report: only kind 2 with a nonzero count carries tags, count
// records of L, two bytes, 12 TID bytes, the next record L + 1 bytes further. size bounds
// what may be read: records that would reach past it, or whose L is too small for a TID,
// are not taken.
inline constexpr std::int32_t kHidReportTags = 2;
inline constexpr std::size_t kHidRecordTidOffset = 3;
std::vector<TTid> ParseHidTagReport(std::int32_t kind, std::int32_t count,
                                    const std::uint8_t* data, std::size_t size);

// The tag record file: created empty when recording starts, a line per captured tag.
class TTagRecordFile {
public:
    TTagRecordFile() = default;
    ~TTagRecordFile() { Close(); }
    TTagRecordFile(const TTagRecordFile&) = delete;
    TTagRecordFile& operator=(const TTagRecordFile&) = delete;

    // Creates (or empties) the file; the count starts at 0. False when it cannot be created.
    bool Create(const std::string& path);
    void Close();
    bool IsOpen() const { return FHandle != nullptr; }
    // Appends the line for the number editor's text and counts it; nothing while closed.
    void Write(const std::string& phoneText);
    // Lines written since recording started; kept after Close for the label.
    std::int32_t Count() const { return FCount; }

private:
    std::FILE* FHandle = nullptr;
    std::int32_t FCount = 0;
};
