#include "tools/bench/BenchSim.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace bench {

TSimProcess::~TSimProcess() { Stop(); }

bool TSimProcess::Start(const std::string& exe, const std::vector<std::string>& args, const std::string& link) {
    std::vector<std::string> all = {exe};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);  // its banner
    const int rc = posix_spawn(&FPid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        FPid = -1;
        return false;
    }
    if (link.empty()) return true;
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(link)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void TSimProcess::Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    int status = 0;
    waitpid(FPid, &status, 0);
    FPid = -1;
}

std::string PeerBeside(const std::string& benchExe, const std::string& name) {
    namespace fs = std::filesystem;
    return (fs::path(benchExe).parent_path().parent_path() / name / name).string();
}

int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    const bool ok = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), n) == 0 &&
                    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) == 0;
    if (fd >= 0) close(fd);
    return ok ? ntohs(a.sin_port) : 0;
}

// As the kernel lists its sockets: a local address ending in the port, state 0A (listen).
bool Listening(int port) {
    std::ifstream in("/proc/net/tcp");
    char hex[8];
    std::snprintf(hex, sizeof hex, ":%04X", port);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (state == "0A" && local.size() > 5 && local.compare(local.size() - 5, 5, hex) == 0) return true;
    }
    return false;
}

}  // namespace bench
