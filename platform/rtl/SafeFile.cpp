#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SystemErrors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <ios>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <streambuf>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<std::int64_t> g_WriteLimit{-1};
std::atomic<std::uint64_t> g_Commits{0};
std::atomic<std::uint64_t> g_Appends{0};
std::mutex g_FaultsLock;
std::string g_FailingFolder;
int g_FolderError = 0;
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

// The error the test set for the path's folder; 0 none.
int FolderErrorForTests(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    return !g_FailingFolder.empty() && FolderOf(path) == g_FailingFolder ? g_FolderError : 0;
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

constexpr std::size_t kTempRandom = 6;
constexpr char kTempLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string RandomLetters() {
    unsigned char raw[kTempRandom];
    if (::getrandom(raw, sizeof raw, 0) != static_cast<ssize_t>(sizeof raw)) {
        // O_EXCL keeps names apart anyway: a name taken is only tried again.
        static std::atomic<std::uint64_t> counter{0};
        const std::uint64_t x = (static_cast<std::uint64_t>(::getpid()) << 24) + ++counter;
        for (std::size_t i = 0; i < kTempRandom; ++i) raw[i] = static_cast<unsigned char>(x >> (8 * i));
    }
    std::string s(kTempRandom, 'X');
    for (std::size_t i = 0; i < kTempRandom; ++i) s[i] = kTempLetters[raw[i] % (sizeof kTempLetters - 1)];
    return s;
}

bool IsTempLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Our mark in a temporary's name: other programs (rsync among them) name theirs
// ".<name>.XXXXXX" too, and hold no lock on them.
constexpr std::string_view kTempMark = "zentor-";
static_assert(kSafeFileNameMax + 2 + kTempMark.size() + kTempRandom == NAME_MAX);

// ".<of>.zentor-XXXXXX", or of any name when of is empty. A name without the mark is never
// ours, whatever it looks like (".notes.backup"): only the mark tells a temporary of this tool.
bool IsTemporaryName(std::string_view entry, std::string_view of) {
    if (entry.size() < kTempRandom + 3 || entry[0] != '.') return false;
    for (std::size_t i = entry.size() - kTempRandom; i < entry.size(); ++i)
        if (!IsTempLetter(entry[i])) return false;
    std::string_view rest = entry.substr(1, entry.size() - kTempRandom - 1);
    if (!rest.ends_with(kTempMark)) return false;
    rest.remove_suffix(kTempMark.size());
    if (!rest.ends_with('.')) return false;
    const std::string_view name = rest.substr(0, rest.size() - 1);
    return of.empty() ? !name.empty() : name == of;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes one leftover: a regular file of this user whose writer is gone. A live writer holds
// its lock; one that is committing renames the name away under the lock, so only the very
// file locked here is unlinked.
bool RemoveIfLeftover(int dir, const char* entry) {
    struct stat seen{};
    if (::fstatat(dir, entry, &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode) ||
        seen.st_uid != ::geteuid())
        return false;
    int fd = ::openat(dir, entry, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fd = ::openat(dir, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    bool removed = false;
    struct stat held{}, now{};
    if (::fstat(fd, &held) == 0 && SameFile(held, seen) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dir, entry, &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, held))
        removed = ::unlinkat(dir, entry, 0) == 0;
    ::close(fd);
    return removed;
}

std::size_t RemoveLeftovers(const std::string& folder, std::string_view of) {
    DIR* d = ::opendir(folder.c_str());
    if (!d) return 0;
    std::size_t removed = 0;
    while (const dirent* e = ::readdir(d))
        if (IsTemporaryName(e->d_name, of) && RemoveIfLeftover(::dirfd(d), e->d_name)) ++removed;
    ::closedir(d);
    return removed;
}

// Writes all of n bytes at the file's offset, counting them into written; the test limit
// stands for a disk that fills up.
bool WriteAll(int fd, const char* p, std::size_t n, std::uint64_t& written, std::string& error) {
    std::size_t done = 0;
    while (done < n) {
        std::size_t chunk = n - done;
        const std::int64_t limit = g_WriteLimit.load();
        if (limit >= 0) {
            const std::uint64_t room = written >= static_cast<std::uint64_t>(limit)
                                           ? 0 : static_cast<std::uint64_t>(limit) - written;
            if (room == 0) {
                error = SystemErrorText(ENOSPC);
                return false;
            }
            chunk = std::min<std::uint64_t>(chunk, room);
        }
        const ssize_t w = ::write(fd, p + done, chunk);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            error = SystemErrorText(w < 0 ? errno : ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(w);
        written += static_cast<std::uint64_t>(w);
    }
    return true;
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
        if (error && kind == TInputFile::Unreadable) *error = SystemErrorText(errno);
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
std::uint64_t SafeFileAppendsForTests() { return g_Appends.load(); }

void SetSafeFileReadOnlyFolderForTests(const std::string& folder) { SetSafeFileFailingFolderForTests(folder, EROFS); }

void SetSafeFileFailingFolderForTests(const std::string& folder, int error) {
    std::lock_guard<std::mutex> lock(g_FaultsLock);
    g_FailingFolder = folder;
    g_FolderError = error;
    while (g_FailingFolder.size() > 1 && g_FailingFolder.back() == '/') g_FailingFolder.pop_back();
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

bool TSafeFileWriter::Open(const std::string& path, TFileAccess access) {
    Abandon();
    FPath = TargetOf(path);
    FError.clear();
    FFailed = false;
    FWritten = 0;
    if (path.empty()) return Fail("No file name");
    // A new file is made with 0666 and the system takes the umask off. A replaced one keeps
    // its mode, given to the temporary before any byte is in it.
    bool setMode = access == TFileAccess::OwnerOnly;
    mode_t mode = access == TFileAccess::OwnerOnly ? 0600 : 0666;
    struct stat st{};
    if (::stat(FPath.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return Fail("Not a regular file");
        if (access != TFileAccess::OwnerOnly) {
            mode = st.st_mode & (access == TFileAccess::NotExecutable ? 0666 : 0777);
            setMode = true;
        }
    }
    if (const int error = FolderErrorForTests(FPath)) return Fail(SystemErrorText(error));
    const std::string folder = FolderOf(FPath);
    const std::string name = NameOf(FPath);
    RemoveLeftovers(folder, name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "/." + name + "." + std::string(kTempMark) + RandomLetters();
        const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, setMode ? 0600 : mode);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return Fail(SystemErrorText(errno));
        // Where locks are not supported no cleaner can take the file either.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        // A cleaner that locked it between the creation and the lock has removed it.
        struct stat held{};
        if (::fstat(fd, &held) == 0 && held.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        if (setMode) ::fchmod(fd, mode);
        FHandle = fd;
        FTemp = std::move(temp);
        return true;
    }
    return Fail(SystemErrorText(EEXIST));
}

bool TSafeFileWriter::Write(const void* bytes, std::size_t n) {
    if (FHandle < 0 || FFailed) return Fail(FError.empty() ? "File not open" : FError);
    std::string reason;
    if (WriteAll(FHandle, static_cast<const char*>(bytes), n, FWritten, reason)) return true;
    return Fail(reason);
}

bool TSafeFileWriter::Commit() { return Finish(false); }

bool TSafeFileWriter::Finish(bool keepOpen) {
    if (FHandle < 0 || FFailed) {
        const bool wasOpen = FHandle >= 0;
        Abandon();
        return Fail(wasOpen ? FError : (FError.empty() ? "File not open" : FError));
    }
    if (::fsync(FHandle) != 0) {
        const std::string reason = SystemErrorText(errno);
        Abandon();
        return Fail(reason);
    }
    // Renamed while the lock is held, so that no cleaner can take the file in between. The
    // bytes are synced: closing can report nothing new.
    if (::rename(FTemp.c_str(), FPath.c_str()) != 0) {
        const std::string reason = SystemErrorText(errno);
        Abandon();
        return Fail(reason);
    }
    FTemp.clear();
    if (!keepOpen) {
        ::close(FHandle);
        FHandle = -1;
    }
    SyncFolder(FolderOf(FPath));
    ++g_Commits;
    return true;
}

void TSafeFileWriter::Abandon() {
    if (!FTemp.empty()) {
        ::unlink(FTemp.c_str());
        FTemp.clear();
    }
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
}

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error, TFileAccess access) {
    TSafeFileWriter w;
    const bool ok = w.Open(path, access) && w.Write(bytes) && w.Commit();
    if (!ok && error) *error = w.Error();
    return ok;
}

bool TAppendFile::Create(const std::string& path) {
    Close();
    TSafeFileWriter w;
    if (!w.Open(path) || !w.Finish(true)) {
        FError = w.Error();
        return false;
    }
    FError.clear();
    FPath = w.Path();
    FHandle = w.FHandle;
    w.FHandle = -1;
    FSize = 0;
    return true;
}

bool TAppendFile::Append(std::string_view bytes) {
    if (FHandle < 0) {
        FError = "File not open";
        return false;
    }
    ++g_Appends;
    std::uint64_t written = FSize;
    std::string reason;
    if (WriteAll(FHandle, bytes.data(), bytes.size(), written, reason)) {
        if (::fdatasync(FHandle) == 0) {
            FSize = written;
            return true;
        }
        reason = SystemErrorText(errno);
    }
    // A line only half written would be a wrong line: the file ends after the last whole one.
    if (::ftruncate(FHandle, static_cast<off_t>(FSize)) == 0) ::fdatasync(FHandle);
    ::lseek(FHandle, static_cast<off_t>(FSize), SEEK_SET);
    FError = reason;
    return false;
}

void TAppendFile::Close() {
    if (FHandle >= 0) ::close(FHandle);
    FHandle = -1;
}

std::size_t RemoveLeftoverTemporariesIn(const std::string& folder) {
    return folder.empty() ? 0 : RemoveLeftovers(folder, {});
}

TInputFile ProbeInputFile(const std::string& path, std::string* error) {
    if (error) error->clear();
    struct stat st{};
    if (path.empty()) return TInputFile::Missing;
    if (::stat(path.c_str(), &st) != 0) {
        // Only "no such file" is missing; a folder that cannot be searched hides a file
        // that may well be there.
        if (errno == ENOENT || errno == ENOTDIR) return TInputFile::Missing;
        if (error) *error = SystemErrorText(errno);
        return TInputFile::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) return TInputFile::NotRegular;
    if (UnreadableForTests(path)) {
        if (error) *error = SystemErrorText(EACCES);
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
            if (error) *error = SystemErrorText(errno);
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
        if (n < 0) throw std::ios_base::failure(SystemErrorText(errno));
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
