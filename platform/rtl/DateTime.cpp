#include "platform/rtl/DateTime.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/rtl/SysUtils.h"

TFormatSettings FormatSettings;

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days between 30 December 1899 and 1 January 0001 / 31 December 9999.
constexpr std::int64_t kMinDays = -693593;
constexpr std::int64_t kMaxDays = 2958465;

// Days since 1 January 1970 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(era * 400 + yoe + (m <= 2));
}

constexpr std::int64_t kDelta1970 = 25569;  // days from 30.12.1899 to 01.01.1970

// Whole days and milliseconds of the day, rounding the whole value to a millisecond first;
// before 1899 the fraction still counts forward from midnight (-1.25 is 29.12.1899 06:00).
bool Split(TDateTime dt, std::int64_t& days, std::int64_t& ms) {
    double v = dt.Val;
    if (!std::isfinite(v) || v < kMinDays - 1 || v > kMaxDays + 1) return false;
    std::int64_t total = std::llround(v * static_cast<double>(kMsPerDay));
    days = total / kMsPerDay;
    ms = std::llabs(total % kMsPerDay);
    return days >= kMinDays && days <= kMaxDays;
}

std::string Number(int value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.*d", digits, value);
    return buf;
}

bool StartsNoCase(std::string_view s, size_t at, std::string_view what) {
    if (at + what.size() > s.size()) return false;
    return SameText(s.substr(at, what.size()), what);
}

struct Parts {
    int year = 0, month = 0, day = 0, dow = 0;
    int hour = 0, min = 0, sec = 0, msec = 0;
};

void AppendFormat(std::string& out, std::string_view f, const Parts& p, int level) {
    const TFormatSettings& fs = FormatSettings;
    char lastToken = ' ';
    bool use12 = false;
    size_t i = 0;
    auto count = [&](char starter) {
        int n = 1;
        while (i < f.size() && f[i] == starter) { ++i; ++n; }
        return n;
    };
    while (i < f.size()) {
        char starter = f[i++];
        char token = starter;
        if (token >= 'a' && token <= 'z') token -= 32;
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        switch (token) {
        case 'Y': {
            int n = count(starter);
            out += n <= 2 ? Number(p.year % 100, 2) : Number(p.year, 4);
            break;
        }
        case 'M': {
            int n = count(starter);
            if (n <= 2) out += Number(p.month, n);
            else if (p.month >= 1) out += n == 3 ? fs.ShortMonthNames[p.month - 1] : fs.LongMonthNames[p.month - 1];
            break;
        }
        case 'D': {
            int n = count(starter);
            if (n <= 2) out += Number(p.day, n);
            else if (n == 3) out += fs.ShortDayNames[p.dow];
            else if (n == 4) out += fs.LongDayNames[p.dow];
            else if (level < 2) AppendFormat(out, n == 5 ? fs.ShortDateFormat : fs.LongDateFormat, p, level + 1);
            break;
        }
        case 'H': {
            int n = count(starter);
            // A 12-hour clock when an am/pm marker follows before the next hour.
            bool quoted = false;
            for (size_t k = i; k < f.size(); ++k) {
                char c = f[k];
                if (c == '\'' || c == '"') quoted = !quoted;
                else if (!quoted && (c == 'h' || c == 'H')) break;
                else if (!quoted && (c == 'a' || c == 'A')) {
                    if (StartsNoCase(f, k, "am/pm") || StartsNoCase(f, k, "a/p") || StartsNoCase(f, k, "ampm"))
                        use12 = true;
                    break;
                }
            }
            int h = p.hour;
            if (use12) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
            out += Number(h, n > 2 ? 2 : n);
            break;
        }
        case 'N': {
            int n = count(starter);
            out += Number(p.min, n > 2 ? 2 : n);
            break;
        }
        case 'S': {
            int n = count(starter);
            out += Number(p.sec, n > 2 ? 2 : n);
            break;
        }
        case 'Z': {
            int n = count(starter);
            out += Number(p.msec, n > 3 ? 3 : n);
            break;
        }
        case 'T': {
            int n = count(starter);
            if (level < 2) AppendFormat(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, level + 1);
            break;
        }
        case 'C': {
            count(starter);
            if (level < 2) {
                AppendFormat(out, fs.ShortDateFormat, p, level + 1);
                if (p.hour != 0 || p.min != 0 || p.sec != 0) {
                    out += ' ';
                    AppendFormat(out, fs.LongTimeFormat, p, level + 1);
                }
            }
            break;
        }
        case 'A': {
            size_t at = i - 1;
            if (StartsNoCase(f, at, "am/pm")) {
                out += f.substr(at + (p.hour >= 12 ? 3 : 0), 2);
                i = at + 5;
                use12 = true;
            } else if (StartsNoCase(f, at, "a/p")) {
                out += f.substr(at + (p.hour >= 12 ? 2 : 0), 1);
                i = at + 3;
                use12 = true;
            } else if (StartsNoCase(f, at, "ampm")) {
                out += p.hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i = at + 4;
            } else if (StartsNoCase(f, at, "aaaa")) {
                out += fs.LongDayNames[p.dow];
                i = at + 4;
            } else if (StartsNoCase(f, at, "aaa")) {
                out += fs.ShortDayNames[p.dow];
                i = at + 3;
            } else {
                out += starter;
            }
            break;
        }
        case '/':
            out += fs.DateSeparator;
            break;
        case ':':
            out += fs.TimeSeparator;
            break;
        case '\'':
        case '"': {
            size_t start = i;
            while (i < f.size() && f[i] != starter) ++i;
            out += f.substr(start, i - start);
            if (i < f.size()) ++i;
            break;
        }
        default:
            out += starter;
        }
    }
}

