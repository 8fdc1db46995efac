#pragma once
// The hosts that the tool leaves to the installation, in one place. The maker's real host
// names are not part of the tool; these placeholders are replaced per installation.
//
// The tool's own peers (cloud, update, file server, news page) can be pointed elsewhere
// through the environment, which is how tests and demos reach their simulators:
//   ZENTOR_CLOUD_HOST, ZENTOR_UPDATE_HOST, ZENTOR_FILE_HOST   "host" or "host:port"
//   ZENTOR_NEWS_URL                                          the whole address
// The defaults written into a device (its server and its time server) never follow these.
#include <string>

namespace sys {

inline constexpr const char* kCloudServerHost = "cloud.talivex.example";
inline constexpr int kCloudServerPort = 10951;          // the tool's cloud session
inline constexpr const char* kUpdateServerHost = "update.talivex.example";
inline constexpr int kUpdateServerPort = 10500;
inline constexpr const char* kFileServerHost = "files.talivex.example";
inline constexpr int kFileServerPort = 10500;
inline constexpr const char* kMakerWebSite = "www.talivex.example";
inline constexpr const char* kNewsUrl = "http://www.talivex.example/news";

// Written into a device's configuration by the defaults: the server it reports to (the cloud
// server's host, on the devices' port) and its time server.
inline constexpr const char* kDeviceServerHost = kCloudServerHost;
inline constexpr int kDeviceServerPort = 10950;
inline constexpr const char* kTimeServerHost = "time.talivex.example";
inline constexpr int kTimeServerPort = 123;

struct THostPort {
    std::string host;
    int port = 0;
    friend bool operator==(const THostPort&, const THostPort&) = default;
};

THostPort CloudServer();
THostPort UpdateServer();
THostPort FileServer();
std::string NewsUrl();

// "host" or "host:port" ("[v6]:port" too) over a default; a port that is not 1..65535 keeps
// the default port; an empty text keeps the default entirely.
THostPort ParseHostPort(const std::string& text, const THostPort& def);

}  // namespace sys
