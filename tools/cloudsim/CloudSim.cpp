#include "tools/cloudsim/CloudSim.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sstream>

#include <json/reader.h>
#include <json/writer.h>

#include "platform/rtl/CodePage.h"

namespace cloudsim {

namespace {

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void NonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// The end of the JSON object that starts at from (the index of its closing brace), or npos
// while it has not all arrived.
std::size_t ObjectEnd(const std::string& s, std::size_t from) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (std::size_t i = from; i < s.size(); ++i) {
        const char c = s[i];
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '{') ++depth;
        else if (c == '}' && --depth == 0) return i;
    }
    return std::string::npos;
}

std::string HeaderValue(const std::string& header, const std::string& name) {
    const std::size_t at = header.find(name);
    if (at == std::string::npos) return {};
    const std::size_t end = header.find("\r\n", at);
    return header.substr(at + name.size(), end - at - name.size());
}

std::string Member(const Json::Value& v, const char* key) {
    if (!v.isObject() || !v.isMember(key) || !v[key].isString()) return {};
    return v[key].asString();
}

}  // namespace

std::string ReplyBytes(const Json::Value& reply) {
    Json::StreamWriterBuilder b;
    b["indentation"] = "";
    b["emitUTF8"] = true;
    return Utf8ToCp1251(Json::writeString(b, reply)) + "\n\r";
}

CloudSim::CloudSim() = default;

CloudSim::~CloudSim() { Stop(); }

