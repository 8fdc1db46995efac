// Synchronisation rounds of the number grid: limits, user objects, acknowledgements.
#include <gtest/gtest.h>

#include "cloud/CloudJsonRead.h"
#include "cloud/CloudJsonWriter.h"
#include "cloud/CloudSync.h"

namespace {

const std::vector<std::string> kTemplates(kSheduleItems.begin(), kSheduleItems.end());

std::vector<TPhoneGridRow> Grid(int n, const std::string& mark) {
    std::vector<TPhoneGridRow> rows(1);
    for (int i = 1; i <= n; ++i) {
        TPhoneGridRow r;
        r[colRowNumber] = std::to_string(i);
        r[colNumber] = "+7900" + std::to_string(1000 + i);
        r[colName] = "N" + std::to_string(i);
        r[colSync] = mark;
        rows.push_back(r);
    }
    return rows;
}

Json::Value Results(std::initializer_list<const char*> items) {
    Json::Value a(Json::arrayValue);
    for (const char* i : items) a.append(i);
    return a;
}

Json::Value AllOk(Json::ArrayIndex n) {
    Json::Value a(Json::arrayValue);
    for (Json::ArrayIndex i = 0; i < n; ++i) a.append("1");
    return a;
}

}  // namespace

TEST(CloudSync, UserObjectOfARow) {
    TPhoneGridRow r;
    r[colNumber] = "+79001112233";
    r[colName] = "Иван";
    r[colAccess] = "Администратор";
    r[colExpiry] = "01012030";
    r[colPasses] = "5";
    r[colSchedule] = "Расписание 2";
    TCloudUser u = SyncUserOfRow(r, kTemplates);
    EXPECT_EQ(u.Access, "admin");
    EXPECT_EQ(u.EndDate, "01012030");
    EXPECT_EQ(u.Name, "Иван");
    EXPECT_EQ(u.Number, "+79001112233");
    EXPECT_EQ(u.Passes, "5");
    EXPECT_EQ(u.Shedule, "2");
    r[colAccess] = "Управляющий";
    r[colSchedule] = "Нет такого";
    u = SyncUserOfRow(r, kTemplates);
    EXPECT_EQ(u.Access, "manager");
    EXPECT_EQ(u.Shedule, "0");
    r[colAccess] = "";
    EXPECT_EQ(SyncUserOfRow(r, kTemplates).Access, "user");
    r[colAccess] = "Пользователь";
    EXPECT_EQ(SyncUserOfRow(r, kTemplates).Access, "user");
}

// A schedule past the templates goes as its number and an expiry within a day as its day,
// which ends no later: never a lower restriction than the controller holds.
TEST(CloudSync, ValuesNoItemNamesGoAsTheServerHoldsThem) {
    std::vector<TPhoneGridRow> rows = Grid(2, "add");
    rows[1][colSchedule] = "Расписание 200";
    rows[1][colExpiry] = "01122025 13:45:10";
    rows[2][colExpiry] = "1012025";
    TSyncState st;
    const std::vector<Json::Value> reqs = SynchronizeRound(rows, kTemplates, "861", "77", st);
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(StyledJsonText(reqs[0]), R"({
   "command" : "add",
   "data" : [
      {
         "access" : "user",
         "enddate" : "01122025",
         "name" : "N1",
         "number" : "+79001001",
         "passes" : "",
         "shedule" : "200"
      },
      {
         "access" : "user",
         "enddate" : "01012025",
         "name" : "N2",
         "number" : "+79001002",
         "passes" : "",
         "shedule" : "0"
      }
   ],
   "imei" : "861",
   "pass" : "77"
}
)");
}

TEST(CloudSync, TwentyFiveAdditionsGoInRoundsOfTenTenFive) {
    std::vector<TPhoneGridRow> rows = Grid(25, "add");
    TSyncState st;
    std::vector<Json::ArrayIndex> sizes;
    std::vector<Json::Value> reqs = SynchronizeRound(rows, kTemplates, "861", "77", st);
    while (!reqs.empty()) {
        ASSERT_EQ(reqs.size(), 1u);
        ASSERT_TRUE(st.Sent);
        EXPECT_EQ(JsonText(reqs[0], "command"), "add");
        const Json::Value& data = JsonMember(reqs[0], "data");
        sizes.push_back(JsonSize(data));
        // The round takes the first marked rows in grid order.
        EXPECT_EQ(JsonText(JsonElement(data, 0), "number"),
                  "+7900" + std::to_string(1001 + 10 * (sizes.size() - 1)));
        EXPECT_FALSE(SyncRoundDue(st));  // not acknowledged yet
        EXPECT_EQ(ApplySyncAck(rows, "add", AllOk(JsonSize(data)), st).Done, sizes.size() == 3);
        ASSERT_TRUE(SyncRoundDue(st));
        EXPECT_FALSE(st.Sent || st.Acked);
        reqs = SynchronizeRound(rows, kTemplates, "861", "77", st);
    }
    EXPECT_EQ(sizes, (std::vector<Json::ArrayIndex>{10, 10, 5}));
    EXPECT_FALSE(st.Sent);  // the last round sent nothing; the cycle ends
    EXPECT_TRUE(InGridNoOp(rows, "add"));
}

