#pragma once
// Devices that logged in before, and one group of devices, kept in the settings file:
// [Devices] "Count", "d0".."dN" (the IMEIs) and IMEI = password; [Descriptions] IMEI =
// description; [Group] one empty key per member IMEI. Each operation takes the file read
// once (TMemIniFile) and the caller writes it once afterwards.
#include <string>
#include <vector>

class TCustomIniFile;

inline constexpr int kMaxGroupMembers = 5;

// LoadDeviceList: the remembered IMEIs in their order. A "Count" larger than the keys of the
// section can hold is read only as far as keys exist, so a damaged file cannot stall start-up.
std::vector<std::string> LoadRememberedDevices(const TCustomIniFile& ini);

// UserAuthOK. listed: the selector's list already holds the IMEI. A new device gets the next
// "d" key and its password and description; a listed one is written only when its password
// or description changed. True when the device was new (the selector then lists it).
bool RememberDevice(TCustomIniFile& ini, bool listed, const std::string& imei, const std::string& pass,
                    const std::string& description);

// AIMEIChange: what the connection page shows for a chosen IMEI.
struct TRememberedDevice {
    std::string Pass;
    std::string Description;
    bool InGroup = false;                   // Group_panel shown
    std::vector<std::string> GroupList;     // g_GroupList: every member while InGroup
    std::vector<std::string> OtherMembers;  // Group_memo
};
TRememberedDevice ReadRememberedDevice(const TCustomIniFile& ini, const std::string& imei);

// Button17Click and its message.
enum class TGroupAddResult { AlreadyMember, Added, Full };
TGroupAddResult AddToGroup(TCustomIniFile& ini, const std::string& imei);
std::string GroupAddMessage(TGroupAddResult result);
// Button18Click: a device that is not a member deletes nothing.
void RemoveFromGroup(TCustomIniFile& ini, const std::string& imei);

// SendGroupSync's data: the group list less the logged-in device, in list order.
std::vector<std::string> GroupSyncMembers(const std::vector<std::string>& groupList,
                                          const std::string& imei);
