#include "platform/rtl/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<std::int64_t> g_WriteLimit{-1};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems cannot sync a folder; the rename has happened anyway
    ::close(fd);
}
}  // namespace

void SetSafeFileWriteLimitForTests(std::int64_t bytes) { g_WriteLimit = bytes; }

TSafeFileWriter::~TSafeFileWriter() { Abandon(); }

bool TSafeFileWriter::Fail(const std::string& reason) {
    if (FError.empty()) FError = reason;
    FFailed = true;
    return false;
}

bool TSafeFileWriter::Open(const std::string& path) {
    Abandon();
    FPath = path;
    FError.clear();
    FFailed = false;
    FWritten = 0;
    if (path.empty()) return Fail("No file name");
    mode_t mode = 0644;
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return Fail("Not a regular file");
        mode = st.st_mode & 0777;
    }
    std::string pattern = FolderOf(path) + "/." + NameOf(path) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return Fail(std::strerror(errno));
    ::fchmod(fd, mode);
    FHandle = fd;
    FTemp = pattern;
    return true;
}

bool TSafeFileWriter::Write(const void* bytes, std::size_t n) {
    if (FHandle < 0 || FFailed) return Fail(FError.empty() ? "File not open" : FError);
    const auto* p = static_cast<const char*>(bytes);
    std::size_t done = 0;
    while (done < n) {
        std::size_t chunk = n - done;
        const std::int64_t limit = g_WriteLimit.load();
        if (limit >= 0) {
            const std::uint64_t room = FWritten >= static_cast<std::uint64_t>(limit)
                                           ? 0 : static_cast<std::uint64_t>(limit) - FWritten;
            if (room == 0) return Fail(std::strerror(ENOSPC));
            chunk = std::min<std::uint64_t>(chunk, room);
        }
        const ssize_t w = ::write(FHandle, p + done, chunk);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return Fail(std::strerror(w < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(w);
        FWritten += static_cast<std::uint64_t>(w);
    }
    return true;
}

bool TSafeFileWriter::Commit() {
    if (FHandle < 0 || FFailed) {
        const bool wasOpen = FHandle >= 0;
        Abandon();
        return Fail(wasOpen ? FError : (FError.empty() ? "File not open" : FError));
    }
    if (::fsync(FHandle) != 0) {
        const std::string reason = std::strerror(errno);
        Abandon();
        return Fail(reason);
    }
    const int fd = FHandle;
    FHandle = -1;
    if (::close(fd) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(FTemp.c_str());
        FTemp.clear();
        return Fail(reason);
    }
    if (::rename(FTemp.c_str(), FPath.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(FTemp.c_str());
        FTemp.clear();
        return Fail(reason);
    }
    FTemp.clear();
    SyncFolder(FolderOf(FPath));
    return true;
}

void TSafeFileWriter::Abandon() {
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
    if (!FTemp.empty()) {
        ::unlink(FTemp.c_str());
        FTemp.clear();
    }
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    TSafeFileWriter w;
    const bool ok = w.Open(path) && w.Write(bytes) && w.Commit();
    if (!ok && error) *error = w.Error();
    return ok;
}

TInputFile ProbeInputFile(const std::string& path) {
    struct stat st{};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return TInputFile::Missing;
    return S_ISREG(st.st_mode) ? TInputFile::Regular : TInputFile::NotRegular;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string* error) {
    if (error) error->clear();
    if (ProbeInputFile(path) != TInputFile::Regular) return false;
    // O_NONBLOCK: a FIFO swapped in after the probe must not block the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes = std::move(text);
    return true;
}
