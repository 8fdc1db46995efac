#include "cloud/RememberedDevices.h"

#include <algorithm>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {
constexpr const char* kDevices = "Devices";
constexpr const char* kDescriptions = "Descriptions";
constexpr const char* kGroup = "Group";

std::vector<std::string> SectionKeys(const TCustomIniFile& ini, const char* section) {
    TStringList keys;
    ini.ReadSection(section, keys);
    return keys.ToVector();
}
}  // namespace

std::vector<std::string> LoadRememberedDevices(const TCustomIniFile& ini) {
    const int count = ini.ReadInteger(kDevices, "Count", 0);
    const int keys = static_cast<int>(SectionKeys(ini, kDevices).size());
    std::vector<std::string> out;
    for (int i = 0; i < std::min(count, keys); ++i)
        out.push_back(ini.ReadString(kDevices, "d" + std::to_string(i), ""));
    return out;
}

bool RememberDevice(TCustomIniFile& ini, bool listed, const std::string& imei, const std::string& pass,
                    const std::string& description) {
    if (!listed) {
        const int n = ini.ReadInteger(kDevices, "Count", 0);
        ini.WriteInteger(kDevices, "Count", n + 1);
        ini.WriteString(kDevices, "d" + std::to_string(n), imei);
        ini.WriteString(kDevices, imei, pass);
        ini.WriteString(kDescriptions, imei, description);
        return true;
    }
    if (ini.ReadString(kDevices, imei, "") != pass ||
        ini.ReadString(kDescriptions, imei, "") != description) {
        ini.WriteString(kDevices, imei, pass);
        ini.WriteString(kDescriptions, imei, description);
    }
    return false;
}

TRememberedDevice ReadRememberedDevice(const TCustomIniFile& ini, const std::string& imei) {
    TRememberedDevice d;
    d.Pass = ini.ReadString(kDevices, imei, "");
    d.Description = ini.ReadString(kDescriptions, imei, "");
    if (ini.ValueExists(kGroup, imei)) {
        d.InGroup = true;
        d.GroupList = SectionKeys(ini, kGroup);
        for (const std::string& k : d.GroupList)
            if (k != imei) d.OtherMembers.push_back(k);
    }
    return d;
}

TGroupAddResult AddToGroup(TCustomIniFile& ini, const std::string& imei) {
    const std::vector<std::string> keys = SectionKeys(ini, kGroup);
    if (std::find(keys.begin(), keys.end(), imei) != keys.end()) return TGroupAddResult::AlreadyMember;
    if (keys.size() >= static_cast<std::size_t>(kMaxGroupMembers)) return TGroupAddResult::Full;
    ini.WriteString(kGroup, imei, "");
    return TGroupAddResult::Added;
}

std::string GroupAddMessage(TGroupAddResult result) {
    switch (result) {
    case TGroupAddResult::AlreadyMember: return "Присутствует в группе";
    case TGroupAddResult::Added: return "Добавлен в группу";
    case TGroupAddResult::Full: return "Максимальное кол-во в группе = 5";
    }
    return {};
}

void RemoveFromGroup(TCustomIniFile& ini, const std::string& imei) {
    if (ini.ValueExists(kGroup, imei)) ini.DeleteKey(kGroup, imei);
}

std::vector<std::string> GroupSyncMembers(const std::vector<std::string>& groupList,
                                          const std::string& imei) {
    std::vector<std::string> out;
    for (const std::string& m : groupList)
        if (m != imei) out.push_back(m);
    return out;
}
