// The select object behind the port-setting controls.
#include "serial/ctl/SerialSelect.h"

void TSerialSelect::SetComProperty(TSerialProperty value) {
    FComProperty = value;
    if (!FItems) return;
    FItems->BeginUpdate();
    FItems->Clear();
    switch (value) {
        case cpNone: break;
        case cpPort: EnumSerialPorts(*FItems); break;
        case cpBaudRate:
            for (int v = brCustom; v <= br256000; ++v) FItems->Add(BaudRateToStr(TBaudRate(v)));
            break;
        case cpDataBits:
            for (int v = dbFive; v <= dbEight; ++v) FItems->Add(DataBitsToStr(TDataBits(v)));
            break;
        case cpStopBits:
            for (int v = sbOneStopBit; v <= sbTwoStopBits; ++v) FItems->Add(StopBitsToStr(TStopBits(v)));
            break;
        case cpParity:
            for (int v = prNone; v <= prSpace; ++v) FItems->Add(ParityToStr(TParityBits(v)));
            break;
        case cpFlowControl:
            for (int v = fcHardware; v <= fcCustom; ++v) FItems->Add(FlowControlToStr(TFlowControl(v)));
            break;
    }
    FItems->EndUpdate();
}

void TSerialSelect::Choose(const std::string& Text) {
    switch (FComProperty) {
        case cpNone: break;
        case cpPort: FPort = Text; break;
        case cpBaudRate: FBaudRate = StrToBaudRate(Text); break;
        case cpDataBits: FDataBits = StrToDataBits(Text); break;
        case cpStopBits: FStopBits = StrToStopBits(Text); break;
        case cpParity: FParity = StrToParity(Text); break;
        case cpFlowControl: FFlowControl = StrToFlowControl(Text); break;
    }
}

void TSerialSelect::Change(const std::string& Text) {
    Choose(Text);
    if (FAutoApply) ApplySettings();
}

void TSerialSelect::ApplySettings() {
    if (!FComPort) return;
    switch (FComProperty) {
        case cpNone: break;
        case cpPort:
            // Nothing chosen (the port's name is not in the list): the name stays as it is
            // rather than becoming empty.
            if (!FPort.empty()) FComPort->SetPort(FPort);
            break;
        case cpBaudRate: FComPort->SetBaudRate(FBaudRate); break;
        case cpDataBits: FComPort->SetDataBits(FDataBits); break;
        case cpStopBits: FComPort->SetStopBits(FStopBits); break;
        case cpParity: FComPort->GetParity()->SetBits(FParity); break;
        case cpFlowControl: FComPort->GetFlowControl()->SetFlowControl(FFlowControl); break;
    }
}

std::string TSerialSelect::CurrentText() const {
    switch (FComProperty) {
        case cpPort: return FComPort->GetPort();
        case cpBaudRate: return BaudRateToStr(FComPort->GetBaudRate());
        case cpDataBits: return DataBitsToStr(FComPort->GetDataBits());
        case cpStopBits: return StopBitsToStr(FComPort->GetStopBits());
        case cpParity: return ParityToStr(FComPort->GetParity()->GetBits());
        case cpFlowControl: return FlowControlToStr(FComPort->GetFlowControl()->GetFlowControl());
        case cpNone: break;
    }
    return "";
}

void TSerialSelect::UpdateSettings(int& ItemIndex) {
    if (!FComPort || !FItems) return;
    const std::string text = CurrentText();
    ItemIndex = FComProperty == cpNone ? -1 : FItems->IndexOf(text);
    if (ItemIndex >= 0) Choose(text);
}
