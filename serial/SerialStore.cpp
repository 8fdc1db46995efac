// Saving a port's settings to an INI file or a registry key, and reading them back.
#include "serial/SerialStore.h"

#include <memory>

#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Utf8.h"
#include "serial/SerialPort.h"
#include "serial/SerialRegistry.h"

namespace {
TSerialSetupDialogProc& SetupDialogProc() {
    static TSerialSetupDialogProc proc;
    return proc;
}

// One writer and one reader over either store, so the two keep the same keys and order.
struct TValueWriter {
    std::function<void(std::string_view, std::string_view)> Str;
    std::function<void(std::string_view, int)> Int;
};
struct TValueReader {
    // Each takes the key and the value in force (the INI default).
    std::function<std::string(std::string_view, const std::string&)> Str;
    std::function<int(std::string_view, int)> Int;
};

void WriteGroups(const TCustomSerialPort& port, const TValueWriter& w) {
    const TStoredProps props = port.GetStoredProps();
    if (props.Contains(spBasic)) {
        w.Str("Port", port.GetPort());
        w.Str("BaudRate", BaudRateToStr(port.GetBaudRate()));
        if (port.GetBaudRate() == brCustom) w.Int("CustomBaudRate", port.GetCustomBaudRate());
        w.Str("StopBits", StopBitsToStr(port.GetStopBits()));
        w.Str("DataBits", DataBitsToStr(port.GetDataBits()));
        w.Str("Parity", ParityToStr(port.GetParity()->GetBits()));
        w.Str("FlowControl", FlowControlToStr(port.GetFlowControl()->GetFlowControl()));
    }
    if (props.Contains(spOthers)) {
        w.Str("EventChar", StoreCharToStr(port.GetEventChar()));
        w.Str("DiscardNull", StoreBoolToStr(port.GetDiscardNull()));
    }
    if (props.Contains(spParity)) {
        const TSerialParity& p = *port.GetParity();
        w.Str("Parity.Check", StoreBoolToStr(p.GetCheck()));
        w.Str("Parity.Replace", StoreBoolToStr(p.GetReplace()));
        w.Str("Parity.ReplaceChar", StoreCharToStr(p.GetReplaceChar()));
    }
    if (props.Contains(spBuffer)) {
        w.Int("Buffer.OutputSize", port.GetBuffer()->GetOutputSize());
        w.Int("Buffer.InputSize", port.GetBuffer()->GetInputSize());
    }
    if (props.Contains(spTimeouts)) {
        const TSerialTimeouts& t = *port.GetTimeouts();
        w.Int("Timeouts.ReadInterval", t.GetReadInterval());
        w.Int("Timeouts.ReadTotalConstant", t.GetReadTotalConstant());
        w.Int("Timeouts.ReadTotalMultiplier", t.GetReadTotalMultiplier());
        w.Int("Timeouts.WriteTotalConstant", t.GetWriteTotalConstant());
        w.Int("Timeouts.WriteTotalMultiplier", t.GetWriteTotalMultiplier());
    }
    if (props.Contains(spFlowControl)) {
        const TSerialFlowControl& f = *port.GetFlowControl();
        w.Str("FlowControl.ControlRTS", RTSFlowControlToStr(f.GetControlRTS()));
        w.Str("FlowControl.ControlDTR", DTRFlowControlToStr(f.GetControlDTR()));
        w.Str("FlowControl.DSRSensitivity", StoreBoolToStr(f.GetDSRSensitivity()));
        w.Str("FlowControl.OutCTSFlow", StoreBoolToStr(f.GetOutCTSFlow()));
        w.Str("FlowControl.OutDSRFlow", StoreBoolToStr(f.GetOutDSRFlow()));
        w.Str("FlowControl.TxContinueOnXoff", StoreBoolToStr(f.GetTxContinueOnXoff()));
        w.Str("FlowControl.XonXoffIn", StoreBoolToStr(f.GetXonXoffIn()));
        w.Str("FlowControl.XonXoffOut", StoreBoolToStr(f.GetXonXoffOut()));
        w.Str("FlowControl.XoffChar", StoreCharToStr(f.GetXoffChar()));
        w.Str("FlowControl.XonChar", StoreCharToStr(f.GetXonChar()));
    }
}

void ReadGroups(TCustomSerialPort& port, const TValueReader& r) {
    const TStoredProps props = port.GetStoredProps();
    auto boolOf = [&](std::string_view key, bool now) { return StoreStrToBool(r.Str(key, StoreBoolToStr(now))); };
    auto charOf = [&](std::string_view key, char16_t now) { return StoreStrToChar(r.Str(key, StoreCharToStr(now))); };
    if (props.Contains(spBasic)) {
        port.SetPort(r.Str("Port", port.GetPort()));
        port.SetBaudRate(StrToBaudRate(r.Str("BaudRate", BaudRateToStr(port.GetBaudRate()))));
        if (port.GetBaudRate() == brCustom) port.SetCustomBaudRate(r.Int("CustomBaudRate", 9600));
        port.SetStopBits(StrToStopBits(r.Str("StopBits", StopBitsToStr(port.GetStopBits()))));
        port.SetDataBits(StrToDataBits(r.Str("DataBits", DataBitsToStr(port.GetDataBits()))));
        port.GetParity()->SetBits(StrToParity(r.Str("Parity", ParityToStr(port.GetParity()->GetBits()))));
        TSerialFlowControl& f = *port.GetFlowControl();
        f.SetFlowControl(StrToFlowControl(r.Str("FlowControl", FlowControlToStr(f.GetFlowControl()))));
    }
    if (props.Contains(spOthers)) {
        port.SetEventChar(charOf("EventChar", port.GetEventChar()));
        port.SetDiscardNull(boolOf("DiscardNull", port.GetDiscardNull()));
    }
    if (props.Contains(spParity)) {
        TSerialParity& p = *port.GetParity();
        p.SetCheck(boolOf("Parity.Check", p.GetCheck()));
        p.SetReplace(boolOf("Parity.Replace", p.GetReplace()));
        p.SetReplaceChar(charOf("Parity.ReplaceChar", p.GetReplaceChar()));
    }
    if (props.Contains(spBuffer)) {
        TSerialBuffer& b = *port.GetBuffer();
        b.SetOutputSize(r.Int("Buffer.OutputSize", b.GetOutputSize()));
        b.SetInputSize(r.Int("Buffer.InputSize", b.GetInputSize()));
    }
    if (props.Contains(spTimeouts)) {
        TSerialTimeouts& t = *port.GetTimeouts();
        t.SetReadInterval(r.Int("Timeouts.ReadInterval", t.GetReadInterval()));
        t.SetReadTotalC(r.Int("Timeouts.ReadTotalConstant", t.GetReadTotalConstant()));
        t.SetReadTotalM(r.Int("Timeouts.ReadTotalMultiplier", t.GetReadTotalMultiplier()));
        t.SetWriteTotalC(r.Int("Timeouts.WriteTotalConstant", t.GetWriteTotalConstant()));
        t.SetWriteTotalM(r.Int("Timeouts.WriteTotalMultiplier", t.GetWriteTotalMultiplier()));
    }
    if (props.Contains(spFlowControl)) {
        TSerialFlowControl& f = *port.GetFlowControl();
        f.SetControlRTS(StrToRTSFlowControl(r.Str("FlowControl.ControlRTS", RTSFlowControlToStr(f.GetControlRTS()))));
        f.SetControlDTR(StrToDTRFlowControl(r.Str("FlowControl.ControlDTR", DTRFlowControlToStr(f.GetControlDTR()))));
        f.SetDSRSensitivity(boolOf("FlowControl.DSRSensitivity", f.GetDSRSensitivity()));
        f.SetOutCTSFlow(boolOf("FlowControl.OutCTSFlow", f.GetOutCTSFlow()));
        f.SetOutDSRFlow(boolOf("FlowControl.OutDSRFlow", f.GetOutDSRFlow()));
        f.SetTxContinueOnXoff(boolOf("FlowControl.TxContinueOnXoff", f.GetTxContinueOnXoff()));
        f.SetXonXoffIn(boolOf("FlowControl.XonXoffIn", f.GetXonXoffIn()));
        f.SetXonXoffOut(boolOf("FlowControl.XonXoffOut", f.GetXonXoffOut()));
        f.SetXoffChar(charOf("FlowControl.XoffChar", f.GetXoffChar()));
        f.SetXonChar(charOf("FlowControl.XonChar", f.GetXonChar()));
    }
}

std::unique_ptr<TRegistry> OpenStoreKey(const std::string& keyText, const std::string& name) {
    auto reg = std::make_unique<TRegistry>();
    std::string root, subKey;
    if (!SplitStoreKey(keyText, name, root, subKey)) return reg;
    if (root == "HKEY_LOCAL_MACHINE")
        reg->SetRootKey(HKEY_LOCAL_MACHINE);
    else if (root == "HKEY_CURRENT_USER")
        reg->SetRootKey(HKEY_CURRENT_USER);
    reg->OpenKey(subKey, true);
    return reg;
}
}  // namespace

