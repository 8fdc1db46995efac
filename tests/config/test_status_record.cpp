// Status records laid out by hand and the texts of the status page.
#include <gtest/gtest.h>

#include <cstring>

#include "config/StatusRecord.h"

namespace {

void Put(StatusRecord& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (auto b : bytes) r[at++] = b;
}

StatusRecord HandStatus() {
    StatusRecord r;
    std::memcpy(r.data(), "862345678901234", 15);
    r[16] = 40;
    r[17] = 0x8B;
    Put(r, 18, {1, 0, 2, 0});
    r[23] = 0x51;  // GSM 1, GPRS 5
    r[24] = 23;
    Put(r, 25, {0xE9, 0x07, 3, 7, 9, 5, 3});  // 2025-03-07 09:05:03
    r[32] = 0xC0;
    Put(r, 54, {120, 0});
    r[60] = 32;
    r[70] = 0x05;
    r[143] = 0xC0;
    r[152] = 0xA0;  // a code was presented, type 2
    Put(r, 160, {0, 0});
    Put(r, 166, {250, 0});
    std::memcpy(r.data() + 176, "ABCDEF0123", 10);
    Put(r, 215, {0x5B, 0x02, 0x76, 0x67});  // 2025-01-02 03:04:59
    Put(r, 219, {10, 0, 0, 0});
    Put(r, 223, {0xDC, 0x05, 0, 0});        // 1500
    Put(r, 227, {20, 0, 0, 0});
    Put(r, 232, {0x44, 0xEC, 0x36, 0x6B});  // 2026-12-31 23:59
    r[237] = 1;
    r[238] = 0x02;
    r[269] = 3;
    r[272] = 3;
    return r;
}

TEST(StatusRecord, HandRecordTexts) {
    StatusRecord r = HandStatus();
    const TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Imei, "862345678901234");
    EXPECT_EQ(s.Limei, "IMEI: 862345678901234");
    EXPECT_EQ(s.Signal, 23);
    EXPECT_EQ(s.Lsig, "Сигнал: 23");
    EXPECT_EQ(s.GSMBER, "");  // firmware below 41
    EXPECT_EQ(s.Lfw, "FW: 40.0001.0002");
    EXPECT_EQ(s.FwVersion, 40);
    EXPECT_EQ(s.NameMaxLength, 19);
    EXPECT_EQ(s.Lhw, "HW: Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(s.Lgsm, "GSM reg.: 1");
    EXPECT_EQ(s.Lgprs, "GPRS reg.: 5");
    EXPECT_EQ(s.Lserver, "CloudTalivex: connected");
    EXPECT_EQ(s.Lmem, "Память пользователей: 120/15000");
    EXPECT_EQ(r[160], 0x98);  // 15000 written into the record
    EXPECT_EQ(r[161], 0x3A);
    EXPECT_EQ(s.Linput1, "Вход 1: активен");
    EXPECT_EQ(s.Linput2, "Вход 2: не активен");
    EXPECT_EQ(s.Lout_, "Выход: вкл.");
    EXPECT_EQ(s.Lar, "Авторегистрация: вкл.");
    EXPECT_EQ(s.BarCaption, "Выключить");
    EXPECT_EQ(s.LACCESS, "Администратор");
    EXPECT_EQ(s.netTime, "Время сети: 2025-03-07 09:05:03");
    EXPECT_EQ(s.Balance, "Остаток средств на СИМ карте: 250");
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: подключен");
    EXPECT_EQ(s.SafeCityTags, "Память базы БГ: 1500 (10/20)");
    EXPECT_EQ(s.SafeCityBaseDate, "Датакод базы БГ: 2025-01-02 03:04");
    EXPECT_EQ(s.SafeCityAccessDate, "Доступ действует до: 2026-12-31");
    EXPECT_TRUE(s.CodePresented);
    EXPECT_EQ(s.CodeText, "ABCDEF0123");
    EXPECT_EQ(s.CodeTypeIndex, 2);
    EXPECT_EQ(s.Rfid1State, 0);
    EXPECT_EQ(s.Rfid2State, -1);
    EXPECT_EQ(s.LNET, "3G");
}

TEST(StatusRecord, Variants) {
    StatusRecord r = HandStatus();
    r[16] = 41;
    r[23] = 0x11;
    r[32] = 0x00;
    r[60] = 16;
    r[70] = 0x02;
    r[143] = 0x40;
    r[152] = 0x00;
    Put(r, 160, {0x8A, 0x02});  // 650
    r[237] = 2;
    r[238] = 0x03;
    r[269] = 7;
    TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.GSMBER, "коллизии 0.8 - 1.6%");
    EXPECT_EQ(s.Lhw, "HW: Ключ \"Бранник\" DAZU 650");
    EXPECT_EQ(s.Lmem, "Память пользователей: 120/650");
    EXPECT_EQ(s.Lserver, "CloudTalivex: not connected");
    EXPECT_EQ(s.Linput1, "Вход 1: не активен");
    EXPECT_EQ(s.Linput2, "Вход 2: активен");
    EXPECT_EQ(s.Lout_, "Выход: выкл.");
    EXPECT_EQ(s.Lar, "Авторегистрация: выкл.");
    EXPECT_EQ(s.BarCaption, "Включить");
    EXPECT_EQ(s.LACCESS, "Управляющий");
    EXPECT_EQ(s.SafeCityTags, "Память базы БГ: 1500");
    EXPECT_FALSE(s.CodePresented);
    EXPECT_EQ(s.Rfid1State, 1);
    EXPECT_EQ(s.Rfid2State, 1);
    EXPECT_FALSE(s.LNET);  // the label keeps its text

