// The status record offset by offset: records laid out by hand and every text of the status
// page, every reader state, signal and error-rate text.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "config/StatusRecord.h"
#include "device/DeviceType.h"

namespace {

void At(StatusRecord& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) r[at++] = b;
}
void Text(StatusRecord& r, std::size_t at, const char* bytes) {
    std::memcpy(r.data() + at, bytes, std::strlen(bytes));
}

StatusRecord HandStatus() {
    StatusRecord r;
    Text(r, 0, "861234567890123");
    r[16] = 45;                   // firmware 45
    r[17] = 0x8B;                 // DIN-rail model
    At(r, 18, {0x07, 0x00});      // .0007
    At(r, 20, {0xD2, 0x04});      // .1234
    r[22] = 0xEE;                 // not shown
    r[23] = 0x31;                 // GSM 1, GPRS 3
    r[24] = 27;                   // signal
    At(r, 25, {0xE8, 0x07, 5, 17, 13, 45, 9});  // 2024-05-17 13:45:09
    r[32] = 0xC0;                 // cloud, automatic registration
    At(r, 54, {0xD2, 0x04});      // 1234 numbers
    r[60] = 32;                   // administrator
    r[70] = 0x05;                 // input 1, output
    r[143] = 0xC0;
    r[152] = 0xA0;                // a code of type 2
    At(r, 160, {0x10, 0x27});     // capacity 10000
    At(r, 166, {0x31, 0xD4});     // balance 54321
    Text(r, 176, "0A1B2C3D4E");
    At(r, 215, {0x5C, 0x5F, 0x47, 0x66});  // 2024-05-17 13:45:00
    At(r, 219, {0x70, 0x11, 0x01, 0x00});  // 70000
    At(r, 223, {0x40, 0xE2, 0x01, 0x00});  // 123456
    At(r, 227, {0x05, 0x00, 0x00, 0x00});
    At(r, 232, {0x00, 0x0C, 0xBD, 0x72});  // 2031-01-01 00:00
    r[237] = 2;
    r[238] = 0x02;
    r[269] = 4;
    r[272] = 5;
    return r;
}

TEST(ReviewStatusRecord, HandRecordShowsEveryText) {
    StatusRecord r = HandStatus();
    const TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Imei, "861234567890123");
    EXPECT_EQ(s.Limei, "IMEI: 861234567890123");
    EXPECT_EQ(s.Signal, 27);
    EXPECT_EQ(s.Lsig, "Сигнал: 27");
    EXPECT_EQ(s.GSMBER, "коллизии 3.2 - 6.4%");
    EXPECT_EQ(s.Lfw, "FW: 45.0007.1234");
    EXPECT_EQ(s.FwVersion, 45);
    EXPECT_EQ(s.NameMaxLength, 19);
    EXPECT_EQ(s.Lhw, "HW: Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(s.Lgsm, "GSM reg.: 1");
    EXPECT_EQ(s.Lgprs, "GPRS reg.: 3");
    EXPECT_EQ(s.Lserver, "CloudTalivex: connected");
    EXPECT_EQ(s.Lmem, "Память пользователей: 1234/10000");
    EXPECT_EQ(s.Linput1, "Вход 1: активен");
    EXPECT_EQ(s.Linput2, "Вход 2: не активен");
    EXPECT_EQ(s.Lout_, "Выход: вкл.");
    EXPECT_EQ(s.Lar, "Авторегистрация: вкл.");
    EXPECT_EQ(s.BarCaption, "Выключить");
    EXPECT_EQ(s.LACCESS, "Администратор");
    EXPECT_EQ(s.netTime, "Время сети: 2024-05-17 13:45:09");
    EXPECT_EQ(s.Balance, "Остаток средств на СИМ карте: 54321");
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: подключен");
    EXPECT_EQ(s.SafeCityTags, "Память базы БГ: 123456 (70000/5)");
    EXPECT_EQ(s.SafeCityBaseDate, "Датакод базы БГ: 2024-05-17 13:45");
    EXPECT_EQ(s.SafeCityAccessDate, "Доступ действует до: 2031-01-01");
    EXPECT_TRUE(s.CodePresented);
    EXPECT_EQ(s.CodeText, "0A1B2C3D4E");
    EXPECT_EQ(s.CodeTypeIndex, 2);
    EXPECT_EQ(s.Rfid1State, 0);
    EXPECT_EQ(s.Rfid2State, 1);
    EXPECT_EQ(s.LNET, std::optional<std::string>("4G"));
    EXPECT_EQ(r, HandStatus()) << "a nonzero capacity is left alone";
    EXPECT_EQ(StatusImei(r), "861234567890123");
}

