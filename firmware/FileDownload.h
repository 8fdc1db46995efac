#pragma once
// The file server's download: the client asks "GetFile=<name>#", the server answers with a
// header "file#<path>#<size>#" (or "file not exists") and then the file's raw bytes; the
// client says "EndTransfer" once it has them all. The receiver takes the bytes as they
// arrive, split anywhere, and hands the file's bytes on as they come: nothing is buffered.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
// A firmware image or the tool's installer is a few MB; a larger announcement is no file
// of ours.
inline constexpr std::uint32_t kMaxDownloadSize = 256u << 20;
// A file server that sends nothing for this long has stopped.
inline constexpr std::int64_t kDownloadSilenceMs = 30000;
inline constexpr int kMsgDownloadStalled = 4;
// The file server closed the connection before the whole file had come.
inline constexpr const char* kTextDownloadCut = "Файл загружен не полностью: сервер закрыл соединение";

// "Download and update" uses only the file the update server offered: another name from the
// file server is kept and neither opened nor flashed.
std::string ForeignDownloadText(const std::string& name, const std::string& offered, const std::string& folder);
// The desktop's opener could not be started, or failed with its exit code; the file stays.
std::string OpenerMissingText(const std::string& path);
std::string OpenerFailedText(const std::string& path, int exitCode);

// "Download and update" hands the desktop's opener documents only, known by their name and
// their first bytes alike: PDF, plain text, PNG, JPEG, GIF and BMP pictures, ZIP, gzip, xz,
// bzip2 and 7z archives. A desktop may run anything else (a launcher, a Java archive, a
// script, an AppImage, a program), so it is kept in the folder unopened.
inline constexpr std::size_t kDocumentHead = 4096;
bool OpenableDocument(const std::string& name, std::string_view head);
// The file may be run as a program: a file system that gives every file the execute bits
// makes no document safe to hand on.
bool HasExecuteBits(const std::string& path);
std::string KeptUnopenedText(const std::string& name, const std::string& folder);

class TSafeFileWriter;

// "GetFile=" + the update server's reply (UTF-8, sent as Windows-1251) + "#".
std::string FileRequest(const std::string& replyText);

// "<AppData>/TALIVEX/TALIVEX Zentor/Downloads/", with the trailing "/".
std::string DownloadsFolder(const std::string& appDataFolder);
std::string DownloadsFolder();

// The name part of the header's path (after its last "\" or "/"), UTF-8. Empty when it is
// no plain file name ("", "." or "..", or a control character in it), so that nothing is
// written outside the folder and no line break or tab reaches the disk or the messages.
std::string DownloadFileName(const std::string& headerPathCp1251);

// The name a download is saved under: the file server's, shortened to what the file system
// takes (kSafeFileNameMax bytes of UTF-8), its extension and whole characters kept.
std::string DownloadSaveName(const std::string& name);
// Message 95: the name was shortened, followed by the name used.
inline constexpr int kMsgDownloadNameShortened = 95;

// Creates the folder with its parents and begins the file under name there: it replaces
// an old file only when committed whole, and is never executable. False when either fails,
// with the system's reason in error.
bool OpenDownloadFile(TSafeFileWriter& file, const std::string& folder, const std::string& name,
                      std::string* error = nullptr);

// The time since the file server last sent anything, on the tool's clock.
class TDownloadSilence {
public:
    void Start(std::int64_t nowMs) {
        FRunning = true;
        FLastMs = nowMs;
    }
    void Heard(std::int64_t nowMs) { FLastMs = nowMs; }
    void Stop() { FRunning = false; }
    bool Running() const { return FRunning; }
    // True once nothing has come for kDownloadSilenceMs.
    bool Expired(std::int64_t nowMs) const { return FRunning && nowMs - FLastMs >= kDownloadSilenceMs; }

private:
    bool FRunning = false;
    std::int64_t FLastMs = 0;
};

class TFileDownload {
public:
    // What one receive brought; several may hold at once.
    struct TFeed {
        bool HeaderRead = false;  // Size() and FileName() are known: message 70 and the size
        bool Missing = false;     // "file not exists": message 60, connection closed
        bool BadHeader = false;   // a size that is no number or too large, a name that is no
                                  // file name
        bool Progress = false;    // bytes of the file came: message 42, Percent()
        bool Complete = false;    // the whole file has come: send "EndTransfer", keep it
        // The file's bytes in what was fed (overshoot past the size left out).
        std::size_t BodyFrom = 0;
        std::size_t BodySize = 0;
    };

    // A new connection: waiting for the header, nothing received.
    void Reset();
    TFeed Feed(const std::uint8_t* bytes, std::size_t n);

    bool Receiving() const { return FState == TState::Receiving; }
    std::uint32_t Size() const { return FSize; }
    const std::string& FileName() const { return FFileName; }
    std::uint32_t Received() const { return FReceived; }
    // The file's first kDocumentHead bytes (fewer in a shorter file).
    const std::string& Head() const { return FHead; }
    // Download progress 0..100.
    int Percent() const;

private:
    enum class TState { Header, Receiving, Done };
    TFeed TakeHeader();
    void TakeBody(const std::uint8_t* bytes, std::size_t from, std::size_t n, TFeed& feed);

    TState FState = TState::Header;
    std::string FHeader;
    std::uint32_t FSize = 0;
    std::string FFileName;
    std::uint32_t FReceived = 0;
    std::string FHead;
};
