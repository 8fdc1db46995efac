#pragma once
// Files that replace an old one without ever leaving it half written: the bytes go to a
// uniquely named temporary file in the same folder, which is synced, renamed over the old
// file, and the folder synced after it. When any step fails the temporary file is removed,
// the old file stays as it was and the caller gets the reason.
#include <cstdint>
#include <string>
#include <string_view>

class TSafeFileWriter {
public:
    TSafeFileWriter() = default;
    ~TSafeFileWriter();  // abandons an uncommitted file
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    // Creates the temporary file beside path; false (with Error()) when it cannot.
    bool Open(const std::string& path);
    // Appends; false once any write has failed (the file can then only be abandoned).
    bool Write(const void* bytes, std::size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
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
// the open, a device or a folder gives garbage.
enum class TInputFile { Regular, Missing, NotRegular };
TInputFile ProbeInputFile(const std::string& path);

// Reads a whole regular file. Missing and not-a-file paths give false with error empty; a
// file that exists but cannot be read gives false with the reason, never an empty text.
bool ReadRegularFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Tests inject write failures here: while set, every TSafeFileWriter write after this many
// bytes fails with ENOSPC (a full disk); -1 switches it off.
void SetSafeFileWriteLimitForTests(std::int64_t bytes);
