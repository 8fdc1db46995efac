#include "platform/comm/DeviceNotices.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <libudev.h>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/comm/CommPort.h"
#include "platform/sys/GuiThread.h"

namespace comm {

namespace detail {
namespace {
std::atomic<bool> g_FailStopEvent{false};
}
void FailStopEventForTests(bool fail) { g_FailStopEvent = fail; }

void PostNotice(const std::shared_ptr<TNoticeSink>& sink, TDeviceChange change) {
    sys::PostToGuiThread([sink, change = std::move(change)] {
        TDeviceChangeHandler handler;
        {
            std::lock_guard<std::mutex> g(sink->lock);
            if (!sink->live) return;  // a late notice after Stop calls nothing
            handler = sink->handler;
        }
        if (handler) handler(change);
    });
}
}  // namespace detail

namespace {

TNoticeSourceFactory& Factory() {
    static TNoticeSourceFactory f;
    return f;
}

bool PathPresent(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string DirOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Prop(udev_device* dev, const char* key) {
    const char* v = udev_device_get_property_value(dev, key);
    return v ? v : "";
}

class TSystemNoticeSource : public TDeviceNoticeSource {
public:
    TSystemNoticeSource(std::vector<TListedPort> listed, bool watchUdev)
        : FListed(std::move(listed)), FWatchUdev(watchUdev) {}
    ~TSystemNoticeSource() override { Stop(); }

    bool Start(TDeviceChangeHandler handler) override {
        Stop();
        FSink = std::make_shared<detail::TNoticeSink>();
        FSink->handler = std::move(handler);
        if (!FListed.empty()) OpenInotify();
        if (FWatchUdev) OpenUdev();
        if (FInotify < 0 && !FMonitor) {
            CloseAll();
            return false;
        }
        // Stop wakes the thread through the eventfd; without one the thread looks for the stop
        // on a short step instead, as the port waits do.
        FStop = detail::g_FailStopEvent ? -1 : eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        FStopping = false;
        FThread = std::thread([this] { Run(); });
        return true;
    }

    void Stop() override {
        if (FSink) {
            std::lock_guard<std::mutex> g(FSink->lock);
            FSink->live = false;
        }
        if (FThread.joinable()) {
            FStopping = true;
            std::uint64_t one = 1;
            if (FStop >= 0 && write(FStop, &one, sizeof one) < 0) { /* the thread still sees it readable */ }
            FThread.join();
        }
        CloseAll();
        FSink.reset();
    }

private:
    struct Watched {
        TListedPort port;
        std::string dir, base;
        bool present = false;
    };

    void OpenInotify() {
        FInotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (FInotify < 0) return;
        for (const TListedPort& p : FListed) {
            Watched w{p, DirOf(p.Path), BaseOf(p.Path), PathPresent(p.Path)};
            int wd = inotify_add_watch(FInotify, w.dir.c_str(),
                                       IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                           IN_ATTRIB | IN_DELETE_SELF);
            if (wd < 0) continue;  // a folder that does not exist cannot be watched
            FWatched.emplace(wd, std::vector<Watched>{}).first->second.push_back(std::move(w));
        }
        if (FWatched.empty()) {
            close(FInotify);
            FInotify = -1;
        }
    }

    void OpenUdev() {
        FUdev = udev_new();
        if (!FUdev) return;
        FMonitor = udev_monitor_new_from_netlink(FUdev, "udev");
        if (!FMonitor || udev_monitor_filter_add_match_subsystem_devtype(FMonitor, "tty", nullptr) < 0 ||
            udev_monitor_enable_receiving(FMonitor) < 0) {
            if (FMonitor) udev_monitor_unref(FMonitor);
            FMonitor = nullptr;
        }
    }

    void CloseAll() {
        if (FMonitor) udev_monitor_unref(FMonitor);
        if (FUdev) udev_unref(FUdev);
        FMonitor = nullptr;
        FUdev = nullptr;
        if (FInotify >= 0) close(FInotify);
        FInotify = -1;
        FWatched.clear();
        if (FStop >= 0) close(FStop);
        FStop = -1;
    }

    void Run() {
        for (;;) {
            pollfd p[3];
            int n = 0;
            if (FStop >= 0) p[n++] = {FStop, POLLIN, 0};
            if (FInotify >= 0) p[n++] = {FInotify, POLLIN, 0};
            if (FMonitor) p[n++] = {udev_monitor_get_fd(FMonitor), POLLIN, 0};
            if (poll(p, n, FStop >= 0 ? -1 : detail::kFallbackPollMs) < 0 && errno != EINTR) return;
            if (FStopping) return;
            for (int i = 0; i < n; ++i) {
                if (!p[i].revents || p[i].fd == FStop) continue;
                if (p[i].fd == FInotify)
                    ReadInotify();
                else
                    ReadUdev();
            }
        }
    }

    void ReadInotify() {
        alignas(inotify_event) char buf[4096];
        for (;;) {
            ssize_t len = read(FInotify, buf, sizeof buf);
            if (len <= 0) return;
            for (char* at = buf; at < buf + len;) {
                auto* ev = reinterpret_cast<inotify_event*>(at);
                at += sizeof(inotify_event) + ev->len;
                if (ev->mask & IN_Q_OVERFLOW) {  // events were lost: look at every path again
                    for (auto& [wd, list] : FWatched)
                        for (Watched& w : list) Recheck(w);
                    continue;
                }
                auto it = FWatched.find(ev->wd);
                if (it == FWatched.end()) continue;
                std::string name = ev->len ? ev->name : "";
                for (Watched& w : it->second)
                    if (name.empty() || name == w.base) Recheck(w);
            }
        }
    }

    // Raises a notice only when presence really changed, however many events said so.
    void Recheck(Watched& w) {
        bool now = PathPresent(w.port.Path);
        if (now == w.present) return;
        w.present = now;
        detail::PostNotice(FSink, {now ? TDeviceChangeKind::Arrival : TDeviceChangeKind::Removal,
                                   w.port.Path, FriendlyPortName(w.port)});
    }

    void ReadUdev() {
        udev_device* dev = udev_monitor_receive_device(FMonitor);
        if (!dev) return;
        std::string action = udev_device_get_action(dev) ? udev_device_get_action(dev) : "";
        const char* node = udev_device_get_devnode(dev);
        const char* devpath = udev_device_get_devpath(dev);
        bool usb = devpath && std::string(devpath).find("/usb") != std::string::npos;
        if (node && usb && (action == "add" || action == "remove")) {
            std::string vendor = Prop(dev, "ID_VENDOR_FROM_DATABASE");
            if (vendor.empty()) vendor = Prop(dev, "ID_VENDOR");
            std::string model = Prop(dev, "ID_MODEL_FROM_DATABASE");
            if (model.empty()) model = Prop(dev, "ID_MODEL");
            detail::PostNotice(FSink, {action == "add" ? TDeviceChangeKind::Arrival
                                                       : TDeviceChangeKind::Removal,
                                       node, FriendlyPortName(vendor, model, node)});
        }
        udev_device_unref(dev);
    }

    std::vector<TListedPort> FListed;
    bool FWatchUdev;
    std::shared_ptr<detail::TNoticeSink> FSink;
    std::thread FThread;
    std::atomic<bool> FStopping = false;
    int FStop = -1;
    int FInotify = -1;
    std::map<int, std::vector<Watched>> FWatched;
    udev* FUdev = nullptr;
    udev_monitor* FMonitor = nullptr;
};

}  // namespace

std::unique_ptr<TDeviceNoticeSource> CreateSystemNoticeSource(std::vector<TListedPort> listed,
                                                              bool watchUdev) {
    return std::make_unique<TSystemNoticeSource>(std::move(listed), watchUdev);
}

std::unique_ptr<TDeviceNoticeSource> CreateNoticeSource() {
    if (Factory()) return Factory()();
    if (auto listed = ListedPortsFromEnv()) return CreateSystemNoticeSource(*listed, false);
    return CreateSystemNoticeSource({}, true);
}

void SetNoticeSourceFactory(TNoticeSourceFactory factory) { Factory() = std::move(factory); }

TManualNoticeSource::~TManualNoticeSource() { Stop(); }

bool TManualNoticeSource::Start(TDeviceChangeHandler handler) {
    Stop();
    FSink = std::make_shared<detail::TNoticeSink>();
    FSink->handler = std::move(handler);
    return true;
}

void TManualNoticeSource::Stop() {
    if (!FSink) return;
    std::lock_guard<std::mutex> g(FSink->lock);
    FSink->live = false;
}

void TManualNoticeSource::Raise(const TDeviceChange& change) {
    if (FSink) detail::PostNotice(FSink, change);
}

bool TManualNoticeSource::Running() const {
    if (!FSink) return false;
    std::lock_guard<std::mutex> g(FSink->lock);
    return FSink->live;
}

}  // namespace comm
