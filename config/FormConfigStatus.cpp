// The status page: the device's status record in its labels and meter.
#include "app/Unit1.h"
#include "config/StatusRecord.h"

void TForm1::Refresh_Data() {
    const TStatusDisplay s = StatusDisplayTexts(g_StatusRecord);
    Limei->SetCaption(s.Limei);
    // The cloud connection box takes the device's IMEI and the cable password.
    if (auto* imei = OtherControl<TComboBox>("AIMEI")) imei->SetText(s.Imei);
    if (auto* pass = OtherControl<TEdit>("APASS"))
        if (auto* cablePass = OtherControl<TEdit>("USBPASS")) pass->SetText(cablePass->GetText());

    Lsig->SetCaption(s.Lsig);
    Msig->SetValue(s.Signal);
    GSMBER->SetCaption(s.GSMBER);
    Lfw->SetCaption(s.Lfw);
    g_DeviceFwVersion = s.FwVersion;
    if (auto* name = OtherControl<TEdit>("aName")) name->SetMaxLength(s.NameMaxLength);
    Lhw->SetCaption(s.Lhw);
    Lgsm->SetCaption(s.Lgsm);
    Lgprs->SetCaption(s.Lgprs);
    Lserver->SetCaption(s.Lserver);
    Lmem->SetCaption(s.Lmem);
    Linput1->SetCaption(s.Linput1);
    Linput2->SetCaption(s.Linput2);
    Lout_->SetCaption(s.Lout_);
    Lar->SetCaption(s.Lar);
    Bar->SetCaption(s.BarCaption);
    LACCESS->SetCaption(s.LACCESS);
    netTime->SetCaption(s.netTime);
    netTime->SetVisible(true);
    Balance->SetCaption(s.Balance);
    Balance->SetVisible(true);
    SafeCityStat->SetCaption(s.SafeCityStat);
    SafeCityTags->SetCaption(s.SafeCityTags);
    SafeCityBaseDate->SetCaption(s.SafeCityBaseDate);
    SafeCityAccessDate->SetCaption(s.SafeCityAccessDate);
    if (s.CodePresented) {
        if (auto* phone = OtherControl<TEdit>("aPhone")) phone->SetText(s.CodeText);
        if (auto* codeType = OtherControl<TComboBox>("CodeType")) codeType->SetItemIndex(s.CodeTypeIndex);
    }
    SetRFIDState(RFID1ST, s.Rfid1State);
    SetRFIDState(RFID2ST, s.Rfid2State);
    if (s.LNET) LNET->SetCaption(*s.LNET);
}

void TForm1::SetRFIDState(TLabel* label, int state) {
    if (const auto text = RfidStateText(state)) {
        label->SetCaption(text->Caption);
        label->SetHint(text->Hint);
    }
}

std::string TForm1::BERToPercentString(std::uint8_t berClass) { return ::BERToPercentString(berClass); }
