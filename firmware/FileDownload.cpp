#include "firmware/FileDownload.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/sys/Folders.h"

std::string FileRequest(const std::string& replyText) {
    return "GetFile=" + Utf8ToCp1251(replyText) + "#";
}

std::string DownloadsFolder(const std::string& appDataFolder) {
    return IncludeTrailingPathDelimiter(appDataFolder) + "TALIVEX/TALIVEX Zentor/Downloads/";
}

std::string DownloadsFolder() { return DownloadsFolder(sys::AppDataFolder()); }

std::string DownloadFileName(const std::string& headerPathCp1251) {
    const std::size_t cut = headerPathCp1251.find_last_of("\\/");
    const std::string name =
        cut == std::string::npos ? headerPathCp1251 : headerPathCp1251.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return {};
    // Judged once converted: a byte the code page leaves undefined reads as a control too.
    std::string text = Cp1251ToUtf8(name);
    return utf8::HasControl(text) ? std::string() : text;
}

std::string ForeignDownloadText(const std::string& name, const std::string& offered, const std::string& folder) {
    return "Сервер прислал файл " + name + " вместо " + offered + ": файл сохранён в папке " + folder +
           " и не открыт";
}

std::string OpenerMissingText(const std::string& path) {
    return "Не удалось запустить xdg-open, файл сохранён: " + path;
}

std::string OpenerFailedText(const std::string& path, int exitCode) {
    return "xdg-open не смог открыть файл (код " + std::to_string(exitCode) + "), файл сохранён: " + path;
}

std::string DownloadSaveName(const std::string& name) {
    if (name.size() <= kSafeFileNameMax) return name;
    // An extension is what follows the last dot, when it leaves room for the rest.
    const std::size_t dot = name.rfind('.');
    const bool extension = dot != std::string::npos && dot > 0 && name.size() - dot <= kSafeFileNameMax / 2;
    const std::string_view ending = extension ? std::string_view(name).substr(dot) : std::string_view();
    const std::string_view stem = std::string_view(name).substr(0, name.size() - ending.size());
    std::size_t keep = 0;
    for (std::size_t i = 0; i < stem.size();) {
        utf8::Next(stem, i);
        if (i + ending.size() > kSafeFileNameMax) break;
        keep = i;
    }
    return std::string(stem.substr(0, keep)) + std::string(ending);
}

bool OpenDownloadFile(TSafeFileWriter& file, const std::string& folder, const std::string& name, std::string* error) {
    if (name.empty() || !ForceDirectories(folder, error)) return false;
    if (file.Open(IncludeTrailingPathDelimiter(folder) + name, TFileAccess::NotExecutable)) return true;
    if (error) *error = file.Error();
    return false;
}

namespace {
// Text a desktop takes for a text file: no control character but layout, and nothing that
// marks a script or a launcher, which an opener may run whatever the name says.
bool PlainText(std::string_view head) {
    for (unsigned char c : head)
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
    if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
    return head.substr(0, 2) != "#!" && head.find("[Desktop ") == std::string_view::npos;
}

struct TDocumentKind {
    const char* Extension;
    std::string_view Magic;  // empty: plain text
};
using namespace std::string_view_literals;
constexpr std::array<TDocumentKind, 13> kDocuments{{
    {".pdf", "%PDF-"sv},
    {".txt", {}},
    {".png", "\x89PNG\r\n\x1A\n"sv},
    {".jpg", "\xFF\xD8\xFF"sv},
    {".jpeg", "\xFF\xD8\xFF"sv},
    {".gif", "GIF8"sv},
    {".bmp", "BM"sv},
    {".zip", "PK\x03\x04"sv},
    {".gz", "\x1F\x8B"sv},
    {".tgz", "\x1F\x8B"sv},
    {".xz", "\xFD" "7zXZ\x00"sv},
    {".bz2", "BZh"sv},
    {".7z", "7z\xBC\xAF\x27\x1C"sv},
}};
}  // namespace

bool OpenableDocument(const std::string& name, std::string_view head) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = LowerCase(name.substr(dot));
    for (const TDocumentKind& kind : kDocuments) {
        if (extension != kind.Extension) continue;
        return kind.Magic.empty() ? PlainText(head) : head.substr(0, kind.Magic.size()) == kind.Magic;
    }
    return false;
}

