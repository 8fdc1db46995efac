#pragma once
// What every subsystem calls to report to the user, beside the main window's own methods
// (GetMessageA, MessageShow, MiniLog, SelectPage, ButtonEnabled, UserStrToInt, ...).
#include <cstdint>
#include <string>
#include <string_view>

#include "app/HexText.h"

// "0" is the "no text" value of the wait-panel calls.
inline const std::string kNoText = "0";

// MessageShow on the main window, for code outside its methods.
void MessageShowOnMainForm(const std::string& text);
// Opens or updates the wait page: total != 0 shows amount of total with a 15 s time-out;
// total == 0 waits amount seconds. Text "0" keeps the previous caption.
void ShowWaitPanel(std::uint32_t amount, std::uint32_t total, const std::string& text);
// Ends the wait, whatever ended it: the busy flag, the wait's counter and its time-out go.
// Answered (its reply, or its time-out) closes the panel, whatever page it shows; Cut (the
// link or the session ended first) closes it only while it shows the wait page, so that a
// message or the password page shown over the wait stays. Any text but "0" is then shown as
// a message.
enum class TWaitEnd { Answered, Cut };
void EndWait(TWaitEnd why = TWaitEnd::Cut, const std::string& text = kNoText);
// The wait answered: EndWait(TWaitEnd::Answered, text).
void HideWaitPanel(const std::string& text);

// Replaces a file the user asked for (an export) with these bytes through a synced temporary
// file. When any step fails the old file stays, the message panel says which file and why,
// and the result is false.
bool SaveFileOrTell(const std::string& path, std::string_view bytes);
// Reads a regular file whole; anything else (missing, unreadable, a FIFO or a folder) is
// told in the message panel, and false. Never an empty text for a file that failed.
bool ReadFileOrTell(const std::string& path, std::string& bytes);
// "Файл не сохранён: <path> (<reason>)", in the window's language.
std::string FileNotSavedText(const std::string& path, const std::string& reason);
// "Запись меток остановлена: <reason>", for a tag recording stopped by a failed write.
std::string TagRecordStoppedText(const std::string& reason);

// Special-folder codes for TForm1::GetUserPathToFolder.
constexpr int CSIDL_DESKTOPDIRECTORY = 0x10;
constexpr int CSIDL_PERSONAL = 0x05;  // the user's documents
constexpr int CSIDL_APPDATA = 0x1A;
constexpr int CSIDL_PROFILE = 0x28;
