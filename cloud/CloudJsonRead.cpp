#include "cloud/CloudJsonRead.h"

#include <limits>

namespace {
const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

std::int32_t Clamp32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}
}  // namespace

const Json::Value& JsonMember(const Json::Value& object, const char* key) {
    if (!object.isObject()) return NullValue();
    const Json::Value* found = object.find(key, key + std::char_traits<char>::length(key));
    return found != nullptr ? *found : NullValue();
}

bool JsonHas(const Json::Value& object, const char* key) {
    return object.isObject() && object.isMember(key);
}

const Json::Value& JsonElement(const Json::Value& array, Json::ArrayIndex index) {
    if (!array.isArray() || index >= array.size()) return NullValue();
    return array[index];
}

Json::ArrayIndex JsonSize(const Json::Value& array) { return array.isArray() ? array.size() : 0; }

std::string JsonString(const Json::Value& value) {
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!value.isString() || !value.getString(&begin, &end)) return {};
    return std::string(begin, end);
}

std::string JsonText(const Json::Value& object, const char* key) {
    return JsonString(JsonMember(object, key));
}

std::int64_t TextNumber64(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max() / 10 - 1;
    std::int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (v < kLimit) v = v * 10 + (text[i] - '0');
    return negative ? -v : v;
}

std::int32_t TextNumber(std::string_view text) { return Clamp32(TextNumber64(text)); }

std::int32_t JsonNumber(const Json::Value& value) {
    switch (value.type()) {
    case Json::intValue: return Clamp32(value.asLargestInt());
    case Json::uintValue: {
        const Json::LargestUInt u = value.asLargestUInt();
        return u > static_cast<Json::LargestUInt>(std::numeric_limits<std::int32_t>::max())
                   ? std::numeric_limits<std::int32_t>::max()
                   : static_cast<std::int32_t>(u);
    }
    case Json::stringValue: return TextNumber(JsonString(value));
    default: return 0;
    }
}

std::int32_t JsonInt(const Json::Value& object, const char* key) {
    return JsonNumber(JsonMember(object, key));
}
