// Parsing replies, reading members safely, the kinds of reply and the status words.
#include <gtest/gtest.h>

#include "cloud/CloudJsonRead.h"
#include "cloud/CloudReply.h"

namespace {
Json::Value Parse(const std::string& text) {
    Json::Value root;
    std::string errors;
    EXPECT_TRUE(ParseCloudReplyText(text, false, root, errors)) << errors;
    return root;
}
}  // namespace

TEST(CloudReplyParse, Windows1251TextBecomesUtf8) {
    Json::Value root = Parse("{\"response\":\"gnum\",\"data\":{\"name\":\"\xC8\xE2\xE0\xED\"}}");
    EXPECT_EQ(JsonText(JsonMember(root, "data"), "name"), "Иван");
}

TEST(CloudReplyParse, BadTextFailsWithMessagesAndNeverThrows) {
    Json::Value root;
    std::string errors;
    for (std::string bad : {std::string("{\"response\":"), std::string("{\"a\" 1}"), std::string(""),
                            std::string("{\"a\" : tru}"), std::string(5000, '['),
                            std::string("{\"x\":") + std::string(3000, '{')}) {
        EXPECT_FALSE(ParseCloudReplyText(bad, false, root, errors)) << bad.substr(0, 20);
        EXPECT_FALSE(errors.empty());
        EXPECT_TRUE(root.isNull());
    }
    EXPECT_FALSE(ParseCloudReplyText("{\"response\":\"gsmst\"}", true, root, errors));
    EXPECT_NE(errors.find("8192"), std::string::npos);
    // As with the classic reader, what follows a complete object is not looked at: two
    // replies joined by a cut terminator give the first.
    EXPECT_TRUE(ParseCloudReplyText("{\"a\":1}\r\n{\"b\":2}", false, root, errors));
    EXPECT_EQ(JsonInt(root, "a"), 1);
}

TEST(CloudReplyRead, KindsOfReply) {
    struct Case {
        const char* text;
        TCloudReplyKind kind;
        bool closesWait;
    } cases[] = {
        {"{\"response\":\"gsmst\",\"data\":{}}", TCloudReplyKind::Status, false},
        {"{\"response\":\"gsmst\",\"data\":\"error\"}", TCloudReplyKind::StatusWord, false},
        {"{\"response\":\"gnum\",\"data\":{}}", TCloudReplyKind::NumberInfo, true},
        {"{\"response\":\"gconfig\",\"data\":{}}", TCloudReplyKind::Config, true},
        {"{\"response\":\"gchrono\",\"data\":[]}", TCloudReplyKind::Chrono, true},
        {"{\"response\":\"add\",\"data\":[\"1\"]}", TCloudReplyKind::SyncAck, true},
        {"{\"response\":\"del\",\"data\":[]}", TCloudReplyKind::SyncAck, true},
        {"{\"response\":\"rport\",\"data\":[1]}", TCloudReplyKind::Ignored, true},
        {"{\"response\":\"gnum\"}", TCloudReplyKind::NumberInfo, true},
        {"{\"response\":\"\",\"data\":\"ok\"}", TCloudReplyKind::None, false},
        {"{\"response\":5,\"data\":\"ok\"}", TCloudReplyKind::None, false},
        {"{\"data\":\"ok\"}", TCloudReplyKind::None, false},
        {"[\"response\"]", TCloudReplyKind::None, false},
        {"\"response\"", TCloudReplyKind::None, false},
    };
    for (const Case& c : cases) {
        TCloudReply r = ReadCloudReply(Parse(c.text));
        EXPECT_EQ(r.Kind, c.kind) << c.text;
        EXPECT_EQ(r.ClosesWait, c.closesWait) << c.text;
    }
    TCloudReply s = ReadCloudReply(Parse("{\"response\":\"setout\",\"data\":\"ok\"}"));
    EXPECT_EQ(s.Status, "ok");
    EXPECT_EQ(s.ResponseLine, "Ответ на команду активации выхода");
    EXPECT_EQ(CloudStatusEffect("setout", "ok").Message, "");
    EXPECT_EQ(CloudStatusEffect("setout", "ok").IncomingLine, "");
    EXPECT_EQ(ReadCloudReply(Parse("{\"response\":\"autoreg\",\"data\":[]}")).ResponseLine,
              "Ответ на команду авторегистрации");
}

