// Status, number, configuration and log replies read into texts, record bytes and rows.
#include <gtest/gtest.h>

#include "cloud/CloudReply.h"
#include "cloud/CloudReplyData.h"

namespace {
Json::Value Data(const std::string& text) {
    Json::Value root;
    std::string errors;
    EXPECT_TRUE(ParseCloudReplyText(text, false, root, errors)) << errors;
    return root;
}
}  // namespace

TEST(CloudStatus, FullReply) {
    TCloudStatusView s = ReadCloudStatus(
        Data("{\"csq\":\"17\",\"fw\":\"33\",\"hw\":\"139\",\"creg\":\"1\",\"cgreg\":\"5\","
             "\"connection\":\"1\",\"nums\":\"120\",\"in1\":\"1\",\"in2\":\"0\",\"out\":\"1\","
             "\"ar\":\"1\",\"al\":\"manager\",\"upd\":\"1\",\"updpercent\":\"45\","
             "\"nettime\":\"12:00\",\"balance\":\"10 \xF0\xF3\xE1.\",\"rfidCount\":2,"
             "\"rfidState\":\"2\",\"ber\":\"3\"}"),
        "861234567890123");
    EXPECT_EQ(s.Imei, "IMEI: 861234567890123");
    EXPECT_EQ(s.Signal, "Сигнал: 17");
    EXPECT_EQ(s.SignalLevel, 17);
    EXPECT_EQ(s.Fw, "FW: 33");
    EXPECT_EQ(s.FwVersion, 33);
    EXPECT_EQ(s.NameMaxLength, 19);
    EXPECT_EQ(s.DeviceType, 139);
    EXPECT_EQ(s.Hw, "HW: Ключ \"Бранник IP\" DIN");
    EXPECT_EQ(s.Gsm, "GSM reg.: 1");
    EXPECT_EQ(s.Gprs, "GPRS reg.: 5");
    EXPECT_EQ(s.Server, "CloudTalivex: connected");
    EXPECT_EQ(s.Memory, "Память пользователей: 120/15000");
    EXPECT_EQ(s.Input1, "Вход 1: активен");
    EXPECT_EQ(s.Input2, "Вход 2: не активен");
    EXPECT_EQ(s.Output, "Выход: вкл.");
    EXPECT_EQ(s.AutoReg, "Авторегистрация: вкл.");
    EXPECT_EQ(s.AutoRegButton, "Выключить");
    EXPECT_EQ(s.Access, "Управляющий");
    EXPECT_TRUE(s.UpdateVisible);
    EXPECT_EQ(s.UpdatePercent, 45);
    EXPECT_TRUE(s.HasNetTime);
    EXPECT_EQ(s.NetTime, "Время сети: 12:00");
    EXPECT_TRUE(s.HasBalance);
    EXPECT_EQ(s.Balance, "Остаток средств на СИМ карте: 10 руб.");
    EXPECT_EQ(s.Rfid1State, 0);
    EXPECT_EQ(s.Rfid2State, 1);
    EXPECT_EQ(s.Ber, "коллизии 0.8 - 1.6%");
}

