#pragma once
// Module state of the cloud session, the local configuration server and the login
// animation, and the two senders every cloud request goes through.
#include <cstdint>
#include <string>

#include <json/value.h>

#include "cloud/CloudStreamReader.h"
#include "cloud/CloudSync.h"
#include "device/AskedReplies.h"

class TComboBox;
class TCustomWinSocket;

// IMEI and password of the logged-in device (set by the accepted login).
extern std::string g_SessionImei;
extern std::string g_SessionPass;
// Find_device ticks to the next "gsmst": 5 while logged in, 0 otherwise.
extern std::uint16_t g_StatusPollTicks;
// Ftimer ticks to the next login repetition (0: none pending) and repetitions left.
extern std::int32_t g_LoginRetryTicks;
extern std::int32_t g_LoginRetries;
// The traffic window is open: requests and received blocks are copied into it.
extern std::uint8_t g_TrafficLogOn;
// The login animation: the stage whose marker blinks (-1 none) and ticks until it closes.
extern std::int32_t g_AnimStep;
extern std::int32_t g_AnimTicks;
// The end of the cloud connection needs no word: the tool asked for it, the server said why,
// or it was told.
extern std::uint8_t g_CloudEndKnown;
// What the transfers the connection's end cuts short are told after: why it ends, when the
// user or the server said; empty when the link was lost.
extern std::string g_CloudEndWhy;
// The connection's end is said (why) or left to be told as the link lost (empty).
void CloudEndSaid(const std::string& why);
inline constexpr const char* kTextSessionClosed =
    "Сеанс связи с облачным сервером закрыт.//\\ The cloud session was closed.";
// Find_device ticks of the session since the server last sent anything.
extern std::int32_t g_CloudSilenceTicks;
// The local configuration server is stopped on the next Find_device tick.
extern std::uint8_t g_ConfServerStop;
// The number-base synchronisation rounds.
extern TSyncState g_SyncState;
// A log request made while the connection was still closed; sent once it connects.
extern Json::Value g_PendingChrono;
// Separates tunnelled frames from JSON replies on the cloud connection.
extern TCloudStreamReader g_CloudReader;

// The session's, the animation's and the local server's state as at start-up: what a window
// set goes with it.
void ResetCloudState();

inline constexpr int kLoginRetryTicks = 10;  // Ftimer ticks: one second
inline constexpr int kLoginRetries = 5;
inline constexpr std::uint16_t kCloudStatusTicks = 5;  // Find_device ticks
inline constexpr std::int32_t kCloudSilenceTicks = 60;  // twelve status requests unanswered
inline constexpr int kAnimTicksStage = 50;             // 10 s of 200 ms ticks
inline constexpr int kAnimTicksLoggedIn = 6;
inline constexpr int kAnimTicksFailed = 75;
inline constexpr int kAnimPanelHeight = 134;
inline constexpr int kAnimPanelHeightText = 202;

// The text of the animation's last stage when the device never answered the login.
std::string LoginNoAnswerText();
inline constexpr const char* kServerUnavailableText =
    "В настояний момент облачный сервер не доступен. Проверьте интернет соединение. "
    "Возможно ведутся технические работы. Проверьте не блокирует ли Firewall порты 10500 и "
    "10951.";

// Sends the header block and the styled object on the socket, when it is connected, and
// copies the request into the traffic window while that is open. Otherwise nothing (false).
bool SendCloudRequest(TCustomWinSocket* socket, const Json::Value& request);
// A command whose data is a string.
bool SendJsonCommand(const std::string& imei, const std::string& pass, const std::string& command,
                     const std::string& data, TCustomWinSocket* socket);
// A request on the cloud connection went: its reply is awaited for waitSeconds (0: until it
// comes or the connection ends).
void AwaitCloudReply(TAsk what, std::int64_t waitSeconds = 0);

// Adds lines to the traffic window's memo.
void AddTrafficLines(const std::vector<std::string>& lines);

// Fills a combo box with the remembered devices of the settings file.
void LoadDeviceList(TComboBox* Combo);
