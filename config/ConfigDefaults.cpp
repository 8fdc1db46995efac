#include "config/ConfigDefaults.h"

#include <string>

#include "platform/sys/Hosts.h"

static_assert(kDefaultServerPort == sys::kDeviceServerPort && kDefaultTimeServerPort == sys::kTimeServerPort);

namespace {
constexpr std::array<bool, 7> Days(std::initializer_list<int> days) {
    std::array<bool, 7> d{};
    for (int k : days) d[static_cast<std::size_t>(k)] = true;
    return d;
}
}  // namespace

void SetConfigDefaults(ConfigValues& v, std::string_view serverHost, std::string_view timeServerHost) {
    const int rfidAnts = v.RFIDAnts;
    v = ConfigValues{};
    v.RFIDAnts = rfidAnts;

    v.CallFromAll = false;
    v.SMSTOUNREG = false;
    v.OPERATOR = 0;
    v.UserAPN.clear();
    v.SIMPIN.clear();
    v.CON_EN1 = true;
    v.CON_ADR1 = std::string(serverHost) + ":" + std::to_string(kDefaultServerPort);
    v.SIMNUM1 = "+7";
    v.OUTTYPE = 1;
    v.OUTIMP = v.OUTPAUSE = v.OUTREPEATE = "1";
    v.USEIN1 = v.USEIN2 = false;
    v.ADMINPASS = "5940";
    v.USERPASS = "6482";
    v.EnPhotoFix = false;

    // Monday is day 0.
    v.WD = {Days({0, 1, 2, 3, 4}), Days({0, 1, 2, 3, 4}), Days({0, 1, 2, 3, 4, 5, 6}), Days({5, 6}),
            Days({0, 2, 4, 6}),    Days({1, 3, 5}),       Days({})};
    v.ST = {0, 8, 8, 0, 0, 0, 0};
    v.ET = {0, 20, 20, 0, 0, 0, 0};
    v.ACTOUTDAYS = {};

    v.NTPEN = true;
    v.NTPADR = std::string(timeServerHost) + ":" + std::to_string(kDefaultTimeServerPort);
    v.IMGREZ = 1;
    v.TimeZone = "0";
    v.RESETINTIME = v.ACTOUTINPERIOD = false;
    v.RESETTIME = v.STOUTPERIOD = v.EDOUTPERIOD = v.STOUTPERIODMIN = v.EDOUTPERIODMIN = 0;
    v.UseGNSSTime = false;
    v.RingCountLimit = v.InFun1 = v.InFun2 = v.OutTypeInTimeAction = 0;
    v.FotoDelay = "0";
    v.InfAdminBalance = false;
    v.BalanceLimit = "50";
    v.BalanceGetNumber = "*100#";
    v.FromAllShedule = 0;
    v.ResendSMS = false;
    v.ReaderType = 0;
}

void SetConfigDefaults(ConfigValues& v) { SetConfigDefaults(v, sys::kDeviceServerHost, sys::kTimeServerHost); }
