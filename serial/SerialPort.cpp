// The component's data, opening and closing, settings and its one reporting step.
#include "serial/SerialPort.h"

#include <cerrno>

#include "platform/comm/PortList.h"
#include "platform/rtl/SystemErrors.h"
#include "platform/sys/GuiThread.h"

namespace {
template <class T>
bool Store(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}
}  // namespace

TCustomSerialPort::TCustomSerialPort(TComponent* AOwner)
    : TComponent(AOwner),
      FParity(std::make_unique<TSerialParity>()),
      FFlowControl(std::make_unique<TSerialFlowControl>()),
      FTimeouts(std::make_unique<TSerialTimeouts>()),
      FBuffer(std::make_unique<TSerialBuffer>()) {
    FParity->SetComPort(this);
    FFlowControl->SetComPort(this);
    FTimeouts->SetComPort(this);
    FBuffer->SetComPort(this);
}

TCustomSerialPort::~TCustomSerialPort() {
    // A close that fails must not escape a destructor; the port is released either way.
    try {
        Close();
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
    if (FEventThread) StopEventThread();
    if (FHandle != comm::InvalidHandle) comm::ClosePort(FHandle);
}

// ---- opening and closing -------------------------------------------------------------------

void TCustomSerialPort::Open() {
    if (FConnected) return;
    DoBeforeOpen();
    CreateHandle();
    // The exception handler took the failed open: there is nothing to run a thread on.
    if (FHandle == comm::InvalidHandle) return;
    FConnected = true;
    try {
        SetupComPort();
    } catch (...) {
        DestroyHandle();
        FConnected = false;
        throw;
    }
    if (FEvents.Empty()) {
        FThreadCreated = false;
    } else {
        if (FSyncMethod == smWindowSync) FWindow = std::make_shared<TSerialWindow>(TSerialWindow{this});
        FEventThread = std::make_unique<TSerialThread>(this);
        FThreadCreated = true;
    }
    for (TSerialLink* l : LinksNow())
        if (l->OnConn) l->OnConn(this, true);
    DoAfterOpen();
    ReportLine(csCTS);
    ReportLine(csDSR);
    ReportLine(csRLSD);
}

void TCustomSerialPort::Close() {
    if (!FConnected || FClosing) return;
    FClosing = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FClosing};
    for (TSerialLink* l : LinksNow())
        if (l->OnCTSChange) l->OnCTSChange(this, false);
    for (TSerialLink* l : LinksNow())
        if (l->OnDSRChange) l->OnDSRChange(this, false);
    for (TSerialLink* l : LinksNow())
        if (l->OnRLSDChange) l->OnRLSDChange(this, false);
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
    AbortAllAsync();
    if (FThreadCreated) {
        FWindow.reset();  // late messages find no window and call nothing
        StopEventThread();
        FThreadCreated = false;
    }
    // Output the driver still holds is discarded: a line whose output is held (flow
    // control) would otherwise keep the close waiting for the driver's time.
    if (FHandle != comm::InvalidHandle) comm::Purge(FHandle, comm::PURGE_TXCLEAR | comm::PURGE_RXCLEAR);
    DestroyHandle();
    FConnected = false;
    for (TSerialLink* l : LinksNow())
        if (l->OnConn) l->OnConn(this, false);
    DoAfterClose();
}

void TCustomSerialPort::StopEventThread() {
    std::unique_ptr<TSerialThread> thread = std::move(FEventThread);
    if (!thread) return;
    if (thread->InsideHandlers()) {
        // Closed from one of our own handlers: the thread waits for this very call to
        // return, so it cannot be waited for here. It ends by itself once released, and is
        // freed from the GUI thread's queue.
        thread->Stop();
        TSerialThread* t = thread.release();
        sys::PostToGuiThread([t] { delete t; });
        return;
    }
    thread->Stop();
    thread.reset();  // waits for the end, serving the hand-overs it may be waiting in
}

