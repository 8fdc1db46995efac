#pragma once
// What a captured tag becomes: the label text, the key code the number base stores, and a
// line of the tag record file. Serial and USB-HID readers both deliver 12 TID bytes.
#include <cstddef>
#include <cstdint>
#include <mutex>
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

// Tag reports from the library's thread wait here for the GUI thread, which takes them all
// at once: a burst of tags (one report of thousands, or thousands of reports) is shown and
// recorded once per turn of the GUI loop, not once per tag.
class TTagBurst {
public:
    // Library's thread: queues a report's tags (as ParseHidTagReport reads them); true when
    // nothing was waiting, so that the GUI thread is to be asked to take them.
    bool Add(std::int32_t kind, std::int32_t count, const std::uint8_t* data, std::size_t size);
    // GUI thread: every tag waiting, in the order read.
    std::vector<TTid> Take();

private:
    std::mutex FLock;
    std::vector<TTid> FTags;
};

// The tag record file. Starting empties the chosen file (safely: an old one is replaced by an
// empty one); the lines of a burst of tags are then on the disk in that file, written and
// synced together, before they are counted, so a crash costs at most the burst being written.
class TTagRecordFile {
public:
    // Starts a recording; the count starts at 0. False (with Error()) when it cannot start.
    bool Create(const std::string& path);
    // Stops the recording; the file holds every line written.
    void Close() { FFile.Close(); }
    bool IsOpen() const { return FFile.IsOpen(); }
    // Appends the lines for the number editor's texts of a burst and counts them; nothing
    // while closed. False when they cannot be written: the recording then stops, the file
    // ending with the last whole line that still fitted.
    bool Write(const std::vector<std::string>& phoneTexts);
    // Lines written since recording started; kept after Close for the label.
    std::int32_t Count() const { return FCount; }
    const std::string& Path() const { return FFile.Path(); }
    const std::string& Error() const { return FFile.Error(); }

private:
    TAppendFile FFile;
    std::int32_t FCount = 0;
};

