#include "platform/sys/Hosts.h"

#include "platform/sys/Folders.h"

namespace sys {

THostPort ParseHostPort(const std::string& text, const THostPort& def) {
    if (text.empty()) return def;
    THostPort r{text, def.port};
    std::string portText;
    if (text[0] == '[') {
        size_t close = text.find(']');
        if (close == std::string::npos) return def;
        r.host = text.substr(1, close - 1);
        if (close + 1 < text.size() && text[close + 1] == ':') portText = text.substr(close + 2);
    } else if (size_t colon = text.rfind(':'); colon != std::string::npos && text.find(':') == colon) {
        r.host = text.substr(0, colon);
        portText = text.substr(colon + 1);
    }
    if (r.host.empty()) return def;
    if (!portText.empty() && portText.size() <= 5 &&
        portText.find_first_not_of("0123456789") == std::string::npos) {
        int port = std::stoi(portText);
        if (port >= 1 && port <= 65535) r.port = port;
    }
    return r;
}

THostPort CloudServer() {
    return ParseHostPort(GetEnv("ZENTOR_CLOUD_HOST"), {kCloudServerHost, kCloudServerPort});
}

THostPort UpdateServer() {
    return ParseHostPort(GetEnv("ZENTOR_UPDATE_HOST"), {kUpdateServerHost, kUpdateServerPort});
}

THostPort FileServer() {
    return ParseHostPort(GetEnv("ZENTOR_FILE_HOST"), {kFileServerHost, kFileServerPort});
}

std::string NewsUrl() {
    std::string url = GetEnv("ZENTOR_NEWS_URL");
    return url.empty() ? std::string(kNewsUrl) : url;
}

}  // namespace sys
