#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/rtl/SystemErrors.h"
#include "platform/rtl/Utf8.h"

namespace {

std::string NotAnInteger(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

// The class library's Val for integers of `bits` bits: decimal with an optional sign, or
// hexadecimal (which may set the top bit, giving a negative value).
bool ParseInteger(std::string_view s, int bits, std::int64_t& out) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    const std::uint64_t unsignedMax = bits == 64 ? std::numeric_limits<std::uint64_t>::max()
                                                 : (std::uint64_t{1} << bits) - 1;
    const std::uint64_t signedMax = unsignedMax >> 1;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        unsigned base = hex ? 16 : 10;
        if (v > (unsignedMax - d) / base) return false;
        v = v * base + d;
    }
    if (hex) {
        // Hexadecimal fills the width as unsigned bits, then reads back as signed.
        std::int64_t sv;
        if (bits == 64) sv = static_cast<std::int64_t>(v);
        else sv = v > signedMax ? static_cast<std::int64_t>(v) - static_cast<std::int64_t>(unsignedMax) - 1
                                : static_cast<std::int64_t>(v);
        out = negative ? -sv : sv;
        return !(negative && bits == 64 && sv == std::numeric_limits<std::int64_t>::min());
    }
    if (negative) {
        if (v > signedMax + 1) return false;
        out = v == signedMax + 1 ? (bits == 64 ? std::numeric_limits<std::int64_t>::min()
                                               : -static_cast<std::int64_t>(v))
                                 : -static_cast<std::int64_t>(v);
    } else {
        if (v > signedMax) return false;
        out = static_cast<std::int64_t>(v);
    }
    return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Sort key of one character for the workstation's text order.
struct CharKey {
    int cls;
    char32_t rank;
    friend bool operator==(const CharKey&, const CharKey&) = default;
};

CharKey KeyOf(char32_t c) {
    char32_t l = utf8::ToLower(c);
    if (l >= '0' && l <= '9') return {1, l};
    if ((l >= 'a' && l <= 'z') || (l >= 0xDF && l <= 0xFF && l != 0xF7)) return {2, l};
    if (l >= 0x430 && l <= 0x44F) return {3, (l - 0x430) * 2 + (l > 0x435 ? 2 : 0)};
    if (l == 0x451) return {3, (0x435 - 0x430) * 2 + 1};  // ё just after е
    if (l >= 0x450 && l <= 0x45F) return {3, 0x100 + l};
    if (l == 0x491) return {3, 0x100 + l};
    if (l >= 0x80) return {4, l};
    return {0, l};
}

int CompareKeys(std::string_view a, std::string_view b, bool caseSensitive) {
    size_t i = 0, j = 0;
    int caseDiff = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = utf8::Next(a, i), cb = utf8::Next(b, j);
        CharKey ka = KeyOf(ca), kb = KeyOf(cb);
        if (ka.cls != kb.cls) return ka.cls < kb.cls ? -1 : 1;
        if (ka.rank != kb.rank) return ka.rank < kb.rank ? -1 : 1;
        if (caseSensitive && caseDiff == 0 && ca != cb)
            caseDiff = utf8::ToLower(ca) == ca ? -1 : 1;  // lower case first
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return caseDiff;
}

std::string MapCase(std::string_view s, char32_t (*fn)(char32_t)) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        size_t start = i;
        char32_t c = utf8::Next(s, i);
        if (c == 0xFFFD && i == start + 1) out += s[start];  // keep malformed bytes as they are
        else utf8::Append(out, fn(c));
    }
    return out;
}

}  // namespace

bool TryStrToInt(std::string_view text, int& value) {
    std::int64_t v;
    if (!ParseInteger(text, 32, v)) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view text) {
    int v;
    if (!TryStrToInt(text, v)) throw EConvertError(NotAnInteger(text));
    return v;
}

int StrToIntDef(std::string_view text, int def) {
    int v;
    return TryStrToInt(text, v) ? v : def;
}

bool TryStrToInt64(std::string_view text, std::int64_t& value) {
    return ParseInteger(text, 64, value);
}

std::int64_t StrToInt64(std::string_view text) {
    std::int64_t v;
    if (!TryStrToInt64(text, v)) throw EConvertError(NotAnInteger(text));
    return v;
}

std::int64_t StrToInt64Def(std::string_view text, std::int64_t def) {
    std::int64_t v;
    return TryStrToInt64(text, v) ? v : def;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string IntToHex(std::int64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*llX", std::clamp(digits, 0, 16),
                  static_cast<unsigned long long>(value));
    return buf;
}

std::string IntToHex(int value, int digits) {
    return IntToHex(static_cast<std::int64_t>(static_cast<std::uint32_t>(value)), digits);
}

std::string IntToHex(unsigned value, int digits) {
    return IntToHex(static_cast<std::int64_t>(value), digits);
}

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c -= 32;
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c += 32;
    return r;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca -= 32;
        if (cb >= 'a' && cb <= 'z') cb -= 32;
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

int CompareStr(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string AnsiUpperCase(std::string_view s) { return MapCase(s, utf8::ToUpper); }
std::string AnsiLowerCase(std::string_view s) { return MapCase(s, utf8::ToLower); }

int AnsiCompareText(std::string_view a, std::string_view b) { return CompareKeys(a, b, false); }
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

int AnsiCompareStr(std::string_view a, std::string_view b) {
    int c = CompareKeys(a, b, true);
    if (c != 0) return c;
    return CompareStr(a, b);  // same letters and case: order the remaining differences bytewise
}

int Pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string ExtractFilePath(std::string_view path) {
    size_t p = path.rfind('/');
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view path) {
    size_t p = path.rfind('/');
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFileExt(std::string_view path) {
    size_t p = path.find_last_of("./");
    if (p == std::string_view::npos || path[p] != '.') return {};
    return std::string(path.substr(p));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    size_t p = path.find_last_of("./");
    if (p == std::string_view::npos || path[p] != '.') return std::string(path) + std::string(ext);
    return std::string(path.substr(0, p)) + std::string(ext);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    if (r.empty() || r.back() != '/') r += '/';
    return r;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    auto st = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st);
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

bool ForceDirectories(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "No folder name";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (DirectoryExists(path)) return true;
    if (error) *error = SystemErrorText(ec ? ec.value() : ENOTDIR);
    return false;
}

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    if (DirectoryExists(path)) return false;
    return std::filesystem::remove(path, ec) && !ec;
}
