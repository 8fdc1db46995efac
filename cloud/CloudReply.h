#pragma once
// One server reply: its parsing, what kind of reply it is, and what a status word in its
// "data" means for the window (message, action-log line, session changes). The window's
// handlers do what these say; nothing here touches a control.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <json/value.h>

#include "device/AskedReplies.h"

enum class TCloudReplyKind {
    None,        // no "response", or an empty one: nothing happens
    StatusWord,  // "data" is a string
    SyncAck,     // "add" or "del" with structured data
    Status,      // "gsmst"
    NumberInfo,  // "gnum"
    Config,      // "gconfig"
    Chrono,      // "gchrono"
    Ignored,     // any other response with structured data
};

struct TCloudReply {
    Json::Value Root;
    std::string Response;
    Json::Value Data;
    TCloudReplyKind Kind = TCloudReplyKind::None;
    std::string Status;  // the status word when Kind is StatusWord
    // Every reply but the periodic status closes a pending wait panel without a message.
    bool ClosesWait = false;
    // The action-log line that every "setout" and "autoreg" reply adds, whatever its data.
    std::string ResponseLine;
};

// Parses text as received (Windows-1251) after converting it to UTF-8. False, with the
// parser's messages in errors, for text that is not JSON, for a reply cut at the
// collector's size, and for text nested deeper than the parser allows; never throws.
bool ParseCloudReplyText(std::string_view cp1251Text, bool cut, Json::Value& root,
                         std::string& errors);
// Reads the parsed root; any shape of value is accepted (a root that is not an object has
// no "response" and gives Kind None).
TCloudReply ReadCloudReply(const Json::Value& root);

// The kind of request a reply answers when only an awaited one may act ("defrag", "rport",
// "update", "gchrono", "gconfig"); none for the others.
std::optional<TAsk> AskOfCloudResponse(const std::string& response);

// What a status word does.
struct TCloudStatusEffect {
    std::string Message;       // shown in the message panel; empty for none
    std::string IncomingLine;  // action-log line (incoming); empty for none
    bool LogIn = false;        // login accepted: session, access level, group sync
    bool EndSession = false;   // the session is switched off (refused password)
    // The server says why the session or its login ends: the close that follows is no
    // surprise.
    bool ExplainsEnd = false;
    std::string LoginFailText; // failure text of the login animation's last stage
    bool HideUpdateBar = false;
    bool NoLogRows = false;    // a log read's answer: its period holds no events
};
TCloudStatusEffect CloudStatusEffect(const std::string& response, const std::string& status);

// The access word of the login reply and of the status: level and the LACCESS caption.
struct TCloudAccess {
    std::uint8_t Level = 0;
    std::string Caption;
};
TCloudAccess CloudAccessFromWord(const std::string& word);
