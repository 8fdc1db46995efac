// Request bytes laid out by hand: header block, styled object, Windows-1251 text.
#include <gtest/gtest.h>

#include "cloud/CloudRequest.h"
#include "platform/rtl/DateTime.h"

namespace {

const std::string kHead = "PUT / HTTP/1.1\r\nConnection: keep-alive\r\nUID: 452345678\r\n\r\n";

std::string Flat(const std::string& command, const std::string& data, const std::string& imei,
                 const std::string& pass) {
    return "{\n   \"command\" : \"" + command + "\",\n   \"data\" : \"" + data +
           "\",\n   \"imei\" : \"" + imei + "\",\n   \"pass\" : \"" + pass + "\"\n}\n";
}

}  // namespace

TEST(CloudRequest, StatusRequestByteForByte) {
    std::string bytes = CloudRequestBytes(452345678, StatusRequest("861234567890123", "1234"));
    EXPECT_EQ(bytes,
              "PUT / HTTP/1.1\r\n"
              "Connection: keep-alive\r\n"
              "UID: 452345678\r\n"
              "\r\n"
              "{\n"
              "   \"command\" : \"gsmst\",\n"
              "   \"data\" : \"\",\n"
              "   \"imei\" : \"861234567890123\",\n"
              "   \"pass\" : \"1234\"\n"
              "}\n");
}

TEST(CloudRequest, UidInDecimalWithSign) {
    EXPECT_EQ(CloudRequestHeader(-5), "PUT / HTTP/1.1\r\nConnection: keep-alive\r\nUID: -5\r\n\r\n");
    EXPECT_EQ(CloudRequestHeader(-2147483647 - 1).substr(40), "UID: -2147483648\r\n\r\n");
    EXPECT_EQ(CloudRequestHeader(0).substr(40), "UID: 0\r\n\r\n");
}

TEST(CloudRequest, StringDataCommands) {
    const int uid = 452345678;
    struct Case {
        Json::Value request;
        std::string expected;
    } cases[] = {
        {DispAuthRequest("1", "2"), Flat("dispauth", "high priority", "1", "2")},
        {CloseRequest("1", "2"), Flat("close", "", "1", "2")},
        {SetOutRequest("1", "2"), Flat("setout", "", "1", "2")},
        {AutoRegRequest("1", "2", true), Flat("autoreg", "1", "1", "2")},
        {AutoRegRequest("1", "2", false), Flat("autoreg", "0", "1", "2")},
        {DefragRequest("1", "2"), Flat("defrag", "", "1", "2")},
        {ResetRequest("1", "2"), Flat("reset", "", "1", "2")},
        {UpdateRequest("1", "2"), Flat("update", "", "1", "2")},
        {SimNumberRequest("1", "2", "+7 900 111"), Flat("simnum", "+7 900 111", "1", "2")},
        {ConfigRequest("1", "2"), Flat("gconfig", "", "1", "2")},
        {NumberInfoRequest("1", "2", "+79001112233", "Пётр"), Flat("gnum", "+79001112233", "1", "2")},
        {NextBlockRequest("1", "2", 64), Flat("nextblock", "64", "1", "2")},
        {ClearChronoRequest("1", "2"), Flat("clearchrono", "", "1", "2")},
    };
    for (const Case& c : cases) EXPECT_EQ(CloudRequestBytes(uid, c.request), kHead + c.expected);
}

TEST(CloudRequest, CyrillicGoesOutAsWindows1251Bytes) {
    // "Пётр": CF B8 F2 F0; a character with no Windows-1251 form becomes "?".
    EXPECT_EQ(CloudRequestBytes(452345678, NumberInfoRequest("1", "2", "", "Пётр")),
              kHead + Flat("gnum", "\xCF\xB8\xF2\xF0", "1", "2"));
    EXPECT_EQ(CloudRequestBytes(452345678, SimNumberRequest("1", "2", "a\xF0\x9F\x98\x80")),
              kHead + Flat("simnum", "a?", "1", "2"));
    // The traffic window gets the UTF-8 text.
    EXPECT_EQ(CloudRequestText(452345678, NumberInfoRequest("1", "2", "", "Пётр")),
              kHead + Flat("gnum", "Пётр", "1", "2"));
}