TEST(CloudStatus, MissingAndOddValues) {
    for (const char* text : {"{}", "[]", "\"x\"", "null"}) {
        TCloudStatusView s = ReadCloudStatus(Data(text), "");
        EXPECT_EQ(s.Signal, "Сигнал: ");
        EXPECT_EQ(s.SignalLevel, 0);
        EXPECT_EQ(s.NameMaxLength, 10);
        EXPECT_EQ(s.Hw, "HW: Ключ \"Бранник IP\" DAZU");
        EXPECT_EQ(s.Server, "CloudTalivex: not connected");
        EXPECT_EQ(s.Memory, "Память пользователей: /15000");
        EXPECT_EQ(s.AutoReg, "Авторегистрация: выкл.");
        EXPECT_EQ(s.AutoRegButton, "Включить");
        EXPECT_EQ(s.Access, "Не подтвержден");
        EXPECT_FALSE(s.UpdateVisible);
        EXPECT_FALSE(s.HasNetTime);
        EXPECT_FALSE(s.HasBalance);
        EXPECT_EQ(s.Rfid1State, -1);
        EXPECT_EQ(s.Rfid2State, -1);
        EXPECT_EQ(s.Ber, "");
    }
    TCloudStatusView s = ReadCloudStatus(
        Data("{\"csq\":\"x\",\"fw\":\"32\",\"upd\":\"0\",\"updpercent\":\"50\",\"rfidCount\":\"1\","
             "\"rfidState\":3,\"ber\":\"9\"}"),
        "1");
    EXPECT_EQ(s.SignalLevel, 0);
    EXPECT_EQ(s.NameMaxLength, 10);
    EXPECT_EQ(s.UpdatePercent, 0);
    EXPECT_EQ(s.Rfid1State, 1);
    EXPECT_EQ(s.Rfid2State, -1);
    EXPECT_EQ(s.Ber, "коллизии ");
    EXPECT_EQ(ReadCloudStatus(Data("{\"rfidCount\":0,\"rfidState\":3}"), "").Rfid1State, -1);
    // The version keeps its low 8 bits: 289 is 33.
    EXPECT_EQ(ReadCloudStatus(Data("{\"fw\":\"289\"}"), "").NameMaxLength, 19);
    EXPECT_EQ(ReadCloudStatus(Data("{\"upd\":\"1\",\"updpercent\":\"250\"}"), "").UpdatePercent, 100);
}

TEST(CloudNumberInfo, Texts) {
    EXPECT_EQ(CloudNumberInfoText(Data("{\"number\":\"+79001112233\",\"name\":\"\xC8\xE2\xE0\xED\",\"access\":\"user\","
                                       "\"enddate\":\"01011970\",\"passes\":\"0\",\"shedule\":\"0\"}")),
              "Информация по номеру: +79001112233\r\n"
              "наименование: Иван\r\n"
              "право доступа: user\r\n"
              "действует до: нет ограничения\r\n"
              "проходов: нет ограничения\r\n"
              "расписание: круглосуточно");
    EXPECT_EQ(CloudNumberInfoText(Data("{\"number\":\"1\",\"access\":\"admin\",\"enddate\":\"31122025\","
                                       "\"passes\":\"5\",\"shedule\":\"2\"}")),
              "Информация по номеру: 1\r\n"
              "право доступа: admin\r\n"
              "действует до: 31122025\r\n"
              "проходов: 5\r\n"
              "расписание: 2");
}

TEST(CloudConfig, EveryFieldAtItsOffset) {
    ConfigRecord rec;
    rec.Bytes.fill(0xEE);
    ApplyCloudConfig(Data("{\"adminpass\":\"70000\",\"managerpass\":\"1234\",\"allcall\":\"0\","
                          "\"usein1\":\"1\",\"usein2\":\"2\",\"photofix\":\"3\",\"opgsm\":\"4\","
                          "\"apn\":\"internet\",\"simpin\":\"1234\",\"server\":\"\xEE\xE1\xEB\xE0\xEA\xEE\","
                          "\"port\":\"10951\",\"outtype\":\"1\",\"outimp\":\"5\",\"outpause\":\"6\","
                          "\"outrepeate\":\"300\",\"shedule\":[{\"days\":\"127\",\"st\":\"8\",\"et\":\"20\"},"
                          "{\"days\":\"1\",\"st\":\"0\",\"et\":\"24\"}]}"),
                     rec);
    ConfigRecord want;
    want.Bytes.fill(0xEE);
    want[9] = 0x70;  // 70000 keeps its low 16 bits: 0x1170
    want[10] = 0x11;
    want[11] = 0xD2;  // 1234 = 0x04D2
    want[12] = 0x04;
    // 0xEE = 1110 1110: allcall 0 keeps bit 0 clear, usein1 1 keeps bit 2, usein2 "2" clears
    // bit 3, photofix "3" sets bit 4; bits 1, 5, 6 and 7 stay.
    want[13] = 0xF6;
    want[14] = 4;
    const char apn[] = "internet";
    for (int i = 0; i < 40; ++i) want[15 + i] = i < 8 ? static_cast<std::uint8_t>(apn[i]) : 0;
    want[55] = '1', want[56] = '2', want[57] = '3', want[58] = '4', want[59] = 0;
    want[60] = 0xEF;  // cloud in use
    const std::uint8_t server[] = {0xEE, 0xE1, 0xEB, 0xE0, 0xEA, 0xEE};  // "облако"
    for (int i = 0; i < 24; ++i) want[66 + i] = i < 6 ? server[i] : 0;
    want[90] = 0xC7;  // 10951 = 0x2AC7
    want[91] = 0x2A;
    want[134] = 1;
    want[135] = 5;
    want[136] = 6;
    want[137] = 300 & 0xFF;
    want[138] = 127, want[139] = 8, want[140] = 20;
    want[141] = 1, want[142] = 0, want[143] = 24;
    EXPECT_EQ(rec, want);
}

