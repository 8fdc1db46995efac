#include "tools/updatesim/UpdateSim.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace updatesim {
namespace {

int Listen(int port, int& bound) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(fd);
        return -1;
    }
    bound = ntohs(a.sin_port);
    return fd;
}

// Reads what arrives within ms; appends to text. False when the peer closed or failed.
bool ReadSome(int fd, std::string& text, int ms) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return true;
    char buf[4096];
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    text.append(buf, static_cast<std::size_t>(n));
    return true;
}

bool SendAll(int fd, const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t k = send(fd, p, n, MSG_NOSIGNAL);
        if (k <= 0) return false;
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

// Waits (bounded) until the client closes.
void AwaitClose(int fd, int seconds = 3) {
    std::string ignored;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end && ReadSome(fd, ignored, 100)) {
    }
}

}  // namespace

UpdateSim::UpdateSim() = default;

UpdateSim::~UpdateSim() { Stop(); }

bool UpdateSim::Start(int updatePort, int filePort) {
    Stop();
    if (pipe(FStopPipe) != 0) return false;
    FUpdateFd = Listen(updatePort, FUpdatePort);
    FFileFd = Listen(filePort, FFilePort);
    if (FUpdateFd < 0 || FFileFd < 0) {
        Stop();
        return false;
    }
    FThread = std::thread([this] { Serve(); });
    return true;
}

void UpdateSim::Stop() {
    if (FThread.joinable()) {
        const char c = 0;
        (void)!write(FStopPipe[1], &c, 1);
        FThread.join();
    }
    for (int* fd : {&FUpdateFd, &FFileFd, &FStopPipe[0], &FStopPipe[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void UpdateSim::Serve() {
    for (;;) {
        pollfd p[3] = {{FStopPipe[0], POLLIN, 0}, {FUpdateFd, POLLIN, 0}, {FFileFd, POLLIN, 0}};
        if (poll(p, 3, -1) < 0) continue;
        if (p[0].revents) return;
        for (int i = 1; i < 3; ++i) {
            if (!(p[i].revents & POLLIN)) continue;
            const int fd = accept4(p[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            if (i == 1) ServeUpdate(fd);
            else ServeFile(fd);
            close(fd);
        }
    }
}

void UpdateSim::ServeUpdate(int fd) {
    std::string query;
    // The query has no terminator: take what comes until the line is quiet.
    for (int i = 0; i < 30 && query.empty(); ++i)
        if (!ReadSome(fd, query, 100)) return;
    for (;;) {
        const std::size_t before = query.size();
        if (!ReadSome(fd, query, 50) || query.size() == before || query.size() > 4096) break;
    }
    std::string reply;
    {
        std::lock_guard<std::mutex> g(FLock);
        FQueries.push_back(query);
        if (query.rfind("Get_FW,type=", 0) == 0) reply = FFirmwareReply;
        else if (query == "Get_CONFUPD:Zentor#") reply = FToolReply;
    }
    if (!reply.empty() && !SendAll(fd, reply.data(), reply.size())) return;
    AwaitClose(fd);
}

void UpdateSim::ServeFile(int fd) {
    std::string request;
    const std::string lead = "GetFile=";
    for (int i = 0; i < 30; ++i) {
        if (!ReadSome(fd, request, 100)) return;
        if (request.size() > lead.size() && request.find('#', lead.size()) != std::string::npos) break;
    }
    if (request.rfind(lead, 0) != 0) return;
    const std::string name = request.substr(lead.size(), request.find('#', lead.size()) - lead.size());
    TFile file;
    bool found = false;
    std::size_t piece = 0, headerPiece = 0;
    std::uint64_t announced = 0;
    std::size_t stallAfter = SIZE_MAX;
    bool hangUp = false;
    {
        std::lock_guard<std::mutex> g(FLock);
        FFileRequests.push_back(name);
        auto it = FFiles.find(name);
        if (it != FFiles.end()) {
            file = it->second;
            found = true;
        }
        piece = FPiece;
        headerPiece = FHeaderPiece;
        announced = FAnnounced;
        stallAfter = FStallAfter;
        hangUp = FHangUpOnStall;
    }
    if (!found) {
        const std::string missing = "file not exists";
        if (SendAll(fd, missing.data(), missing.size())) AwaitClose(fd);
        return;
    }
    const std::uint64_t size = announced != 0 ? announced : file.Data.size();
    const std::string header = "file#" + file.Path + "#" + std::to_string(size) + "#";
    if (headerPiece == 0) headerPiece = header.size();
    for (std::size_t at = 0; at < header.size(); at += headerPiece) {
        if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!SendAll(fd, header.data() + at, std::min(headerPiece, header.size() - at))) return;
    }
    // Let the header arrive by itself, as the server's first write does.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (stallAfter < file.Data.size()) {
        if (SendAll(fd, file.Data.data(), stallAfter) && !hangUp) AwaitClose(fd, 20);
        return;
    }
    if (piece == 0) piece = file.Data.size();
    for (std::size_t at = 0; at < file.Data.size(); at += piece) {
        if (!SendAll(fd, file.Data.data() + at, std::min(piece, file.Data.size() - at))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::string tail;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end && tail.find("EndTransfer") == std::string::npos)
        if (!ReadSome(fd, tail, 100)) break;
    if (tail.find("EndTransfer") != std::string::npos) {
        std::lock_guard<std::mutex> g(FLock);
        ++FEndTransfers;
    }
    AwaitClose(fd);
}

void UpdateSim::SetFirmwareReply(const std::string& text) {
    std::lock_guard<std::mutex> g(FLock);
    FFirmwareReply = text;
}

void UpdateSim::SetToolReply(const std::string& text) {
    std::lock_guard<std::mutex> g(FLock);
    FToolReply = text;
}

void UpdateSim::AddFile(const std::string& name, const Bytes& bytes, const std::string& serverPath) {
    std::lock_guard<std::mutex> g(FLock);
    FFiles[name] = TFile{bytes, serverPath.empty() ? "C:\\srv\\files\\" + name : serverPath};
}

void UpdateSim::SetHeaderPieceSize(std::size_t bytes) {
    std::lock_guard<std::mutex> g(FLock);
    FHeaderPiece = bytes;
}

void UpdateSim::SetPieceSize(std::size_t bytes) {
    std::lock_guard<std::mutex> g(FLock);
    FPiece = bytes;
}

void UpdateSim::SetAnnouncedSize(std::uint64_t bytes) {
    std::lock_guard<std::mutex> g(FLock);
    FAnnounced = bytes;
}

void UpdateSim::SetStallAfter(std::size_t bytes) {
    std::lock_guard<std::mutex> g(FLock);
    FStallAfter = bytes;
}

void UpdateSim::SetHangUpOnStall(bool on) {
    std::lock_guard<std::mutex> g(FLock);
    FHangUpOnStall = on;
}

std::vector<std::string> UpdateSim::Queries() const {
    std::lock_guard<std::mutex> g(FLock);
    return FQueries;
}

std::vector<std::string> UpdateSim::FileRequests() const {
    std::lock_guard<std::mutex> g(FLock);
    return FFileRequests;
}

int UpdateSim::EndTransfers() const {
    std::lock_guard<std::mutex> g(FLock);
    return FEndTransfers;
}

}  // namespace updatesim
