#pragma once
// The maker's web server on loopback, serving the news page: each connection's request is
// answered with the reply set for its path (404 for any other), then the connection ends.
//
//     newssim::NewsSim sim;
//     sim.Set("/news", newssim::Page("<p>Новости</p>"));
//     sim.Start();   // then point ZENTOR_NEWS_URL at sim.Url("/news")
#include <mutex>
#include <string>
#include <thread>
#include <map>
#include <vector>

namespace newssim {

struct TReply {
    int Status = 200;
    std::string Body;
    std::string Location;  // a redirect's target
    bool Endless = false;  // Body is sent again and again until the client goes
    bool Silent = false;   // the headers, then nothing until the client goes
};

TReply Page(std::string body);
TReply Redirect(std::string to);
TReply Flood(std::string piece);  // the piece again and again
TReply Stall();                   // the headers of a page that never comes

class NewsSim {
public:
    NewsSim() = default;
    ~NewsSim();
    NewsSim(const NewsSim&) = delete;
    NewsSim& operator=(const NewsSim&) = delete;

    // Listens on 127.0.0.1, on a port the system chooses, and serves on a thread.
    bool Start();
    void Stop();
    std::string Url(const std::string& path) const;

    void Set(const std::string& path, TReply reply);
    std::vector<std::string> Requests() const;  // the paths asked for

private:
    void Serve();
    void ServeOne(int fd);
    bool Send(int fd, const std::string& bytes);
    void AwaitClose(int fd);

    mutable std::mutex FLock;
    std::map<std::string, TReply> FReplies;
    std::vector<std::string> FRequests;
    int FListenFd = -1;
    int FStopPipe[2] = {-1, -1};
    int FPort = 0;
    std::thread FThread;
};

}  // namespace newssim