// --- parsing ---------------------------------------------------------------------------

struct Scanner {
    std::string_view s;
    size_t i = 0;
    void Blanks() {
        while (i < s.size() && s[i] == ' ') ++i;
    }
    bool Number(int& value, int& digits) {
        Blanks();
        size_t start = i;
        long v = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < 9) v = v * 10 + (s[i++] - '0');
        digits = static_cast<int>(i - start);
        value = static_cast<int>(v);
        return digits > 0;
    }
    bool Char(char c) {
        Blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Blanks();
        return i >= s.size();
    }
};

bool ScanDate(Scanner& sc, TDateTime& out) {
    const TFormatSettings& fs = FormatSettings;
    int n[3], digits[3];
    if (!sc.Number(n[0], digits[0]) || !sc.Char(fs.DateSeparator)) return false;
    if (!sc.Number(n[1], digits[1]) || !sc.Char(fs.DateSeparator)) return false;
    if (!sc.Number(n[2], digits[2])) return false;
    // The order of day, month and year follows the short date format.
    char order[3] = {'D', 'M', 'Y'};
    int k = 0;
    for (char c : fs.ShortDateFormat) {
        char u = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        if ((u == 'D' || u == 'M' || u == 'Y') && (k == 0 || order[k - 1] != u) && k < 3) order[k++] = u;
    }
    int y = 0, m = 0, d = 0, yDigits = 0;
    for (int j = 0; j < 3; ++j) {
        if (order[j] == 'Y') { y = n[j]; yDigits = digits[j]; }
        else if (order[j] == 'M') m = n[j];
        else d = n[j];
    }
    if (yDigits <= 2) y += y < 50 ? 2000 : 1900;
    return TryEncodeDate(y, m, d, out);
}

bool ScanTime(Scanner& sc, TDateTime& out) {
    const TFormatSettings& fs = FormatSettings;
    int h, m = 0, s = 0, ms = 0, digits;
    if (!sc.Number(h, digits) || !sc.Char(fs.TimeSeparator) || !sc.Number(m, digits)) return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(s, digits)) return false;
        if (sc.Char('.') || sc.Char(',')) {
            if (!sc.Number(ms, digits) || digits > 3) return false;
        }
    }
    sc.Blanks();
    std::string_view rest = sc.s.substr(sc.i);
    auto marker = [&](std::string_view text) {
        if (text.empty() || rest.size() < text.size() || !SameText(rest.substr(0, text.size()), text)) return false;
        sc.i += text.size();
        return true;
    };
    bool pm = false, am = false;
    if (marker("AM") || marker(fs.TimeAMString)) am = true;
    else if (marker("PM") || marker(fs.TimePMString)) pm = true;
    if (am || pm) {
        if (h < 1 || h > 12) return false;
        if (h == 12) h = 0;
        if (pm) h += 12;
    }
    return TryEncodeTime(h, m, s, ms, out);
}

