#pragma once
// The class library's exception classes, integer conversions and small text helpers.
// Texts are UTF-8; the "Ansi" case functions fold Latin and Cyrillic letters, the plain
// ones fold ASCII only, as the class library's do.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class EListError : public Exception {
public:
    using Exception::Exception;
};

class EStringListError : public EListError {
public:
    using EListError::EListError;
};

class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// Integers. StrToInt accepts what the class library's Val accepts: leading blanks, an
// optional sign, decimal digits, or hexadecimal after "$", "x" or "0x"; anything else
// (trailing blanks included, an empty text, a value outside 32 bits) raises EConvertError
// "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);
int StrToIntDef(std::string_view text, int def);
bool TryStrToInt(std::string_view text, int& value);
std::int64_t StrToInt64(std::string_view text);
std::int64_t StrToInt64Def(std::string_view text, std::int64_t def);
bool TryStrToInt64(std::string_view text, std::int64_t& value);

std::string IntToStr(std::int64_t value);
// Upper-case hexadecimal with at least `digits` digits; a negative 32-bit value shows its
// two's complement ("FFFFFFFF").
std::string IntToHex(std::int64_t value, int digits);
std::string IntToHex(int value, int digits);
std::string IntToHex(unsigned value, int digits);

// Blanks and control characters (code <= 32) at either end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

std::string UpperCase(std::string_view s);  // ASCII letters only
std::string LowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive, <0 0 >0
bool SameText(std::string_view a, std::string_view b);
int CompareStr(std::string_view a, std::string_view b);

std::string AnsiUpperCase(std::string_view s);  // Latin, Latin-1 and Cyrillic letters
std::string AnsiLowerCase(std::string_view s);
// Case-insensitive and ordered as a Russian workstation sorts text: punctuation and symbols,
// then digits, then Latin letters, then Cyrillic (Ё after Е); ties broken by code point.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// The same order, case-sensitive: lower case sorts before upper case at equal letters.
int AnsiCompareStr(std::string_view a, std::string_view b);

// 1-based byte position of sub in s, 0 when absent (the class library's Pos).
int Pos(std::string_view sub, std::string_view s);

// Paths use "/" here.
std::string ExtractFilePath(std::string_view path);  // with the trailing "/"
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);  // with the dot, "" when none
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and those above it; error (when given) gets the system's reason of the
// step that failed ("Permission denied").
bool ForceDirectories(const std::string& path, std::string* error = nullptr);
bool DeleteFile(const std::string& path);