bool HasExecuteBits(const std::string& path) {
    using std::filesystem::perms;
    std::error_code ec;
    const perms p = std::filesystem::status(path, ec).permissions();
    return ec || (p & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
}

std::string KeptUnopenedText(const std::string& name, const std::string& folder) {
    return "Файл " + name + " сохранён в папке " + folder +
           " и не открыт: открываются только документы (PDF, текст, изображения, архивы)";
}

void TFileDownload::Reset() {
    FState = TState::Header;
    FHeader.clear();
    FSize = 0;
    FFileName.clear();
    FReceived = 0;
    FHead.clear();
}

int TFileDownload::Percent() const {
    if (FSize == 0) return FState == TState::Header ? 0 : 100;
    return static_cast<int>(std::uint64_t{FReceived} * 100 / FSize);
}

TFileDownload::TFeed TFileDownload::Feed(const std::uint8_t* bytes, std::size_t n) {
    TFeed feed;
    if (bytes == nullptr || n == 0) return feed;
    if (FState == TState::Receiving) {
        TakeBody(bytes, 0, n, feed);
        return feed;
    }
    if (FState != TState::Header) return feed;

    // The header may come in pieces, and the file's first bytes may share its receive.
    const std::size_t before = FHeader.size();
    FHeader.append(reinterpret_cast<const char*>(bytes), n);
    feed = TakeHeader();
    if (feed.HeaderRead) {
        const std::size_t used = FHeader.size() - before;  // FHeader now holds the header alone
        TakeBody(bytes, used, n - used, feed);
        FHeader.clear();
    }
    return feed;
}

TFileDownload::TFeed TFileDownload::TakeHeader() {
    TFeed feed;
    const std::string_view h(FHeader);
    const std::string_view missing(kFileNotExists);
    const std::string_view lead("file#");
    if (h.substr(0, missing.size()) == missing) {
        FState = TState::Done;
        feed.Missing = true;
        return feed;
    }
    // Anything that can no longer become a header is ignored, as the server's chatter is.
    const bool mayBeMissing = missing.substr(0, std::min(h.size(), missing.size())) == h.substr(0, std::min(h.size(), missing.size()));
    const bool mayBeHeader = lead.substr(0, std::min(h.size(), lead.size())) == h.substr(0, std::min(h.size(), lead.size()));
    if (!mayBeMissing && !mayBeHeader) {
        FHeader.clear();
        return feed;
    }
    if (h.size() < lead.size() || !mayBeHeader) return feed;

    const std::size_t pathEnd = h.find('#', lead.size());
    const std::size_t sizeEnd = pathEnd == std::string_view::npos ? pathEnd : h.find('#', pathEnd + 1);
    const auto refuse = [&] {
        FState = TState::Done;
        feed.BadHeader = true;
        return feed;
    };
    // Too long is judged the same whether the header came whole or in pieces.
    if (sizeEnd == std::string_view::npos) return h.size() > kMaxDownloadHeader ? refuse() : feed;
    if (sizeEnd + 1 > kMaxDownloadHeader) return refuse();
    const std::string path(h.substr(lead.size(), pathEnd - lead.size()));
    const std::string sizeText = Trim(h.substr(pathEnd + 1, sizeEnd - pathEnd - 1));
    FHeader.resize(sizeEnd + 1);

    std::uint64_t size = 0;
    bool sizeOk = !sizeText.empty() && sizeText.size() <= 10;
    for (char c : sizeText) {
        if (c < '0' || c > '9') sizeOk = false;
        else size = size * 10 + static_cast<unsigned>(c - '0');
    }
    FFileName = DownloadFileName(path);
    if (!sizeOk || size > kMaxDownloadSize || FFileName.empty()) return refuse();
    FSize = static_cast<std::uint32_t>(size);
    FReceived = 0;
    FState = TState::Receiving;
    feed.HeaderRead = true;
    return feed;
}

void TFileDownload::TakeBody(const std::uint8_t* bytes, std::size_t from, std::size_t n, TFeed& feed) {
    // Only the announced size is the file: anything past it is not kept.
    const std::size_t take = std::min<std::size_t>(n, FSize - FReceived);
    const std::size_t toHead = std::min(take, kDocumentHead - FHead.size());
    FHead.append(reinterpret_cast<const char*>(bytes + from), toHead);
    if (take > 0) {
        feed.BodyFrom = from;
        feed.BodySize = take;
        FReceived += static_cast<std::uint32_t>(take);
        feed.Progress = true;
    }
    if (FReceived >= FSize) {
        FState = TState::Done;
        feed.Complete = true;
    }
}
