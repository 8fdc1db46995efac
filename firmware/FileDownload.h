#pragma once
// The file server's download: the client asks "GetFile=<name>#", the server answers with a
// header "file#<path>#<size>#" (or "file not exists") and then the file's raw bytes; the
// client says "EndTransfer" once it has them all. The receiver takes the bytes as they
// arrive, split anywhere.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kEndTransfer = "EndTransfer";
inline constexpr const char* kFileNotExists = "file not exists";
inline constexpr int kMsgDownloadConnected = 45;
inline constexpr int kMsgDownloadConnecting = 46;
inline constexpr int kMsgDownloadSize = 70;
inline constexpr int kMsgDownloading = 42;
inline constexpr int kMsgDownloadDone = 43;
inline constexpr int kMsgDownloadMissing = 60;
inline constexpr int kMsgDownloadBadHeader = 13;
// A header longer than this is not one.
inline constexpr std::size_t kMaxDownloadHeader = 4096;

// "GetFile=" + the update server's reply (UTF-8, sent as Windows-1251) + "#".
std::string FileRequest(const std::string& replyText);

// "<AppData>/TALIVEX/TALIVEX Zentor/Downloads/", with the trailing "/".
std::string DownloadsFolder(const std::string& appDataFolder);
std::string DownloadsFolder();

// The name part of the header's path (after its last "\" or "/"), UTF-8. Empty when it is
// no plain file name ("", "." or ".."), so that nothing is written outside the folder.
std::string DownloadFileName(const std::string& headerPathCp1251);

// Creates the folder with its parents and writes the bytes under name, replacing an old
// file. False when anything fails.
bool SaveDownload(const std::string& folder, const std::string& name,
                  const std::vector<std::uint8_t>& bytes);

class TFileDownload {
public:
    // What one receive brought; several may hold at once.
    struct TFeed {
        bool HeaderRead = false;  // Size() and FileName() are known: message 70 and the size
        bool Missing = false;     // "file not exists": message 60, connection closed
        bool BadHeader = false;   // a size that is not a u32 or a name that is no file name
        bool Progress = false;    // bytes were added: message 42, Percent()
        bool Complete = false;    // Data() holds the whole file: send "EndTransfer", save it
    };

    // A new connection: waiting for the header, nothing received.
    void Reset();
    TFeed Feed(const std::uint8_t* bytes, std::size_t n);

    bool Receiving() const { return FState == TState::Receiving; }
    std::uint32_t Size() const { return FSize; }
    const std::string& FileName() const { return FFileName; }
    const std::vector<std::uint8_t>& Data() const { return FData; }
    // Download progress 0..100.
    int Percent() const;

private:
    enum class TState { Header, Receiving, Done };
    TFeed TakeHeader();
    void TakeBody(const std::uint8_t* bytes, std::size_t n, TFeed& feed);

    TState FState = TState::Header;
    std::string FHeader;
    std::uint32_t FSize = 0;
    std::string FFileName;
    std::vector<std::uint8_t> FData;
};
