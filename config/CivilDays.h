#pragma once
// Device times are Unix seconds of the local wall clock counted as if it were UTC, so
// dates come from plain civil-day arithmetic with no time zone anywhere.
#include <chrono>
#include <cstdint>

struct TCivilTime {
    int Year = 1970, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
};

inline TCivilTime CivilFromLocalSeconds(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds t{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const auto rest = t - day;
    TCivilTime c;
    c.Year = static_cast<int>(ymd.year());
    c.Month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    c.Day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    c.Hour = static_cast<int>(rest.count() / 3600);
    c.Minute = static_cast<int>(rest.count() / 60 % 60);
    c.Second = static_cast<int>(rest.count() % 60);
    return c;
}

// False when the date does not exist.
inline bool LocalSecondsFromDate(int year, int month, int day, std::int64_t& seconds) {
    using namespace std::chrono;
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    const year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                             std::chrono::day{static_cast<unsigned>(day)}};
    if (!ymd.ok()) return false;
    seconds = sys_days{ymd}.time_since_epoch().count() * std::int64_t{86400};
    return true;
}
