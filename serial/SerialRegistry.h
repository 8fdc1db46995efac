#pragma once
// The registry object the settings store writes to. There is no system registry here, so
// keys live as sections of one INI file ("<ROOT>\<key path>"), values as its keys; the
// calls and their failures are the registry's.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/Classes.h"
#include "platform/rtl/SysUtils.h"

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u, HKEY_CURRENT_USER = 0x80000001u,
               HKEY_LOCAL_MACHINE = 0x80000002u, HKEY_USERS = 0x80000003u;

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    TRegistry() = default;

    HKEY GetRootKey() const { return FRootKey; }
    void SetRootKey(HKEY key);  // closes the open key
    // Opens Key below the root ("a\b", a leading "\" allowed); with CanCreate a missing key
    // is made, else false.
    bool OpenKey(const std::string& Key, bool CanCreate);
    void CloseKey() { FCurrentPath.clear(); FOpen = false; }
    const std::string& GetCurrentPath() const { return FCurrentPath; }
    bool KeyExists(const std::string& Key) const;

    // Values live in the open key only: with none open, reads and writes raise
    // ERegistryException (and nothing lands in the root).
    void WriteString(std::string_view Name, std::string_view Value);
    std::string ReadString(std::string_view Name) const;  // "" when missing
    void WriteInteger(std::string_view Name, int Value);
    // Raises ERegistryException when the value is missing or not an integer.
    int ReadInteger(std::string_view Name) const;
    bool ValueExists(std::string_view Name) const;

    // The file behind the keys: <AppData>/registry.ini unless set (tests set their own).
    static void SetFileName(const std::string& path);
    static std::string GetFileName();
    static std::string RootKeyName(HKEY key);

private:
    std::string Section() const;
    HKEY FRootKey = HKEY_CURRENT_USER;
    std::string FCurrentPath;
    bool FOpen = false;
};
