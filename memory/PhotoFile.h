#pragma once
// The photo file, "image.jpg" in the tool's application-data folder: one handle shared by
// the camera, server and event pictures. Each new picture deletes and recreates it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// <AppData>/TALIVEX/TALIVEX Zentor/image.jpg
std::string PhotoFilePath();

class TPhotoFile {
public:
    TPhotoFile() = default;
    TPhotoFile(const TPhotoFile&) = delete;
    TPhotoFile& operator=(const TPhotoFile&) = delete;
    ~TPhotoFile() { Close(); }

    // Closes any open file, deletes the one at path and creates it empty (its folder too).
    bool Recreate(const std::string& path);
    // Appends n bytes, never growing the file past kMaxPhotoBytes; returns the bytes taken.
    std::size_t Write(const std::uint8_t* data, std::size_t n);
    void Close();
    bool IsOpen() const { return FFile != nullptr; }
    std::uint32_t Written() const { return FWritten; }
    const std::string& Path() const { return FPath; }

private:
    std::FILE* FFile = nullptr;
    std::string FPath;
    std::uint32_t FWritten = 0;
};
