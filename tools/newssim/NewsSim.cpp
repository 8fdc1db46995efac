#include "tools/newssim/NewsSim.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace newssim {

TReply Page(std::string body) {
    TReply r;
    r.Body = std::move(body);
    return r;
}

TReply Redirect(std::string to) {
    TReply r;
    r.Status = 302;
    r.Location = std::move(to);
    return r;
}

TReply Flood(std::string piece) {
    TReply r = Page(std::move(piece));
    r.Endless = true;
    return r;
}

TReply Stall() {
    TReply r;
    r.Silent = true;
    return r;
}

NewsSim::~NewsSim() { Stop(); }

bool NewsSim::Start() {
    Stop();
    if (pipe(FStopPipe) != 0) return false;
    FListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (FListenFd < 0 || bind(FListenFd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(FListenFd, 4) != 0 ||
        getsockname(FListenFd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        Stop();
        return false;
    }
    FPort = ntohs(a.sin_port);
    FThread = std::thread([this] { Serve(); });
    return true;
}

void NewsSim::Stop() {
    if (FThread.joinable()) {
        (void)!write(FStopPipe[1], "x", 1);
        FThread.join();
    }
    for (int* fd : {&FListenFd, &FStopPipe[0], &FStopPipe[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

std::string NewsSim::Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(FPort) + path; }

void NewsSim::Set(const std::string& path, TReply reply) {
    std::lock_guard<std::mutex> g(FLock);
    FReplies[path] = std::move(reply);
}

std::vector<std::string> NewsSim::Requests() const {
    std::lock_guard<std::mutex> g(FLock);
    return FRequests;
}

void NewsSim::Serve() {
    for (;;) {
        pollfd p[2] = {{FStopPipe[0], POLLIN, 0}, {FListenFd, POLLIN, 0}};
        if (poll(p, 2, -1) < 0) continue;
        if (p[0].revents) return;
        const int fd = accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeOne(fd);
        close(fd);
    }
}

// Sends it all unless the client goes or the server stops.
bool NewsSim::Send(int fd, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        pollfd p[2] = {{FStopPipe[0], POLLIN, 0}, {fd, POLLOUT, 0}};
        if (poll(p, 2, -1) < 0 || p[0].revents || (p[1].revents & (POLLERR | POLLHUP))) return false;
        const ssize_t n = send(fd, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN) return false;
        if (n > 0) at += static_cast<std::size_t>(n);
    }
    return true;
}

void NewsSim::AwaitClose(int fd) {
    char buf[512];
    for (;;) {
        pollfd p[2] = {{FStopPipe[0], POLLIN, 0}, {fd, POLLIN, 0}};
        if (poll(p, 2, -1) < 0 || p[0].revents || recv(fd, buf, sizeof buf, 0) <= 0) return;
    }
}

void NewsSim::ServeOne(int fd) {
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p[2] = {{FStopPipe[0], POLLIN, 0}, {fd, POLLIN, 0}};
        char buf[4096];
        if (poll(p, 2, -1) < 0 || p[0].revents) return;
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return;
        request.append(buf, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const std::size_t from = request.find(' ') + 1;
    const std::string path = request.substr(from, request.find(' ', from) - from);
    TReply reply = Page("not found");
    reply.Status = 404;
    {
        std::lock_guard<std::mutex> g(FLock);
        FRequests.push_back(path);
        if (auto it = FReplies.find(path); it != FReplies.end()) reply = it->second;
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.Status) + " X\r\nContent-Type: text/html; charset=utf-8\r\n";
    if (!reply.Location.empty()) head += "Location: " + reply.Location + "\r\n";
    if (!reply.Endless) head += "Content-Length: " + std::to_string(reply.Silent ? 1000 : reply.Body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (!Send(fd, head)) return;
    reply.Endless = reply.Endless && !reply.Body.empty();
    if (reply.Silent) return AwaitClose(fd);
    do {
        if (!Send(fd, reply.Body)) return;
    } while (reply.Endless);
    shutdown(fd, SHUT_WR);
    AwaitClose(fd);
}

}  // namespace newssim
