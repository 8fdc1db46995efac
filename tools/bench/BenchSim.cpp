#include "tools/bench/BenchSim.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fcntl.h>
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

std::string DevsimBeside(const std::string& benchExe) {
    namespace fs = std::filesystem;
    return (fs::path(benchExe).parent_path().parent_path() / "devsim" / "devsim").string();
}

}  // namespace bench
