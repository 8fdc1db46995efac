#pragma once
// Which of the listed serial ports is the controller's: the port list's friendly name holds
// the vendor text and the port's path in brackets ("(/dev/..." for a USB port, or "(" and
// a path listed in ZENTOR_PORTS for a simulated one); a listed entry is the controller's
// whatever its name. And what the user is told when a port is there but cannot be opened.
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/comm/PortList.h"

inline constexpr const char kDeviceVendorText[] = "STMicro";

// The path in brackets of a friendly name that is the controller's; nothing otherwise.
std::optional<std::string> DevicePortOfName(const std::string& friendlyName,
                                            const std::vector<std::string>& listedPaths);

// portName empty: whether any present port is the controller's. Otherwise whether the
// controller's port portName is among them: every matching port is compared, so with two
// controllers plugged in, the other one's notices leave the link alone.
bool DeviceConnectedAmong(const std::vector<comm::TPortInfo>& present,
                          const std::vector<std::string>& listedPaths, const std::string& portName);

// The words of a port's message in the window's language: numbered messages of the language
// file ("Port", "cannot be opened:", the remedy for a port without the rights to it, and the
// start of the one for a busy port).
inline constexpr int kMsgPort = 90, kMsgPortNotOpened = 91, kMsgPortNoRights = 92, kMsgPortBusy = 93;
struct TPortNoticeWords {
    std::string Port, NotOpened, NoRights, Busy;
};

// The system's reason for an error number in the window's language.
std::string PortErrorReason(int error, bool english);

// The port, the system's reason and what to do about it: for a port without the rights to
// it, the user's groups; for a busy one, how to see the program that holds it (as root: a
// holder of another user, ModemManager, is hidden from the user).
std::string PortNotOpenedText(const TPortNoticeWords& words, const std::string& port, int error,
                              const std::string& reason);

// A port that exists but will not open says why once per port and reason, not on every tick
// of the scan. A port that is absent (or vanished meanwhile) is no news: it is passed over.
class TPortOpenNotices {
public:
    // Whether the failure is to be told: not absence, nor one told already.
    bool Failed(const std::string& port, int error);
    // The port opened: its next failure is news again.
    void Opened(const std::string& port);

private:
    std::set<std::pair<std::string, int>> FTold;
};
