// Registry keys kept as INI sections.
#include "serial/SerialRegistry.h"

#include <mutex>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Folders.h"

namespace {
std::mutex g_FileLock;
std::string g_FileName;

// Key paths compare as the registry does: case-insensitively, "\" separated, no empty parts.
std::string NormalKey(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}
}  // namespace

void TRegistry::SetFileName(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_FileLock);
    g_FileName = path;
}

std::string TRegistry::GetFileName() {
    std::lock_guard<std::mutex> lock(g_FileLock);
    if (!g_FileName.empty()) return g_FileName;
    return IncludeTrailingPathDelimiter(sys::AppDataFolder()) + "registry.ini";
}

std::string TRegistry::RootKeyName(HKEY key) {
    switch (key) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS: return "HKEY_USERS";
        default: return "HKEY_CURRENT_USER";
    }
}

void TRegistry::SetRootKey(HKEY key) {
    CloseKey();
    FRootKey = key;
}

std::string TRegistry::Section() const {
    std::string s = RootKeyName(FRootKey);
    if (!FCurrentPath.empty()) s += "\\" + FCurrentPath;
    return s;
}

bool TRegistry::KeyExists(const std::string& Key) const {
    std::string path = NormalKey(Key);
    if (path.empty()) return true;
    TIniFile ini(GetFileName());
    TStringList sections;
    ini.ReadSections(sections);
    const std::string want = RootKeyName(FRootKey) + "\\" + path;
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string s = sections.Get(i);
        // A key exists when it or a key below it holds a value.
        if (SameText(s, want) || (s.size() > want.size() && SameText(s.substr(0, want.size()), want) &&
                                  s[want.size()] == '\\'))
            return true;
    }
    return false;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    std::string path = NormalKey(Key);
    if (!CanCreate && !KeyExists(path)) return false;
    FCurrentPath = path;
    FOpen = true;
    return true;
}

void TRegistry::WriteString(std::string_view Name, std::string_view Value) {
    if (!FOpen) throw ERegistryException("Failed to set data for '" + std::string(Name) + "'");
    TIniFile ini(GetFileName());
    try {
        ini.WriteString(Section(), Name, Value);
    } catch (const Exception&) {
        throw ERegistryException("Failed to set data for '" + std::string(Name) + "'");
    }
}

std::string TRegistry::ReadString(std::string_view Name) const {
    if (!FOpen) throw ERegistryException("Failed to get data for '" + std::string(Name) + "'");
    return TIniFile(GetFileName()).ReadString(Section(), Name, "");
}

void TRegistry::WriteInteger(std::string_view Name, int Value) { WriteString(Name, IntToStr(Value)); }

int TRegistry::ReadInteger(std::string_view Name) const {
    if (!FOpen) throw ERegistryException("Failed to get data for '" + std::string(Name) + "'");
    TIniFile ini(GetFileName());
    int value = 0;
    if (!ini.ValueExists(Section(), Name) || !TryStrToInt(ini.ReadString(Section(), Name, ""), value))
        throw ERegistryException("Invalid data type for '" + std::string(Name) + "'");
    return value;
}

bool TRegistry::ValueExists(std::string_view Name) const {
    if (!FOpen) return false;
    return TIniFile(GetFileName()).ValueExists(Section(), Name);
}