TEST(CloudConfig, MissingOrMistypedKeysKeepTheRecord) {
    ConfigRecord rec;
    for (std::size_t i = 0; i < kConfigRecordSize; ++i) rec[i] = static_cast<std::uint8_t>(i * 7);
    ConfigRecord before = rec;
    ApplyCloudConfig(Data("{\"adminpass\":true,\"apn\":5,\"shedule\":\"x\",\"opgsm\":[1]}"), rec);
    before[60] |= 0x01;
    EXPECT_EQ(rec, before);
    for (const char* text : {"null", "[]", "\"ok\"", "{\"shedule\":[1,\"a\",{\"st\":\"9\"}]}"}) {
        ConfigRecord r = before;
        ApplyCloudConfig(Data(text), r);
        ConfigRecord w = before;
        if (std::string(text).find("st") != std::string::npos) w[138 + 3 * 2 + 1] = 9;
        EXPECT_EQ(r, w) << text;
    }
}

TEST(CloudConfig, LongTextsStayInTheirFields) {
    ConfigRecord rec;
    rec.Bytes.fill(0xEE);
    const std::string longApn(60, 'a');
    std::string longServer;
    for (int i = 0; i < 30; ++i) longServer += "\xC6";  // "Ж" in Windows-1251
    ApplyCloudConfig(Data("{\"apn\":\"" + longApn + "\",\"simpin\":\"123456789\",\"server\":\"" +
                          longServer + "\"}"),
                     rec);
    for (int i = 15; i < 54; ++i) EXPECT_EQ(rec[i], 'a') << i;
    EXPECT_EQ(rec[54], 0);
    EXPECT_EQ(rec[55], '1');
    EXPECT_EQ(rec[58], '4');
    EXPECT_EQ(rec[59], 0);
    EXPECT_EQ(rec[60], 0xEF);
    for (int i = 66; i < 89; ++i) EXPECT_EQ(rec[i], 0xC6) << i;
    EXPECT_EQ(rec[89], 0);
    EXPECT_EQ(rec[90], 0xEE);
    // Seven days at most: an eighth element does not reach the photo resolution at 159.
    Json::Value days(Json::arrayValue);
    for (int k = 0; k < 8; ++k) {
        Json::Value d(Json::objectValue);
        d["days"] = std::to_string(k + 1);
        d["st"] = "1";
        d["et"] = "2";
        days.append(d);
    }
    Json::Value data(Json::objectValue);
    data["shedule"] = days;
    ApplyCloudConfig(data, rec);
    EXPECT_EQ(rec[138 + 18], 7);
    EXPECT_EQ(rec[159], 0xEE);
}

