#pragma once
// One transfer at a time with the device: which one runs, read from the state the transfers
// themselves keep, and the numbered message that tells the user so.

enum class TTransfer { None, NumberRead, NumberWrite, LogRead, ConfigRead, ConfigWrite, Firmware, Photo, Sync, Erase };

// The transfer under way now; None when none is.
TTransfer RunningTransfer();
// The numbered message that names a transfer (not None).
int RunningTransferMessage(TTransfer transfer);