    r[16] = 32;
    r[23] = 0x01;  // no GPRS: no error rate
    r[60] = 0;
    r[143] = 0x00;
    r[237] = 0;
    r[17] = 0x0B;
    Put(r, 160, {0x98, 0x3A});
    s = StatusDisplayTexts(r);
    EXPECT_EQ(s.GSMBER, "");
    EXPECT_EQ(s.NameMaxLength, 10);
    EXPECT_EQ(s.Lhw, "HW: Ключ \"Бранник IP\" DAZU");
    EXPECT_EQ(s.LACCESS, "Не подтвержден");
    EXPECT_EQ(s.SafeCityStat, "Безопасный город: отключен");
    EXPECT_EQ(s.SafeCityTags, "");
    EXPECT_EQ(s.SafeCityBaseDate, "");
    EXPECT_EQ(s.SafeCityAccessDate, "");
    EXPECT_EQ(s.Rfid1State, -1);
    EXPECT_EQ(s.Rfid2State, -1);
}

TEST(StatusRecord, TextsAreReadWithinTheirWidth) {
    StatusRecord r;
    std::memset(r.data(), '8', 16);         // IMEI with no NUL, firmware number follows
    r[16] = 40;
    std::memset(r.data() + 176, 'Z', 39);   // code text up to the Safe City date
    r[215] = 0x5B;
    r[152] = 0x20;
    const TStatusDisplay s = StatusDisplayTexts(r);
    EXPECT_EQ(s.Imei, std::string(16, '8'));
    EXPECT_EQ(s.CodeText, std::string(39, 'Z'));
}

TEST(StatusRecord, ReplyBytes) {
    StatusRecord r = HandStatus();
    std::uint8_t bytes[600];
    std::memset(bytes, 0x77, sizeof bytes);
    ApplyStatusRecordBytes(r, bytes, 600);
    EXPECT_EQ(r[512], 0x77);  // 513 taken, no more
    r = HandStatus();
    ApplyStatusRecordBytes(r, bytes, 4);
    EXPECT_EQ(r[3], 0x77);
    EXPECT_EQ(r[4], '4');
}

TEST(StatusTexts, ReaderStates) {
    EXPECT_EQ(RfidStateText(-1)->Caption, " - ");
    EXPECT_EQ(RfidStateText(-1)->Hint, "Считыватель не подключен");
    EXPECT_EQ(RfidStateText(0)->Caption, " 0 ");
    // The hints of states 0 and 1 begin with a Latin C, as the device maker wrote them.
    EXPECT_EQ(RfidStateText(0)->Hint,
              "C\xD1\x87итыватель подключен, обмена данными нет (обрыв или отсутствие линии связи)");
    EXPECT_EQ(RfidStateText(1)->Caption, " 1 ");
    EXPECT_EQ(RfidStateText(1)->Hint, "C\xD1\x87итыватель подключен, обмен данными производится");
    EXPECT_FALSE(RfidStateText(2));
    EXPECT_FALSE(RfidStateText(-2));
}

TEST(StatusTexts, ErrorRates) {
    const char* expected[8] = {"< 0.2%",     "0.2 - 0.4%", "0.4 - 0.8%",  "0.8 - 1.6%",
                               "1.6 - 3.2%", "3.2 - 6.4%", "6.4 - 12.8%", "> 12.8%"};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(BERToPercentString(static_cast<std::uint8_t>(c)), expected[c]);
    EXPECT_EQ(BERToPercentString(8), "");
    EXPECT_EQ(BERToPercentString(99), "");
}

TEST(StatusTexts, NetworkTypes) {
    EXPECT_EQ(NetworkTypeText(0), " ");
    EXPECT_EQ(NetworkTypeText(1), "GSM");
    EXPECT_EQ(NetworkTypeText(2), "2G");
    EXPECT_EQ(NetworkTypeText(4), "4G");
    EXPECT_FALSE(NetworkTypeText(5));
}

}  // namespace
