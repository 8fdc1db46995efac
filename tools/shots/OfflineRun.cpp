#include "OfflineRun.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

int ClosedLoopbackPort() {
    // A port the system hands out and that is free again once the socket closes; it is bound,
    // never listened on.
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

void TakeRunOffline() {
    setenv("ZENTOR_ONLINE", "0", 1);
    const int port = ClosedLoopbackPort();
    // Port 1 is the fallback: on loopback nothing serves it.
    const std::string host = "127.0.0.1:" + std::to_string(port ? port : 1);
    for (const char* peer : {"ZENTOR_CLOUD_HOST", "ZENTOR_UPDATE_HOST", "ZENTOR_FILE_HOST"}) setenv(peer, host.c_str(), 1);
    setenv("ZENTOR_NEWS_URL", "about:blank", 1);
}
