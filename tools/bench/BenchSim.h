#pragma once
// The simulated controller as a process of its own, so that its work is not counted as the
// tool's.
#include <string>
#include <sys/types.h>
#include <vector>

namespace bench {

class TSimProcess {
public:
    TSimProcess() = default;
    ~TSimProcess();
    TSimProcess(const TSimProcess&) = delete;
    TSimProcess& operator=(const TSimProcess&) = delete;

    // Starts devsim with args and waits for its pty to appear at link (not when link is
    // empty: a device that dials in).
    bool Start(const std::string& exe, const std::vector<std::string>& args, const std::string& link);
    void Stop();

private:
    pid_t FPid = -1;
};

// A peer beside the benchmark in the build tree (tools/<name>/<name>: devsim, cloudsim).
std::string PeerBeside(const std::string& benchExe, const std::string& name);

// A loopback port free at the moment, and whether a socket listens on it now.
int FreePort();
bool Listening(int port);

}  // namespace bench