std::string StoreBoolToStr(bool value) { return value ? "Yes" : "No"; }
bool StoreStrToBool(std::string_view text) { return UpperCase(text) == "YES"; }

std::string StoreCharToStr(char16_t value) {
    if (value >= 0x21 && value <= 0x7F) return std::string(1, static_cast<char>(value));
    return "#" + IntToStr(value);
}

char16_t StoreStrToChar(std::string_view text) {
    if (text.empty()) return 0;
    if (text[0] == '#' && text.size() > 1) {
        std::int64_t n = 0;
        if (!TryStrToInt64(text.substr(1), n)) return 0;
        return static_cast<char16_t>(((n % 256) + 256) % 256);
    }
    size_t i = 0;
    char32_t c = utf8::Next(text, i);
    return c > 0xFFFF ? u'?' : static_cast<char16_t>(c);
}

bool SplitStoreKey(std::string_view keyText, const std::string& componentName, std::string& root,
                   std::string& subKey) {
    const size_t slash = keyText.find('\\');
    if (slash == std::string_view::npos) return false;
    root = UpperCase(keyText.substr(0, slash));
    subKey = std::string(keyText.substr(slash + 1));
    if (subKey.empty() || subKey.back() != '\\') subKey += '\\';
    subKey += componentName;
    return true;
}