TEST(CloudReplyRead, StatusWords) {
    TCloudStatusEffect e = CloudStatusEffect("dispauth", "ok");
    EXPECT_TRUE(e.LogIn);
    EXPECT_EQ(e.IncomingLine, "Ответ на авторизацию");
    EXPECT_FALSE(CloudStatusEffect("gsmst", "ok").LogIn);

    e = CloudStatusEffect("dispauth", "fail auth");
    EXPECT_TRUE(e.EndSession);
    EXPECT_EQ(e.LoginFailText, "Проверьте правильность ввода пароля");
    EXPECT_EQ(e.Message, "");
    EXPECT_TRUE(e.ExplainsEnd);
    e = CloudStatusEffect("gconfig", "fail auth");
    EXPECT_TRUE(e.EndSession);
    EXPECT_EQ(e.Message, "Не правильно введен пароль!");
    EXPECT_EQ(e.IncomingLine, "Ошибка авторизации");

    EXPECT_EQ(CloudStatusEffect("gconfig", "denied").Message,
              "Для выполнения операции Вы должны обладать правами администратора!");
    // A login refused or a session closed ends the connection; a request refused does not.
    EXPECT_TRUE(CloudStatusEffect("dispauth", "denied").ExplainsEnd);
    EXPECT_TRUE(CloudStatusEffect("gsmst", "closed by admin").ExplainsEnd);
    EXPECT_FALSE(CloudStatusEffect("gconfig", "denied").ExplainsEnd);
    EXPECT_EQ(CloudStatusEffect("dispauth", "denied").Message,
              "Объект занят другим пользователем! Попробуйте попытку позже.");
    EXPECT_EQ(CloudStatusEffect("reset", "denied").Message, "Доступ запрещен!");
    EXPECT_EQ(CloudStatusEffect("dispauth", "closed by admin").Message,
              "Ваша сессия закрыта администратором! Повторите позже. :(");
    EXPECT_EQ(CloudStatusEffect("gsmst", "closed by admin").Message, "");

    e = CloudStatusEffect("update", "error");
    EXPECT_TRUE(e.HideUpdateBar);
    EXPECT_EQ(e.Message, "В процессе обновления возникла ошибка. Повторите заново.");
    e = CloudStatusEffect("reset", "error");
    EXPECT_FALSE(e.HideUpdateBar);
    EXPECT_EQ(e.Message, "Ошибка!");
    EXPECT_EQ(e.IncomingLine, "Ошибка выполнения запроса");

    EXPECT_EQ(CloudStatusEffect("update", "not finded").Message, "Файл прошивки отсутсвует на сервере!");
    EXPECT_EQ(CloudStatusEffect("gnum", "not finded").IncomingLine, "Ответ на запрос параметров номера");
    EXPECT_EQ(CloudStatusEffect("gchrono", "no data").Message, "Нет данных за указанный период!");
    EXPECT_TRUE(CloudStatusEffect("gchrono", "no data").NoLogRows);
    EXPECT_TRUE(CloudStatusEffect("x", "updated").HideUpdateBar);
    EXPECT_EQ(CloudStatusEffect("x", "notrequed").Message, "Обновление не требуется.");
    EXPECT_EQ(CloudStatusEffect("x", "unknow command").Message, "Команда не поддерживается");
    EXPECT_EQ(CloudStatusEffect("x", "not registred").Message, "Объект не зарегистрирован!");
    EXPECT_EQ(CloudStatusEffect("defrag", "ok").Message, "Дефрагментация выполнена!");
    EXPECT_EQ(CloudStatusEffect("rport", "ok").Message, "Прозрачное соединение запущено!");

    // Compared exactly.
    for (const char* w : {"OK", "ok ", "not connected", "Error", ""}) {
        TCloudStatusEffect n = CloudStatusEffect("dispauth", w);
        EXPECT_FALSE(n.LogIn || n.EndSession || !n.Message.empty() || !n.IncomingLine.empty()) << w;
    }
}

TEST(CloudReplyRead, AccessWords) {
    EXPECT_EQ(CloudAccessFromWord("admin").Level, 32);
    EXPECT_EQ(CloudAccessFromWord("admin").Caption, "Администратор");
    EXPECT_EQ(CloudAccessFromWord("manager").Level, 16);
    EXPECT_EQ(CloudAccessFromWord("manager").Caption, "Управляющий");
    EXPECT_EQ(CloudAccessFromWord("").Level, 0);
    EXPECT_EQ(CloudAccessFromWord("Admin").Caption, "Не подтвержден");
}

TEST(CloudJsonRead, MissingAndMistypedMembers) {
    Json::Value root = Parse(
        "{\"s\":\"17abc\",\"i\":2,\"big\":99999999999,\"neg\":\" -5\",\"f\":1.5,\"b\":true,"
        "\"a\":[\"x\"],\"o\":{\"k\":\"v\"},\"n\":null,\"u\":18446744073709551615,\"huge\":\"99999999999999999999999\"}");
    EXPECT_EQ(JsonText(root, "s"), "17abc");
    EXPECT_EQ(JsonInt(root, "s"), 17);
    EXPECT_EQ(JsonText(root, "i"), "");
    EXPECT_EQ(JsonInt(root, "i"), 2);
    EXPECT_EQ(JsonInt(root, "big"), 2147483647);
    EXPECT_EQ(JsonInt(root, "neg"), -5);
    EXPECT_EQ(JsonInt(root, "u"), 2147483647);
    EXPECT_EQ(JsonInt(root, "huge"), 2147483647);
    for (const char* k : {"f", "b", "a", "o", "n", "missing"}) {
        EXPECT_EQ(JsonText(root, k), "") << k;
        EXPECT_EQ(JsonInt(root, k), 0) << k;
    }
    // Members of values that are not objects, elements of values that are not arrays.
    EXPECT_TRUE(JsonMember(JsonMember(root, "a"), "k").isNull());
    EXPECT_TRUE(JsonMember(JsonMember(root, "s"), "k").isNull());
    EXPECT_EQ(JsonText(JsonMember(root, "o"), "k"), "v");
    EXPECT_EQ(JsonString(JsonElement(JsonMember(root, "a"), 0)), "x");
    EXPECT_TRUE(JsonElement(JsonMember(root, "a"), 1).isNull());
    EXPECT_TRUE(JsonElement(JsonMember(root, "o"), 0).isNull());
    EXPECT_EQ(JsonSize(JsonMember(root, "o")), 0u);
    EXPECT_FALSE(JsonHas(JsonMember(root, "a"), "x"));
    EXPECT_TRUE(JsonHas(root, "n"));
}

TEST(CloudJsonRead, NumberOfAText) {
    EXPECT_EQ(TextNumber(""), 0);
    EXPECT_EQ(TextNumber("x"), 0);
    EXPECT_EQ(TextNumber("  42 "), 42);
    EXPECT_EQ(TextNumber("+7"), 7);
    EXPECT_EQ(TextNumber("-"), 0);
    EXPECT_EQ(TextNumber("12.9"), 12);
    EXPECT_EQ(TextNumber("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(TextNumber64("1700000000"), 1700000000);
}