TEST(CloudSync, RoundCarriesAdditionsThenDeletions) {
    std::vector<TPhoneGridRow> rows = Grid(14, "del");
    rows[2][colSync] = "add";
    rows[5][colSync] = "ADD";  // neither mark: never sent
    TSyncState st;
    std::vector<Json::Value> reqs = SynchronizeRound(rows, kTemplates, "861", "77", st);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(JsonText(reqs[0], "command"), "add");
    EXPECT_EQ(JsonSize(JsonMember(reqs[0], "data")), 1u);
    EXPECT_EQ(JsonText(reqs[1], "command"), "del");
    const Json::Value& del = JsonMember(reqs[1], "data");
    ASSERT_EQ(JsonSize(del), 10u);
    EXPECT_EQ(JsonString(JsonElement(del, 0)), "+79001001");
    EXPECT_EQ(JsonString(JsonElement(del, 1)), "+79001003");  // row 2 is "add", row 5 neither
    EXPECT_EQ(JsonString(JsonElement(del, 3)), "+79001006");
    EXPECT_EQ(JsonText(reqs[1], "imei"), "861");
    EXPECT_EQ(JsonText(reqs[1], "pass"), "77");
}

TEST(CloudSync, DeletionOnlyRoundIsNotContinued) {
    std::vector<TPhoneGridRow> rows = Grid(12, "del");
    TSyncState st;
    ASSERT_EQ(SynchronizeRound(rows, kTemplates, "1", "2", st).size(), 1u);
    EXPECT_FALSE(ApplySyncAck(rows, "del", AllOk(10), st).Done);
    EXPECT_FALSE(st.Acked);
    EXPECT_FALSE(SyncRoundDue(st));
    EXPECT_EQ(rows[10][colSync], "");
    EXPECT_EQ(rows[11][colSync], "del");
}

TEST(CloudSync, RefusedRowsKeepTheirMarks) {
    std::vector<TPhoneGridRow> rows = Grid(4, "add");
    TSyncState st;
    ASSERT_EQ(SynchronizeRound(rows, kTemplates, "1", "2", st).size(), 1u);
    // Rows 1 and 3 refused; each result belongs to its own row.
    EXPECT_FALSE(ApplySyncAck(rows, "add", Results({"0", "1", "error", "1"}), st).Done);
    EXPECT_EQ(rows[1][colSync], "add");
    EXPECT_EQ(rows[2][colSync], "");
    EXPECT_EQ(rows[3][colSync], "add");
    EXPECT_EQ(rows[4][colSync], "");
    // The next round sends exactly the refused rows.
    TSyncRound next = BuildSyncRound(rows, kTemplates);
    ASSERT_EQ(next.Add.size(), 2u);
    EXPECT_EQ(next.Add[0].Number, "+79001001");
    EXPECT_EQ(next.Add[1].Number, "+79001003");
}

// An answer clears only the rows its request sent, one result each. One that is not one
// result a row sent (another round's copy) and an answer to no request clear nothing; the
// round goes again, a second after it went, as rows the server refused do.
TEST(CloudSync, AnAnswerClearsOnlyTheRowsItsRequestSent) {
    std::vector<TPhoneGridRow> rows = Grid(25, "add");
    rows[25][colSync] = "del";
    TSyncState st;
    EXPECT_TRUE(ApplySyncAck(rows, "add", AllOk(3), st).Unasked);
    ASSERT_EQ(SynchronizeRound(rows, kTemplates, "1", "2", st).size(), 2u);
    const TSyncAck copy = ApplySyncAck(rows, "add", AllOk(30), st);
    EXPECT_EQ(SyncMismatchLine("add", copy.Results, copy.Sent),
              "Ответ синхронизации (add): результатов 30 на 10 отправленных, раунд будет отправлен снова");
    EXPECT_TRUE(ApplySyncAck(rows, "add", AllOk(10), st).Unasked);  // its own answer comes too late
    EXPECT_EQ(rows[1][colSync] + "|" + rows[10][colSync], "add|add");
    Json::Value odd(Json::arrayValue);
    odd.append(1);  // not the text "1"
    EXPECT_FALSE(ApplySyncAck(rows, "del", odd, st).Done);
    EXPECT_EQ(rows[25][colSync], "del");
    for (int tick = 1; tick < kSyncResendTicks; ++tick) ASSERT_FALSE(SyncRoundDue(st)) << tick;
    ASSERT_TRUE(SyncRoundDue(st));
    ASSERT_EQ(SynchronizeRound(rows, kTemplates, "1", "2", st).size(), 2u);
    rows[2][colNumber] = "+7999";  // edited while its request was out
    EXPECT_FALSE(ApplySyncAck(rows, "add", AllOk(10), st).Done);
    // Rows 1-10 are cleared but the edited row 2; row 11 and on were never sent.
    EXPECT_EQ(rows[1][colSync] + "|" + rows[2][colSync] + "|" + rows[10][colSync] + "|" + rows[11][colSync],
              "|add||add");
    EXPECT_FALSE(SyncRoundDue(st));  // the deletion is still out
}

TEST(CloudSync, NothingMarkedSendsNothing) {
    std::vector<TPhoneGridRow> rows = Grid(3, "");
    TSyncState st;
    EXPECT_TRUE(SynchronizeRound(rows, kTemplates, "1", "2", st).empty());
    EXPECT_FALSE(st.Sent);
    std::vector<TPhoneGridRow> headerOnly(1);
    headerOnly[0][colSync] = "add";  // the header row is never a data row
    EXPECT_TRUE(SynchronizeRound(headerOnly, kTemplates, "1", "2", st).empty());
    EXPECT_TRUE(InGridNoOp(headerOnly, "add"));
}
