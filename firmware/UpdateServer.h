#pragma once
// The update server's queries and replies: one plain-text query per connection, answered by
// one free-text reply that is also the name of the file to download.
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::uint8_t kUpdRequestFirmware = 1;
inline constexpr std::uint8_t kUpdRequestConfigurator = 2;
// Seconds a query connection may stay open.
inline constexpr std::uint8_t kUpdServerTimeoutSeconds = 10;
inline constexpr std::size_t kUpdReplyMax = 2047;
inline constexpr int kMsgLatestFirmware = 40;

inline constexpr const char* kFirmwareOfferQuestion =
    "На сервере доступна новая версия прошивки. Запустить обновление?";
inline constexpr const char* kConfiguratorOfferQuestion =
    "На сервере доступна новая версия конфигуратора. Хотите скачать?";

// The queries as they go on the wire, without a terminator.
std::string FirmwareQuery(std::uint8_t deviceType);  // "Get_FW,type=11"
std::string ConfiguratorQuery();                     // "Get_CONFUPD:Zentor#"

// The reply of one receive as UTF-8: at most 2047 bytes, ended by the first NUL.
std::string UpdateReplyText(const std::uint8_t* bytes, std::size_t n);

// The device's build is the firmware status label ("FW: 37.0001.0002") from its fifth
// character on, the server's the reply after its first "fw"; both leading decimal digits cut
// to their low 8 bits. Newer when the device's is smaller; a reply without "fw" offers nothing.
bool CompareBuildFW(const std::string& deviceFwLabel, const std::string& reply);
// The version between the first "_v" and the extension (5 characters from the first ".e"),
// newer when greater than the tool's own version in a plain byte comparison. A reply without
// "_v" offers nothing.
bool CompareConfiguratorVersion(const std::string& reply, const std::string& programVersion);
// The tool offer: the reply names this tool and a newer version.
bool ConfiguratorOffered(const std::string& reply, const std::string& programVersion);

std::string UpdateServerErrorText(int code);    // "Update Server Error: 10061"
std::string DownloadServerErrorText(int code);  // "Error download server 10061"

// The query connection's time limit, counted on the one-second tick.
class TUpdServerTimeout {
public:
    void Start() { FLeft = kUpdServerTimeoutSeconds; }
    void Stop() { FLeft = 0; }
    // True on the tick that ends the limit: the connection is to be closed.
    bool Tick() { return FLeft > 0 && --FLeft == 0; }
    std::uint8_t Left() const { return FLeft; }

private:
    std::uint8_t FLeft = 0;
};
