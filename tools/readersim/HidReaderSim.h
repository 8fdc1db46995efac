#pragma once
// A desk reader on USB-HID as the reader stand-in (platform/hid) sees it: a Unix socket
// at a path that ZENTOR_HID_READER names. A test or a demo scripts the tag reports it
// sends; the reader settings the library passes are recorded.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rfid/ReaderFrame.h"

namespace readersim {

// One tag record as the reader reports it: L = 17, antenna and tag type, the 12 tag bytes,
// signal strength and two reserved bytes (18 bytes in all).
std::vector<std::uint8_t> HidTagRecord(const TTid& tid);

class THidReaderSim {
public:
    explicit THidReaderSim(std::string socketPath);
    ~THidReaderSim();
    THidReaderSim(const THidReaderSim&) = delete;
    THidReaderSim& operator=(const THidReaderSim&) = delete;

    // Listens at the path (a file left there is replaced) and serves on a thread.
    bool Start();
    // Stops serving and removes the path.
    void Stop();
    const std::string& Path() const { return FPath; }

    // The library has the reader open (a newer open replaces an older one).
    bool Connected() const;
    // Opens seen since the start.
    int Opens() const;
    // A report as the library passes it to its callback; false when no library has the
    // reader open.
    bool SendReport(std::int32_t kind, std::int32_t count, const std::vector<std::uint8_t>& data);
    // A kind 2 report with one record per tag.
    bool SendTags(const std::vector<TTid>& tags);
    // Raw bytes on the socket (for out-of-step streams).
    bool SendRaw(const std::vector<std::uint8_t>& bytes);
    // The reader goes away: the library's connection ends from this side.
    void Unplug();
    // The settings received, in order.
    std::vector<std::array<std::int32_t, 3>> Params() const;

private:
    void Serve();
    void OnBytes(const std::uint8_t* p, std::size_t n);
    void DropClient();

    std::string FPath;
    mutable std::mutex FLock;
    int FListen = -1;
    int FClient = -1;
    int FWake = -1;
    int FOpens = 0;
    std::vector<std::uint8_t> FIn;
    std::vector<std::array<std::int32_t, 3>> FParams;
    std::thread FThread;
};

}  // namespace readersim
