#pragma once
// The maker's update server and file server on loopback, one connection at a time each.
//
// Update server: a connection carries one query without a terminator ("Get_FW,type=11" or
// "Get_CONFUPD:Zentor#"); it is answered with the reply text set for its kind, and the
// server then waits for the client to close.
// File server: "GetFile=<name>#" is answered with "file#<path>#<size>#" and the file's bytes
// (in pieces of a chosen size), or "file not exists"; the client's "EndTransfer" is noted.
//
//     updatesim::UpdateSim sim;
//     sim.SetFirmwareReply("fw38.bin");
//     sim.AddFile("fw38.bin", bytes);
//     sim.Start();   // then point ZENTOR_UPDATE_HOST / ZENTOR_FILE_HOST at its ports
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace updatesim {

using Bytes = std::vector<std::uint8_t>;

class UpdateSim {
public:
    UpdateSim();
    ~UpdateSim();
    UpdateSim(const UpdateSim&) = delete;
    UpdateSim& operator=(const UpdateSim&) = delete;

    // Listens on 127.0.0.1 (port 0: one the system chooses) and serves on a thread.
    bool Start(int updatePort = 0, int filePort = 0);
    void Stop();
    int UpdatePort() const { return FUpdatePort; }
    int FilePort() const { return FFilePort; }

    // Reply texts (sent as they stand) to the firmware and the tool queries.
    void SetFirmwareReply(const std::string& text);
    void SetToolReply(const std::string& text);
    // A file the file server has; serverPath is the path its header names (default
    // "C:\srv\files\" + name).
    void AddFile(const std::string& name, const Bytes& bytes, const std::string& serverPath = "");
    // Sends file bytes in pieces of this size (0: all at once).
    void SetPieceSize(std::size_t bytes);
    // Sends the header in pieces of this size, a moment apart (0: all at once).
    void SetHeaderPieceSize(std::size_t bytes);
    // A server gone wrong: the header announces this size whatever the file holds (0: the
    // file's own), and only the first stallAfter bytes are sent before it falls silent with
    // the connection open.
    void SetAnnouncedSize(std::uint64_t bytes);
    void SetStallAfter(std::size_t bytes);
    // Instead of falling silent, the server closes the connection after those bytes.
    void SetHangUpOnStall(bool on);

    std::vector<std::string> Queries() const;
    std::vector<std::string> FileRequests() const;  // the names asked for
    int EndTransfers() const;

private:
    void Serve();
    void ServeUpdate(int fd);
    void ServeFile(int fd);

    struct TFile {
        Bytes Data;
        std::string Path;
    };
    mutable std::mutex FLock;
    std::string FFirmwareReply = "fw1.bin";
    std::string FToolReply = "Zentor_v1.0.0.0.exe";
    std::map<std::string, TFile> FFiles;
    std::size_t FPiece = 0;
    std::size_t FHeaderPiece = 0;
    std::uint64_t FAnnounced = 0;
    std::size_t FStallAfter = SIZE_MAX;
    bool FHangUpOnStall = false;
    std::vector<std::string> FQueries;
    std::vector<std::string> FFileRequests;
    int FEndTransfers = 0;

    int FUpdateFd = -1;
    int FFileFd = -1;
    int FStopPipe[2] = {-1, -1};
    int FUpdatePort = 0;
    int FFilePort = 0;
    std::thread FThread;
};

}  // namespace updatesim
