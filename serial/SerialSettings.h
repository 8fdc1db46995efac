#pragma once
// The four groups of port settings. Each knows its owner port and re-applies its group to
// the open port when a value changes; a free-standing copy has no owner.
#include <cstdint>

#include "serial/SerialTypes.h"

class TCustomSerialPort;

class TSerialSettingsGroup : public TObject {
public:
    TCustomSerialPort* GetComPort() const { return FComPort; }
    void SetComPort(TCustomSerialPort* port) { FComPort = port; }

protected:
    TCustomSerialPort* FComPort = nullptr;
};

class TSerialTimeouts : public TSerialSettingsGroup {
public:
    int GetReadInterval() const { return FReadInterval; }
    int GetReadTotalMultiplier() const { return FReadTotalM; }
    int GetReadTotalConstant() const { return FReadTotalC; }
    int GetWriteTotalMultiplier() const { return FWriteTotalM; }
    int GetWriteTotalConstant() const { return FWriteTotalC; }
    void SetReadInterval(int value);
    void SetReadTotalM(int value);
    void SetReadTotalC(int value);
    void SetWriteTotalM(int value);
    void SetWriteTotalC(int value);
    // Copies every stored field, without re-applying on Dest's port.
    void AssignTo(TSerialTimeouts& Dest) const;

private:
    void Changed();
    int FReadInterval = -1;
    int FReadTotalM = 0;
    int FReadTotalC = 0;
    int FWriteTotalM = 100;
    int FWriteTotalC = 1000;
};

class TSerialFlowControl : public TSerialSettingsGroup {
public:
    bool GetOutCTSFlow() const { return FOutCTSFlow; }
    bool GetOutDSRFlow() const { return FOutDSRFlow; }
    TDTRFlowControl GetControlDTR() const { return FControlDTR; }
    TRTSFlowControl GetControlRTS() const { return FControlRTS; }
    bool GetXonXoffOut() const { return FXonXoffOut; }
    bool GetXonXoffIn() const { return FXonXoffIn; }
    bool GetDSRSensitivity() const { return FDSRSensitivity; }
    bool GetTxContinueOnXoff() const { return FTxContinueOnXoff; }
    char16_t GetXonChar() const { return FXonChar; }
    char16_t GetXoffChar() const { return FXoffChar; }
    void SetOutCTSFlow(bool value);
    void SetOutDSRFlow(bool value);
    void SetControlDTR(TDTRFlowControl value);
    void SetControlRTS(TRTSFlowControl value);
    void SetXonXoffOut(bool value);
    void SetXonXoffIn(bool value);
    void SetDSRSensitivity(bool value);
    void SetTxContinueOnXoff(bool value);
    void SetXonChar(char16_t value);
    void SetXoffChar(char16_t value);
    // Derived from the stored settings; never stored itself.
    TFlowControl GetFlowControl() const;
    void SetFlowControl(TFlowControl value);
    void AssignTo(TSerialFlowControl& Dest) const;

private:
    void Changed();
    bool FOutCTSFlow = false;
    bool FOutDSRFlow = false;
    TDTRFlowControl FControlDTR = dtrDisable;
    TRTSFlowControl FControlRTS = rtsDisable;
    bool FXonXoffOut = false;
    bool FXonXoffIn = false;
    bool FDSRSensitivity = false;
    bool FTxContinueOnXoff = false;
    char16_t FXonChar = 17;
    char16_t FXoffChar = 19;
};

class TSerialParity : public TSerialSettingsGroup {
public:
    TParityBits GetBits() const { return FBits; }
    bool GetCheck() const { return FCheck; }
    bool GetReplace() const { return FReplace; }
    char16_t GetReplaceChar() const { return FReplaceChar; }
    void SetBits(TParityBits value);
    void SetCheck(bool value);
    void SetReplace(bool value);
    void SetReplaceChar(char16_t value);
    void AssignTo(TSerialParity& Dest) const;

private:
    void Changed();
    TParityBits FBits = prNone;
    bool FCheck = false;
    bool FReplace = false;
    char16_t FReplaceChar = 0;
};

class TSerialBuffer : public TSerialSettingsGroup {
public:
    int GetInputSize() const { return FInputSize; }
    int GetOutputSize() const { return FOutputSize; }
    // An odd size is lowered by one (a negative odd value stays).
    void SetInputSize(int value);
    void SetOutputSize(int value);
    void AssignTo(TSerialBuffer& Dest) const;

private:
    void Changed();
    int FInputSize = 1024;
    int FOutputSize = 1024;
};
