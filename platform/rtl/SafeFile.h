#pragma once
// Files that replace an old one without ever leaving it half written: the bytes go to a
// uniquely named temporary file in the same folder, which is synced, renamed over the old
// file, and the folder synced after it. When any step fails the temporary file is removed,
// the old file stays as it was and the caller gets the reason.
//
// A temporary file is named ".<name>.zentor-XXXXXX" (six letters or digits) beside its file, and its
// writer holds a lock on it from its creation to its rename. A writer killed before its commit
// leaves it behind unlocked, which is how a leftover is told from another running copy's live
// file: no age bound can tell a slow download from a dead one.
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

// Who may read a file the tool creates. A new file gets 0666 less the umask, as the user set
// it for every program; a replaced file keeps its mode. OwnerOnly (settings that keep
// passwords) is 0600 whatever the umask or the old file's mode. NotExecutable (what was
// downloaded) is as AsUmask, less the execute bits a replaced file had.
enum class TFileAccess { AsUmask, OwnerOnly, NotExecutable };

// The longest file name a TSafeFileWriter can write: its temporary's name (".<name>.zentor-
// XXXXXX") must fit the system's NAME_MAX bytes too.
inline constexpr std::size_t kSafeFileNameMax = 255 - 15;

class TSafeFileWriter {
public:
    TSafeFileWriter() = default;
    ~TSafeFileWriter();  // abandons an uncommitted file
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    // Creates the temporary file beside path (beside the file a link names), first removing
    // what killed writers of that file left there; false (with Error()) when it cannot.
    bool Open(const std::string& path, TFileAccess access = TFileAccess::AsUmask);
    // Appends; false once any write has failed (the file can then only be abandoned).
    bool Write(const void* bytes, std::size_t n);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Syncs, renames over the target and syncs the folder; false (with Error()) on failure,
    // the old file then untouched.
    bool Commit();
    // Drops the temporary file; the target is untouched.
    void Abandon();

    bool IsOpen() const { return FHandle >= 0; }
    const std::string& Path() const { return FPath; }
    // The reason of the first failure, as the system words it ("No space left on device").
    const std::string& Error() const { return FError; }

private:
    friend class TAppendFile;
    bool Fail(const std::string& reason);
    // Commit; keepOpen leaves the handle open on the file now in place.
    bool Finish(bool keepOpen);

    std::string FPath;
    std::string FTemp;
    std::string FError;
    int FHandle = -1;
    std::uint64_t FWritten = 0;
    bool FFailed = false;
};

// The whole file in one call; error (when given) receives the reason of a failure.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error = nullptr,
                     TFileAccess access = TFileAccess::AsUmask);

// A file that grows a line at a time and is whole after each: Create replaces the file by an
// empty one as TSafeFileWriter does and keeps it open; each Append goes to its end and is on
// the disk when it returns, so a crash costs at most the line being written. A failed Append
// cuts the file back to where it was.
class TAppendFile {
public:
    TAppendFile() = default;
    ~TAppendFile() { Close(); }
    TAppendFile(const TAppendFile&) = delete;
    TAppendFile& operator=(const TAppendFile&) = delete;

    bool Create(const std::string& path);
    bool Append(std::string_view bytes);
    void Close();
    bool IsOpen() const { return FHandle >= 0; }
    const std::string& Path() const { return FPath; }
    const std::string& Error() const { return FError; }

private:
    std::string FPath;
    std::string FError;
    int FHandle = -1;
    std::uint64_t FSize = 0;
};

// Removes the temporary files that killed writers left in a folder that is the tool's own
// (the settings folder, the Downloads folder): ".<name>.zentor-XXXXXX", regular files of this
// user that no writer holds. A file without the mark is the user's or another program's and
// stays, whatever its name. Beside any other file, every Open of the file removes its own
// marked ones first. The number removed; an empty folder name removes nothing.
std::size_t RemoveLeftoverTemporariesIn(const std::string& folder);

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
// every write of a TSafeFileWriter or TAppendFile that would make its file longer than this
// many bytes fails with ENOSPC (a full disk); -1 switches it off.
void SetSafeFileWriteLimitForTests(std::int64_t bytes);
// Files in this folder cannot be created or replaced (EROFS); "" switches it off.
void SetSafeFileReadOnlyFolderForTests(const std::string& folder);
// The same with another of the system's errors.
void SetSafeFileFailingFolderForTests(const std::string& folder, int error);
// This file exists but cannot be opened for reading (EACCES); "" switches it off.
void SetSafeFileUnreadableForTests(const std::string& path);
// Files replaced so far by this process (tests count the writes of an operation with it).
std::uint64_t SafeFileCommitsForTests();
// Appends so far (each one write and one sync).
std::uint64_t SafeFileAppendsForTests();
