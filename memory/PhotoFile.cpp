#include "memory/PhotoFile.h"

#include <filesystem>
#include <system_error>

#include "memory/PhotoProtocol.h"
#include "platform/sys/Folders.h"

std::string PhotoFilePath() { return sys::AppDataFolder() + "/TALIVEX/TALIVEX Zentor/image.jpg"; }

bool TPhotoFile::Recreate(const std::string& path) {
    Close();
    std::error_code ec;
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    FPath = path;
    FWritten = 0;
    return FFile.Open(path);
}

std::size_t TPhotoFile::Write(const std::uint8_t* data, std::size_t n) {
    if (!FFile.IsOpen() || n == 0) return 0;
    const std::size_t room = kMaxPhotoBytes - FWritten;
    if (n > room) n = room;
    if (!FFile.Write(data, n)) return 0;
    FWritten += static_cast<std::uint32_t>(n);
    return n;
}

bool TPhotoFile::Commit() { return FFile.IsOpen() && FFile.Commit(); }
