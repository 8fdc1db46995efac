// Reads and writes, the queues, line signals and errors, and the wait in the caller's thread.
#include <algorithm>
#include <cerrno>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Utf8.h"
#include "serial/SerialPort.h"

namespace {
constexpr int kNoHandle = -24;  // the system-error argument of "Port Not Open"
constexpr unsigned kUtf8CodePage = 65001;
}  // namespace

void InitAsync(std::unique_ptr<TAsync>& AsyncPtr) { AsyncPtr = std::make_unique<TAsync>(); }
void DoneAsync(std::unique_ptr<TAsync>& AsyncPtr) { AsyncPtr.reset(); }

// ---- transfers -----------------------------------------------------------------------------

int TCustomSerialPort::Write(const void* Buffer, int Count) {
    if (Count < 0) {  // refused: a negative count would be read as a huge one
        CallException(CE_WriteFailed, EINVAL);
        return 0;
    }
    std::unique_ptr<TAsync> a;
    InitAsync(a);
    WriteAsync(Buffer, Count, a.get());
    int n = WaitForAsync(a.get());
    DoneAsync(a);
    return n;
}

int TCustomSerialPort::Read(void* Buffer, int Count) {
    if (Count < 0) {
        CallException(CE_ReadFailed, EINVAL);
        return 0;
    }
    std::unique_ptr<TAsync> a;
    InitAsync(a);
    ReadAsync(Buffer, Count, a.get());
    int n = WaitForAsync(a.get());
    DoneAsync(a);
    return n;
}

int TCustomSerialPort::WriteAsync(const void* Buffer, int Count, TAsync* AsyncPtr) {
    if (!AsyncPtr) {
        CallException(CE_InvalidAsync, -1);
        return 0;
    }
    if (FHandle == comm::InvalidHandle) {
        CallException(CEPortNotOpen, kNoHandle);
        return 0;
    }
    if (Count < 0) {
        CallException(CE_WriteFailed, EINVAL);
        return 0;
    }
    if (!Buffer && Count > 0) {  // no bytes to take: refused, never dereferenced
        CallException(CE_WriteFailed, EFAULT);
        return 0;
    }
    AsyncPtr->Kind = okWrite;
    const auto* p = static_cast<const std::uint8_t*>(Buffer);
    AsyncPtr->Data.assign(p, p + Count);
    AsyncPtr->Size = Count;
    AsyncPtr->Count = 0;
    std::uint32_t done = 0;
    if (!comm::WritePort(FHandle, Buffer, static_cast<std::uint32_t>(Count), done)) {
        // Nothing was written: the links are not told of these bytes.
        AsyncPtr->Data.clear();
        AsyncPtr->Size = 0;
        CallException(CE_WriteFailed, comm::LastError());
        return 0;
    }
    AsyncPtr->Count = static_cast<int>(done);
    for (TSerialLink* l : LinksNow())
        if (l->OnTx) l->OnTx(this, true);
    return AsyncPtr->Count;
}

int TCustomSerialPort::ReadAsync(void* Buffer, int Count, TAsync* AsyncPtr) {
    if (!AsyncPtr) {
        CallException(CE_InvalidAsync, -1);
        return 0;
    }
    AsyncPtr->Kind = okRead;
    AsyncPtr->Count = 0;
    if (FHandle == comm::InvalidHandle) {
        CallException(CEPortNotOpen, kNoHandle);
        return 0;
    }
    if (Count < 0) {
        CallException(CE_ReadFailed, EINVAL);
        return 0;
    }
    if (!Buffer && Count > 0) {  // nowhere to put the bytes
        CallException(CE_ReadFailed, EFAULT);
        return 0;
    }
    std::uint32_t done = 0;
    if (!comm::ReadPort(FHandle, Buffer, static_cast<std::uint32_t>(Count), done)) {
        CallException(CE_ReadFailed, comm::LastError());
        return 0;
    }
    AsyncPtr->Count = static_cast<int>(done);
    return AsyncPtr->Count;
}

