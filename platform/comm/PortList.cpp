#include "platform/comm/PortList.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <libudev.h>
#include <memory>
#include <set>
#include <sstream>

namespace comm {
namespace {

namespace fs = std::filesystem;

std::string Trim(std::string_view s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    auto e = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(b, e - b + 1));
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

// The ttys that the kernel uses as its console.
std::set<std::string> ConsoleNames() {
    std::set<std::string> names{"console"};
    std::ifstream f("/sys/class/tty/console/active");
    std::string word;
    while (f >> word) names.insert(word);
    return names;
}

std::string Property(udev_device* dev, const char* key) {
    const char* v = udev_device_get_property_value(dev, key);
    return v ? v : "";
}

// Vendor or model from udev: the hardware database's text, else the device's own with its
// underscores as spaces.
std::string Describe(udev_device* dev, const char* fromDatabase, const char* own) {
    std::string s = Property(dev, fromDatabase);
    if (s.empty()) {
        s = Property(dev, own);
        std::replace(s.begin(), s.end(), '_', ' ');
    }
    return Trim(s);
}

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};

// The ttys the kernel lists, less the virtual ones (terminals, pseudo-terminals), which have
// no parent device: only their links are read, since the scan lists the ports every second
// while it finds none, and udev's own enumeration reads every tty's properties.
std::optional<std::vector<std::string>> TtysWithDevice() {
    const fs::path root = "/sys/class/tty";
    std::error_code ec;
    fs::directory_iterator it(root, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (const fs::directory_entry& e : it) {
        const std::string target = fs::read_symlink(e.path(), ec).string();
        if (!ec && target.find("/devices/virtual/") == std::string::npos) names.push_back(e.path().filename());
    }
    return names;
}

std::optional<std::vector<TPortInfo>> ListSystemPorts() {
    std::unique_ptr<udev, UdevDeleter> u(udev_new());
    if (!u) return std::nullopt;
    const auto ttys = TtysWithDevice();
    if (!ttys) return std::nullopt;
    const std::set<std::string> consoles = ConsoleNames();
    std::vector<TPortInfo> ports;
    for (const std::string& tty : *ttys) {
        std::unique_ptr<udev_device, UdevDeleter> dev(udev_device_new_from_subsystem_sysname(u.get(), "tty", tty.c_str()));
        if (!dev || !udev_device_get_parent(dev.get())) continue;
        const char* node = udev_device_get_devnode(dev.get());
        const char* name = udev_device_get_sysname(dev.get());
        if (!node || !name || consoles.count(name)) continue;
        const char* type = udev_device_get_sysattr_value(dev.get(), "type");
        if (type && IsPhantomUart(type)) continue;
        std::string vendor = Describe(dev.get(), "ID_VENDOR_FROM_DATABASE", "ID_VENDOR");
        std::string model = Describe(dev.get(), "ID_MODEL_FROM_DATABASE", "ID_MODEL");
        ports.push_back({node, FriendlyPortName(vendor, model, node)});
    }
    return ports;
}

}  // namespace

std::optional<std::vector<TPortInfo>> ListPorts() {
    std::optional<std::vector<TPortInfo>> ports;
    if (auto listed = ListedPortsFromEnv()) {
        ports.emplace();
        for (const TListedPort& l : *listed) ports->push_back({l.Path, FriendlyPortName(l)});
    } else {
        ports = ListSystemPorts();
    }
    if (ports) SortPorts(*ports);
    return ports;
}

std::vector<std::string> PortChoices() {
    std::vector<std::string> names;
    if (auto ports = ListPorts())
        for (const TPortInfo& p : *ports) names.push_back(p.FriendlyName);
    return names;
}

std::string PortOfChoice(const std::string& text) {
    if (auto ports = ListPorts())
        for (const TPortInfo& p : *ports)
            if (p.FriendlyName == text) return p.Path;
    return text;
}

std::optional<std::vector<TListedPort>> ListedPortsFromEnv() {
    const char* v = std::getenv("ZENTOR_PORTS");
    if (!v) return std::nullopt;
    return ParseListedPorts(v);
}

std::vector<TListedPort> ParseListedPorts(std::string_view value) {
    std::vector<TListedPort> out;
    std::size_t pos = 0;
    while (pos <= value.size()) {
        std::size_t end = value.find(';', pos);
        if (end == std::string_view::npos) end = value.size();
        std::string_view item = value.substr(pos, end - pos);
        pos = end + 1;
        std::size_t eq = item.find('=');
        TListedPort p;
        p.Path = Trim(item.substr(0, eq));
        if (eq != std::string_view::npos) p.Name = Trim(item.substr(eq + 1));
        // A path listed again is the same port: it is listed, watched and probed once.
        const bool seen =
            std::any_of(out.begin(), out.end(), [&](const TListedPort& o) { return o.Path == p.Path; });
        if (!p.Path.empty() && !seen) out.push_back(std::move(p));
    }
    return out;
}

std::string FriendlyPortName(const std::string& vendor, const std::string& model,
                             const std::string& path) {
    std::string who = Trim(vendor + " " + model);
    return who.empty() ? path : who + " (" + path + ")";
}

std::string FriendlyPortName(const TListedPort& listed) {
    return listed.Name.empty() ? listed.Path : listed.Name + " (" + listed.Path + ")";
}

void SortPortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), LessNoCase);
}

void SortPorts(std::vector<TPortInfo>& ports) {
    std::stable_sort(ports.begin(), ports.end(),
                     [](const TPortInfo& a, const TPortInfo& b) { return LessNoCase(a.Path, b.Path); });
}

bool IsPhantomUart(std::string_view sysfsType) { return Trim(sysfsType) == "0"; }

}  // namespace comm
