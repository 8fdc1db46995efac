#include "firmware/FileDownload.h"

#include <algorithm>

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

bool OpenDownloadFile(TSafeFileWriter& file, const std::string& folder, const std::string& name) {
    if (name.empty() || !ForceDirectories(folder)) return false;
    return file.Open(IncludeTrailingPathDelimiter(folder) + name);
}

void TFileDownload::Reset() {
    FState = TState::Header;
    FHeader.clear();
    FSize = 0;
    FFileName.clear();
    FReceived = 0;
}

int TFileDownload::Percent() const {
    if (FSize == 0) return FState == TState::Header ? 0 : 100;
    return static_cast<int>(std::uint64_t{FReceived} * 100 / FSize);
}

TFileDownload::TFeed TFileDownload::Feed(const std::uint8_t* bytes, std::size_t n) {
    TFeed feed;
    if (bytes == nullptr || n == 0) return feed;
    if (FState == TState::Receiving) {
        TakeBody(0, n, feed);
        return feed;
    }
    if (FState != TState::Header) return feed;

    // The header may come in pieces, and the file's first bytes may share its receive.
    const std::size_t before = FHeader.size();
    FHeader.append(reinterpret_cast<const char*>(bytes), n);
    feed = TakeHeader();
    if (feed.HeaderRead) {
        const std::size_t used = FHeader.size() - before;  // FHeader now holds the header alone
        TakeBody(used, n - used, feed);
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
    if (sizeEnd == std::string_view::npos) {
        if (h.size() > kMaxDownloadHeader) {
            FState = TState::Done;
            feed.BadHeader = true;
        }
        return feed;
    }
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
    if (!sizeOk || size > kMaxDownloadSize || FFileName.empty()) {
        FState = TState::Done;
        feed.BadHeader = true;
        return feed;
    }
    FSize = static_cast<std::uint32_t>(size);
    FReceived = 0;
    FState = TState::Receiving;
    feed.HeaderRead = true;
    return feed;
}

void TFileDownload::TakeBody(std::size_t from, std::size_t n, TFeed& feed) {
    // Only the announced size is the file: anything past it is not kept.
    const std::size_t take = std::min<std::size_t>(n, FSize - FReceived);
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
