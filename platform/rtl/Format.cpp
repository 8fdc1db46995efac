#include "platform/rtl/Format.h"

#include <cstdio>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"

namespace {

struct Spec {
    bool left = false, zero = false, plus = false, space = false, alt = false;
    int width = -1;
    int precision = -1;
    char type = 0;
};

[[noreturn]] void Invalid(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

void Pad(std::string& out, const std::string& body, size_t bodyChars, const Spec& sp) {
    size_t width = sp.width > 0 ? static_cast<size_t>(sp.width) : 0;
    if (bodyChars >= width) {
        out += body;
        return;
    }
    size_t fill = width - bodyChars;
    if (sp.left) {
        out += body;
        out.append(fill, ' ');
    } else {
        out.append(fill, ' ');
        out += body;
    }
}

// Integer digits with sign, precision and zero padding as printf does them.
std::string FormatInteger(const Spec& sp, bool negative, std::uint64_t magnitude) {
    int base = 10;
    const char* digitsSet = "0123456789abcdef";
    if (sp.type == 'x') base = 16;
    if (sp.type == 'X') { base = 16; digitsSet = "0123456789ABCDEF"; }
    if (sp.type == 'o') base = 8;
    std::string digits;
    for (std::uint64_t v = magnitude; v != 0; v /= base) digits.insert(digits.begin(), digitsSet[v % base]);
    if (sp.precision >= 0) {
        if (static_cast<int>(digits.size()) < sp.precision) digits.insert(0, sp.precision - digits.size(), '0');
    } else if (digits.empty()) {
        digits = "0";
    }
    std::string prefix;
    if (negative) prefix = "-";
    else if ((sp.type == 'd' || sp.type == 'i') && sp.plus) prefix = "+";
    else if ((sp.type == 'd' || sp.type == 'i') && sp.space) prefix = " ";
    if (sp.alt && magnitude != 0) {
        if (sp.type == 'x') prefix += "0x";
        if (sp.type == 'X') prefix += "0X";
        if (sp.type == 'o' && digits[0] != '0') prefix += "0";
    }
    if (sp.zero && !sp.left && sp.precision < 0 && sp.width > 0) {
        int total = static_cast<int>(prefix.size() + digits.size());
        if (total < sp.width) digits.insert(0, sp.width - total, '0');
    }
    return prefix + digits;
}

}  // namespace

std::string FormatArgs(std::string_view format, const std::vector<TFormatArg>& args) {
    std::string out;
    size_t next = 0;
    auto take = [&]() -> const TFormatArg& {
        if (next >= args.size()) Invalid(format);
        return args[next++];
    };
    auto takeInt = [&]() -> int {
        const TFormatArg& a = take();
        if (a.kind == TFormatArg::Kind::Int) return static_cast<int>(a.i);
        if (a.kind == TFormatArg::Kind::UInt) return static_cast<int>(a.u);
        Invalid(format);
    };
    for (size_t i = 0; i < format.size();) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= format.size()) Invalid(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Spec sp;
        for (; i < format.size(); ++i) {
            char f = format[i];
            if (f == '-') sp.left = true;
            else if (f == '0') sp.zero = true;
            else if (f == '+') sp.plus = true;
            else if (f == ' ') sp.space = true;
            else if (f == '#') sp.alt = true;
            else break;
        }
        if (i < format.size() && format[i] == '*') {
            int w = takeInt();
            if (w < 0) { sp.left = true; w = -w; }
            sp.width = w;
            ++i;
        } else {
            for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i)
                sp.width = (sp.width < 0 ? 0 : sp.width) * 10 + (format[i] - '0');
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            sp.precision = 0;
            if (i < format.size() && format[i] == '*') {
                int p = takeInt();
                sp.precision = p < 0 ? -1 : p;
                ++i;
            } else {
                for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i)
                    sp.precision = sp.precision * 10 + (format[i] - '0');
            }
        }
        if (sp.width > 4096 || sp.precision > 4096) Invalid(format);
        while (i < format.size() && std::string_view("hlLqjzt").find(format[i]) != std::string_view::npos) ++i;
        if (i >= format.size()) Invalid(format);
        sp.type = format[i++];
        switch (sp.type) {
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': {
            const TFormatArg& a = take();
            bool negative = false;
            std::uint64_t mag;
            if (a.kind == TFormatArg::Kind::Int) {
                if (sp.type == 'd' || sp.type == 'i') {
                    negative = a.i < 0;
                    mag = negative ? 0 - static_cast<std::uint64_t>(a.i) : static_cast<std::uint64_t>(a.i);
                } else if (a.i < 0 && a.i >= INT32_MIN) {
                    mag = static_cast<std::uint32_t>(a.i);  // a negative int shows as 32 bits
                } else {
                    mag = static_cast<std::uint64_t>(a.i);
                }
            } else if (a.kind == TFormatArg::Kind::UInt) {
                mag = a.u;
            } else {
                Invalid(format);
            }
            std::string body = FormatInteger(sp, negative, mag);
            Pad(out, body, body.size(), sp);
            break;
        }
        case 'c': {
            const TFormatArg& a = take();
            std::string body;
            if (a.kind == TFormatArg::Kind::Int && a.i < 0 && a.i >= -128) body += static_cast<char>(a.i);
            else if (a.kind == TFormatArg::Kind::Int && a.i >= 0 && a.i <= 0x10FFFF) utf8::Append(body, static_cast<char32_t>(a.i));
            else if (a.kind == TFormatArg::Kind::UInt && a.u <= 0x10FFFF) utf8::Append(body, static_cast<char32_t>(a.u));
            else Invalid(format);
            Pad(out, body, 1, sp);
            break;
        }
        case 's': {
            const TFormatArg& a = take();
            if (a.kind != TFormatArg::Kind::Str) Invalid(format);
            std::string_view s = a.s;
            if (sp.precision >= 0) s = utf8::Left(s, static_cast<size_t>(sp.precision));
            Pad(out, std::string(s), utf8::Length(s), sp);
            break;
        }
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': {
            const TFormatArg& a = take();
            double v;
            if (a.kind == TFormatArg::Kind::Float) v = a.f;
            else if (a.kind == TFormatArg::Kind::Int) v = static_cast<double>(a.i);
            else if (a.kind == TFormatArg::Kind::UInt) v = static_cast<double>(a.u);
            else Invalid(format);
            std::string spec = "%";
            if (sp.left) spec += '-';
            if (sp.zero) spec += '0';
            if (sp.plus) spec += '+';
            if (sp.space) spec += ' ';
            if (sp.alt) spec += '#';
            if (sp.width >= 0) spec += std::to_string(sp.width);
            if (sp.precision >= 0) spec += "." + std::to_string(sp.precision);
            spec += sp.type;
            char buf[4200];
            std::snprintf(buf, sizeof buf, spec.c_str(), v);
            out += buf;
            break;
        }
        case 'p': {
            const TFormatArg& a = take();
            if (a.kind != TFormatArg::Kind::Ptr) Invalid(format);
            Spec hex = sp;
            hex.type = 'X';
            hex.precision = 16;
            std::string body = FormatInteger(hex, false, reinterpret_cast<std::uintptr_t>(a.p));
            Pad(out, body, body.size(), sp);
            break;
        }
        default:
            Invalid(format);
        }
    }
    return out;
}
