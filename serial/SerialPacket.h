#pragma once
// TSerialDataPacket: cuts the bytes received on a port into packets by a start text, a stop
// text, a fixed size or its handlers' decisions. Texts hold the received bytes one character
// per byte and are compared byte for byte (ASCII letters folded when CaseInsensitive).
#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Classes.h"
#include "serial/SerialLink.h"

class TCustomSerialPort;

using TSerialStrEvent = std::function<void(TObject* Sender, const std::string& Str)>;
// Pos arrives as -1; a handler sets the 1-based position where a packet starts or ends.
using TCustPacketEvent = std::function<void(TObject* Sender, const std::string& Str, int& Pos)>;

class TSerialDataPacket : public TComponent {
public:
    explicit TSerialDataPacket(TComponent* AOwner);
    ~TSerialDataPacket() override;

    TCustomSerialPort* GetComPort() const { return FComPort; }
    void SetComPort(TCustomSerialPort* value);
    const std::string& GetStartString() const { return FStartString; }
    void SetStartString(const std::string& value);
    const std::string& GetStopString() const { return FStopString; }
    void SetStopString(const std::string& value);
    int GetMaxBufferSize() const { return FMaxBufferSize; }
    void SetMaxBufferSize(int value) { FMaxBufferSize = value; }
    int GetSize() const { return FSize; }
    void SetSize(int value);
    bool GetIncludeStrings() const { return FIncludeStrings; }
    void SetIncludeStrings(bool value) { FIncludeStrings = value; }
    bool GetCaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool value);
    bool GetInPacket() const { return FInPacket; }
    const std::string& GetBuffer() const { return FBuffer; }
    TSerialLink* GetComLink() const { return FComLink.get(); }

    void AddData(const std::string& Str);
    void RxBuf(TObject* Sender, const void* Buffer, int Count);
    void ResetBuffer();

    TSerialStrEvent OnPacket;
    TSerialStrEvent OnDiscard;
    TCustPacketEvent OnCustomStart;
    TCustPacketEvent OnCustomStop;

protected:
    virtual void DoDiscard(const std::string& Str);
    virtual void DoPacket(const std::string& Str);
    virtual void DoCustomStart(const std::string& Str, int& Pos);
    virtual void DoCustomStop(const std::string& Str, int& Pos);
    virtual void HandleBuffer();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool HasStopRule() const { return FSize > 0 || !FStopString.empty() || OnCustomStop; }
    // 0-based index of the first occurrence of what in FBuffer from `from`, npos when none.
    size_t Find(const std::string& what, size_t from) const;
    void LookForStart();
    bool LookForEnd();  // true when a packet was delivered
    void Deliver(size_t count);
    void EmptyBuffer();

    std::unique_ptr<TSerialLink> FComLink;
    TCustomSerialPort* FComPort = nullptr;
    std::string FStartString;
    std::string FStopString;
    int FMaxBufferSize = 1024;
    int FSize = 0;
    bool FIncludeStrings = false;
    bool FCaseInsensitive = false;
    bool FInPacket = false;
    std::string FBuffer;
    // Expires when destruction begins: handlers may free the component under its own calls.
    std::shared_ptr<const char> FLife = std::make_shared<const char>(0);
};