TEST(ReviewStatusRecord, ClearFlagsShowTheOtherTexts) {
    StatusRecord r = HandStatus();
    r[23] = 0x0F;   // GSM 15, GPRS 0: no error rate
    r[32] = 0x3F;   // neither bit 6 nor bit 7
    r[60] = 16;
    r[70] = 0xFA;   // input 2 only among the three bits
    r[143] = 0x3F;
    r[152] = 0xDF;  // every bit but bit 5
    TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.GSMBER, "");
    EXPECT_EQ(s.Lgsm, "GSM reg.: 15");
    EXPECT_EQ(s.Lgprs, "GPRS reg.: 0");
    EXPECT_EQ(s.Lserver, "CloudTalivex: not connected");
    EXPECT_EQ(s.Linput1, "Вход 1: не активен");
    EXPECT_EQ(s.Linput2, "Вход 2: активен");
    EXPECT_EQ(s.Lout_, "Выход: выкл.");
    EXPECT_EQ(s.Lar, "Авторегистрация: выкл.");
    EXPECT_EQ(s.BarCaption, "Включить");
    EXPECT_EQ(s.LACCESS, "Управляющий");
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: отключен");
    EXPECT_EQ(s.SafeCityTags, "");
    EXPECT_EQ(s.SafeCityBaseDate, "");
    EXPECT_EQ(s.SafeCityAccessDate, "");
    EXPECT_FALSE(s.CodePresented);
    for (std::uint8_t level : {0, 1, 15, 17, 31, 33, 48, 255}) {
        r[60] = level;
        EXPECT_EQ(StatusDisplayTexts(r).LACCESS, "Не подтвержден") << int(level);
    }
}

