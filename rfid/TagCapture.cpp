#include "rfid/TagCapture.h"

#include <algorithm>
#include <utility>

namespace {
std::string Hex(const std::uint8_t* b, std::size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        s += kDigits[b[i] >> 4];
        s += kDigits[b[i] & 0x0F];
    }
    return s;
}
}  // namespace

std::string TagLabelText(const TTid& tid) { return "RFID: " + Hex(tid.data(), tid.size()); }

std::string RfidTagNumber(const TTid& tid) { return Hex(tid.data() + 7, 5); }

std::string TagRecordLine(const std::string& phoneText) {
    return phoneText.substr(0, kRfidTagNumberDigits) + "\r\n";
}

std::string TagCountText(std::int32_t count) { return "Count: " + std::to_string(count); }

std::vector<TTid> ParseHidTagReport(std::int32_t kind, std::int32_t count,
                                    const std::uint8_t* data, std::size_t size) {
    std::vector<TTid> tags;
    if (kind != kHidReportTags || count <= 0 || data == nullptr) return tags;
    std::size_t at = 0;
    for (std::int32_t i = 0; i < count && at < size; ++i) {
        const std::size_t l = data[at];
        if (l >= kHidRecordTidOffset - 1 + kTidSize && at + kHidRecordTidOffset + kTidSize <= size) {
            TTid tid;
            std::copy_n(data + at + kHidRecordTidOffset, kTidSize, tid.begin());
            tags.push_back(tid);
        }
        at += l + 1;
    }
    return tags;
}

bool TTagRecordFile::Create(const std::string& path) {
    if (!FFile.Create(path)) return false;
    FCount = 0;
    return true;
}

bool TTagBurst::Add(std::int32_t kind, std::int32_t count, const std::uint8_t* data, std::size_t size) {
    const std::vector<TTid> tags = ParseHidTagReport(kind, count, data, size);
    if (tags.empty()) return false;
    std::lock_guard<std::mutex> g(FLock);
    const bool first = FTags.empty();
    FTags.insert(FTags.end(), tags.begin(), tags.end());
    return first;
}

std::vector<TTid> TTagBurst::Take() {
    std::lock_guard<std::mutex> g(FLock);
    return std::exchange(FTags, {});
}

bool TTagRecordFile::Write(const std::vector<std::string>& phoneTexts) {
    if (!FFile.IsOpen()) return true;
    std::string lines;
    for (const std::string& text : phoneTexts) lines += TagRecordLine(text);
    if (FFile.Append(lines)) {
        FCount += static_cast<std::int32_t>(phoneTexts.size());
        return true;
    }
    // The disk filled up within the burst: each line that still fits is kept.
    for (const std::string& text : phoneTexts) {
        if (!FFile.Append(TagRecordLine(text))) {
            FFile.Close();
            return false;
        }
        ++FCount;
    }
    return true;
}

