// The settings and schedules pages to and from the configuration record.
#include "app/Unit1.h"
#include "config/ConfigDefaults.h"
#include "config/ConfigFields.h"
#include "config/ConfigFile.h"
#include "config/ConfigItems.h"
#include "config/ConfigRecord.h"
#include "config/FormConfigControls.h"
#include "platform/rtl/Format.h"

namespace {

constexpr int kMsgFieldRange = 100;   // "<caption>": the slot's range
constexpr int kMsgFieldDigits = 101;  // "<caption>": the most digits the slot holds

}  // namespace

std::string TForm1::FieldRangeText(const EFieldRange& e) const {
    std::string caption = e.Field;
    if (const auto* label = dynamic_cast<const TLabel*>(FindComponent(e.Field + "Caption"))) {
        caption = label->GetCaption();
        while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) caption.pop_back();
    }
    if (e.Digits) return Format(GetMessageA(kMsgFieldDigits), caption, e.Digits);
    return Format(GetMessageA(kMsgFieldRange), caption, e.Range.Low, e.Range.High);
}

ConfigValues TForm1::ConfigValuesFromControls() {
    ConfigValues v;
    v.CallFromAll = CheckedOf(CallFromAll);
    v.NTPEN = CheckedOf(NTPEN);
    v.USEIN1 = CheckedOf(USEIN1);
    v.USEIN2 = CheckedOf(USEIN2);
    v.EnPhotoFix = CheckedOf(EnPhotoFix);
    v.RESETINTIME = CheckedOf(RESETINTIME);
    v.ACTOUTINPERIOD = CheckedOf(ACTOUTINPERIOD);
    v.CON_EN1 = CheckedOf(CON_EN1);
    v.UseGNSSTime = CheckedOf(UseGNSSTime);
    v.SMSTOUNREG = CheckedOf(SMSTOUNREG);
    v.InfAdminBalance = CheckedOf(InfAdminBalance);
    v.ResendSMS = CheckedOf(ResendSMS);

    v.OPERATOR = ItemIndexOf(OPERATOR);
    v.OUTTYPE = ItemIndexOf(OUTTYPE);
    v.OutTypeInTimeAction = ItemIndexOf(OutTypeInTimeAction);
    v.IMGREZ = ItemIndexOf(IMGREZ);
    v.RESETTIME = ItemIndexOf(RESETTIME);
    v.STOUTPERIOD = ItemIndexOf(STOUTPERIOD);
    v.EDOUTPERIOD = ItemIndexOf(EDOUTPERIOD);
    v.STOUTPERIODMIN = ItemIndexOf(STOUTPERIODMIN);
    v.EDOUTPERIODMIN = ItemIndexOf(EDOUTPERIODMIN);
    v.RingCountLimit = ItemIndexOf(RingCountLimit);
    v.InFun1 = ItemIndexOf(InFun1);
    v.InFun2 = ItemIndexOf(InFun2);
    v.FromAllShedule = ItemIndexOf(FromAllShedule);
    v.RFIDAnts = ItemIndexOf(RFIDAnts);
    v.ReaderType = ItemIndexOf(ReaderType);
    for (int k = 0; k < 7; ++k) {
        v.ST[static_cast<std::size_t>(k)] = ItemIndexOf(StartHour(k));
        v.ET[static_cast<std::size_t>(k)] = ItemIndexOf(EndHour(k));
        v.WD[static_cast<std::size_t>(k)] = WeekdaysOf(WeekdayGroup(k));
    }
    v.ACTOUTDAYS = WeekdaysOf(ACTOUTDAYS);

    v.ADMINPASS = TextOf(ADMINPASS);
    v.USERPASS = TextOf(USERPASS);
    v.UserAPN = TextOf(UserAPN);
    v.SIMPIN = TextOf(SIMPIN);
    v.CON_ADR1 = TextOf(CON_ADR1);
    v.NTPADR = TextOf(NTPADR);
    v.SIMNUM1 = TextOf(SIMNUM1);
    v.OUTIMP = TextOf(OUTIMP);
    v.OUTPAUSE = TextOf(OUTPAUSE);
    v.OUTREPEATE = TextOf(OUTREPEATE);
    v.TimeZone = TextOf(TimeZone);
    v.FotoDelay = TextOf(FotoDelay);
    v.BalanceLimit = TextOf(BalanceLimit);
    v.BalanceGetNumber = TextOf(BalanceGetNumber);
    return v;
}