bool CloudSim::Start(int port) {
    Stop();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    if (::pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    std::lock_guard<std::mutex> g(FLock);
    FListen = fd;
    FPort = ntohs(addr.sin_port);
    FStopping = false;
    FThread = std::thread([this] { Run(); });
    return true;
}

void CloudSim::Stop() {
    {
        std::lock_guard<std::mutex> g(FLock);
        if (!FThread.joinable()) return;
        FStopping = true;
    }
    Wake();
    FThread.join();
    std::lock_guard<std::mutex> g(FLock);
    CloseFd(FListen);
    CloseFd(FClient);
    CloseFd(FDevice);
    CloseFd(FWake[0]);
    CloseFd(FWake[1]);
}

int CloudSim::Port() const {
    std::lock_guard<std::mutex> g(FLock);
    return FPort;
}

void CloudSim::SetAccount(const std::string& imei, const std::string& pass, const std::string& access) {
    std::lock_guard<std::mutex> g(FLock);
    FImei = imei;
    FPass = pass;
    FAccess = access;
}

void CloudSim::SetLoginAnswerFrom(int n) {
    std::lock_guard<std::mutex> g(FLock);
    FLoginAnswerFrom = n;
}

void CloudSim::SetStatus(const Json::Value& data) {
    std::lock_guard<std::mutex> g(FLock);
    FStatus = data;
}

void CloudSim::SetConfig(const Json::Value& data) {
    std::lock_guard<std::mutex> g(FLock);
    FConfig = data;
}

void CloudSim::SetLogBlocks(const std::vector<Json::Value>& blocks) {
    std::lock_guard<std::mutex> g(FLock);
    FLogBlocks = blocks;
    FNextLogBlock = 0;
}

void CloudSim::SetReply(const std::string& command, const Json::Value& data) {
    std::lock_guard<std::mutex> g(FLock);
    FReplies[command] = data;
}

void CloudSim::SetRefused(const std::vector<std::string>& numbers) {
    std::lock_guard<std::mutex> g(FLock);
    FRefused = numbers;
}

void CloudSim::SetLateCopies(const std::string& command) {
    std::lock_guard<std::mutex> g(FLock);
    FLateCommand = command;
    FLateCopy.clear();
}

void CloudSim::SetSilent(bool silent) {
    std::lock_guard<std::mutex> g(FLock);
    FSilent = silent;
}

void CloudSim::SetCloseAfterReply(const std::string& command) {
    std::lock_guard<std::mutex> g(FLock);
    FCloseAfter = command;
}

void CloudSim::SetDevicePath(const std::string& path) {
    std::lock_guard<std::mutex> g(FLock);
    FDevicePath = path;
}

void CloudSim::SendRaw(const std::string& bytes) {
    {
        std::lock_guard<std::mutex> g(FLock);
        QueueLocked(bytes);
    }
    Wake();
}

void CloudSim::CloseClient() {
    {
        std::lock_guard<std::mutex> g(FLock);
        FCloseClient = true;
    }
    Wake();
}

void CloudSim::ResetClient() {
    {
        std::lock_guard<std::mutex> g(FLock);
        FResetClient = FCloseClient = true;
    }
    Wake();
}

void CloudSim::HalfCloseClient() {
    {
        std::lock_guard<std::mutex> g(FLock);
        FHalfCloseClient = true;
    }
    Wake();
}

std::vector<Request> CloudSim::Requests() const {
    std::lock_guard<std::mutex> g(FLock);
    return FRequests;
}

std::size_t CloudSim::Count(const std::string& command) const {
    std::lock_guard<std::mutex> g(FLock);
    std::size_t n = 0;
    for (const Request& r : FRequests) n += r.command == command;
    return n;
}

std::size_t CloudSim::FramesToDevice() const {
    std::lock_guard<std::mutex> g(FLock);
    return FFramesToDevice;
}

std::size_t CloudSim::FramesFromDevice() const {
    std::lock_guard<std::mutex> g(FLock);
    return FFramesFromDevice;
}

bool CloudSim::ClientConnected() const {
    std::lock_guard<std::mutex> g(FLock);
    return FClient >= 0;
}

void CloudSim::Wake() {
    const char b = 1;
    if (FWake[1] >= 0) [[maybe_unused]] auto r = ::write(FWake[1], &b, 1);
}

void CloudSim::QueueLocked(const std::string& bytes) { FOut += bytes; }

void CloudSim::OpenDeviceLocked() {
    if (FDevice >= 0 || FDevicePath.empty()) return;
    FDevice = ::open(FDevicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (FDevice < 0) return;
    termios t{};
    if (::tcgetattr(FDevice, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(FDevice, TCSANOW, &t);
    }
}

void CloudSim::Run() {
    std::string in;
    std::string deviceOut;
    for (;;) {
        pollfd fds[4];
        int n = 0;
        bool wantWrite;
        {
            std::lock_guard<std::mutex> g(FLock);
            if (FStopping) return;
            if (FCloseWhenSent && FOut.empty()) FCloseClient = true;
            if (FCloseClient) {
                FCloseWhenSent = false;
                if (FResetClient && FClient >= 0) {
                    const linger hard{1, 0};  // the close sends a reset
                    ::setsockopt(FClient, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                }
                FCloseClient = FResetClient = false;
                CloseFd(FClient);
                FOut.clear();
                in.clear();
            }
            if (FHalfCloseClient && FClient >= 0) {
                ::shutdown(FClient, SHUT_WR);
                FOut.clear();
            }
            FHalfCloseClient = false;
            wantWrite = FClient >= 0 && !FOut.empty();
            fds[n++] = {FWake[0], POLLIN, 0};
            fds[n++] = {FListen, POLLIN, 0};
            fds[n++] = {FClient, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0};
            fds[n++] = {FDevice, static_cast<short>(POLLIN | (deviceOut.empty() ? 0 : POLLOUT)), 0};
        }
        if (::poll(fds, n, 200) < 0 && errno != EINTR) return;
        char buf[4096];
        if (fds[0].revents & POLLIN)
            while (::read(FWake[0], buf, sizeof buf) > 0) {
            }
        std::lock_guard<std::mutex> g(FLock);
        if (fds[1].revents & POLLIN) {
            const int c = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                // One tool at a time: a new connection replaces the old one, after what the
                // old one had already sent (a "close" just before the reconnect) is served.
                if (FClient >= 0) {
                    for (ssize_t got; (got = ::read(FClient, buf, sizeof buf)) > 0;) {
                        in.append(buf, static_cast<std::size_t>(got));
                        Serve(in);
                    }
                    FCloseClient = false;  // a "close" among them was for the old one
                }
                CloseFd(FClient);
                FClient = c;
                NonBlocking(FClient);
                FOut.clear();
                in.clear();
                FCloseWhenSent = false;
                OpenDeviceLocked();
            }
        }
        if (FClient >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t got = ::read(FClient, buf, sizeof buf);
            if (got > 0) {
                in.append(buf, static_cast<std::size_t>(got));
                Serve(in);
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                CloseFd(FClient);
                FOut.clear();
                in.clear();
            }
        }
        if (FClient >= 0 && !FOut.empty()) {
            const ssize_t put = ::send(FClient, FOut.data(), FOut.size(), MSG_NOSIGNAL);
            if (put > 0) FOut.erase(0, static_cast<std::size_t>(put));
            else if (put < 0 && errno == EPIPE) FOut.clear();  // its sending half is closed
        }
        if (FDevice >= 0 && (fds[3].revents & POLLIN)) {
            const ssize_t got = ::read(FDevice, buf, sizeof buf);
            if (got > 0) {
                const std::string bytes(buf, static_cast<std::size_t>(got));
                for (std::size_t at = bytes.find("SLMX"); at != std::string::npos; at = bytes.find("SLMX", at + 4))
                    ++FFramesFromDevice;
                QueueLocked(bytes);
            }
        }
        if (FDevice >= 0 && !deviceOut.empty()) {
            const ssize_t put = ::write(FDevice, deviceOut.data(), deviceOut.size());
            if (put > 0) deviceOut.erase(0, static_cast<std::size_t>(put));
        }
        // Frames taken from the tool's stream by Serve wait in FToDevice.
        if (!FToDevice.empty()) {
            deviceOut += FToDevice;
            FToDevice.clear();
        }
    }
}

void CloudSim::Serve(std::string& in) {
    for (;;) {
        if (in.empty()) return;
        if (in.compare(0, 4, "SLMX", 0, std::min<std::size_t>(4, in.size())) == 0 && in.size() < 6) return;
        if (in.compare(0, 4, "SLMX") == 0) {
            const std::size_t len = static_cast<std::uint8_t>(in[4]) | static_cast<std::uint8_t>(in[5]) << 8;
            std::size_t total = 6 + len + 2;
            if (total % 8 == 0) ++total;  // a request of a multiple of 8 bytes carries one more
            if (in.size() < total) return;
            FToDevice += in.substr(0, total);
            ++FFramesToDevice;
            in.erase(0, total);
            continue;
        }
        if (in.compare(0, 3, "PUT", 0, std::min<std::size_t>(3, in.size())) == 0) {
            const std::size_t body = in.find("\r\n\r\n");
            if (body == std::string::npos) return;
            const std::size_t open = in.find('{', body);
            if (open == std::string::npos) return;
            const std::size_t close = ObjectEnd(in, open);
            if (close == std::string::npos) return;
            const std::string header = in.substr(0, body + 2);
            const std::string json = Cp1251ToUtf8(in.substr(open, close - open + 1));
            std::size_t next = close + 1;
            if (next < in.size() && in[next] == '\n') ++next;
            in.erase(0, next);
            Json::Value root;
            Json::CharReaderBuilder rb;
            std::unique_ptr<Json::CharReader> reader(rb.newCharReader());
            std::string errors;
            if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors)) continue;
            Request r;
            r.uid = HeaderValue(header, "UID: ");
            r.command = Member(root, "command");
            r.imei = Member(root, "imei");
            r.pass = Member(root, "pass");
            r.data = root.isObject() ? root["data"] : Json::Value();
            FRequests.push_back(r);
            if (FSilent) continue;
            Handle(r);
            FCloseWhenSent = FCloseWhenSent || r.command == FCloseAfter;
            continue;
        }
        in.erase(0, 1);  // noise between requests
    }
}

void CloudSim::Reply(const std::string& command, const Json::Value& data, const char* access) {
    Json::Value reply(Json::objectValue);
    reply["response"] = command;
    reply["data"] = data;
    if (access && *access) reply["access"] = access;
    QueueLocked(ReplyBytes(reply));
}

void CloudSim::Handle(const Request& r) {
    const bool late = !FLateCommand.empty() && r.command == FLateCommand;
    if (late) QueueLocked(FLateCopy);
    const std::size_t before = FOut.size();
    Answer(r);
    if (late) FLateCopy = FOut.substr(before);
}

void CloudSim::Answer(const Request& r) {
    if (r.command == "dispauth") {
        if (++FLogins < FLoginAnswerFrom) return;
        if (r.imei == FImei && r.pass == FPass)
            Reply(r.command, "ok", FAccess.c_str());
        else
            Reply(r.command, "fail auth");
        return;
    }
    if (r.command == "close") {
        FCloseClient = true;
        return;
    }
    if (r.command == "gsmst") return Reply(r.command, FStatus);
    if (r.command == "gconfig") return Reply(r.command, FConfig);
    if (r.command == "gchrono") FNextLogBlock = 0;
    if (r.command == "gchrono" || r.command == "nextblock") {
        if (FNextLogBlock < FLogBlocks.size()) Reply("gchrono", FLogBlocks[FNextLogBlock++]);
        else if (r.command == "gchrono") Reply("gchrono", "no data");
        return;
    }
    if ((r.command == "add" || r.command == "del") && !FReplies.count(r.command)) {
        Json::Value results(Json::arrayValue);
        for (Json::ArrayIndex i = 0; r.data.isArray() && i < r.data.size(); ++i) {
            const Json::Value& e = r.data[i];
            const std::string number = e.isObject() ? Member(e, "number") : e.isString() ? e.asString() : "";
            const bool refused = std::find(FRefused.begin(), FRefused.end(), number) != FRefused.end();
            results.append(refused ? "0" : "1");
        }
        return Reply(r.command, results);
    }
    if (r.command == "sync") return;
    const auto it = FReplies.find(r.command);
    if (it == FReplies.end()) return Reply(r.command, "ok");
    if (!it->second.isNull()) Reply(r.command, it->second);
}

}  // namespace cloudsim