TEST(ReviewStatusRecord, SafeCityCountersOnlyWithBit7) {
    StatusRecord r = HandStatus();
    r[143] = 0x40;
    TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: подключен");
    EXPECT_EQ(s.SafeCityTags, "Память базы БГ: 123456");
    EXPECT_EQ(s.SafeCityBaseDate, "Датакод базы БГ: 2024-05-17 13:45");
    r[143] = 0x80;
    s = StatusDisplayTexts(r);
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: отключен");
    EXPECT_EQ(s.SafeCityTags, "Память базы БГ: 123456 (70000/5)");
    EXPECT_EQ(s.SafeCityAccessDate, "Доступ действует до: 2031-01-01");
    // Large unsigned counters stay unsigned.
    At(r, 223, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(StatusDisplayTexts(r).SafeCityTags, "Память базы БГ: 4294967295 (70000/5)");
}

TEST(ReviewStatusRecord, EveryReaderState) {
    struct Case {
        std::uint8_t readers, states;
        int first, second;
    };
    const Case cases[] = {
        {0, 0x00, -1, -1}, {0, 0x03, -1, -1},
        {1, 0x00, 0, -1},  {1, 0x01, 1, -1},  {1, 0x02, 0, -1}, {1, 0x03, 1, -1},
        {2, 0x00, 0, 0},   {2, 0x01, 1, 0},   {2, 0x02, 0, 1},  {2, 0x03, 1, 1},
        {3, 0x02, 0, 1},   {255, 0xFD, 1, 0},
    };
    for (const Case& c : cases) {
        StatusRecord r = HandStatus();
        r[237] = c.readers;
        r[238] = c.states;
        const TStatusDisplay s = StatusDisplayTexts(r);
        EXPECT_EQ(s.Rfid1State, c.first) << int(c.readers) << "/" << int(c.states);
        EXPECT_EQ(s.Rfid2State, c.second) << int(c.readers) << "/" << int(c.states);
    }
}

TEST(ReviewStatusRecord, ReaderStateCaptionsAndHints) {
    auto none = RfidStateText(-1);
    auto idle = RfidStateText(0);
    auto busy = RfidStateText(1);
    ASSERT_TRUE(none && idle && busy);
    EXPECT_EQ(none->Caption, " - ");
    EXPECT_EQ(none->Hint, "Считыватель не подключен");
    EXPECT_EQ(idle->Caption, " 0 ");
    EXPECT_EQ(idle->Hint, "Cчитыватель подключен, обмена данными нет (обрыв или отсутствие линии связи)");
    EXPECT_EQ(busy->Caption, " 1 ");
    EXPECT_EQ(busy->Hint, "Cчитыватель подключен, обмен данными производится");
    // The two connected hints begin with a Latin "C", the first with a Cyrillic one.
    EXPECT_EQ(idle->Hint[0], 'C');
    EXPECT_EQ(busy->Hint[0], 'C');
    EXPECT_EQ(none->Hint.substr(0, 2), "\xD0\xA1");
    for (int other : {-2, 2, 3, 255}) EXPECT_FALSE(RfidStateText(other)) << other;
}

TEST(ReviewStatusRecord, EveryErrorRateText) {
    const char* texts[8] = {"< 0.2%",     "0.2 - 0.4%", "0.4 - 0.8%",  "0.8 - 1.6%",
                            "1.6 - 3.2%", "3.2 - 6.4%", "6.4 - 12.8%", "> 12.8%"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(BERToPercentString(static_cast<std::uint8_t>(c)), texts[c]);
        StatusRecord r = HandStatus();
        r[272] = static_cast<std::uint8_t>(c);
        EXPECT_EQ(StatusDisplayTexts(r).GSMBER, std::string("коллизии ") + texts[c]);
    }
    for (int c : {8, 9, 128, 255}) {
        EXPECT_EQ(BERToPercentString(static_cast<std::uint8_t>(c)), "");
        StatusRecord r = HandStatus();
        r[272] = static_cast<std::uint8_t>(c);
        EXPECT_EQ(StatusDisplayTexts(r).GSMBER, "коллизии ");
    }
}

TEST(ReviewStatusRecord, ErrorRateNeedsGprsAndFirmware41) {
    struct Case {
        std::uint8_t fw, registration;
        bool shown;
    };
    const Case cases[] = {{41, 0x10, true}, {40, 0x10, false}, {41, 0x0F, false},
                          {255, 0xF0, true}, {0, 0x55, false}};
    for (const Case& c : cases) {
        StatusRecord r = HandStatus();
        r[16] = c.fw;
        r[23] = c.registration;
        r[272] = 0;
        EXPECT_EQ(StatusDisplayTexts(r).GSMBER, c.shown ? "коллизии < 0.2%" : "") << int(c.fw);
    }
}

TEST(ReviewStatusRecord, SignalAndNetworkTexts) {
    for (int level : {0, 31, 99, 255}) {
        StatusRecord r = HandStatus();
        r[24] = static_cast<std::uint8_t>(level);
        const TStatusDisplay s = StatusDisplayTexts(r);
        EXPECT_EQ(s.Signal, level);
        EXPECT_EQ(s.Lsig, "Сигнал: " + std::to_string(level));
    }
    const char* nets[5] = {" ", "GSM", "2G", "3G", "4G"};
    for (int t = 0; t < 5; ++t) {
        StatusRecord r = HandStatus();
        r[269] = static_cast<std::uint8_t>(t);
        EXPECT_EQ(StatusDisplayTexts(r).LNET, std::optional<std::string>(nets[t]));
    }
    for (int t : {5, 7, 255}) {
        StatusRecord r = HandStatus();
        r[269] = static_cast<std::uint8_t>(t);
        EXPECT_FALSE(StatusDisplayTexts(r).LNET) << t;
    }
}

TEST(ReviewStatusRecord, FirmwareVersionAndNameLength) {
    StatusRecord r = HandStatus();
    At(r, 16, {40});
    At(r, 18, {1, 0, 2, 0});
    r[23] = 0x11;
    TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Lfw, "FW: 40.0001.0002");
    EXPECT_EQ(s.GSMBER, "");
    EXPECT_EQ(s.NameMaxLength, 19);
    r[16] = 32;
    EXPECT_EQ(StatusDisplayTexts(r).NameMaxLength, 10);
    r[16] = 33;
    EXPECT_EQ(StatusDisplayTexts(r).NameMaxLength, 19);
    At(r, 18, {0xFF, 0xFF, 0x10, 0x27});
    EXPECT_EQ(StatusDisplayTexts(r).Lfw, "FW: 33.65535.10000");
}

