#pragma once
// The desk reader on a serial line: a pseudo-terminal published at a stable path (a symlink
// to the pty's device) that answers the reader's framed protocol. The line is left as the
// pty made it; the tool must set raw mode itself. It answers the information request (the
// tool's presence probe) and the TID read with the tag in the field, or "no tag".
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rfid/ReaderFrame.h"

namespace readersim {

// Replies as the reader sends them (address 0).
std::vector<std::uint8_t> ReaderInformationReply();
std::vector<std::uint8_t> TidReply(const TTid& tid);
std::vector<std::uint8_t> NoTagReply();

class TSerialReaderSim {
public:
    explicit TSerialReaderSim(std::string linkPath);
    ~TSerialReaderSim();
    TSerialReaderSim(const TSerialReaderSim&) = delete;
    TSerialReaderSim& operator=(const TSerialReaderSim&) = delete;

    bool Start();
    void Stop();
    const std::string& LinkPath() const { return FLinkPath; }

    // A silent reader receives but answers nothing (the tool's probes run out).
    void SetAnswering(bool on);
    // The tag in the field, or none.
    void SetTag(std::optional<TTid> tid);

    // Bytes on the line as they are (noise, a damaged reply).
    bool SendRaw(const std::vector<std::uint8_t>& bytes);

    int InformationRequests() const;
    int TidReads() const;
    // Frames with a wrong CRC or an impossible length, and requests of other commands.
    int OtherFrames() const;
    std::vector<std::uint8_t> Received() const;

private:
    void Serve();
    void OnBytes(const std::uint8_t* p, std::size_t n);
    bool Write(const std::vector<std::uint8_t>& bytes);

    std::string FLinkPath;
    mutable std::mutex FLock;
    int FMaster = -1;
    int FSlave = -1;
    int FWake = -1;
    bool FAnswering = true;
    std::optional<TTid> FTag;
    int FInfo = 0, FTid = 0, FOther = 0;
    std::vector<std::uint8_t> FIn, FReceived;
    std::thread FThread;
};

}  // namespace readersim