void TCustomSerialPort::SetConnected(bool value) {
    if (IsLoading()) {
        FStreamedConnected = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TCustomSerialPort::Loaded() {
    TComponent::Loaded();
    if (!FStreamedConnected) return;
    FStreamedConnected = false;
    FConnected = false;
    try {
        Open();
    } catch (...) {
        sys::HandleException(std::current_exception());
    }
}

void TCustomSerialPort::BeginUpdate() { ++FUpdateCount; }

void TCustomSerialPort::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) SetupComPort();
}

void TCustomSerialPort::CreateHandle() {
    FHandle = comm::OpenPort(FPort);
    if (FHandle == comm::InvalidHandle) CallException(CE_OpenFailed, comm::LastError());
}

void TCustomSerialPort::DestroyHandle() {
    if (FHandle == comm::InvalidHandle) return;
    // The handle is given up even when its close fails: keeping it would leave a port that
    // looks open to the next Open and to every later call.
    comm::ClosePort(FHandle);
    FHandle = comm::InvalidHandle;
}

void TCustomSerialPort::SetupComPort() {
    ApplyBuffer();
    ApplyDCB();
    ApplyTimeouts();
}

// ---- settings ------------------------------------------------------------------------------

void TCustomSerialPort::SetBaudRate(TBaudRate v) {
    if (Store(FBaudRate, v)) ApplyDCB();
}
void TCustomSerialPort::SetCustomBaudRate(int v) {
    if (Store(FCustomBaudRate, v)) ApplyDCB();
}
void TCustomSerialPort::SetStopBits(TStopBits v) {
    if (Store(FStopBits, v)) ApplyDCB();
}
void TCustomSerialPort::SetDataBits(TDataBits v) {
    if (Store(FDataBits, v)) ApplyDCB();
}
void TCustomSerialPort::SetDiscardNull(bool v) {
    if (Store(FDiscardNull, v)) ApplyDCB();
}
void TCustomSerialPort::SetEventChar(char16_t v) {
    if (Store(FEventChar, v)) ApplyDCB();
}

void TCustomSerialPort::SetPort(const std::string& v) {
    if (!Store(FPort, v)) return;
    if (FConnected && !IsLoading()) {
        Close();
        Open();
    }
}

void TCustomSerialPort::SetParity(const TSerialParity& v) {
    v.AssignTo(*FParity);
    ApplyDCB();
}
void TCustomSerialPort::SetFlowControl(const TSerialFlowControl& v) {
    v.AssignTo(*FFlowControl);
    ApplyDCB();
}
void TCustomSerialPort::SetTimeouts(const TSerialTimeouts& v) {
    v.AssignTo(*FTimeouts);
    ApplyTimeouts();
}
void TCustomSerialPort::SetBuffer(const TSerialBuffer& v) {
    v.AssignTo(*FBuffer);
    ApplyBuffer();
}

void TCustomSerialPort::SetSyncMethod(TSyncMethod v) {
    if (v == FSyncMethod) return;
    if (FConnected && !IsLoading()) {
        CallException(CE_ConnChangeProp, -1);
        return;
    }
    FSyncMethod = v;
}

void TCustomSerialPort::SetEventThreadPriority(sys::TThreadPriority v) {
    if (v == FEventThreadPriority) return;
    if (FConnected && !IsLoading()) {
        CallException(CE_ConnChangeProp, -1);
        return;
    }
    FEventThreadPriority = v;
}

void TCustomSerialPort::SetTriggersOnRxChar(bool v) {
    if (FHasLink) CallException(CE_HasLink, -1);
    FTriggersOnRxChar = v;
}

bool TCustomSerialPort::CanApply() const { return FConnected && FUpdateCount == 0 && !IsLoading(); }