void TForm1::ShowConfigValues(const ConfigValues& v) {
    ShowText(ADMINPASS, v.ADMINPASS);
    ShowText(USERPASS, v.USERPASS);
    ShowChecked(CallFromAll, v.CallFromAll);
    ShowChecked(NTPEN, v.NTPEN);
    ShowChecked(USEIN1, v.USEIN1);
    ShowChecked(USEIN2, v.USEIN2);
    ShowChecked(EnPhotoFix, v.EnPhotoFix);
    ShowChecked(RESETINTIME, v.RESETINTIME);
    ShowChecked(ACTOUTINPERIOD, v.ACTOUTINPERIOD);
    ShowItemIndex(OPERATOR, v.OPERATOR);
    OPERATORChange(OPERATOR);
    ShowText(UserAPN, v.UserAPN);
    ShowText(SIMPIN, v.SIMPIN);
    ShowChecked(CON_EN1, v.CON_EN1);
    ShowText(CON_ADR1, v.CON_ADR1);
    ShowText(NTPADR, v.NTPADR);
    ShowText(SIMNUM1, v.SIMNUM1);
    ShowItemIndex(OUTTYPE, v.OUTTYPE);
    OUTTYPEChange(OUTTYPE);
    ShowText(OUTIMP, v.OUTIMP);
    ShowText(OUTPAUSE, v.OUTPAUSE);
    ShowText(OUTREPEATE, v.OUTREPEATE);
    for (int k = 0; k < 7; ++k) {
        ShowWeekdays(WeekdayGroup(k), v.WD[static_cast<std::size_t>(k)]);
        ShowItemIndex(StartHour(k), v.ST[static_cast<std::size_t>(k)]);
        ShowItemIndex(EndHour(k), v.ET[static_cast<std::size_t>(k)]);
    }
    ShowItemIndex(IMGREZ, v.IMGREZ);
    ShowText(TimeZone, v.TimeZone);
    ShowItemIndex(RESETTIME, v.RESETTIME);
    ShowItemIndex(STOUTPERIOD, v.STOUTPERIOD);
    ShowItemIndex(EDOUTPERIOD, v.EDOUTPERIOD);
    ShowChecked(UseGNSSTime, v.UseGNSSTime);
    ShowItemIndex(OutTypeInTimeAction, v.OutTypeInTimeAction);
    ShowChecked(SMSTOUNREG, v.SMSTOUNREG);
    ShowChecked(InfAdminBalance, v.InfAdminBalance);
    ShowChecked(ResendSMS, v.ResendSMS);
    ShowItemIndex(STOUTPERIODMIN, v.STOUTPERIODMIN);
    ShowItemIndex(EDOUTPERIODMIN, v.EDOUTPERIODMIN);
    ShowWeekdays(ACTOUTDAYS, v.ACTOUTDAYS);
    ShowItemIndex(RingCountLimit, v.RingCountLimit);
    ShowItemIndex(InFun1, v.InFun1);
    ShowItemIndex(InFun2, v.InFun2);
    ShowText(FotoDelay, v.FotoDelay);
    ShowText(BalanceLimit, v.BalanceLimit);
    ShowText(BalanceGetNumber, v.BalanceGetNumber);
    ShowItemIndex(FromAllShedule, v.FromAllShedule);
    ShowItemIndex(RFIDAnts, v.RFIDAnts);
    ShowItemIndex(ReaderType, v.ReaderType);
}

// A number edit that does not convert, or that its slot cannot hold as shown, raises before
// g_ConfigRecord is touched, so the previous record stays whole and nothing is sent or saved.
void TForm1::Write_config() {
    try {
        g_ConfigRecord = BuildConfigRecord(ConfigValuesFromControls(), g_ConfigRecord);
    } catch (const EFieldRange& e) {
        throw EConvertError(FieldRangeText(e));
    }
}

void TForm1::Read_config() {
    ConfPages->SetActivePageIndex(0);
    ShowConfigValues(ConfigRecordToValues(g_ConfigRecord));
}

void TForm1::ReadConfigFromObjects() {
    Write_config();
    NumbersFromGrid();
}

void TForm1::WriteConfigToObjects() {
    Read_config();
    NumbersToGrid();
}

// The APN is typed only for an operator the device does not know; its text stays in the
// record either way.
void TForm1::OPERATORChange(TObject*) { UserAPN->SetVisible(ItemIndexOf(OPERATOR) == kOperatorOther); }

void TForm1::Load_default() {
    SetConfigPath(kDefaultConfigPath);
    ConfigValues v;
    v.RFIDAnts = ItemIndexOf(RFIDAnts);  // the readers attached keep what is shown
    SetConfigDefaults(v);
    ShowConfigValues(v);
    ClearNumbers();
}

void TForm1::Button12Click(TObject*) { Load_default(); }

void TForm1::SetConfigPath(const std::string& path) { ApplyConfigPath(path); }
