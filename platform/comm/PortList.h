#pragma once
// The machine's serial ports: every tty that udev knows with a parent device, less phantom
// UARTs and the system console, sorted case-insensitively; or, when ZENTOR_PORTS is set
// (entries separated by ";", each PATH or PATH=NAME), exactly its entries.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace comm {

struct TPortInfo {
    std::string Path;          // what OpenPort takes
    std::string FriendlyName;  // "<vendor> <model> (<path>)", "<NAME> (<path>)" or the path
};

// An entry of ZENTOR_PORTS.
struct TListedPort {
    std::string Path;
    std::string Name;  // empty when the entry gave none
};

// The port list. nullopt when the system has no way to list ports (no udev), so that the
// caller keeps what it had.
std::optional<std::vector<TPortInfo>> ListPorts();

// The list as a user picks from it: friendly names in list order; empty without a list.
std::vector<std::string> PortChoices();
// The path a picked friendly name stands for; any other text is taken as a typed path.
std::string PortOfChoice(const std::string& text);

// ZENTOR_PORTS' entries, or nullopt when it is not set.
std::optional<std::vector<TListedPort>> ListedPortsFromEnv();
// Splits a ZENTOR_PORTS value; blank entries are skipped, spaces around parts trimmed, and a
// path given again is dropped (its first entry holds).
std::vector<TListedPort> ParseListedPorts(std::string_view value);

// "<vendor> <model> (<path>)" from what is known (vendor or model may be empty), else the path.
std::string FriendlyPortName(const std::string& vendor, const std::string& model,
                             const std::string& path);
// A listed entry's name: "<NAME> (<path>)", or the path when it has no name.
std::string FriendlyPortName(const TListedPort& listed);

// Case-insensitive order (ASCII letters), stable for names equal but for case.
void SortPortNames(std::vector<std::string>& names);
void SortPorts(std::vector<TPortInfo>& ports);

// An 8250-family port whose type reads as unknown (a UART the kernel reserved but found no
// chip behind): its sysfs "type" attribute is "0".
bool IsPhantomUart(std::string_view sysfsType);

}  // namespace comm
