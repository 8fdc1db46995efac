// Cutting received bytes into packets.
#include "serial/SerialPacket.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "serial/SerialPort.h"

TSerialDataPacket::TSerialDataPacket(TComponent* AOwner)
    : TComponent(AOwner), FComLink(std::make_unique<TSerialLink>()) {
    FComLink->OnRxBuf = [this](TObject* Sender, const void* Buffer, int Count) { RxBuf(Sender, Buffer, Count); };
}

TSerialDataPacket::~TSerialDataPacket() {
    FLife.reset();
    SetComPort(nullptr);
}

void TSerialDataPacket::SetComPort(TCustomSerialPort* value) {
    RelinkSerialPort(*this, FComPort, value, FComLink.get());
}

void TSerialDataPacket::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // The port is half destroyed by now: forget it without unregistering.
    if (Operation == TOperation::opRemove && AComponent == FComPort) FComPort = nullptr;
}

void TSerialDataPacket::SetStartString(const std::string& value) {
    if (value == FStartString) return;
    FStartString = value;
    if (!IsLoading()) EmptyBuffer();
}

void TSerialDataPacket::SetStopString(const std::string& value) {
    if (value == FStopString) return;
    FStopString = value;
    if (!IsLoading()) EmptyBuffer();
}

void TSerialDataPacket::SetSize(int value) {
    if (value == FSize) return;
    FSize = value;
    if (!IsLoading()) EmptyBuffer();
}

void TSerialDataPacket::SetCaseInsensitive(bool value) {
    if (value == FCaseInsensitive) return;
    FCaseInsensitive = value;
    if (!IsLoading()) EmptyBuffer();
}

void TSerialDataPacket::DoDiscard(const std::string& Str) {
    if (TSerialStrEvent h = OnDiscard) h(this, Str);
}

void TSerialDataPacket::DoPacket(const std::string& Str) {
    if (TSerialStrEvent h = OnPacket) h(this, Str);
}

void TSerialDataPacket::DoCustomStart(const std::string& Str, int& Pos) {
    if (TCustPacketEvent h = OnCustomStart) h(this, Str, Pos);
}

void TSerialDataPacket::DoCustomStop(const std::string& Str, int& Pos) {
    if (TCustPacketEvent h = OnCustomStop) h(this, Str, Pos);
}

void TSerialDataPacket::RxBuf(TObject*, const void* Buffer, int Count) {
    if (!Buffer || Count <= 0) return;
    AddData(std::string(static_cast<const char*>(Buffer), static_cast<size_t>(Count)));
}

void TSerialDataPacket::AddData(const std::string& Str) {
    if (!HasStopRule()) {
        DoPacket(Str);
        return;
    }
    FBuffer += Str;
    HandleBuffer();
}

size_t TSerialDataPacket::Find(const std::string& what, size_t from) const {
    if (what.empty() || from > FBuffer.size()) return std::string::npos;
    if (!FCaseInsensitive) return FBuffer.find(what, from);
    return UpperCase(FBuffer).find(UpperCase(what), from);
}

void TSerialDataPacket::LookForStart() {
    int pos = -1;
    const std::weak_ptr<const char> alive = FLife;
    DoCustomStart(FBuffer, pos);
    if (alive.expired()) return;
    if (pos == -1) {
        if (FStartString.empty()) {
            FInPacket = true;
            return;
        }
        const size_t at = Find(FStartString, 0);
        pos = at == std::string::npos ? 0 : static_cast<int>(at) + 1;
    }
    if (pos <= 0) return;
    FInPacket = true;
    // A handler's position past the end discards all there is.
    const size_t before = std::min(static_cast<size_t>(pos - 1), FBuffer.size());
    if (before > 0) {
        std::string dropped = FBuffer.substr(0, before);
        FBuffer.erase(0, before);
        DoDiscard(dropped);
    }
}

bool TSerialDataPacket::LookForEnd() {
    int pos = -1;
    const std::weak_ptr<const char> alive = FLife;
    DoCustomStop(FBuffer, pos);
    if (alive.expired()) return false;
    if (pos == -1) {
        if (FSize > 0 && FBuffer.size() >= static_cast<size_t>(FSize)) {
            pos = FSize;
        } else {
            const size_t at = Find(FStopString, FStartString.size());
            if (at != std::string::npos) pos = static_cast<int>(at + FStopString.size());
        }
    }
    // Nothing to deliver from an empty buffer: a handler answering 1 for ever must not loop.
    if (pos < 1 || FBuffer.empty()) return false;
    Deliver(std::min(static_cast<size_t>(pos), FBuffer.size()));
    return true;
}

void TSerialDataPacket::Deliver(size_t count) {
    std::string packet = FBuffer.substr(0, count);
    FBuffer.erase(0, count);
    if (!FIncludeStrings) {
        auto same = [this](const std::string& a, const std::string& b) {
            return FCaseInsensitive ? UpperCase(a) == UpperCase(b) : a == b;
        };
        if (!FStartString.empty() && packet.size() >= FStartString.size() &&
            same(packet.substr(0, FStartString.size()), FStartString))
            packet.erase(0, FStartString.size());
        if (!FStopString.empty() && packet.size() >= FStopString.size()) {
            const std::string upper = FCaseInsensitive ? UpperCase(packet) : packet;
            const size_t at = upper.find(FCaseInsensitive ? UpperCase(FStopString) : FStopString);
            if (at != std::string::npos && at + FStopString.size() == packet.size())
                packet.erase(at);
        }
    }
    FInPacket = false;
    DoPacket(packet);
}

void TSerialDataPacket::HandleBuffer() {
    // Each delivered packet runs the steps again on what is left; a loop rather than a
    // call per packet, so a block of many small packets cannot exhaust the stack. Every
    // handler may free this component: nothing is touched once it has.
    const std::weak_ptr<const char> alive = FLife;
    for (;;) {
        if (!FInPacket) LookForStart();
        if (alive.expired()) return;
        if (!FInPacket) break;
        const bool delivered = LookForEnd();
        if (alive.expired()) return;
        if (!delivered) break;
    }
    if (FMaxBufferSize > 0 && FBuffer.size() >= static_cast<size_t>(FMaxBufferSize)) EmptyBuffer();
}

void TSerialDataPacket::EmptyBuffer() {
    if (!FBuffer.empty()) {
        std::string dropped;
        dropped.swap(FBuffer);
        FInPacket = false;
        DoDiscard(dropped);
        return;
    }
    FInPacket = false;
}

void TSerialDataPacket::ResetBuffer() { EmptyBuffer(); }
