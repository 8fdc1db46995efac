#pragma once
// The request text of the cloud protocol: the classic styled JSON layout (three spaces per
// level, "key" : value, members in ascending key order, short arrays of plain values on one
// line), with characters beyond ASCII written as they are, never as \u escapes. JsonCpp's
// own writers of this version indent with tabs or escape every non-ASCII byte, and the
// server expects this form, so it is written here.
#include <string>

#include <json/value.h>

// The text is UTF-8 like the value's strings and ends with a line end after the last brace.
// Member order and the one-line test count the bytes the text will have in Windows-1251,
// so the layout is the one that goes on the wire.
std::string StyledJsonText(const Json::Value& root);

// A JSON string literal with its quotes, escaped the way the styled layout escapes.
std::string QuotedJsonString(const std::string& text);
