#pragma once
// TDateTime: days since 30 December 1899 with the time of day as the fraction (the class
// library's date type), its encoding and decoding, texts, and Unix seconds.
// Unix seconds here are always "local seconds": the local wall clock counted as if it were
// UTC. Conversions never apply a time zone, so the same seconds give the same date and
// time on every machine. The current time comes from platform/sys (sys::Now, sys::Date).
#include <cstdint>
#include <string>
#include <string_view>

class TDateTime {
public:
    constexpr TDateTime() = default;
    constexpr TDateTime(double value) : Val(value) {}  // NOLINT: converts both ways on purpose
    constexpr operator double() const { return Val; }

    std::string DateString() const;      // DateToStr
    std::string TimeString() const;      // TimeToStr
    std::string DateTimeString() const;  // DateTimeToStr
    std::string FormatString(std::string_view format) const;
    void DecodeDate(int& year, int& month, int& day) const;
    void DecodeTime(int& hour, int& min, int& sec, int& msec) const;

    double Val = 0;
};

// Days from 30 December 1899 to 1 January 1970.
constexpr double UnixDateDelta = 25569.0;
constexpr double SecsPerDay = 86400.0;
constexpr double MSecsPerDay = 86400000.0;

// Conventions of a Russian workstation; "/" and ":" in format texts stand for the separators.
struct TFormatSettings {
    char DateSeparator = '.';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd.MM.yyyy";
    std::string LongDateFormat = "d MMMM yyyy 'г.'";
    std::string ShortTimeFormat = "h:mm";
    std::string LongTimeFormat = "h:mm:ss";
    std::string TimeAMString;
    std::string TimePMString;
    std::string ShortMonthNames[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                       "июл", "авг", "сен", "окт", "ноя", "дек"};
    std::string LongMonthNames[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                      "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    std::string ShortDayNames[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
    std::string LongDayNames[7] = {"воскресенье", "понедельник", "вторник", "среда",
                                   "четверг",     "пятница",     "суббота"};
};
extern TFormatSettings FormatSettings;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime dt);
TDateTime DateOf(TDateTime dt);  // midnight of the same day
TDateTime TimeOf(TDateTime dt);

// Local seconds <-> TDateTime.
std::int64_t DateTimeToUnix(TDateTime dt);  // rounded to the nearest second
TDateTime UnixToDateTime(std::int64_t localSeconds);
// With the fraction of a second (sys::LocalWallSeconds gives such values).
TDateTime LocalSecondsToDateTime(double localSeconds);

// Patterns: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes right after an hour), yy yyyy,
// h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, "/" ":", 'quoted' and "quoted" text;
// letters are case-insensitive. Any other character is copied.
std::string FormatDateTime(std::string_view format, TDateTime dt);
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);
std::string DateTimeToStr(TDateTime dt);

// Day, month and year in the short date order, separated by the date separator (2- or
// 4-digit year), then optionally h:m[:s[.zzz]] with an optional AM/PM. Invalid text raises
// EConvertError "'<text>' is not a valid date" (time, date and time).
TDateTime StrToDate(std::string_view text);
TDateTime StrToTime(std::string_view text);
TDateTime StrToDateTime(std::string_view text);
bool TryStrToDate(std::string_view text, TDateTime& out);
bool TryStrToTime(std::string_view text, TDateTime& out);
bool TryStrToDateTime(std::string_view text, TDateTime& out);
