#pragma once
// What a captured tag becomes: the label text, the key code the number base stores, and a
// line of the tag record file. Serial and USB-HID readers both deliver 12 TID bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/SafeFile.h"
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

// The tag record file. Starting empties the chosen file (safely: an old one is replaced by an
// empty one); every tag's line is then on the disk in that file before it is counted, so a
// crash costs at most the tag being written.
class TTagRecordFile {
public:
    // Starts a recording; the count starts at 0. False (with Error()) when it cannot start.
    bool Create(const std::string& path);
    // Stops the recording; the file holds every line written.
    void Close() { FFile.Close(); }
    bool IsOpen() const { return FFile.IsOpen(); }
    // Appends the line for the number editor's text and counts it; nothing while closed.
    // False when the line cannot be written: the recording then stops, the file ending with
    // the last whole line.
    bool Write(const std::string& phoneText);
    // Lines written since recording started; kept after Close for the label.
    std::int32_t Count() const { return FCount; }
    const std::string& Path() const { return FFile.Path(); }
    const std::string& Error() const { return FFile.Error(); }

private:
    TAppendFile FFile;
    std::int32_t FCount = 0;
};

// "Запись меток остановлена: <reason>", for a recording stopped by a failed write.
std::string TagRecordStoppedText(const std::string& reason);
