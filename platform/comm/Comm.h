#pragma once
// The serial calls the port component is written against, on termios. A port is reached by
// an opaque handle from a table (handles are never reused, so a stale handle just fails).
// Failures return false (or the invalid handle) and leave the system error (an errno value)
// in LastError() of the calling thread.
#include <atomic>
#include <cstdint>
#include <string>

namespace comm {

using THandle = std::int64_t;
inline constexpr THandle InvalidHandle = -1;

// The error of the last failed call on this thread (errno values); 0 when none.
int LastError();
void SetLastError(int error);

// ---- opening -------------------------------------------------------------------------------

// Opens a serial device by its path: only character devices that are ttys; exclusive
// (TIOCEXCL and flock, as root ignores TIOCEXCL), raw, and with what was queued before the
// open thrown away. A name that is not an absolute path ("COM1") fails as a missing port.
THandle OpenPort(const std::string& path);
// Closes the port. The handle is gone afterwards even when the close itself failed.
bool ClosePort(THandle h);
bool IsOpenPort(THandle h);

// ---- port state ----------------------------------------------------------------------------

inline constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3,
                              SPACEPARITY = 4;
inline constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;
inline constexpr std::uint8_t DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1,
                              DTR_CONTROL_HANDSHAKE = 2;
inline constexpr std::uint8_t RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1,
                              RTS_CONTROL_HANDSHAKE = 2, RTS_CONTROL_TOGGLE = 3;

// The port-state record. Fields the line cannot carry (DSR flow, error character, limits)
// are accepted and kept so that they read back as set.
struct TPortState {
    std::uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = DTR_CONTROL_DISABLE;
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    std::uint8_t fRtsControl = RTS_CONTROL_DISABLE;
    bool fAbortOnError = false;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = NOPARITY;
    std::uint8_t StopBits = ONESTOPBIT;
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;

    // The flag word in the classic bit layout (fBinary 0x0001 ... RTS control 0x3000).
    std::uint32_t Flags() const;
};

// Fails with EINVAL for what no line can be asked for (rate 0 or above 2^31 - 1, 1.5 stop
// bits with more than five data bits, two with five) and, after applying the rest, for a
// rate, format or flow setting that the driver did not take.
bool SetPortState(THandle h, const TPortState& state);
// Reads the state back from the line (rate, format and flow from termios).
bool GetPortState(THandle h, TPortState& state);

// All in milliseconds; MAXDWORD is the all-ones value.
inline constexpr std::uint32_t MAXDWORD = 0xFFFFFFFFu;
struct TTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};
bool SetTimeouts(THandle h, const TTimeouts& timeouts);
bool GetTimeouts(THandle h, TTimeouts& timeouts);

// Recommended queue sizes; the input size bounds the layer's own input queue.
bool SetQueueSizes(THandle h, std::uint32_t inputSize, std::uint32_t outputSize);

// ---- events --------------------------------------------------------------------------------

inline constexpr std::uint32_t EV_RXCHAR = 0x0001, EV_RXFLAG = 0x0002, EV_TXEMPTY = 0x0004,
                               EV_CTS = 0x0008, EV_DSR = 0x0010, EV_RLSD = 0x0020,
                               EV_BREAK = 0x0040, EV_ERR = 0x0080, EV_RING = 0x0100,
                               EV_RX80FULL = 0x0400;

// A manual-reset signal that ends a wait from another thread. Should no descriptor be had
// for it (the process is out of them), waits on it look at it on a short step instead.
class TStopSignal {
public:
    TStopSignal();
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;
    void Set();
    void Reset();
    bool IsSet() const { return FSet.load(); }
    int Descriptor() const { return FFd; }  // -1 when none could be had

private:
    int FFd = -1;
    std::atomic<bool> FSet{false};
};

// Changing the mask ends a pending wait with an empty mask. Bytes already received count
// as there before the mask: only later arrivals raise "character received".
bool SetEventMask(THandle h, std::uint32_t mask);
bool GetEventMask(THandle h, std::uint32_t& mask);

// Waits for one of the masked events. Received bytes go into the layer's input queue;
// "character received" is raised only for new bytes. Ends with true and mask 0 when stop is
// set, the mask changes or timeoutMs (-1: none) runs out. A device that has gone (hang-up)
// fails once with EIO after its last bytes; every later wait fails at once.
bool WaitEvent(THandle h, std::uint32_t& mask, const TStopSignal* stop, int timeoutMs = -1);
// The bytes the reader waits for (1 by default: any). Until the queue holds that many,
// "character received" is raised for what has come at most every kReceiveGatherMs, and the
// wait, once it has seen the pace at which the bytes come, looks at the line again when the
// rest should be in rather than at every piece of a slow line. A reader that waits in
// ReadPort sets it back to 1.
inline constexpr int kReceiveGatherMs = 200;
bool SetReceiveThreshold(THandle h, std::uint32_t bytes);

// ---- transfers -----------------------------------------------------------------------------

// Reads up to count bytes following the port's time-outs (real clock): the input queue
// first, then the line. Returns as soon as the bytes are there, whoever took them from the
// line. A hang-up with nothing read fails with EIO.
bool ReadPort(THandle h, void* buffer, std::uint32_t count, std::uint32_t& done);
// Writes and waits until the bytes have left the output queue, within the write time-out;
// on time-out it succeeds with the bytes sent so far.
bool WritePort(THandle h, const void* buffer, std::uint32_t count, std::uint32_t& done);
// Sends one byte ahead of anything the layer holds.
bool TransmitChar(THandle h, char ch);

inline constexpr std::uint32_t PURGE_TXABORT = 0x0001, PURGE_RXABORT = 0x0002,
                               PURGE_TXCLEAR = 0x0004, PURGE_RXCLEAR = 0x0008;
// Clears the queues; the abort flags end transfers waiting in other threads.
bool Purge(THandle h, std::uint32_t flags);

// ---- status --------------------------------------------------------------------------------

inline constexpr std::uint32_t CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004,
                               CE_FRAME = 0x0008, CE_BREAK = 0x0010, CE_TXFULL = 0x0100,
                               CE_IOE = 0x0400, CE_MODE = 0x8000;
struct TQueueStatus {
    std::uint32_t Flags = 0;    // hold states and the like; none are tracked on this line
    std::uint32_t InQueue = 0;  // bytes waiting: the layer's queue and the line's
    std::uint32_t OutQueue = 0;
};
// Takes and clears the error flags (from the line's counters) and gives the queue status.
bool ClearError(THandle h, std::uint32_t& errors, TQueueStatus* status);

inline constexpr std::uint32_t MS_CTS_ON = 0x0010, MS_DSR_ON = 0x0020, MS_RING_ON = 0x0040,
                               MS_RLSD_ON = 0x0080;
// Lines a device cannot report (a pty) read as off.
bool GetModemStatus(THandle h, std::uint32_t& status);

inline constexpr int SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6,
                     SETBREAK = 8, CLRBREAK = 9;
// Modem lines a device cannot drive (a pty) are accepted and ignored.
bool EscapeFunction(THandle h, int function);

}  // namespace comm
