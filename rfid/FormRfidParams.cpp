// Single parameters of the readers wired to the device: read with 0x50, written with 0x51.
#include "app/ShellApi.h"
#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "rfid/ReaderParams.h"
#include "widgets/UiPanel.h"

void TForm1::RFIDGetClick(TObject* /*Sender*/) {
    const auto address = ReaderParamByte(RFIDAdr->GetText());
    if (!address) {
        MessageShow(GetMessageA(kMsgReaderParamRange));
        return;
    }
    const auto data = ReaderParamGetData(*address, RFIDParam->GetItemIndex());
    if (data) SendCommand(CmdReaderParamGet, *data);
}

void TForm1::RFIDSetClick(TObject* /*Sender*/) {
    const auto address = ReaderParamByte(RFIDAdr->GetText());
    const auto value = ReaderParamByte(RFIDValue->GetText());
    if (!address || !value) {
        MessageShow(GetMessageA(kMsgReaderParamRange));
        return;
    }
    const auto data = ReaderParamSetData(*address, RFIDParam->GetItemIndex(), *value);
    if (data) SendCommand(CmdReaderParamSet, *data);
}

void TForm1::Reply_ReaderParams(const TDeviceReply& reply) {
    if (reply.Command == CmdReaderParamGet) {
        if (const auto value = DecodeReaderParamGetReply(reply)) {
            RFIDValue->SetText(std::to_string(*value));
            MessageShow(kReaderParamRead);
        }
    } else if (reply.Command == CmdReaderParamSet) {
        if (const auto set = DecodeReaderParamSetReply(reply)) MessageShow(*set ? kReaderParamSet : kReaderParamNotSet);
    }
}

void TForm1::TabSheet1Show(TObject* /*Sender*/) {
    if (GETSETRFID && LABOX) GETSETRFID->SetEnabled(LABOX->GetEnabled());
}
