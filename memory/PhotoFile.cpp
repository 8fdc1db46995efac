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
    std::filesystem::remove(p, ec);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    FPath = path;
    FWritten = 0;
    FFile = std::fopen(path.c_str(), "wb");
    return FFile != nullptr;
}

std::size_t TPhotoFile::Write(const std::uint8_t* data, std::size_t n) {
    if (!FFile || n == 0) return 0;
    const std::size_t room = kMaxPhotoBytes - FWritten;
    if (n > room) n = room;
    const std::size_t done = std::fwrite(data, 1, n, FFile);
    FWritten += static_cast<std::uint32_t>(done);
    return done;
}

void TPhotoFile::Close() {
    if (FFile) std::fclose(FFile);
    FFile = nullptr;
}
