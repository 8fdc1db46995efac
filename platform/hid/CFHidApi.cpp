// The reader vendor's library stood in by a simulated reader on a Unix socket: one reader
// when ZENTOR_HID_READER names a socket, its reports passed to the callback on a thread of
// the library's own.
#include "platform/hid/CFHidApi.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/hid/HidWire.h"

namespace {

constexpr std::size_t kInfoLimit = 256;  // the tool's buffer is 512 bytes

thread_local bool tl_InCallback = false;

// One open of the reader. Its descriptor is closed only when the library and the reader
// thread are both done with it, so no shutdown() or send() can ever reach a number that the
// system has meanwhile handed to another file (a tty, a socket of the tool).
struct Stream {
    explicit Stream(int f) : fd(f) {}
    ~Stream() { ::close(fd); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    const int fd;
    std::atomic<bool> closing{false};  // the library closes it: its end is no loss
};

struct Library {
    std::mutex lock;  // the open reader: stream and thread
    std::shared_ptr<Stream> stream;
    std::thread reader;
    std::mutex callLock;  // held while the callback runs
    std::atomic<CFHidCallback> callback{nullptr};
    // The reader went before a callback was set; set and taken under callLock.
    std::atomic<bool> lossPending{false};

    ~Library() {
        {
            std::lock_guard<std::mutex> g(callLock);
            callback = nullptr;
        }
        std::lock_guard<std::mutex> g(lock);
        CloseLocked();
    }

    void CloseLocked() {
        lossPending = false;  // a loss of the reader closed now is nobody's news
        if (!stream) return;
        stream->closing = true;
        ::shutdown(stream->fd, SHUT_RDWR);  // ends the thread's read
        stream.reset();
        if (!reader.joinable()) return;
        if (reader.get_id() == std::this_thread::get_id())
            reader.detach();  // closed from inside the callback: the thread ends after it
        else
            reader.join();
    }
};

Library& Lib() {
    static Library lib;
    return lib;
}

std::string ReaderPath() {
    const char* p = std::getenv("ZENTOR_HID_READER");
    if (!p || !*p) return {};
    struct stat st {};
    if (::stat(p, &st) != 0 || !S_ISSOCK(st.st_mode)) return {};
    return p;
}

bool ReadFull(int fd, std::uint8_t* buf, std::size_t n) {
    while (n > 0) {
        ssize_t r = ::read(fd, buf, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        buf += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

// Runs the callback with callLock held.
void Call(CFHidCallback cb, hidwire::TReport& report) {
    if (report.Data.empty()) report.Data.push_back(0);  // never a null pointer
    tl_InCallback = true;
    cb(report.Kind, report.Count, report.Data.data());
    tl_InCallback = false;
}

void Deliver(Library& lib, hidwire::TReport& report) {
    if (!hidwire::RecordsFit(report)) return;  // a report the callback could read past
    std::lock_guard<std::mutex> g(lib.callLock);
    if (CFHidCallback cb = lib.callback.load()) Call(cb, report);
}

// The reader is gone: said once, now or as soon as there is someone to tell.
void DeliverLoss(Library& lib) {
    hidwire::TReport lost{CFHID_READER_LOST, 0, {}};
    std::lock_guard<std::mutex> g(lib.callLock);
    if (CFHidCallback cb = lib.callback.load()) Call(cb, lost);
    else lib.lossPending = true;
}

void ReaderThread(std::shared_ptr<Stream> stream) {
    Library& lib = Lib();
    std::uint8_t header[hidwire::kHeaderSize];
    std::vector<std::uint8_t> payload;
    while (ReadFull(stream->fd, header, sizeof header)) {
        auto n = hidwire::PayloadLength(header);
        if (!n) break;  // out of step: the reader is dropped
        payload.resize(*n);
        if (*n && !ReadFull(stream->fd, payload.data(), *n)) break;
        if (header[0] != hidwire::kReport) continue;
        if (auto report = hidwire::DecodeReport(payload.data(), payload.size())) Deliver(lib, *report);
    }
    // The reader went away, or said what nobody understands: it is as good as unplugged.
    ::shutdown(stream->fd, SHUT_RDWR);
    if (!stream->closing) DeliverLoss(lib);
}

int Connect(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return -1;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

extern "C" {

int32_t CFHid_GetUsbCount(void) { return ReaderPath().empty() ? 0 : 1; }

int32_t CFHid_GetUsbInfo(int32_t index, char* buffer) {
    if (!buffer) return 0;
    std::string path = ReaderPath();
    if (index != 0 || path.empty()) {
        buffer[0] = 0;
        return 0;
    }
    std::string text = "USB RFID desk reader (" + path + ")";
    if (text.size() >= kInfoLimit) text.resize(kInfoLimit - 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 1;
}

int32_t CFHid_OpenDevice(int32_t index) {
    Library& lib = Lib();
    std::lock_guard<std::mutex> g(lib.lock);
    lib.CloseLocked();
    std::string path = ReaderPath();
    if (index != 0 || path.empty()) return 0;
    int fd = Connect(path);
    if (fd < 0) return 0;
    lib.stream = std::make_shared<Stream>(fd);
    lib.reader = std::thread(ReaderThread, lib.stream);
    return 1;
}

int32_t CFHid_SetCallback(CFHidCallback callback) {
    Library& lib = Lib();
    if (tl_InCallback) {
        lib.callback = callback;
        return 1;
    }
    std::lock_guard<std::mutex> g(lib.callLock);  // a running call ends first
    lib.callback = callback;
    if (callback && lib.lossPending) {
        lib.lossPending = false;
        hidwire::TReport lost{CFHID_READER_LOST, 0, {}};
        Call(callback, lost);
    }
    return 1;
}

int32_t CFHid_SetDeviceOneParam(int32_t a, int32_t b, int32_t c) {
    Library& lib = Lib();
    std::lock_guard<std::mutex> g(lib.lock);
    if (!lib.stream) return 0;
    std::vector<std::uint8_t> msg = hidwire::EncodeParam(a, b, c);
    return ::send(lib.stream->fd, msg.data(), msg.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(msg.size()) ? 1 : 0;
}

int32_t CFHid_CloseDevice(void) {
    Library& lib = Lib();
    std::lock_guard<std::mutex> g(lib.lock);
    lib.CloseLocked();
    return 1;
}

}  // extern "C"
