#pragma once
// Reading values out of server replies without trusting their shape: a member that is
// missing or of another type reads as "" or 0, and nothing here throws. JsonCpp's own
// accessors assert (throw) on a wrong type, so replies are read only through these.
#include <cstdint>
#include <string>
#include <string_view>

#include <json/value.h>

// The member, or a null value when the value is not an object or lacks the key.
const Json::Value& JsonMember(const Json::Value& object, const char* key);
bool JsonHas(const Json::Value& object, const char* key);
// The element, or a null value when the value is not an array or the index is past its end.
const Json::Value& JsonElement(const Json::Value& array, Json::ArrayIndex index);
// Elements of an array; 0 for anything else.
Json::ArrayIndex JsonSize(const Json::Value& array);

// A string value as it stands; "" for any other type.
std::string JsonString(const Json::Value& value);
std::string JsonText(const Json::Value& object, const char* key);

// The number of a text: leading blanks skipped, an optional sign, decimal digits up to the
// first other character; 0 without digits. Values beyond 32 bits stop at the nearest bound.
std::int32_t TextNumber(std::string_view text);
std::int64_t TextNumber64(std::string_view text);
// A JSON integer, or a text read as above; 0 for anything else. Bounded to 32 bits.
std::int32_t JsonNumber(const Json::Value& value);
std::int32_t JsonInt(const Json::Value& object, const char* key);
