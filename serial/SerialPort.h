#pragma once
// The serial port component: one object per port. It keeps the settings while closed,
// opens the port and applies them, reads and writes, reports line signals and errors, and
// delivers port events through its event thread to the GUI thread. Every failure goes
// through one reporting step: OnException when set, else ESerialPort.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/comm/Comm.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/sys/Thread.h"
#include "serial/SerialErrors.h"
#include "serial/SerialLink.h"
#include "serial/SerialSettings.h"
#include "serial/SerialStrings.h"
#include "serial/SerialThread.h"
#include "serial/SerialTypes.h"

class TIniFile;
class TRegistry;

class TCustomSerialPort : public TComponent {
public:
    explicit TCustomSerialPort(TComponent* AOwner);
    ~TCustomSerialPort() override;

    // ---- opening and closing --------------------------------------------------------------
    void Open();
    void Close();
    bool GetConnected() const { return FConnected; }
    void SetConnected(bool value);
    void BeginUpdate();
    void EndUpdate();
    virtual void CreateHandle();
    virtual void DestroyHandle();
    virtual void SetupComPort();
    comm::THandle GetHandle() const { return FHandle; }
    bool GetThreadCreated() const { return FThreadCreated; }

    // ---- settings -------------------------------------------------------------------------
    TBaudRate GetBaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudRate value);
    int GetCustomBaudRate() const { return FCustomBaudRate; }
    void SetCustomBaudRate(int value);
    const std::string& GetPort() const { return FPort; }
    void SetPort(const std::string& value);
    TStopBits GetStopBits() const { return FStopBits; }
    void SetStopBits(TStopBits value);
    TDataBits GetDataBits() const { return FDataBits; }
    void SetDataBits(TDataBits value);
    bool GetDiscardNull() const { return FDiscardNull; }
    void SetDiscardNull(bool value);
    char16_t GetEventChar() const { return FEventChar; }
    void SetEventChar(char16_t value);
    TSerialEvents GetEvents() const { return FEvents; }
    void SetEvents(TSerialEvents value) { FEvents = value; }
    TSerialBuffer* GetBuffer() const { return FBuffer.get(); }
    void SetBuffer(const TSerialBuffer& value);
    TSerialParity* GetParity() const { return FParity.get(); }
    void SetParity(const TSerialParity& value);
    TSerialTimeouts* GetTimeouts() const { return FTimeouts.get(); }
    void SetTimeouts(const TSerialTimeouts& value);
    TSerialFlowControl* GetFlowControl() const { return FFlowControl.get(); }
    void SetFlowControl(const TSerialFlowControl& value);
    TSyncMethod GetSyncMethod() const { return FSyncMethod; }
    void SetSyncMethod(TSyncMethod value);
    sys::TThreadPriority GetEventThreadPriority() const { return FEventThreadPriority; }
    void SetEventThreadPriority(sys::TThreadPriority value);
    TStoredProps GetStoredProps() const { return FStoredProps; }
    void SetStoredProps(TStoredProps value) { FStoredProps = value; }
    // True only while TriggersOnRxChar is on and no link takes the received bytes.
    bool GetTriggersOnRxChar() const { return FTriggersOnRxChar && !FHasLink; }
    void SetTriggersOnRxChar(bool value);
    // 0 is the system's ANSI code page, which here is Windows-1251; 65001 is UTF-8.
    unsigned GetCodePage() const { return FCodePage; }
    void SetCodePage(unsigned value) { FCodePage = value; }

    // The port-state record that ApplyDCB gives the port.
    comm::TPortState BuildPortState() const;

    // ---- input and output -----------------------------------------------------------------
    int Write(const void* Buffer, int Count);
    int Read(void* Buffer, int Count);
    int WriteAsync(const void* Buffer, int Count, TAsync* AsyncPtr);
    int ReadAsync(void* Buffer, int Count, TAsync* AsyncPtr);
    int WaitForAsync(TAsync* AsyncPtr);
    bool IsAsyncCompleted(TAsync* AsyncPtr);
    void AbortAllAsync();
    int WriteStr(const std::string& Str);
    int WriteStrAsync(const std::string& Str, TAsync* AsyncPtr);
    int ReadStr(std::string& Str, int Count);
    int ReadStrAsync(std::string& Str, int Count, TAsync* AsyncPtr);
    int WriteUnicodeString(const std::string& Str);
    int ReadUnicodeString(std::string& Str, int Count);
    void TransmitChar(char Ch);

    // ---- queues, signals and errors -------------------------------------------------------
    void ClearBuffer(bool Input, bool Output);
    // The bytes a reader knows are coming: the character event waits for them (or a pause of
    // the line) instead of coming for every piece of a slow line. 1, any, is the default,
    // and what a closed port does nothing with.
    void SetReceiveThreshold(int Bytes);
    int InputCount();
    int OutputCount();
    std::uint32_t StateFlags();
    TSerialErrors LastErrors();
    TSerialSignals Signals();
    void SetDTR(bool OnOff);
    void SetRTS(bool OnOff);
    void SetBreak(bool OnOff);
    void SetXonXoff(bool OnOff);
    // Waits in the caller's thread; only while no event thread exists.
    void WaitForEvent(TSerialEvents& Events, const comm::TStopSignal* StopEvent, int Timeout);

    // ---- settings store (SerialStore.cpp) ------------------------------------------------
    // StoreTo is an INI file name (stIniFile) or a registry key text (stRegistry); the
    // section or sub-key is the component's Name.
    void StoreSettings(TStoreType StoreType, const std::string& StoreTo);
    void LoadSettings(TStoreType StoreType, const std::string& LoadFrom);
    virtual void StoreIniFile(TIniFile& IniFile);
    virtual void StoreRegistry(TRegistry& Registry);
    virtual void LoadIniFile(TIniFile& IniFile);
    virtual void LoadRegistry(TRegistry& Registry);
    // The setup dialog of the control library, when that library has registered it.
    void ShowSetupDialog();

    // ---- links ----------------------------------------------------------------------------
    void RegisterLink(TSerialLink* Link);
    void UnRegisterLink(TSerialLink* Link);

    // ---- events ---------------------------------------------------------------------------
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TSerialSignalEvent OnCTSChange;
    TSerialSignalEvent OnDSRChange;
    TSerialSignalEvent OnRLSDChange;
    TSerialErrorEvent OnError;
    TNotifyEvent OnRxFlag;
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TNotifyEvent OnRx80Full;
    TSerialExceptionEvent OnException;

    // ---- the event steps, run where the event thread delivers events ----------------------
    void CallRxChar();
    void CallTxEmpty();
    void CallRxFlag();
    void CallRing();
    void CallBreak();
    void CallRx80Full();
    void CallError();
    void CallCTSChange();
    void CallDSRChange();
    void CallRLSDChange();
    // The stand-in window's procedure (GUI thread).
    void WindowMethod(unsigned Msg, std::uint32_t WParam);
    std::weak_ptr<TSerialWindow> GetWindow() const { return FWindow; }

    // The one reporting step: OnException when set (and the operation goes on), else raises.
    void CallException(TSerialExceptions Kind, int WinCode);

    virtual void ApplyDCB();
    virtual void ApplyTimeouts();
    virtual void ApplyBuffer();