TEST(CloudLog, RowsAndDates) {
    EXPECT_EQ(CloudLogDateText(0), "01.01.1970 00:00:00");
    EXPECT_EQ(CloudLogDateText(1700000000), "14.11.2023 22:13:20");
    EXPECT_EQ(CloudLogDateText(951782400), "29.02.2000 00:00:00");
    EXPECT_EQ(CloudLogDateText(INT64_MAX), "31.12.9999 23:59:59");
    std::vector<TCloudLogRow> rows = ReadCloudLogRows(Data(
        "[{\"date\":\"1700000000\",\"number\":\"+7900\",\"operation\":\"\xCF\xF0\xEE\xF5\xEE\xE4\",\"what\":\"\xC2\xF5\xEE\xE4 1\"},"
        "5,{\"date\":\"x\"}]"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Date, "14.11.2023 22:13:20");
    EXPECT_EQ(rows[0].Number, "+7900");
    EXPECT_EQ(rows[0].Operation, "Проход");
    EXPECT_EQ(rows[0].What, "Вход 1");
    EXPECT_EQ(rows[1].Date, "01.01.1970 00:00:00");
    EXPECT_TRUE(ReadCloudLogRows(Data("{\"date\":\"1\"}")).empty());
}

TEST(CloudLog, BlocksMergeOnceAndReverse) {
    std::vector<TLogGridRow> grid(2);  // header and the empty row after a clear
    grid[0] = {"N", "Дата", "Номер", "Операция", "Объект"};
    int next = 1;
    TCloudLogRow a{"01.01.2024 00:00:01", "1", "op", "w"};
    TCloudLogRow b{"01.01.2024 00:00:02", "2", "op", "w"};
    TCloudLogRow c{"01.01.2024 00:00:03", "3", "op", "w"};
    EXPECT_EQ(MergeCloudLogRows(grid, next, {a, b}), 2);
    EXPECT_EQ(MergeCloudLogRows(grid, next, {b, c, c}), 1);
    EXPECT_EQ(next, 4);
    ASSERT_EQ(grid.size(), 5u);
    EXPECT_EQ(grid[1], (TLogGridRow{"1", a.Date, "1", "op", "w"}));
    EXPECT_EQ(grid[3], (TLogGridRow{"3", c.Date, "3", "op", "w"}));
    EXPECT_EQ(grid[4], TLogGridRow{});
    ReverseCloudLogRows(grid);
    EXPECT_EQ(grid[0][0], "N");
    EXPECT_EQ(grid[1], (TLogGridRow{"1", c.Date, "3", "op", "w"}));
    EXPECT_EQ(grid[2], (TLogGridRow{"2", b.Date, "2", "op", "w"}));
    EXPECT_EQ(grid[3], (TLogGridRow{"3", a.Date, "1", "op", "w"}));
    EXPECT_EQ(grid[4], (TLogGridRow{"4", "", "", "", ""}));

    // Other events in the same second are rows of their own.
    grid = std::vector<TLogGridRow>(2);
    next = 1;
    TCloudLogRow otherNumber = a, otherOperation = a, otherObject = a;
    otherNumber.Number = "9";
    otherOperation.Operation = "op2";
    otherObject.What = "w2";
    EXPECT_EQ(MergeCloudLogRows(grid, next, {a, otherNumber, otherOperation, otherObject, a}), 4);
    EXPECT_EQ(grid[4], (TLogGridRow{"4", a.Date, "1", "op", "w2"}));

    std::vector<TLogGridRow> empty;
    int n0 = 0;
    EXPECT_EQ(MergeCloudLogRows(empty, n0, {a}), 1);
    EXPECT_EQ(empty.size(), 3u);
    EXPECT_EQ(n0, 2);
}

TEST(CloudLog, BlockOfThirtyTwoIsNotTheLast) {
    EXPECT_FALSE(CloudLogBlockIsLast(32));
    EXPECT_FALSE(CloudLogBlockIsLast(40));
    EXPECT_TRUE(CloudLogBlockIsLast(31));
    EXPECT_TRUE(CloudLogBlockIsLast(0));
}
