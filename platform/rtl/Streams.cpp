#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/SafeFile.h"
#include "platform/rtl/SystemErrors.h"

std::int64_t TStream::GetSize() {
    std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    std::int64_t done = 0;
    std::vector<std::uint8_t> buf(64 * 1024);
    while (done < count) {
        std::int64_t n = std::min<std::int64_t>(count - done, static_cast<std::int64_t>(buf.size()));
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        done += n;
    }
    return done;
}

// --- TMemoryStream ----------------------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    std::int64_t size = GetSize();
    if (count <= 0 || FPosition >= size) return 0;
    std::int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0 || FPosition < 0) return 0;
    std::int64_t end = FPosition + count;
    if (end > GetSize()) FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    switch (origin) {
    case TSeekOrigin::soBeginning: FPosition = offset; break;
    case TSeekOrigin::soCurrent: FPosition += offset; break;
    case TSeekOrigin::soEnd: FPosition = GetSize() + offset; break;
    }
    // A position past the end is allowed (a write there fills the gap with zeros).
    if (FPosition < 0) FPosition = 0;
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) size = 0;
    FData.resize(static_cast<size_t>(size));
    if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    // Whole or not at all: an old file is replaced only once every byte is on the disk.
    std::string error;
    if (!WriteFileSafely(path, std::string_view(reinterpret_cast<const char*>(FData.data()), FData.size()), &error))
        throw EFCreateError("Cannot create file \"" + path + "\". " + error);
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    std::int64_t size = stream.GetSize();
    std::vector<std::uint8_t> data(static_cast<size_t>(std::max<std::int64_t>(size, 0)));
    stream.ReadBuffer(data.data(), size);
    FData = std::move(data);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

// --- TFileStream ------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& path, unsigned mode) : FFileName(path) {
    if (mode == fmCreate) {
        FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (FHandle < 0)
            throw EFCreateError("Cannot create file \"" + path + "\". " + SystemErrorText(errno));
    } else {
        int access = (mode & 3) == fmOpenWrite ? O_WRONLY : ((mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY);
        FHandle = ::open(path.c_str(), access | O_CLOEXEC);
        if (FHandle >= 0) {
            struct stat st{};
            if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(FHandle);
                FHandle = -1;
                errno = EISDIR;
            }
        }
        if (FHandle < 0)
            throw EFOpenError("Cannot open file \"" + path + "\". " + SystemErrorText(errno));
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    auto* p = static_cast<std::uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::read(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    while (done < count) {
        ssize_t n = ::write(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : (origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END);
    off_t r = ::lseek(FHandle, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

void TFileStream::SetSize(std::int64_t size) {
    std::int64_t pos = GetPosition();
    if (::ftruncate(FHandle, static_cast<off_t>(size)) != 0) throw EStreamError("Stream write error");
    if (pos > size) Seek(size, TSeekOrigin::soBeginning);
}
