#pragma once
// An observer that other controls register with a port, and the record of one transfer.
#include <cstdint>
#include <memory>
#include <vector>

#include "serial/SerialTypes.h"

class TSerialLink : public TObject {
public:
    TSerialSignalEvent OnConn;
    TRxBufEvent OnRxBuf;
    TRxBufEvent OnTxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnRxFlag;
    TSerialSignalEvent OnCTSChange;
    TSerialSignalEvent OnDSRChange;
    TSerialSignalEvent OnRLSDChange;
    TNotifyEvent OnRing;
    TSerialSignalEvent OnTx;
    TSerialSignalEvent OnRx;
};

// One transfer. The layer completes a transfer when it starts it (following the port's
// time-outs), so the record holds its outcome for WaitForAsync.
struct TAsync {
    TOperationKind Kind = okRead;
    std::vector<std::uint8_t> Data;  // a private copy of a write's bytes, for OnTxBuf
    int Size = 0;
    int Count = 0;  // bytes transferred
};

void InitAsync(std::unique_ptr<TAsync>& AsyncPtr);
void DoneAsync(std::unique_ptr<TAsync>& AsyncPtr);