comm::TPortState TCustomSerialPort::BuildPortState() const {
    comm::TPortState s;
    s.BaudRate = FBaudRate == brCustom ? static_cast<std::uint32_t>(FCustomBaudRate)
                                       : static_cast<std::uint32_t>(BaudRateValue(FBaudRate));
    s.fBinary = true;
    s.fParity = FParity->GetCheck();
    s.fOutxCtsFlow = FFlowControl->GetOutCTSFlow();
    s.fOutxDsrFlow = FFlowControl->GetOutDSRFlow();
    s.fDtrControl = static_cast<std::uint8_t>(FFlowControl->GetControlDTR());
    s.fDsrSensitivity = FFlowControl->GetDSRSensitivity();
    s.fTXContinueOnXoff = FFlowControl->GetTxContinueOnXoff();
    s.fOutX = FFlowControl->GetXonXoffOut();
    s.fInX = FFlowControl->GetXonXoffIn();
    s.fErrorChar = FParity->GetReplace() && FParity->GetCheck();
    s.fNull = FDiscardNull;
    s.fRtsControl = static_cast<std::uint8_t>(FFlowControl->GetControlRTS());
    s.fAbortOnError = false;
    s.XonLim = static_cast<std::uint16_t>(FBuffer->GetInputSize() / 4);
    s.XoffLim = s.XonLim;
    s.ByteSize = static_cast<std::uint8_t>(5 + FDataBits);
    s.Parity = static_cast<std::uint8_t>(FParity->GetBits());
    s.StopBits = static_cast<std::uint8_t>(FStopBits);
    s.XonChar = static_cast<char>(FFlowControl->GetXonChar() & 0xFF);
    s.XoffChar = static_cast<char>(FFlowControl->GetXoffChar() & 0xFF);
    s.ErrorChar = s.fErrorChar ? static_cast<char>(FParity->GetReplaceChar() & 0xFF) : 0;
    s.EvtChar = static_cast<char>(FEventChar & 0xFF);
    s.EofChar = 0;
    return s;
}

void TCustomSerialPort::ApplyDCB() {
    if (!CanApply()) return;
    if (!comm::SetPortState(FHandle, BuildPortState())) CallException(CE_SetStateFailed, comm::LastError());
}

void TCustomSerialPort::ApplyTimeouts() {
    if (!CanApply()) return;
    comm::TTimeouts t;
    t.ReadIntervalTimeout = static_cast<std::uint32_t>(FTimeouts->GetReadInterval());
    t.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(FTimeouts->GetReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(FTimeouts->GetReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(FTimeouts->GetWriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(FTimeouts->GetWriteTotalConstant());
    if (!comm::SetTimeouts(FHandle, t)) CallException(CE_TimeoutsFailed, comm::LastError());
}

void TCustomSerialPort::ApplyBuffer() {
    if (!CanApply()) return;
    int in = FBuffer->GetInputSize(), out = FBuffer->GetOutputSize();
    if (in < 0 || out < 0) {
        CallException(CE_SetupComFailed, EINVAL);
        return;
    }
    if (!comm::SetQueueSizes(FHandle, static_cast<std::uint32_t>(in), static_cast<std::uint32_t>(out)))
        CallException(CE_SetupComFailed, comm::LastError());
}

// ---- reporting -----------------------------------------------------------------------------

void TCustomSerialPort::CallException(TSerialExceptions Kind, int WinCode) {
    const int code = SerialErrorCode(Kind);
    if (OnException) {
        std::string winMessage = WinCode > 0 ? SystemErrorText(WinCode) : "";
        TSerialExceptionEvent handler = OnException;
        handler(this, Kind, ComErrorMessage(code), WinCode, winMessage);
        return;
    }
    if (WinCode > 0) throw ESerialPort(code, WinCode);
    throw ESerialPort(code);
}

// ---- the stream and the port list ----------------------------------------------------------

std::int64_t TSerialStream::Read(void* buffer, std::int64_t count) {
    return FComPort->Read(buffer, static_cast<int>(std::min<std::int64_t>(count, INT32_MAX)));
}

std::int64_t TSerialStream::Write(const void* buffer, std::int64_t count) {
    return FComPort->Write(buffer, static_cast<int>(std::min<std::int64_t>(count, INT32_MAX)));
}

void EnumSerialPorts(TStrings& Ports) {
    // No port found leaves the caller's list as it was, as does a system without a list.
    auto ports = comm::ListPorts();
    if (!ports || ports->empty()) return;
    TStringList list;
    for (const comm::TPortInfo& p : *ports) list.Add(p.Path);
    list.Sort();
    Ports.Assign(list);
}
