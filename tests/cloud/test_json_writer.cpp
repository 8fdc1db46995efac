// The styled request layout, against texts laid out by hand, and against JsonCpp's own
// classic styled writer for values whose strings are plain ASCII.
#include <gtest/gtest.h>

#include <json/writer.h>
#include <functional>
#include <random>

#include "cloud/CloudJsonWriter.h"

namespace {

Json::Value Obj(std::initializer_list<std::pair<const char*, Json::Value>> members) {
    Json::Value v(Json::objectValue);
    for (auto& [k, m] : members) v[k] = m;
    return v;
}

Json::Value Arr(std::initializer_list<Json::Value> items) {
    Json::Value v(Json::arrayValue);
    for (auto& i : items) v.append(i);
    return v;
}

}  // namespace

TEST(StyledJson, RequestObjectMembersInKeyOrder) {
    Json::Value v = Obj({{"pass", "1234"}, {"imei", "861234567890123"}, {"data", ""},
                         {"command", "gsmst"}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n"
              "   \"command\" : \"gsmst\",\n"
              "   \"data\" : \"\",\n"
              "   \"imei\" : \"861234567890123\",\n"
              "   \"pass\" : \"1234\"\n"
              "}\n");
}

TEST(StyledJson, NestedObjectsOpenOnTheKeyLine) {
    Json::Value v = Obj({{"b", Obj({{"y", Obj({{"z", 1}})}, {"x", true}})}, {"a", Json::Value()}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n"
              "   \"a\" : null,\n"
              "   \"b\" : {\n"
              "      \"x\" : true,\n"
              "      \"y\" : {\n"
              "         \"z\" : 1\n"
              "      }\n"
              "   }\n"
              "}\n");
}

TEST(StyledJson, EmptyContainersAndPlainValues) {
    Json::Value v = Obj({{"e", Json::Value(Json::objectValue)},
                         {"f", Json::Value(Json::arrayValue)},
                         {"g", false},
                         {"h", -17},
                         {"i", Json::Value(Json::UInt64(18446744073709551615ULL))},
                         {"j", 2.5},
                         {"k", 3.0},
                         {"l", 0.1}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n"
              "   \"e\" : {},\n"
              "   \"f\" : [],\n"
              "   \"g\" : false,\n"
              "   \"h\" : -17,\n"
              "   \"i\" : 18446744073709551615,\n"
              "   \"j\" : 2.5,\n"
              "   \"k\" : 3.0,\n"
              "   \"l\" : 0.10000000000000001\n"
              "}\n");
    EXPECT_EQ(StyledJsonText(Json::Value(Json::objectValue)), "{}\n");
    EXPECT_EQ(StyledJsonText(Json::Value("x")), "\"x\"\n");
}

TEST(StyledJson, ShortArrayOnOneLineLongArrayBroken) {
    Json::Value v = Obj({{"data", Arr({"861111111111111", "862222222222222"})}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n"
              "   \"data\" : [ \"861111111111111\", \"862222222222222\" ]\n"
              "}\n");

    // Four 15-digit IMEIs: 4 + 3 * 2 + 4 * 17 = 78 columns, past the margin.
    Json::Value w = Obj({{"data", Arr({"861111111111111", "862222222222222", "863333333333333",
                                       "864444444444444"})}});
    EXPECT_EQ(StyledJsonText(w),
              "{\n"
              "   \"data\" : [\n"
              "      \"861111111111111\",\n"
              "      \"862222222222222\",\n"
              "      \"863333333333333\",\n"
              "      \"864444444444444\"\n"
              "   ]\n"
              "}\n");
}

TEST(StyledJson, MarginCountsTheArrayAloneAt74) {
    // 4 + 2 + 34 + 34 = 74: on the margin breaks; one character less stays on one line.
    std::string a(32, 'a');
    std::string b(32, 'b');
    EXPECT_EQ(StyledJsonText(Arr({a, b})),
              "[\n   \"" + a + "\",\n   \"" + b + "\"\n]\n");
    std::string c(31, 'c');
    EXPECT_EQ(StyledJsonText(Arr({a, c})), "[ \"" + a + "\", \"" + c + "\" ]\n");
}

TEST(StyledJson, CyrillicCountsOneColumnPerLetter) {
    // 34 letters of two UTF-8 bytes each are 34 bytes on the wire: 4 + 2 + 36 + 30 = 72.
    std::string cyr;
    for (int i = 0; i < 34; ++i) cyr += "Ж";
    std::string lat(28, 'x');
    EXPECT_EQ(StyledJsonText(Arr({cyr, lat})), "[ \"" + cyr + "\", \"" + lat + "\" ]\n");
}

TEST(StyledJson, MarginAppliesToNumbersToo) {
    // 23 digits: 4 + 22 * 2 + 23 = 71 columns; 24 digits reach 74 and break.
    Json::Value a(Json::arrayValue);
    for (int i = 0; i < 23; ++i) a.append(i % 10);
    EXPECT_EQ(StyledJsonText(a), "[ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2 ]\n");
    a.append(3);
    std::string text = StyledJsonText(a);
    EXPECT_EQ(text.substr(0, 9), "[\n   0,\n ");
    EXPECT_EQ(text.substr(text.size() - 7), "   3\n]\n");
}

TEST(StyledJson, ArrayOfObjects) {
    Json::Value v = Obj({{"data", Arr({Obj({{"number", "+79001112233"}, {"access", "user"}}),
                                       Json::Value(Json::objectValue)})},
                         {"z", Arr({Arr({1, 2}), Json::Value(Json::arrayValue)})}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n"
              "   \"data\" : [\n"
              "      {\n"
              "         \"access\" : \"user\",\n"
              "         \"number\" : \"+79001112233\"\n"
              "      },\n"
              "      {}\n"
              "   ],\n"
              "   \"z\" : [\n"
              "      [ 1, 2 ],\n"
              "      []\n"
              "   ]\n"
              "}\n");
}

TEST(StyledJson, StringEscapes) {
    EXPECT_EQ(QuotedJsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(QuotedJsonString("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
    EXPECT_EQ(QuotedJsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(QuotedJsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
    EXPECT_EQ(QuotedJsonString("Иван «Ё»"), "\"Иван «Ё»\"");
    Json::Value v = Obj({{"name", "Пётр \"Главный\"\n"}});
    EXPECT_EQ(StyledJsonText(v), "{\n   \"name\" : \"Пётр \\\"Главный\\\"\\n\"\n}\n");
}

TEST(StyledJson, KeysSortByTheirWireBytes) {
    // "ё" is 0xB8 in Windows-1251, before "а" (0xE0); in UTF-8 it would sort after "я".
    Json::Value v = Obj({{"я", 1}, {"ё", 2}, {"а", 3}, {"Z", 4}});
    EXPECT_EQ(StyledJsonText(v),
              "{\n   \"Z\" : 4,\n   \"ё\" : 2,\n   \"а\" : 3,\n   \"я\" : 1\n}\n");
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
TEST(StyledJson, SameLayoutAsTheClassicWriterOnRandomValues) {
    std::mt19937 rng(1234);
    std::function<Json::Value(int)> make = [&](int depth) -> Json::Value {
        int kind = static_cast<int>(rng() % (depth > 3 ? 5 : 7));
        switch (kind) {
        case 0: return Json::Value();
        case 1: return Json::Value(static_cast<int>(rng() % 2000) - 1000);
        case 2: return Json::Value(rng() % 2 == 0);
        case 3: return Json::Value(std::string(rng() % 40, static_cast<char>('a' + rng() % 26)));
        case 4: return Json::Value("q\"\\\n\x02");
        case 5: {
            Json::Value a(Json::arrayValue);
            int n = static_cast<int>(rng() % 30);
            for (int i = 0; i < n; ++i) a.append(make(depth + 1));
            return a;
        }
        default: {
            Json::Value o(Json::objectValue);
            int n = static_cast<int>(rng() % 6);
            for (int i = 0; i < n; ++i) o["k" + std::to_string(rng() % 50)] = make(depth + 1);
            return o;
        }
        }
    };
    for (int round = 0; round < 400; ++round) {
        Json::Value v = make(0);
        Json::StyledWriter classic;
        ASSERT_EQ(StyledJsonText(v), classic.write(v)) << round;
    }
}
#pragma GCC diagnostic pop
