#include "firmware/UpdateServer.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Format.h"

namespace {
// Leading decimal digits of text from pos, cut to 8 bits; 0 when there are none. The low
// 8 bits follow the digits exactly however long the number is.
unsigned LowByteOfLeadingDigits(const std::string& text, std::size_t pos) {
    unsigned v = 0;
    for (std::size_t i = pos; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = (v * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFF;
    return v;
}
}  // namespace

std::string FirmwareQuery(std::uint8_t deviceType) { return Format("Get_FW,type=%d", deviceType); }

std::string ConfiguratorQuery() { return "Get_CONFUPD:Zentor#"; }

std::string UpdateReplyText(const std::uint8_t* bytes, std::size_t n) {
    if (bytes == nullptr) return {};
    n = std::min(n, kUpdReplyMax);
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(bytes, 0, n));
    const std::size_t len = end ? static_cast<std::size_t>(end - bytes) : n;
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), len));
}

bool CompareBuildFW(const std::string& deviceFwLabel, const std::string& reply) {
    const std::size_t fw = reply.find("fw");
    if (fw == std::string::npos) return false;
    const unsigned device = LowByteOfLeadingDigits(deviceFwLabel, 4);
    const unsigned server = LowByteOfLeadingDigits(reply, fw + 2);
    return device < server;
}

bool CompareConfiguratorVersion(const std::string& reply, const std::string& programVersion) {
    const std::size_t v = reply.find("_v");
    if (v == std::string::npos) return false;
    std::string version = reply.substr(v + 2);
    const std::size_t ext = version.find(".e");
    if (ext != std::string::npos) version.erase(ext, 5);
    return version.compare(programVersion) > 0;
}

bool ConfiguratorOffered(const std::string& reply, const std::string& programVersion) {
    return reply.find("Zentor") != std::string::npos &&
           CompareConfiguratorVersion(reply, programVersion);
}

std::string UpdateServerErrorText(int code) { return "Update Server Error: " + std::to_string(code); }

std::string DownloadServerErrorText(int code) { return "Error download server " + std::to_string(code); }
