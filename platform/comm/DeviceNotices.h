#pragma once
// Arrival and removal notices of serial devices. The system's source watches USB ttys
// through the udev monitor, or, when ports are listed (ZENTOR_PORTS), the listed paths with
// inotify: a listed path appearing or vanishing raises the same notices as a USB device.
// Handlers run on the GUI thread (queued); after Stop none is called. Tests replace the
// source through SetNoticeSourceFactory, or drive a TManualNoticeSource.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/comm/PortList.h"

namespace comm {

enum class TDeviceChangeKind { Arrival, Removal };

struct TDeviceChange {
    TDeviceChangeKind Kind = TDeviceChangeKind::Arrival;
    std::string Path;          // the device node or listed path
    std::string FriendlyName;  // as in the port list (may be the path alone)
};

using TDeviceChangeHandler = std::function<void(const TDeviceChange&)>;

class TDeviceNoticeSource {
public:
    virtual ~TDeviceNoticeSource() = default;
    // Starts delivering notices to handler; false when nothing can be watched.
    virtual bool Start(TDeviceChangeHandler handler) = 0;
    virtual void Stop() = 0;
};

// udev's USB ttys (when watchUdev) and inotify on the listed paths.
std::unique_ptr<TDeviceNoticeSource> CreateSystemNoticeSource(std::vector<TListedPort> listed,
                                                              bool watchUdev);

// The source the tool uses: the factory's when one is set, else the listed entries of
// ZENTOR_PORTS when set, else udev.
std::unique_ptr<TDeviceNoticeSource> CreateNoticeSource();
using TNoticeSourceFactory = std::function<std::unique_ptr<TDeviceNoticeSource>()>;
void SetNoticeSourceFactory(TNoticeSourceFactory factory);  // empty restores the default

namespace detail {
// Queues a notice to the GUI thread through a sink that Stop can silence.
struct TNoticeSink {
    std::mutex lock;
    TDeviceChangeHandler handler;
    bool live = true;
};
void PostNotice(const std::shared_ptr<TNoticeSink>& sink, TDeviceChange change);
// Tests: the watch's stop eventfd fails, as when the process has no descriptor left.
void FailStopEventForTests(bool fail);
}  // namespace detail

// A source that raises what a test tells it to, delivered like the system's.
class TManualNoticeSource : public TDeviceNoticeSource {
public:
    ~TManualNoticeSource() override;
    bool Start(TDeviceChangeHandler handler) override;
    void Stop() override;
    // Any thread: queues the notice for the GUI thread.
    void Raise(const TDeviceChange& change);
    bool Running() const;

private:
    std::shared_ptr<detail::TNoticeSink> FSink;
};

}  // namespace comm
