#pragma once
// A cloud server on loopback for tests and demos. It takes the tool's requests (the header
// block and the styled JSON object, Windows-1251), logs devices in ("dispauth"), answers the
// status, configuration and log requests with what the test set, acknowledges number-base
// rounds, and tunnels device frames to a device behind it: a simulated device on a pty
// (tools/devsim), whose link path it opens as the device's end of the session.
//
// Replies go out as the server sends them: the compact JSON object followed by LF CR.
// Everything runs on a serving thread of its own; setters and getters may be called from any
// thread.
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <json/value.h>

namespace cloudsim {

// One request as the server read it (texts converted to UTF-8).
struct Request {
    std::string uid;  // the "UID:" header
    std::string command, imei, pass;
    Json::Value data;
};

class CloudSim {
public:
    CloudSim();
    ~CloudSim();
    CloudSim(const CloudSim&) = delete;
    CloudSim& operator=(const CloudSim&) = delete;

    // Listens on 127.0.0.1 at port (0: any free port). False when it cannot listen.
    bool Start(int port = 0);
    void Stop();
    int Port() const;

    // The login: the device and its password; "access" of an accepted login ("" for none).
    // Logins before the n-th go unanswered (a device that does not answer yet); a wrong
    // password gets "fail auth".
    void SetAccount(const std::string& imei, const std::string& pass, const std::string& access = "admin");
    void SetLoginAnswerFrom(int n);
    // The data of the replies to "gsmst" and "gconfig" (a string is a status word).
    void SetStatus(const Json::Value& data);
    void SetConfig(const Json::Value& data);
    // The "gchrono" blocks: the first answers the request, each "nextblock" the next one.
    void SetLogBlocks(const std::vector<Json::Value>& blocks);
    // The data ("ok" by default) that any other command is answered with; null: no answer.
    // "add" and "del" get one "1" per element sent unless their data is set here.
    void SetReply(const std::string& command, const Json::Value& data);
    // "add" and "del" answer "0" for these numbers.
    void SetRefused(const std::vector<std::string>& numbers);
    // Each answer to this command goes out once more, just before the next request of the
    // command is answered: a copy that comes after the tool has asked again.
    void SetLateCopies(const std::string& command);
    // A server that keeps the connection and answers nothing (requests are still recorded).
    void SetSilent(bool silent);
    // Once its answer to this command has gone out, the server closes the connection.
    void SetCloseAfterReply(const std::string& command);
    // The device behind the session: the link path of a simulated device.
    void SetDevicePath(const std::string& path);

    // Bytes for the connected tool, as they are (a reply split anywhere, a frame, ...).
    void SendRaw(const std::string& bytes);
    // Ends the tool's connection from the server's side: closed, or reset; or only the
    // server's sending half closed (the tool reads the end, the server still reads).
    void CloseClient();
    void ResetClient();
    void HalfCloseClient();

    std::vector<Request> Requests() const;
    std::size_t Count(const std::string& command) const;
    // Tunnelled frames that came from the tool, and those the device sent back.
    std::size_t FramesToDevice() const;
    std::size_t FramesFromDevice() const;
    bool ClientConnected() const;

private:
    void Run();
    void Wake();
    void Serve(std::string& in);
    void Handle(const Request& request);
    void Answer(const Request& request);
    void Reply(const std::string& command, const Json::Value& data, const char* access = nullptr);
    void QueueLocked(const std::string& bytes);
    void OpenDeviceLocked();

    mutable std::mutex FLock;
    std::thread FThread;
    bool FStopping = false;
    int FListen = -1;
    int FClient = -1;
    int FDevice = -1;
    int FWake[2] = {-1, -1};
    int FPort = 0;
    std::string FOut;
    std::string FToDevice;  // tunnelled frames taken from the tool's stream
    std::string FDevicePath;
    bool FCloseClient = false;
    bool FResetClient = false;
    bool FHalfCloseClient = false;
    bool FSilent = false;
    std::string FCloseAfter;
    bool FCloseWhenSent = false;

    std::string FImei, FPass, FAccess = "admin";
    int FLoginAnswerFrom = 1;
    int FLogins = 0;
    Json::Value FStatus{Json::objectValue};
    Json::Value FConfig{Json::objectValue};
    std::vector<Json::Value> FLogBlocks;
    std::size_t FNextLogBlock = 0;
    std::map<std::string, Json::Value> FReplies;
    std::vector<std::string> FRefused;
    std::string FLateCommand, FLateCopy;
    std::vector<Request> FRequests;
    std::size_t FFramesToDevice = 0;
    std::size_t FFramesFromDevice = 0;
};

// The reply as the server writes it: compact JSON, then LF CR, in Windows-1251.
std::string ReplyBytes(const Json::Value& reply);

}  // namespace cloudsim
