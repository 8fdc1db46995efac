#include "platform/rtl/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <ios>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<std::int64_t> g_WriteLimit{-1};
std::atomic<std::uint64_t> g_Commits{0};
std::mutex g_FaultsLock;
std::string g_ReadOnlyFolder;
std::string g_UnreadableFile;

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

bool InReadOnlyFolderForTests(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    return !g_ReadOnlyFolder.empty() && FolderOf(path) == g_ReadOnlyFolder;
}

bool UnreadableForTests(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    return !g_UnreadableFile.empty() && path == g_UnreadableFile;
}

// A link is followed, so that the file it names is replaced and the link stays; a link to a
// file not there yet names where the file goes.
std::string TargetOf(std::string path) {
    for (int hop = 0; hop < 16; ++hop) {
        struct stat st{};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || n >= static_cast<ssize_t>(sizeof target)) return path;
        const std::string to(target, static_cast<std::size_t>(n));
        path = to[0] == '/' ? to : FolderOf(path) + "/" + to;
    }
    return path;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // some file systems cannot sync a folder; the rename has happened anyway
    ::close(fd);
}

// O_NONBLOCK: a FIFO swapped in after the probe must not block the open. -1 when the path is
// not a regular file or cannot be opened (error then says why, or stays empty when it is
// missing or no file).
int OpenRegular(const std::string& path, TInputFile& kind, std::string* error) {
    kind = ProbeInputFile(path, error);
    if (kind != TInputFile::Regular) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        kind = errno == ENOENT ? TInputFile::Missing : TInputFile::Unreadable;
        if (error && kind == TInputFile::Unreadable) *error = std::strerror(errno);
        return -1;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        kind = TInputFile::NotRegular;
        return -1;
    }
    return fd;
}
}  // namespace

void SetSafeFileWriteLimitForTests(std::int64_t bytes) { g_WriteLimit = bytes; }

std::uint64_t SafeFileCommitsForTests() { return g_Commits.load(); }

void SetSafeFileReadOnlyFolderForTests(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    g_ReadOnlyFolder = folder;
    while (g_ReadOnlyFolder.size() > 1 && g_ReadOnlyFolder.back() == '/') g_ReadOnlyFolder.pop_back();
}

void SetSafeFileUnreadableForTests(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    g_UnreadableFile = path;
}

TSafeFileWriter::~TSafeFileWriter() { Abandon(); }

bool TSafeFileWriter::Fail(const std::string& reason) {
    if (FError.empty()) FError = reason;
    FFailed = true;
    return false;
}

bool TSafeFileWriter::Open(const std::string& path) {
    Abandon();
    FPath = TargetOf(path);
    FError.clear();
    FFailed = false;
    FWritten = 0;
    if (path.empty()) return Fail("No file name");
    mode_t mode = 0644;
    struct stat st{};
    if (::stat(FPath.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return Fail("Not a regular file");
        mode = st.st_mode & 0777;
    }
    if (InReadOnlyFolderForTests(FPath)) return Fail(std::strerror(EROFS));
    std::string pattern = FolderOf(FPath) + "/." + NameOf(FPath) + ".XXXXXX";
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

bool TSafeFileWriter::CutBackTo(std::uint64_t size) {
    if (FHandle < 0 || size > FWritten) return false;
    if (::ftruncate(FHandle, static_cast<off_t>(size)) != 0 ||
        ::lseek(FHandle, static_cast<off_t>(size), SEEK_SET) < 0)
        return false;
    FWritten = size;
    FFailed = false;
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
    ++g_Commits;
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

TInputFile ProbeInputFile(const std::string& path, std::string* error) {
    if (error) error->clear();
    struct stat st{};
    if (path.empty()) return TInputFile::Missing;
    if (::stat(path.c_str(), &st) != 0) {
        // Only "no such file" is missing; a folder that cannot be searched hides a file
        // that may well be there.
        if (errno == ENOENT || errno == ENOTDIR) return TInputFile::Missing;
        if (error) *error = std::strerror(errno);
        return TInputFile::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) return TInputFile::NotRegular;
    if (UnreadableForTests(path)) {
        if (error) *error = std::strerror(EACCES);
        return TInputFile::Unreadable;
    }
    return TInputFile::Regular;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::string* error) {
    TInputFile kind;
    const int fd = OpenRegular(path, kind, error);
    if (fd < 0) return false;
    struct stat st{};
    ::fstat(fd, &st);
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

// Reads through a buffer; seeking drops the buffer and moves the file's offset.
class TRegularFileStream::TBuffer : public std::streambuf {
public:
    ~TBuffer() override { Close(); }
    void Attach(int fd) {
        Close();
        FHandle = fd;
        setg(FData, FData, FData);
    }
    void Close() {
        if (FHandle >= 0) ::close(FHandle);
        FHandle = -1;
        setg(FData, FData, FData);
    }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (FHandle < 0) return traits_type::eof();
        ssize_t n;
        do n = ::read(FHandle, FData, sizeof FData);
        while (n < 0 && errno == EINTR);
        // A failed read is no end of the file: the stream goes bad, so the reader can tell.
        if (n < 0) throw std::ios_base::failure(std::strerror(errno));
        if (n == 0) return traits_type::eof();
        setg(FData, FData, FData + n);
        return traits_type::to_int_type(*gptr());
    }
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
        if (FHandle < 0) return pos_type(off_type(-1));
        if (dir == std::ios_base::cur) off -= egptr() - gptr();  // the file is ahead of the reader
        const int whence = dir == std::ios_base::beg ? SEEK_SET : dir == std::ios_base::cur ? SEEK_CUR : SEEK_END;
        const off_t at = ::lseek(FHandle, static_cast<off_t>(off), whence);
        setg(FData, FData, FData);
        return at < 0 ? pos_type(off_type(-1)) : pos_type(static_cast<off_type>(at));
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

private:
    int FHandle = -1;
    char FData[65536];
};

TRegularFileStream::TRegularFileStream() : std::istream(nullptr), FBuffer(std::make_unique<TBuffer>()) {
    rdbuf(FBuffer.get());
    setstate(std::ios_base::badbit);
}

TRegularFileStream::~TRegularFileStream() = default;

TInputFile TRegularFileStream::Open(const std::string& path, std::string* error) {
    FBuffer->Close();
    TInputFile kind;
    const int fd = OpenRegular(path, kind, error);
    if (fd < 0) {
        setstate(std::ios_base::badbit);
        return kind;
    }
    FBuffer->Attach(fd);
    clear();
    return kind;
}