TEST(CloudRequest, ChronoRequest) {
    EXPECT_EQ(ChronoDateText(EncodeDate(2024, 3, 5)), "05032024");
    std::string body =
        "{\n"
        "   \"command\" : \"gchrono\",\n"
        "   \"data\" : {\n"
        "      \"edate\" : \"31032024\",\n"
        "      \"number\" : \"x\",\n"
        "      \"operation\" : \"0\",\n"
        "      \"response\" : \"1\",\n"
        "      \"sdate\" : \"01032024\"\n"
        "   },\n"
        "   \"imei\" : \"861234567890123\",\n"
        "   \"pass\" : \"1234\"\n"
        "}\n";
    EXPECT_EQ(CloudRequestBytes(452345678, ChronoRequest("861234567890123", "1234", "01032024",
                                                         "31032024", -3, "")),
              kHead + body);
    Json::Value r = ChronoRequest("1", "2", "a", "b", 7, "+7900");
    EXPECT_EQ(r["data"]["operation"].asString(), "7");
    EXPECT_EQ(r["data"]["number"].asString(), "+7900");
    EXPECT_EQ(ChronoRequest("1", "2", "a", "b", 0, "")["data"]["operation"].asString(), "0");
}

TEST(CloudRequest, TransparentPortRequest) {
    EXPECT_EQ(CloudRequestBytes(452345678, TransparentPortRequest("1", "2", {"10.0.0.5", "5000", "9600", "30"})),
              kHead +
                  "{\n"
                  "   \"command\" : \"rport\",\n"
                  "   \"data\" : {\n"
                  "      \"baud\" : \"9600\",\n"
                  "      \"ip\" : \"10.0.0.5\",\n"
                  "      \"port\" : \"5000\",\n"
                  "      \"timeout\" : \"30\"\n"
                  "   },\n"
                  "   \"imei\" : \"1\",\n"
                  "   \"pass\" : \"2\"\n"
                  "}\n");
}

TEST(CloudRequest, AddDelAndSync) {
    TCloudUser u{"user", "01011970", "Иван", "+79001112233", "0", "2"};
    EXPECT_EQ(CloudRequestBytes(452345678, AddUsersRequest("8612", "77", {u})),
              kHead +
                  "{\n"
                  "   \"command\" : \"add\",\n"
                  "   \"data\" : [\n"
                  "      {\n"
                  "         \"access\" : \"user\",\n"
                  "         \"enddate\" : \"01011970\",\n"
                  "         \"name\" : \"\xC8\xE2\xE0\xED\",\n"
                  "         \"number\" : \"+79001112233\",\n"
                  "         \"passes\" : \"0\",\n"
                  "         \"shedule\" : \"2\"\n"
                  "      }\n"
                  "   ],\n"
                  "   \"imei\" : \"8612\",\n"
                  "   \"pass\" : \"77\"\n"
                  "}\n");
    EXPECT_EQ(CloudRequestBytes(452345678, DeleteNumbersRequest("8612", "77", {"+7900", "+7901"})),
              kHead +
                  "{\n"
                  "   \"command\" : \"del\",\n"
                  "   \"data\" : [ \"+7900\", \"+7901\" ],\n"
                  "   \"imei\" : \"8612\",\n"
                  "   \"pass\" : \"77\"\n"
                  "}\n");
    EXPECT_EQ(CloudRequestBytes(452345678, GroupSyncRequest("8612", "77", {})),
              kHead +
                  "{\n"
                  "   \"command\" : \"sync\",\n"
                  "   \"data\" : [],\n"
                  "   \"imei\" : \"8612\",\n"
                  "   \"pass\" : \"77\"\n"
                  "}\n");
}

TEST(CloudRequest, TwoRequestsFollowEachOther) {
    std::string stream = CloudRequestBytes(7, CloseRequest("1", "2")) +
                         CloudRequestBytes(7, DispAuthRequest("1", "2"));
    std::string head = "PUT / HTTP/1.1\r\nConnection: keep-alive\r\nUID: 7\r\n\r\n";
    EXPECT_EQ(stream, head + Flat("close", "", "1", "2") + head + Flat("dispauth", "high priority", "1", "2"));
}