int TCustomSerialPort::WaitForAsync(TAsync* AsyncPtr) {
    if (!AsyncPtr) {
        CallException(CE_InvalidAsync, -1);
        return 0;
    }
    const int n = AsyncPtr->Count;
    const std::vector<TSerialLink*> links = LinksNow();
    if (AsyncPtr->Kind == okRead) {
        if (!links.empty() && FHandle != comm::InvalidHandle && InputCount() == 0)
            for (TSerialLink* l : links)
                if (l->OnRx) l->OnRx(this, false);
    } else if (!AsyncPtr->Data.empty()) {
        for (TSerialLink* l : links)
            if (l->OnTxBuf) l->OnTxBuf(this, AsyncPtr->Data.data(), AsyncPtr->Size);
    }
    return n;
}

bool TCustomSerialPort::IsAsyncCompleted(TAsync* AsyncPtr) {
    if (!AsyncPtr) {
        CallException(CE_InvalidAsync, -1);
        return false;
    }
    return true;  // transfers end before their start returns
}

void TCustomSerialPort::AbortAllAsync() {
    if (FHandle != comm::InvalidHandle)
        comm::Purge(FHandle, comm::PURGE_TXABORT | comm::PURGE_RXABORT);  // a failure is of no use
}

int TCustomSerialPort::WriteStr(const std::string& Str) {
    if (Str.empty()) return 0;
    return Write(Str.data(), static_cast<int>(Str.size()));
}

int TCustomSerialPort::WriteStrAsync(const std::string& Str, TAsync* AsyncPtr) {
    if (Str.empty()) return 0;
    return WriteAsync(Str.data(), static_cast<int>(Str.size()), AsyncPtr);
}

int TCustomSerialPort::ReadStr(std::string& Str, int Count) {
    if (Count < 0) {
        CallException(CE_ReadFailed, EINVAL);
        return 0;
    }
    std::string bytes(static_cast<std::size_t>(Count), '\0');
    int n = Read(bytes.data(), Count);
    bytes.resize(static_cast<std::size_t>(n));
    Str = std::move(bytes);
    return n;
}

int TCustomSerialPort::ReadStrAsync(std::string& Str, int Count, TAsync* AsyncPtr) {
    if (Count < 1) return 0;
    Str.assign(static_cast<std::size_t>(Count), '\0');
    int n = ReadAsync(Str.data(), Count, AsyncPtr);
    Str.resize(static_cast<std::size_t>(n));
    return n;
}

int TCustomSerialPort::WriteUnicodeString(const std::string& Str) {
    std::string bytes = FCodePage == kUtf8CodePage ? Str : Utf8ToCp1251(Str);
    return WriteStr(bytes);
}

int TCustomSerialPort::ReadUnicodeString(std::string& Str, int Count) {
    std::string bytes;
    ReadStr(bytes, Count);
    Str = FCodePage == kUtf8CodePage ? bytes : Cp1251ToUtf8(bytes);
    return static_cast<int>(utf8::Length(Str));
}

void TCustomSerialPort::TransmitChar(char Ch) {
    if (!comm::TransmitChar(FHandle, Ch)) CallException(CE_TransmitFailed, comm::LastError());
}

// ---- queues, signals and errors ------------------------------------------------------------

void TCustomSerialPort::ClearBuffer(bool Input, bool Output) {
    std::uint32_t flags = (Input ? comm::PURGE_RXCLEAR : 0) | (Output ? comm::PURGE_TXCLEAR : 0);
    if (!comm::Purge(FHandle, flags)) CallException(CE_PurgeFailed, comm::LastError());
}

void TCustomSerialPort::SetReceiveThreshold(int Bytes) {
    if (FConnected) comm::SetReceiveThreshold(FHandle, static_cast<std::uint32_t>(std::max(1, Bytes)));
}

int TCustomSerialPort::InputCount() {
    std::uint32_t errors = 0;
    comm::TQueueStatus st;
    if (!comm::ClearError(FHandle, errors, &st)) CallException(CE_ClearComFailed, comm::LastError());
    return static_cast<int>(st.InQueue);
}

int TCustomSerialPort::OutputCount() {
    std::uint32_t errors = 0;
    comm::TQueueStatus st;
    if (!comm::ClearError(FHandle, errors, &st)) CallException(CE_ClearComFailed, comm::LastError());
    return static_cast<int>(st.OutQueue);
}