TEST(ReviewStatusRecord, CapacityZeroIsReplacedAfterTheModelText) {
    StatusRecord r = HandStatus();
    At(r, 54, {120, 0});
    At(r, 160, {0, 0});
    const TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Lmem, "Память пользователей: 120/15000");
    EXPECT_EQ(r[160], 0x98);
    EXPECT_EQ(r[161], 0x3A);
    EXPECT_EQ(s.Lhw, "HW: " + TypeDeviceToString(0x8B, 0));
    // The small model is named from the capacity as received.
    At(r, 160, {0x8A, 0x02});  // 650
    EXPECT_EQ(StatusDisplayTexts(r).Lhw, "HW: " + TypeDeviceToString(0x8B, 650));
    EXPECT_EQ(StatusDisplayTexts(r).Lmem, "Память пользователей: 120/650");
}

TEST(ReviewStatusRecord, TextsAreReadWithinTheirField) {
    StatusRecord r = HandStatus();
    std::memset(r.data(), '3', 16);  // IMEI filling its field, firmware right after
    std::memset(r.data() + 176, 'K', 39);
    r[215] = 'Z';  // the base date's first byte is no part of the code
    r[152] = 0x60;  // a code of type 1
    const TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Imei, std::string(16, '3'));
    EXPECT_EQ(s.CodeText, std::string(39, 'K'));
    EXPECT_EQ(s.CodeTypeIndex, 1);
    // A Windows-1251 code text arrives as UTF-8.
    Text(r, 176, "\xCA\xEE\xE4");
    r[179] = 0;
    EXPECT_EQ(StatusDisplayTexts(r).CodeText, "Код");
}

TEST(ReviewStatusRecord, ReplyBytesFillTheRecordFromItsStart) {
    StatusRecord r = HandStatus();
    std::vector<std::uint8_t> reply(600, 0x11);
    ApplyStatusRecordBytes(r, reply.data(), reply.size());
    EXPECT_EQ(r, [] {
        StatusRecord all;
        all.Bytes.fill(0x11);
        return all;
    }());
    StatusRecord part = HandStatus();
    ApplyStatusRecordBytes(part, reply.data(), 20);
    for (std::size_t i = 0; i < kStatusRecordSize; ++i)
        EXPECT_EQ(part[i], i < 20 ? 0x11 : HandStatus()[i]) << i;
    StatusRecord none = HandStatus();
    ApplyStatusRecordBytes(none, reply.data(), 0);
    ApplyStatusRecordBytes(none, nullptr, 513);
    EXPECT_EQ(none, HandStatus());
}

TEST(ReviewStatusRecord, RandomRecordsGiveWellFormedTexts) {
    std::uint32_t seed = 4242;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    for (int round = 0; round < 2000; ++round) {
        StatusRecord r;
        for (auto& b : r.Bytes) b = next();
        const TStatusDisplay s = StatusDisplayTexts(r);
        ASSERT_LE(s.Imei.size(), 48u);  // 16 bytes, three UTF-8 bytes at most each
        ASSERT_EQ(s.Limei, "IMEI: " + s.Imei);
        ASSERT_TRUE(s.Rfid1State >= -1 && s.Rfid1State <= 1);
        ASSERT_TRUE(s.Rfid2State >= -1 && s.Rfid2State <= 1);
        ASSERT_NE(r[160] | (r[161] << 8), 0);
        if (s.CodePresented) {
            ASSERT_LE(s.CodeText.size(), 117u);
        }
        ASSERT_EQ(s.netTime.rfind("Время сети: ", 0), 0u);
    }
}

}  // namespace

