#pragma once
// A simulated device on a pseudo-terminal, published at a stable path (a symlink to the
// pty's device). It leaves the line in the pty's default (cooked) mode, so a tool that
// forgets raw mode is caught; it always drains what it receives, finds request frames by
// their tag and answers through reply handlers chosen by command code.
//
// Dialled in instead (Dial), the device is a GPRS modem connected to the tool's local
// configuration server over TCP: the connection is its line, and pacing splits what it
// sends into many small segments, as GPRS links do.
//
// Pacing both ways makes a slow line: what the device sends leaves at the line's rate, and
// a request is taken in only once its last byte would have crossed it.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <sys/types.h>
#include <vector>

#include "tools/devsim/DevFrame.h"

namespace devsim {

// The pace of a controller dialling in over GPRS, as a line rate.
inline constexpr unsigned kGprsPaceBaud = 19200;

// The line as the tool set it, read from the pty.
struct LineSettings {
    std::uint32_t baud = 0;
    int dataBits = 8;
    char parity = 'N';  // N, O, E, M (mark), S (space)
    int stopBits = 1;   // 1, or 2 for CSTOPB
    bool raw = false;   // no canonical input, echo, signals or output processing
    bool rtsCts = false;
    bool xonXoff = false;
};

class DevSim {
public:
    // Bytes to send in answer to a request frame (may be empty, or several frames).
    using ReplyHandler = std::function<Bytes(const Frame& request)>;

    explicit DevSim(std::string linkPath);
    ~DevSim();
    DevSim(const DevSim&) = delete;
    DevSim& operator=(const DevSim&) = delete;

    // Start, Stop, Unplug and Replug join or start the serving thread: call them from
    // another thread, never from a reply handler (which runs on the serving thread). Calls
    // from several threads at once are taken one after the other.

    // Creates the pty, publishes it at the link path and starts serving.
    bool Start();
    // Stops serving, closes the pty and removes the link path.
    void Stop();
    // Unplugging: the link path vanishes and the pty closes (the tool sees a hang-up).
    void Unplug();
    // Plugging in again: a new pty at the same link path.
    bool Replug();
    bool Running() const;

    // Dials in to a TCP server (address dotted or a host name) instead of publishing a pty;
    // Start, Stop, Unplug and Replug then dial in and hang up. False when the connection
    // is refused.
    bool Dial(const std::string& address, int port);
    // Dialled in: the server has closed the connection.
    bool HungUpByPeer() const;
    // Dialled in: drops the connection with a reset instead of a close.
    void ResetConnection();

    const std::string& LinkPath() const { return FLinkPath; }
    std::string DevicePath() const;

    // The answer to a command; replaces an earlier one.
    void SetHandler(std::uint8_t command, ReplyHandler handler);
    // A fixed reply frame (marker 0x55, the same command) with the given data.
    void SetReply(std::uint8_t command, Bytes data);
    void ClearHandlers();
    // Sends back every byte received (for the round-trip benchmark).
    void SetEcho(bool on);
    // Paces what it sends at the given line rate (10 bits a byte); 0 sends at once.
    void SetPacing(unsigned baud);
    // Takes in what it receives at the given line rate: bytes reach the handlers (and the
    // record) when they would have crossed the line; 0 takes them in at once.
    void SetInputPacing(unsigned baud);
    // Stops sending, and goes on from where it stopped: a controller pausing in the
    // middle of what it sends.
    void PauseOutput(bool paused);
    // Holds what it sends until a test lets it go, so that the test decides when each reply
    // reaches the tool; ReleaseOutput lets at least n more bytes go, and all queued by now.
    void HoldOutput(bool held);
    void ReleaseOutput(std::size_t n);
    // Bytes let go but not yet sent; bytes sent in all, and of them those sent at least agoMs
    // ago (within the last two seconds).
    std::size_t ReleasedPending() const;
    std::uint64_t SentCount() const;
    std::uint64_t SentBefore(double agoMs) const;

    // Queues arbitrary bytes for the tool.
    void Send(const Bytes& bytes);
    std::size_t PendingOutput() const;

    // What arrived: every byte, and the request frames found in it.
    Bytes Received() const;
    std::size_t ReceivedCount() const;
    std::vector<Frame> Frames() const;
    std::size_t FrameCount() const;
    void ClearRecord();

    LineSettings Line() const;

private:
    bool StartLocked();
    void StopLocked();
    bool OpenPty();
    bool Connect();
    void ClosePty();
    ssize_t Put(int fd, const std::uint8_t* p, std::size_t n);
    void StartThread();
    void StopThread();
    void Run();
    void Wake();
    // Reads what waits on the line; false when nothing came.
    bool ReadLine(int fd);
    // Passes on the paced input whose time has come; the milliseconds until the next, or -1.
    int ReleaseInput();
    void OnReceived(const std::uint8_t* p, std::size_t n);

    const std::string FLinkPath;
    std::mutex FControl;  // one Start, Stop, Unplug or Replug at a time
    mutable std::mutex FLock;
    int FMaster = -1;
    int FSlave = -1;  // held open so the pty lives while the tool has it closed
    int FWake = -1;
    std::string FSlavePath;
    std::string FDialAddress;
    int FDialPort = 0;  // 0: a pty
    bool FHungUp = false;
    std::thread FThread;
    bool FStopping = false;

    std::map<std::uint8_t, ReplyHandler> FHandlers;
    bool FEcho = false;
    unsigned FPaceBaud = 0;
    unsigned FInPaceBaud = 0;
    bool FOutPaused = false;
    bool FOutHeld = false;
    std::size_t FOutReleased = 0;  // bytes that may still go while held
    std::uint64_t FSent = 0;
    std::deque<std::pair<double, std::uint64_t>> FSentAt;  // when, and the bytes sent by then
    std::uint64_t FSentLongAgo = 0;
    double FInFree = 0;  // when the line's last received byte has crossed it
    std::deque<std::pair<double, Bytes>> FIn;  // received bytes and when they have crossed
    Bytes FOut;
    Bytes FReceived;
    std::vector<Frame> FFrames;
    FrameScanner FScanner;
};

}  // namespace devsim
