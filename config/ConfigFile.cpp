#include "config/ConfigFile.h"

#include <algorithm>
#include <cstring>
#include <istream>

#include "config/RecordBytes.h"
#include "platform/rtl/SafeFile.h"

std::string g_ConfigPath;

void ApplyConfigPath(const std::string& path) {
    if (path != "device") g_ConfigPath = path;
}

std::vector<std::uint8_t> BuildConfigFile(const ConfigRecord& record,
                                          const std::vector<PhoneRecord>& numbers) {
    const std::size_t count = std::min<std::size_t>(numbers.size(), 0xFFFF);
    std::vector<std::uint8_t> file(kConfigFileHeaderSize + 3 + kConfigRecordSize + 3 +
                                   count * kPhoneRecordSize, 0);
    std::uint8_t* p = file.data();
    p[0] = 'M';
    p[1] = 'X';
    p[2] = kConfigFileFormat;
    p[3] = 2;
    p += kConfigFileHeaderSize;
    p[0] = kChunkConfigRecord;
    SetU16(p + 1, static_cast<std::uint16_t>(kConfigRecordSize));
    std::memcpy(p + 3, record.data(), kConfigRecordSize);
    p += 3 + kConfigRecordSize;
    p[0] = kChunkNumbers;
    SetU16(p + 1, static_cast<std::uint16_t>(count));
    p += 3;
    for (std::size_t i = 0; i < count; ++i, p += kPhoneRecordSize)
        std::memcpy(p, numbers[i].data(), kPhoneRecordSize);
    return file;
}

bool SaveConfigFile(const std::string& path, const ConfigRecord& record,
                    const std::vector<PhoneRecord>& numbers) {
    const std::vector<std::uint8_t> bytes = BuildConfigFile(record, numbers);
    return WriteFileSafely(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

namespace {
// Reads up to n bytes at offset; returns how many arrived.
std::size_t ReadAt(std::istream& in, std::uint64_t offset, std::uint8_t* to, std::size_t n) {
    if (in.bad()) return 0;  // a read has failed: nothing more is taken
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in) return 0;
    in.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount());
}
}  // namespace

TConfigFileRead ReadConfigFile(std::istream& in, const ConfigRecord& current,
                               TConfigFileContents& contents) {
    std::uint8_t header[kConfigFileHeaderSize] = {};
    const std::size_t got = ReadAt(in, 0, header, sizeof header);
    if (got < 3 || header[0] != 'M' || header[1] != 'X' || (header[2] & 0x0F) != 11)
        return TConfigFileRead::NotConfigFile;

    TConfigFileContents c;
    c.Record = current;
    std::uint32_t offset = kConfigFileHeaderSize;
    for (int chunk = 0; chunk < header[3]; ++chunk) {
        std::uint8_t head[3];
        if (ReadAt(in, offset, head, 3) < 3) break;
        const std::uint16_t length = GetU16(head + 1);
        if (head[0] == kChunkConfigRecord) {
            std::uint8_t bytes[kConfigRecordSize];
            const std::size_t n = ReadAt(in, offset + 3, bytes, sizeof bytes);
            ApplyConfigRecordBytes(c.Record, bytes, n);
        } else if (head[0] == kChunkNumbers) {
            std::vector<std::uint8_t> bytes(std::size_t{length} * kPhoneRecordSize, 0);
            ReadAt(in, offset + 3, bytes.data(), bytes.size());
            std::vector<PhoneRecord> numbers(length);
            for (std::size_t i = 0; i < numbers.size(); ++i)
                std::memcpy(numbers[i].data(), bytes.data() + i * kPhoneRecordSize, kPhoneRecordSize);
            c.Numbers = std::move(numbers);
        }
        offset += 3 + (head[0] == kChunkNumbers ? std::uint32_t{length} * kPhoneRecordSize
                                                 : std::uint32_t{length});
    }
    // A file that failed part way is not read at all, never taken as a shorter one.
    if (in.bad()) return TConfigFileRead::CannotOpen;
    contents = std::move(c);
    return TConfigFileRead::Opened;
}

TConfigFileRead OpenConfigFile(const std::string& path, const ConfigRecord& current,
                               TConfigFileContents& contents) {
    // A FIFO would block start-up, a device or a folder reads as garbage: only a regular
    // file is opened, anything else is as good as missing.
    TRegularFileStream in;
    if (in.Open(path) != TInputFile::Regular) return TConfigFileRead::CannotOpen;
    return ReadConfigFile(in, current, contents);
}
