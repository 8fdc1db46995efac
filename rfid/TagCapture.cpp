#include "rfid/TagCapture.h"

#include <algorithm>

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
    Close();
    FHandle = std::fopen(path.c_str(), "wb");
    if (FHandle == nullptr) return false;
    FCount = 0;
    return true;
}

void TTagRecordFile::Close() {
    if (FHandle != nullptr) std::fclose(FHandle);
    FHandle = nullptr;
}

void TTagRecordFile::Write(const std::string& phoneText) {
    if (FHandle == nullptr) return;
    const std::string line = TagRecordLine(phoneText);
    std::fwrite(line.data(), 1, line.size(), FHandle);
    std::fflush(FHandle);
    ++FCount;
}
