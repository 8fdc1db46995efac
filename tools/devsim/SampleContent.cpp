#include "tools/devsim/SampleContent.h"

#include <jpeglib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "platform/rtl/CodePage.h"
#include "tools/devsim/MemoryModel.h"

namespace devsim {
namespace {

constexpr std::array<const char*, 12> kSurnames = {"Иванов",  "Смирнова", "Кузнецов", "Попова",
                                                   "Васильев", "Петрова", "Соколов",  "Михайлова",
                                                   "Новиков", "Фёдорова", "Морозов",  "Волкова"};
constexpr std::array<const char*, 10> kInitials = {"А.", "Б.", "В.", "Г.", "Д.", "Е.", "Ж.", "И.", "К.", "Л."};
constexpr std::array<const char*, 4> kTagNames = {"Пропуск", "Брелок", "Карта", "Метка"};

constexpr std::uint32_t kDay = 86400;
constexpr std::uint32_t kLastDayOf2025 = 1767139200;  // 31.12.2025 00:00 on the device's clock
constexpr std::uint32_t kFirstMarch2025 = 1740787200;  // 01.03.2025 00:00

std::string Hex10(std::uint64_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010llX", static_cast<unsigned long long>(v & 0xFFFFFFFFFFULL));
    return buf;
}

// Seven in ten are phones; the rest 1-Wire keys and RFID tags, whose codes are ten
// hexadecimal digits that may begin with a letter or with 0.
std::string Candidate(std::size_t i, unsigned type, unsigned attempt) {
    const std::uint64_t k = static_cast<std::uint64_t>(i) * 131 + attempt;
    if (type == 0) return std::to_string(9000000000ULL + (k * 7919) % 999999999ULL);
    return Hex10(k * 2654435761ULL + (type == 1 ? 0x1F00000000ULL : 0));
}

std::string Name(std::size_t i, unsigned type) {
    if (type != 0 && i % 3 == 0) return std::string(kTagNames[i % kTagNames.size()]) + " " + std::to_string(i % 1000);
    return std::string(kSurnames[i % kSurnames.size()]) + " " + kInitials[(i / kSurnames.size()) % kInitials.size()];
}

void Put(Bytes& record, std::size_t at, const std::string& text, std::size_t width) {
    std::fill(record.begin() + static_cast<long>(at), record.begin() + static_cast<long>(at + width), 0);
    const std::string cp = Utf8ToCp1251(text);
    std::copy_n(cp.begin(), std::min(cp.size(), width - 1), record.begin() + static_cast<long>(at));
}

std::string NumberOf(const Bytes& record) {
    std::string s;
    for (std::size_t i = 1; i < 12 && record[i]; ++i) s += static_cast<char>(record[i]);
    return s;
}

}  // namespace

std::vector<Bytes> SampleNumbers(std::size_t n) {
    std::vector<Bytes> base;
    base.reserve(n);
    std::unordered_set<std::string> taken;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned type = i % 10 < 7 ? 0 : (i % 10 == 7 ? 1 : 2);
        std::string number = Candidate(i, type, 0);
        for (unsigned attempt = 1; !taken.insert(number).second; ++attempt) number = Candidate(i, type, attempt);
        // Mostly users; some managers and administrators; IP users only among phones.
        const unsigned access = i % 50 == 0 ? 2 : i % 9 == 0 ? 1 : (type == 0 && i % 13 == 0 ? 3 : 0);
        const std::uint32_t expiry = i % 5 == 0 ? kLastDayOf2025 + static_cast<std::uint32_t>(i % 24) * 30 * kDay : 0;
        const auto passes = static_cast<std::uint8_t>(i % 7 == 0 ? 10 + i % 90 : 0);
        const auto schedule = static_cast<std::uint8_t>(i % 4 == 0 ? 1 + i % 7 : 0);
        Bytes r = MemoryModel::NumberRecord(number, "", static_cast<std::uint8_t>(access | (type << 4)), expiry,
                                            passes, schedule);
        Put(r, 12, Name(i, type), 20);
        base.push_back(std::move(r));
    }
    return base;
}

TSampleLog SampleLog(std::size_t m, const std::vector<Bytes>& numbers) {
    // Gate openings by the base's subscribers, strangers, entries and exits, photographs,
    // and now and then a restart, a power cut or a configuration read.
    struct TKind {
        std::uint8_t Operation;
        const char* Object;
        bool Subscriber;
    };
    static const std::array<TKind, 9> kKinds = {{{0, "Выход 1", true},
                                                 {27, "Шлагбаум", true},
                                                 {0, "Выход 2", true},
                                                 {28, "Шлагбаум", true},
                                                 {24, "", false},
                                                 {12, "Администратор", false},
                                                 {4, "Конфигурация", false},
                                                 {25, "Питание", false},
                                                 {26, "Питание", false}}};
    static const TKind kPhoto = {21, nullptr, true};
    TSampleLog log;
    log.Records.reserve(m);
    std::uint32_t time = kFirstMarch2025 + 8 * 3600;
    for (std::size_t i = 0; i < m; ++i) {
        // One event in eight fixes a photograph; openings, entries and exits are the most.
        const std::size_t pick = (i * 5) % 16;
        const TKind& kind = i % 8 == 5 ? kPhoto : kKinds[pick < 12 ? pick % 4 : 4 + pick % 5];
        std::string number;
        if (kind.Subscriber && !numbers.empty()) number = NumberOf(numbers[(i * 37) % numbers.size()]);
        if (kind.Operation == 24) number = std::to_string(9100000000ULL + i);
        std::string object = kind.Object ? kind.Object : "";
        if (kind.Operation == 21) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "Снимок_%04zu", log.Photos.size() + 1);
            object = buf;
            log.Photos.push_back(object);
        }
        Bytes r = MemoryModel::EventRecord(time, number, kind.Operation, "");
        std::fill(r.begin() + 16, r.end(), 0);
        const std::string cp = Utf8ToCp1251(object);
        std::copy_n(cp.begin(), std::min<std::size_t>(cp.size(), 16), r.begin() + 16);
        log.Records.push_back(std::move(r));
        time += 180 + static_cast<std::uint32_t>((i * 97) % 900);
    }
    return log;
}

Bytes SamplePicture(std::size_t k) {
    constexpr int kWidth = 160, kHeight = 120;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    const int band = static_cast<int>(k * 17 % kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
            const bool lit = std::abs(y - band) < 6;
            p[0] = static_cast<std::uint8_t>(lit ? 240 : 40 + x);
            p[1] = static_cast<std::uint8_t>(lit ? 240 : 60 + y);
            p[2] = static_cast<std::uint8_t>(lit ? 200 : 90 + (k * 29) % 120);
        }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes jpeg(out, out + size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return jpeg;
}

}  // namespace devsim