protected:
    void Loaded() override;

    virtual void DoAfterClose();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoBeforeOpen();
    virtual void DoRxChar(int Count);
    virtual void DoRxBuf(const void* Buffer, int Count);
    virtual void DoTxEmpty();
    virtual void DoBreak();
    virtual void DoRing();
    virtual void DoRxFlag();
    virtual void DoCTSChange(bool OnOff);
    virtual void DoDSRChange(bool OnOff);
    virtual void DoError(TSerialErrors Errors);
    virtual void DoRLSDChange(bool OnOff);
    virtual void DoRx80Full();

private:
    bool CanApply() const;
    void StopEventThread();
    void ReportLine(TSerialSignal Line);
    std::vector<TSerialLink*> LinksNow() const { return FLinks; }

    std::unique_ptr<TSerialThread> FEventThread;
    bool FThreadCreated = false;
    comm::THandle FHandle = comm::InvalidHandle;
    std::shared_ptr<TSerialWindow> FWindow;
    int FUpdateCount = 0;
    std::vector<TSerialLink*> FLinks;
    bool FTriggersOnRxChar = true;
    sys::TThreadPriority FEventThreadPriority = sys::TThreadPriority::tpNormal;
    bool FHasLink = false;
    bool FConnected = false;
    bool FStreamedConnected = false;
    bool FClosing = false;
    TBaudRate FBaudRate = br9600;
    int FCustomBaudRate = 9600;
    std::string FPort = "COM1";
    TStopBits FStopBits = sbOneStopBit;
    TDataBits FDataBits = dbEight;
    bool FDiscardNull = false;
    char16_t FEventChar = 0;
    TSerialEvents FEvents = AllSerialEvents;
    std::unique_ptr<TSerialParity> FParity;
    std::unique_ptr<TSerialFlowControl> FFlowControl;
    std::unique_ptr<TSerialTimeouts> FTimeouts;
    std::unique_ptr<TSerialBuffer> FBuffer;
    TSyncMethod FSyncMethod = smThreadSync;
    TStoredProps FStoredProps{spBasic};
    unsigned FCodePage = 0;
};

// The same component as it sits on a form.
class TSerialPort : public TCustomSerialPort {
public:
    using TCustomSerialPort::TCustomSerialPort;
};

// A stream over a port: reads and writes go to the port, Seek always gives 0.
class TSerialStream : public TStream {
public:
    explicit TSerialStream(TCustomSerialPort* ComPort) : FComPort(ComPort) {}
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }
    void SetSize(std::int64_t) override {}

private:
    TCustomSerialPort* FComPort;
};

// The machine's serial ports by path, sorted; an unchanged list when none can be listed.
void EnumSerialPorts(TStrings& Ports);

// Moves a component that follows a port (a packet cutter, a lamp, a terminal) to another
// port: its link leaves the old port and joins the new one, and it is told when the port is
// freed. False when the port is the same.
template <class TPort>
bool RelinkSerialPort(TComponent& Follower, TPort*& Current, TPort* Value, TSerialLink* Link) {
    if (Value == Current) return false;
    if (Current) {
        Current->UnRegisterLink(Link);
        Follower.RemoveFreeNotification(Current);
    }
    Current = Value;
    if (Current) {
        Current->RegisterLink(Link);
        Follower.FreeNotification(Current);
    }
    return true;
}
