#pragma once
// The value forms of stored port settings, and the hook through which the control library
// supplies the port's setup dialog (this library stays free of UI).
#include <functional>
#include <string>
#include <string_view>

class TCustomSerialPort;

// "Yes" / "No"; read back, "YES" in any case is true, anything else false.
std::string StoreBoolToStr(bool value);
bool StoreStrToBool(std::string_view text);
// 0x21 to 0x7F as the character itself, anything else "#" and the decimal code. Read back:
// "" is #0; "#" and more is that number modulo 256 (#0 when not a number); else the first
// character of the text.
std::string StoreCharToStr(char16_t value);
char16_t StoreStrToChar(std::string_view text);

// The registry key text "ROOT\path": the root ("" for the object's default), and the sub-key
// the settings go to (path, "\" and the component's name). False when the text has no "\".
bool SplitStoreKey(std::string_view keyText, const std::string& componentName, std::string& root,
                   std::string& subKey);

using TSerialSetupDialogProc = std::function<void(TCustomSerialPort* ComPort)>;
void SetSerialSetupDialogProc(TSerialSetupDialogProc proc);
