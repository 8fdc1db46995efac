#pragma once
// Requests to the cloud server: a short HTTP-like header block, a blank line and the styled
// JSON object {"command", "data", "imei", "pass"}, the whole text in Windows-1251.
// One builder per command word gives the object with exactly the data that command carries.
#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

class TDateTime;

// Command words, as the server spells them.
namespace cloudcmd {
inline constexpr const char* DispAuth = "dispauth";
inline constexpr const char* Close = "close";
inline constexpr const char* Status = "gsmst";
inline constexpr const char* SetOut = "setout";
inline constexpr const char* AutoReg = "autoreg";
inline constexpr const char* Defrag = "defrag";
inline constexpr const char* Reset = "reset";
inline constexpr const char* Update = "update";
inline constexpr const char* SimNumber = "simnum";
inline constexpr const char* Config = "gconfig";
inline constexpr const char* NumberInfo = "gnum";
inline constexpr const char* Chrono = "gchrono";
inline constexpr const char* NextBlock = "nextblock";
inline constexpr const char* ClearChrono = "clearchrono";
inline constexpr const char* TransparentPort = "rport";
inline constexpr const char* Add = "add";
inline constexpr const char* Del = "del";
inline constexpr const char* Sync = "sync";
}  // namespace cloudcmd

// "PUT / HTTP/1.1", "Connection: keep-alive", "UID: <uid>", each ended by CR LF, then CR LF.
std::string CloudRequestHeader(std::int32_t uid);
// The header block and the styled object, UTF-8: what the traffic window shows.
std::string CloudRequestText(std::int32_t uid, const Json::Value& request);
// The same text converted whole to Windows-1251: what goes on the socket.
std::string CloudRequestBytes(std::int32_t uid, const Json::Value& request);

// The four members; data may be a string, an object or an array.
Json::Value CloudRequestObject(const std::string& imei, const std::string& pass,
                               const std::string& command, const Json::Value& data);
// A command whose data is a string.
Json::Value JsonCommand(const std::string& imei, const std::string& pass,
                        const std::string& command, const std::string& data);

// The login: the typed IMEI and password.
Json::Value DispAuthRequest(const std::string& imei, const std::string& pass);
Json::Value CloseRequest(const std::string& imei, const std::string& pass);
Json::Value StatusRequest(const std::string& imei, const std::string& pass);
Json::Value SetOutRequest(const std::string& imei, const std::string& pass);
Json::Value AutoRegRequest(const std::string& imei, const std::string& pass, bool on);
Json::Value DefragRequest(const std::string& imei, const std::string& pass);
Json::Value ResetRequest(const std::string& imei, const std::string& pass);
Json::Value UpdateRequest(const std::string& imei, const std::string& pass);
Json::Value SimNumberRequest(const std::string& imei, const std::string& pass,
                             const std::string& simNumber);
Json::Value ConfigRequest(const std::string& imei, const std::string& pass);
// Asks by number; by name when the number is empty.
Json::Value NumberInfoRequest(const std::string& imei, const std::string& pass,
                              const std::string& number, const std::string& name);

// Dates of the log request are "ddmmyyyy".
std::string ChronoDateText(TDateTime date);
// An empty number asks for every number ("x"); an operation of 0 or less for every
// operation ("0").
Json::Value ChronoRequest(const std::string& imei, const std::string& pass,
                          const std::string& startDate, const std::string& endDate,
                          int operation, const std::string& number);
Json::Value NextBlockRequest(const std::string& imei, const std::string& pass, int rowsShown);
Json::Value ClearChronoRequest(const std::string& imei, const std::string& pass);

// The transparent port's settings, sent as typed.
struct TTransparentPortParams {
    std::string Ip, Port, Baud, Timeout;
};
Json::Value TransparentPortRequest(const std::string& imei, const std::string& pass,
                                   const TTransparentPortParams& params);

// One user of an addition round, every value as text.
struct TCloudUser {
    std::string Access;   // "admin", "manager" or "user"
    std::string EndDate;  // eight-digit day text
    std::string Name;
    std::string Number;
    std::string Passes;
    std::string Shedule;  // position of the schedule template, decimal
};
Json::Value CloudUserObject(const TCloudUser& user);
Json::Value AddUsersRequest(const std::string& imei, const std::string& pass,
                            const std::vector<TCloudUser>& users);
Json::Value DeleteNumbersRequest(const std::string& imei, const std::string& pass,
                                 const std::vector<std::string>& numbers);
// The other members of the device's group.
Json::Value GroupSyncRequest(const std::string& imei, const std::string& pass,
                             const std::vector<std::string>& imeis);
