#include "cloud/CloudJsonWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/rtl/CodePage.h"

namespace {

constexpr std::size_t kRightMargin = 74;
constexpr std::size_t kIndentSize = 3;

std::size_t WireLength(const std::string& text) { return Utf8ToCp1251(text).size(); }

std::string RealText(double value) {
    if (std::isnan(value)) return "null";
    if (std::isinf(value)) return value < 0 ? "-1e+9999" : "1e+9999";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    std::string text(buf, res.ptr);
    if (text.find('.') == std::string::npos && text.find('e') == std::string::npos) text += ".0";
    return text;
}

// Keys in the byte order they have on the wire.
std::vector<std::string> SortedKeys(const Json::Value& object) {
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& name : object.getMemberNames())
        keys.emplace_back(Utf8ToCp1251(name), name);
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> out;
    out.reserve(keys.size());
    for (auto& k : keys) out.push_back(std::move(k.second));
    return out;
}

// Mirrors the classic styled writer step by step, so that its layout quirks (where a line
// breaks, when an array stays on one line) come out the same.
class TStyledWriter {
public:
    std::string Write(const Json::Value& root) {
        WriteValue(root);
        FDocument += '\n';
        return std::move(FDocument);
    }

private:
    void WriteValue(const Json::Value& value) {
        switch (value.type()) {
        case Json::nullValue: PushValue("null"); break;
        case Json::intValue: PushValue(std::to_string(value.asLargestInt())); break;
        case Json::uintValue: PushValue(std::to_string(value.asLargestUInt())); break;
        case Json::realValue: PushValue(RealText(value.asDouble())); break;
        case Json::stringValue: {
            const char* begin = nullptr;
            const char* end = nullptr;
            PushValue(value.getString(&begin, &end) ? QuotedJsonString(std::string(begin, end))
                                                    : std::string());
            break;
        }
        case Json::booleanValue: PushValue(value.asBool() ? "true" : "false"); break;
        case Json::arrayValue: WriteArrayValue(value); break;
        case Json::objectValue: WriteObjectValue(value); break;
        }
    }

    void WriteObjectValue(const Json::Value& value) {
        std::vector<std::string> keys = SortedKeys(value);
        if (keys.empty()) {
            PushValue("{}");
            return;
        }
        WriteWithIndent("{");
        Indent();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            WriteWithIndent(QuotedJsonString(keys[i]));
            FDocument += " : ";
            WriteValue(value[keys[i]]);
            if (i + 1 < keys.size()) FDocument += ',';
        }
        Unindent();
        WriteWithIndent("}");
    }

    void WriteArrayValue(const Json::Value& value) {
        const Json::ArrayIndex size = value.size();
        if (size == 0) {
            PushValue("[]");
            return;
        }
        if (IsMultilineArray(value)) {
            WriteWithIndent("[");
            Indent();
            // Filled only when the array broke for its length: its items are then ready.
            const bool hasChildValues = !FChildValues.empty();
            for (Json::ArrayIndex i = 0; i < size; ++i) {
                if (hasChildValues) {
                    WriteWithIndent(FChildValues[i]);
                } else {
                    WriteIndent();
                    WriteValue(value[i]);
                }
                if (i + 1 < size) FDocument += ',';
            }
            Unindent();
            WriteWithIndent("]");
        } else {
            FDocument += "[ ";
            for (Json::ArrayIndex i = 0; i < size; ++i) {
                if (i > 0) FDocument += ", ";
                FDocument += FChildValues[i];
            }
            FDocument += " ]";
        }
    }

    bool IsMultilineArray(const Json::Value& value) {
        const Json::ArrayIndex size = value.size();
        bool multiline = size * 3 >= kRightMargin;
        FChildValues.clear();
        for (Json::ArrayIndex i = 0; i < size && !multiline; ++i) {
            const Json::Value& child = value[i];
            multiline = (child.isArray() || child.isObject()) && !child.empty();
        }
        if (!multiline) {
            FChildValues.reserve(size);
            FAddChildValues = true;
            std::size_t lineLength = 4 + (size - 1) * 2;  // "[ " + ", " between + " ]"
            for (Json::ArrayIndex i = 0; i < size; ++i) {
                WriteValue(value[i]);
                lineLength += WireLength(FChildValues[i]);
            }
            FAddChildValues = false;
            multiline = lineLength >= kRightMargin;
        }
        return multiline;
    }

    void PushValue(const std::string& text) {
        if (FAddChildValues)
            FChildValues.push_back(text);
        else
            FDocument += text;
    }

    void WriteIndent() {
        if (!FDocument.empty()) {
            const char last = FDocument.back();
            if (last == ' ') return;  // already indented (after "key" : )
            if (last != '\n') FDocument += '\n';
        }
        FDocument += FIndent;
    }

    void WriteWithIndent(const std::string& text) {
        WriteIndent();
        FDocument += text;
    }

    void Indent() { FIndent.append(kIndentSize, ' '); }
    void Unindent() { FIndent.resize(FIndent.size() - kIndentSize); }

    std::string FDocument;
    std::string FIndent;
    std::vector<std::string> FChildValues;
    bool FAddChildValues = false;
};

}  // namespace

std::string QuotedJsonString(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x20) {
                out += "\\u00";
                out += kHex[b >> 4];
                out += kHex[b & 0x0F];
            } else {
                out += c;
            }
        }
        }
    }
    out += '"';
    return out;
}

std::string StyledJsonText(const Json::Value& root) { return TStyledWriter().Write(root); }
