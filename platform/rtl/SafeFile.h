#pragma once
// Files that replace an old one without ever leaving it half written: the bytes go to a
// uniquely named temporary file in the same folder, which is synced, renamed over the old
// file, and the folder synced after it. When any step fails the temporary file is removed,
// the old file stays as it was and the caller gets the reason.
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

class TSafeFileWriter {
public:
    TSafeFileWriter() = default;
    ~TSafeFileWriter();  // abandons an uncommitted file
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    // Creates the temporary file beside path (beside the file a link names); false (with
    // Error()) when it cannot.
    bool Open(const std::string& path);
    // Appends; false once any write has failed (the file can then only be abandoned or cut).
    bool Write(const void* bytes, std::size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Cuts the file back to its first size bytes after a failed write (a line only half
    // written), so that what came before it can still be committed.
    bool CutBackTo(std::uint64_t size);
    // Syncs, renames over the target and syncs the folder; false (with Error()) on failure,
    // the old file then untouched.
    bool Commit();
    // Drops the temporary file; the target is untouched.
    void Abandon();

    bool IsOpen() const { return FHandle >= 0; }
    std::uint64_t Written() const { return FWritten; }
    const std::string& Path() const { return FPath; }
    // The reason of the first failure, as the system words it ("No space left on device").
    const std::string& Error() const { return FError; }

private:
    bool Fail(const std::string& reason);

    std::string FPath;
    std::string FTemp;
    std::string FError;
    int FHandle = -1;
    std::uint64_t FWritten = 0;
    bool FFailed = false;
};

// The whole file in one call; error (when given) receives the reason of a failure.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// What an input path names. Only a regular file is ever opened as input: a FIFO would block
// the open, a device or a folder gives garbage. Unreadable: it may exist but cannot be
// reached or read (no access to it or to its folder); it must never be taken as empty.
enum class TInputFile { Regular, Missing, NotRegular, Unreadable };
TInputFile ProbeInputFile(const std::string& path, std::string* error = nullptr);

// Reads a whole regular file. Missing and not-a-file paths give false with error empty; a
// file that cannot be read gives false with the reason, never an empty text.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// A regular file read as a seekable stream; Open gives what the path names, and the stream
// reads only when that is Regular. A read that fails sets badbit (never a quiet end of file).
class TRegularFileStream : public std::istream {
public:
    TRegularFileStream();
    ~TRegularFileStream() override;
    TInputFile Open(const std::string& path, std::string* error = nullptr);

private:
    class TBuffer;
    std::unique_ptr<TBuffer> FBuffer;
};

// Tests inject failures here, since tests run as root and root ignores file modes. While set:
// every TSafeFileWriter write after this many bytes fails with ENOSPC (a full disk); -1
// switches it off.
void SetSafeFileWriteLimitForTests(std::int64_t bytes);
// Files in this folder cannot be created or replaced (EROFS); "" switches it off.
void SetSafeFileReadOnlyFolderForTests(const std::string& folder);
// This file exists but cannot be opened for reading (EACCES); "" switches it off.
void SetSafeFileUnreadableForTests(const std::string& path);
// Files replaced so far by this process (tests count the writes of an operation with it).
std::uint64_t SafeFileCommitsForTests();
