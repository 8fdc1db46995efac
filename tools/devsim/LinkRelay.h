#pragma once
// A TCP relay between a dialling device and the tool's local configuration server, with the
// faults of a real GPRS link on demand: one direction stalls (what arrives is kept and goes on
// later, in order) or lags (all it passes goes a fixed time after it arrived, as the round
// trip of a real link makes the replies come), a frame is sent twice or dropped, or the link
// is cut. The device dials
// Port(); the relay dials the server for it and passes frames both ways. A way with neither a
// rule nor a stall passes bytes as they come, split as they came.
//
//     devsim::LinkRelay relay("127.0.0.1", serverPort);
//     relay.Start();
//     modem.Dial("127.0.0.1", relay.Port());
//     relay.Hold(devsim::LinkRelay::ToTool);     // the device's replies stall
//     relay.Release(devsim::LinkRelay::ToTool);  // and come, all at once
//     relay.Lag(devsim::LinkRelay::ToTool, 1000);  // each reply comes 1 s after the device sent it
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "tools/devsim/DevFrame.h"

namespace devsim {

// What the relay does with one frame crossing it; Cut closes both connections at once instead.
enum class RelayAct { Pass, Twice, Drop, Cut };

class LinkRelay {
public:
    enum Way { ToTool = 0, ToDevice = 1 };
    // Called on the relay's thread for each whole frame, in order; it must not call the relay.
    using FrameRule = std::function<RelayAct(const Frame&)>;

    LinkRelay(std::string host, int port);
    ~LinkRelay();
    LinkRelay(const LinkRelay&) = delete;
    LinkRelay& operator=(const LinkRelay&) = delete;

    // Listens on a loopback port of its own; false when it cannot.
    bool Start();
    int Port() const { return FPort; }

    void SetRule(Way way, FrameRule rule);
    // The way stalls: frames arriving are kept until Release sends them on, in order.
    void Hold(Way way);
    void Release(Way way);
    // Frames of this command kept by a stall so far.
    std::size_t Held(Way way, std::uint8_t command) const;
    // What the way passes goes ms after it arrived, in order; 0 passes it at once. A stall's
    // release sends what it kept at once.
    void Lag(Way way, int ms);

private:
    using Clock = std::chrono::steady_clock;
    struct Late {
        Clock::time_point due;
        Bytes bytes;
    };
    struct Direction {
        Bytes in;    // received, not yet a whole frame
        Bytes out;   // to be written
        Bytes kept;  // held back by a stall
        std::deque<Late> late;  // passed, not yet due
        Clock::duration lag{};
        bool hold = false;
        FrameRule rule;
        std::map<std::uint8_t, std::size_t> held;
    };
    void Run();
    void Wake();
    void Accept();
    void CloseLink();
    // Splits what arrived into frames and passes them on; false when a rule cut the link.
    bool Forward(Direction& d);
    bool Flush(int fd, Bytes& out);
    // Moves what is due by `now` to be written; the milliseconds until the next is due, or -1.
    int Due(Clock::time_point now);

    const std::string FHost;
    const int FTargetPort;
    int FPort = 0;
    int FListen = -1;
    int FWake = -1;
    int FFd[2] = {-1, -1};  // the tool's side, the device's side
    Direction FWay[2];      // to the tool (from the device), to the device (from the tool)
    bool FStopping = false;
    mutable std::mutex FLock;
    std::thread FThread;
};

}  // namespace devsim