[[noreturn]] void NotValid(std::string_view text, const char* what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    out = TDateTime(static_cast<double>(DaysFromCivil(year, month, day) + kDelta1970));
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out) {
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
        return false;
    out = TDateTime((((hour * 60.0 + min) * 60.0 + sec) * 1000.0 + msec) / MSecsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, min, sec, msec, r)) throw EConvertError("Invalid argument to time encode");
    return r;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
    return TDateTime(EncodeDate(year, month, day) + EncodeTime(hour, min, sec, msec));
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    std::int64_t days, ms;
    if (!Split(dt, days, ms)) {
        year = month = day = 0;
        return;
    }
    CivilFromDays(days - kDelta1970, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
    std::int64_t days, ms;
    if (!Split(dt, days, ms)) ms = 0;
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime dt) {
    std::int64_t days, ms;
    if (!Split(dt, days, ms)) return 1;
    // 30.12.1899 was a Saturday.
    std::int64_t w = (days + 6) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

TDateTime DateOf(TDateTime dt) { return TDateTime(std::trunc(dt.Val)); }
TDateTime TimeOf(TDateTime dt) { return TDateTime(std::fabs(dt.Val - std::trunc(dt.Val))); }

std::int64_t DateTimeToUnix(TDateTime dt) {
    if (!std::isfinite(dt.Val)) return 0;
    return std::llround((dt.Val - UnixDateDelta) * SecsPerDay);
}

TDateTime UnixToDateTime(std::int64_t localSeconds) {
    return TDateTime(UnixDateDelta + static_cast<double>(localSeconds) / SecsPerDay);
}

TDateTime LocalSecondsToDateTime(double localSeconds) {
    return TDateTime(UnixDateDelta + localSeconds / SecsPerDay);
}

std::string FormatDateTime(std::string_view format, TDateTime dt) {
    Parts p;
    DecodeDate(dt, p.year, p.month, p.day);
    DecodeTime(dt, p.hour, p.min, p.sec, p.msec);
    p.dow = DayOfWeek(dt) - 1;
    std::string out;
    AppendFormat(out, format.empty() ? std::string_view("c") : format, p, 0);
    return out;
}

std::string DateToStr(TDateTime dt) { return FormatDateTime(FormatSettings.ShortDateFormat, dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime(FormatSettings.LongTimeFormat, dt); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

bool TryStrToDate(std::string_view text, TDateTime& out) {
    Scanner sc{text};
    return ScanDate(sc, out) && sc.AtEnd();
}

bool TryStrToTime(std::string_view text, TDateTime& out) {
    Scanner sc{text};
    return ScanTime(sc, out) && sc.AtEnd();
}

bool TryStrToDateTime(std::string_view text, TDateTime& out) {
    Scanner sc{text};
    TDateTime date;
    if (!ScanDate(sc, date)) return TryStrToTime(text, out);
    if (sc.AtEnd()) {
        out = date;
        return true;
    }
    TDateTime time;
    if (!ScanTime(sc, time) || !sc.AtEnd()) return false;
    // Before 1899 the time still counts forward from midnight.
    out = TDateTime(date.Val < 0 ? date.Val - time.Val : date.Val + time.Val);
    return true;
}

TDateTime StrToDate(std::string_view text) {
    TDateTime r;
    if (!TryStrToDate(text, r)) NotValid(text, "date");
    return r;
}

TDateTime StrToTime(std::string_view text) {
    TDateTime r;
    if (!TryStrToTime(text, r)) NotValid(text, "time");
    return r;
}

TDateTime StrToDateTime(std::string_view text) {
    TDateTime r;
    if (!TryStrToDateTime(text, r)) NotValid(text, "date and time");
    return r;
}

std::string TDateTime::DateString() const { return DateToStr(*this); }
std::string TDateTime::TimeString() const { return TimeToStr(*this); }
std::string TDateTime::DateTimeString() const { return DateTimeToStr(*this); }
std::string TDateTime::FormatString(std::string_view format) const { return FormatDateTime(format, *this); }
void TDateTime::DecodeDate(int& year, int& month, int& day) const { ::DecodeDate(*this, year, month, day); }
void TDateTime::DecodeTime(int& hour, int& min, int& sec, int& msec) const {
    ::DecodeTime(*this, hour, min, sec, msec);
}