void SetSerialSetupDialogProc(TSerialSetupDialogProc proc) { SetupDialogProc() = std::move(proc); }

void TCustomSerialPort::ShowSetupDialog() {
    TSerialSetupDialogProc proc = SetupDialogProc();
    if (proc) proc(this);
}

void TCustomSerialPort::StoreIniFile(TIniFile& IniFile) {
    const std::string section = GetName();
    WriteGroups(*this, {[&](std::string_view k, std::string_view v) { IniFile.WriteString(section, k, v); },
                        [&](std::string_view k, int v) { IniFile.WriteInteger(section, k, v); }});
}

void TCustomSerialPort::StoreRegistry(TRegistry& Registry) {
    WriteGroups(*this, {[&](std::string_view k, std::string_view v) { Registry.WriteString(k, v); },
                        [&](std::string_view k, int v) { Registry.WriteInteger(k, v); }});
}

void TCustomSerialPort::LoadIniFile(TIniFile& IniFile) {
    const std::string section = GetName();
    ReadGroups(*this, {[&](std::string_view k, const std::string& now) { return IniFile.ReadString(section, k, now); },
                       [&](std::string_view k, int now) { return IniFile.ReadInteger(section, k, now); }});
}

void TCustomSerialPort::LoadRegistry(TRegistry& Registry) {
    // The registry has no defaults: a missing text reads as "", a missing integer raises.
    ReadGroups(*this, {[&](std::string_view k, const std::string&) { return Registry.ReadString(k); },
                       [&](std::string_view k, int) { return Registry.ReadInteger(k); }});
}

void TCustomSerialPort::StoreSettings(TStoreType StoreType, const std::string& StoreTo) {
    if (StoreType == stIniFile) {
        TIniFile ini(StoreTo);
        StoreIniFile(ini);
    } else {
        std::unique_ptr<TRegistry> reg = OpenStoreKey(StoreTo, GetName());
        StoreRegistry(*reg);
    }
}

void TCustomSerialPort::LoadSettings(TStoreType StoreType, const std::string& LoadFrom) {
    // One SetupComPort at the end gives an open port every loaded value at once.
    BeginUpdate();
    try {
        if (StoreType == stIniFile) {
            TIniFile ini(LoadFrom);
            LoadIniFile(ini);
        } else {
            std::unique_ptr<TRegistry> reg = OpenStoreKey(LoadFrom, GetName());
            LoadRegistry(*reg);
        }
    } catch (...) {
        // The store's failure is the one the caller hears of.
        try {
            EndUpdate();
        } catch (...) {
        }
        throw;
    }
    EndUpdate();
}
