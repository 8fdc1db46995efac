#pragma once
// Format: printf-style formatting over std::string with type-checked arguments.
// Directives: %[flags][width][.precision]type, flags "-", "0", "+", " ", "#"; width and
// precision may be "*" (taken from an integer argument). Types: d i u x X o (integers;
// precision is the least number of digits, as "%.2X"), c, s (precision cuts, width pads;
// both count characters), f e E g G (floating point), p, and %% for "%". Length modifiers
// (h l ll z j t L) are accepted and ignored. A directive that does not fit its argument, or
// too few arguments, raises EConvertError "Format '<format>' invalid or incompatible with
// argument".
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

struct TFormatArg {
    enum class Kind { Int, UInt, Float, Str, Ptr };
    Kind kind;
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double f = 0;
    std::string_view s;
    const void* p = nullptr;

    template <class T>
        requires(std::is_integral_v<T> || std::is_enum_v<T>)
    TFormatArg(T v) {  // NOLINT: implicit on purpose
        if constexpr (std::is_enum_v<T>) {
            kind = Kind::Int;
            i = static_cast<std::int64_t>(v);
        } else if constexpr (std::is_signed_v<T> || std::is_same_v<T, bool>) {
            kind = Kind::Int;
            i = static_cast<std::int64_t>(v);
        } else {
            kind = Kind::UInt;
            u = static_cast<std::uint64_t>(v);
        }
    }
    TFormatArg(double v) : kind(Kind::Float), f(v) {}
    TFormatArg(float v) : kind(Kind::Float), f(v) {}
    TFormatArg(long double v) : kind(Kind::Float), f(static_cast<double>(v)) {}
    TFormatArg(const std::string& v) : kind(Kind::Str), s(v) {}
    TFormatArg(std::string_view v) : kind(Kind::Str), s(v) {}
    TFormatArg(const char* v) : kind(Kind::Str), s(v ? std::string_view(v) : std::string_view()) {}
    TFormatArg(char* v) : TFormatArg(static_cast<const char*>(v)) {}
    TFormatArg(const void* v) : kind(Kind::Ptr), p(v) {}
    TFormatArg(std::nullptr_t) : kind(Kind::Ptr) {}
};

std::string FormatArgs(std::string_view format, const std::vector<TFormatArg>& args);

template <class... A>
std::string Format(std::string_view format, const A&... args) {
    return FormatArgs(format, std::vector<TFormatArg>{TFormatArg(args)...});
}