std::uint32_t TCustomSerialPort::StateFlags() {
    std::uint32_t errors = 0;
    comm::TQueueStatus st;
    if (!comm::ClearError(FHandle, errors, &st)) CallException(CE_ClearComFailed, comm::LastError());
    return st.Flags;
}

TSerialErrors TCustomSerialPort::LastErrors() {
    std::uint32_t e = 0;
    if (!comm::ClearError(FHandle, e, nullptr)) {
        CallException(CE_ClearComFailed, comm::LastError());
        return {};
    }
    TSerialErrors r;
    if (e & comm::CE_FRAME) r.Include(ceFrame);
    if ((e & comm::CE_RXPARITY) && FParity->GetCheck()) r.Include(ceRxParity);
    if (e & comm::CE_OVERRUN) r.Include(ceOverrun);
    if (e & comm::CE_RXOVER) r.Include(ceRxOver);
    if (e & comm::CE_TXFULL) r.Include(ceTxFull);
    if (e & comm::CE_BREAK) r.Include(ceBreak);
    if (e & comm::CE_IOE) r.Include(ceIO);
    if (e & comm::CE_MODE) r.Include(ceMode);
    return r;
}

TSerialSignals TCustomSerialPort::Signals() {
    std::uint32_t s = 0;
    if (!comm::GetModemStatus(FHandle, s)) {
        CallException(CE_ModemStatFailed, comm::LastError());
        return {};
    }
    TSerialSignals r;
    if (s & comm::MS_CTS_ON) r.Include(csCTS);
    if (s & comm::MS_DSR_ON) r.Include(csDSR);
    if (s & comm::MS_RING_ON) r.Include(csRing);
    if (s & comm::MS_RLSD_ON) r.Include(csRLSD);
    return r;
}

void TCustomSerialPort::SetDTR(bool OnOff) {
    if (!comm::EscapeFunction(FHandle, OnOff ? comm::SETDTR : comm::CLRDTR))
        CallException(CE_EscapeComFailed, comm::LastError());
}

void TCustomSerialPort::SetRTS(bool OnOff) {
    if (!comm::EscapeFunction(FHandle, OnOff ? comm::SETRTS : comm::CLRRTS))
        CallException(CE_EscapeComFailed, comm::LastError());
}

void TCustomSerialPort::SetBreak(bool OnOff) {
    if (!comm::EscapeFunction(FHandle, OnOff ? comm::SETBREAK : comm::CLRBREAK))
        CallException(CE_EscapeComFailed, comm::LastError());
}

void TCustomSerialPort::SetXonXoff(bool OnOff) {
    if (!comm::EscapeFunction(FHandle, OnOff ? comm::SETXON : comm::SETXOFF))
        CallException(CE_EscapeComFailed, comm::LastError());
}

void TCustomSerialPort::WaitForEvent(TSerialEvents& Events, const comm::TStopSignal* StopEvent,
                                     int Timeout) {
    if (FThreadCreated) {
        CallException(CE_ThreadCreated, -1);
        return;
    }
    if (!comm::SetEventMask(FHandle, EventsToMask(Events))) {
        CallException(CE_WaitFailed, comm::LastError());
        return;
    }
    std::uint32_t mask = 0;
    bool ok = comm::WaitEvent(FHandle, mask, StopEvent, Timeout);
    int error = comm::LastError();
    comm::SetEventMask(FHandle, 0);
    Events = MaskToEvents(mask);
    if (!ok) CallException(CE_WaitFailed, error);
}

// ---- links ---------------------------------------------------------------------------------

void TCustomSerialPort::RegisterLink(TSerialLink* Link) {
    for (TSerialLink* l : FLinks)
        if (l == Link) {
            CallException(CE_RegFailed, -1);
            return;
        }
    if (Link) FLinks.push_back(Link);
    FHasLink = false;
    for (TSerialLink* l : FLinks)
        if (l->OnRxBuf) FHasLink = true;
}

void TCustomSerialPort::UnRegisterLink(TSerialLink* Link) {
    auto it = std::find(FLinks.begin(), FLinks.end(), Link);
    if (it == FLinks.end()) {
        CallException(CE_RegFailed, -1);
    } else {
        FLinks.erase(it);
    }
    FHasLink = false;
    for (TSerialLink* l : FLinks)
        if (l->OnRxBuf) FHasLink = true;
}
