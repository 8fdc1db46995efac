#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Conversions must not depend on the machine's zone: run them under one far from UTC.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* tz) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (had_) setenv("TZ", old_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

TEST(DateTime, EncodeAgainstHandCountedDays) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1899, 12, 31), 1.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    // 1900 is not a leap year: 1 March 1900 is 2 + 31 + 28 = 61.
    EXPECT_EQ(EncodeDate(1900, 3, 1), 61.0);
    EXPECT_EQ(EncodeDate(1970, 1, 1), 25569.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);  // 2000 is leap: +31 +29
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 18, 0, 0, 0), 36526.75);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
}

TEST(DateTime, DecodeIncludingBefore1899AndRounding) {
    int y, m, d, h, n, s, ms;
    DecodeDate(36526.75, y, m, d);
    DecodeTime(36526.75, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2000, 1, 1, 18, 0, 0, 0}));
    // Before the epoch the fraction still counts forward: -1.25 is 29.12.1899 06:00.
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{1899, 12, 29, 6}));
    // 23:59:59.9996 rounds to the next midnight, date included.
    TDateTime almost = EncodeDate(2024, 12, 31) + (86400000.0 - 0.4) / 86400000.0;
    DecodeDate(almost, y, m, d);
    DecodeTime(almost, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s}), (std::vector<int>{2025, 1, 1, 0, 0, 0}));
    EXPECT_EQ(DayOfWeek(EncodeDate(2023, 11, 14)), 3);  // a Tuesday
    EXPECT_EQ(DayOfWeek(0), 7);                         // 30.12.1899, a Saturday
    // Out-of-range values decode to zeros rather than failing.
    DecodeDate(1e300, y, m, d);
    EXPECT_EQ(y, 0);
}

TEST(DateTime, UnixSecondsWithoutZoneConversion) {
    ZoneGuard zone("Asia/Vladivostok");
    // 1700000000 = 19675 days + 80000 s: 14.11.2023 22:13:20 on a clock without offset.
    TDateTime t = UnixToDateTime(1700000000);
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy hh:mm:ss", t), "14.11.2023 22:13:20");
    EXPECT_EQ(DateTimeToUnix(t), 1700000000);
    EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 1)), 0);
    EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1)), 946684800);
    EXPECT_EQ(DateTimeToUnix(EncodeDateTime(2038, 1, 19, 3, 14, 8, 0)), 2147483648LL);
    EXPECT_EQ(FormatDateTime("yyyy-MM-dd hh:mm", UnixToDateTime(4294967295LL)), "2106-02-07 06:28");
    EXPECT_DOUBLE_EQ(LocalSecondsToDateTime(43200.5), 25569.5 + 0.5 / 86400.0);
    ZoneGuard west("America/New_York");
    EXPECT_EQ(FormatDateTime("hh:mm:ss", UnixToDateTime(1700000000)), "22:13:20");
}

TEST(DateTime, FormatPatternsOfTheTool) {
    TDateTime t = EncodeDateTime(2024, 2, 29, 9, 5, 3, 7);
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy hh:mm", t), "29.02.2024 09:05");
    EXPECT_EQ(FormatDateTime("dd.MM.yyyy hh:mm:ss", t), "29.02.2024 09:05:03");
    EXPECT_EQ(FormatDateTime("ddMMyyyy", t), "29022024");
    EXPECT_EQ(FormatDateTime("ddmmyyyy", t), "29022024");  // "mm" not after an hour is the month
    EXPECT_EQ(FormatDateTime("yyyyMMdd", t), "20240229");
    EXPECT_EQ(FormatDateTime("yyyy-MM-dd", t), "2024-02-29");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", t), "09:05:03");
    EXPECT_EQ(FormatDateTime("hh:mm:ss - ", t), "09:05:03 - ");
    EXPECT_EQ(FormatDateTime("h:m:s.zzz", t), "9:5:3.007");
    EXPECT_EQ(FormatDateTime("d.M.yy", EncodeDate(2005, 3, 4)), "4.3.05");
    EXPECT_EQ(FormatDateTime("'день' dd", t), "день 29");
    EXPECT_EQ(FormatDateTime("\"mm\" mm", t), "mm 02");
    EXPECT_EQ(FormatDateTime("hh:mm am/pm", EncodeTime(21, 30, 0, 0)), "09:30 pm");
    EXPECT_EQ(FormatDateTime("dd/MM/yyyy", t), "29.02.2024");  // "/" is the date separator
    EXPECT_EQ(FormatDateTime("dddd", t), "четверг");
    EXPECT_EQ(DateToStr(t), "29.02.2024");
    EXPECT_EQ(TimeToStr(t), "9:05:03");
    EXPECT_EQ(DateTimeToStr(t), "29.02.2024 9:05:03");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 2, 29)), "29.02.2024");  // no time at midnight
    EXPECT_EQ(t.FormatString("yyyy"), "2024");
}

TEST(DateTime, ParsingTheDateTextsTheToolBuilds) {
    EXPECT_EQ(StrToDateTime("05.03.2024 00:00:00"), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("05.03.2024 12:30:00"), EncodeDate(2024, 3, 5) + 0.5 + 30 / 1440.0);
    EXPECT_EQ(StrToDate("5.3.2024"), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate("01.01.99"), EncodeDate(1999, 1, 1));
    EXPECT_EQ(StrToDate("01.01.24"), EncodeDate(2024, 1, 1));
    EXPECT_DOUBLE_EQ(StrToTime("18:00"), 0.75);
    EXPECT_DOUBLE_EQ(StrToTime("6:00 PM"), 0.75);
    EXPECT_DOUBLE_EQ(StrToDateTime("12:00:00"), 0.5);
    for (const char* bad : {"", "31.02.2024 00:00:00", "05.03.2024 25:00:00", "05-03-2024", "05.03",
                            "05.03.2024 x", "aa.bb.cccc"}) {
        EXPECT_THROW(StrToDateTime(bad), EConvertError) << bad;
    }
    try {
        StrToDateTime("31.02.2024 00:00:00");
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'31.02.2024 00:00:00' is not a valid date and time");
    }
    EXPECT_THROW(StrToDate("29.02.2023"), EConvertError);
}

TEST(DateTime, SessionIdentifierArithmetic) {
    // The run's identifier is the integer part of (now x 10000); the type converts freely.
    TDateTime t = EncodeDateTime(2024, 1, 1, 12, 0, 0, 0);  // 45292.5 days
    EXPECT_EQ(static_cast<long long>(t * 10000), 452925000LL);
    EXPECT_EQ(DateOf(t), EncodeDate(2024, 1, 1));
    EXPECT_TRUE(t > EncodeDate(2024, 1, 1));
}

}  // namespace
