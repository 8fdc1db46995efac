#pragma once
// The photo file, "image.jpg" in the tool's application-data folder: one file shared by
// the camera, server and event pictures. A new picture is gathered beside it and replaces
// it only when whole, so a broken transfer never leaves half a picture behind.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/rtl/SafeFile.h"

// <AppData>/TALIVEX/TALIVEX Zentor/image.jpg
std::string PhotoFilePath();

class TPhotoFile {
public:
    TPhotoFile() = default;
    TPhotoFile(const TPhotoFile&) = delete;
    TPhotoFile& operator=(const TPhotoFile&) = delete;
    ~TPhotoFile() { Close(); }

    // Drops a picture being gathered and starts a new one for path (its folder is made).
    bool Recreate(const std::string& path);
    // Appends n bytes, never growing the file past kMaxPhotoBytes; returns the bytes taken.
    std::size_t Write(const std::uint8_t* data, std::size_t n);
    // The picture is whole: it replaces the file at the path. False when it cannot.
    bool Commit();
    // The picture is dropped; the file at the path stays as it was.
    void Close() { FFile.Abandon(); }
    bool IsOpen() const { return FFile.IsOpen(); }
    std::uint32_t Written() const { return FWritten; }
    const std::string& Path() const { return FPath; }

private:
    TSafeFileWriter FFile;
    std::string FPath;
    std::uint32_t FWritten = 0;
};
