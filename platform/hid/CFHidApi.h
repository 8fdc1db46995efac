#pragma once
// The desk reader vendor's library, as the tool calls it: six functions and a callback,
// all with the C calling convention.
//
// This build stands in for the vendor's library. With ZENTOR_HID_READER naming the Unix
// socket of a simulated reader (tools/readersim) it lists that one reader; otherwise none.
// The callback runs on the library's own thread: a caller hands what it needs to its GUI
// thread queued and copied, never by a blocking hand-over (removing the callback waits for
// a running call to end, so a callback blocked on the GUI thread would never end).
// The data of a kind 2 report always hold count whole records: each record's L + 1 bytes
// lie inside the report and L is at least 14 (two bytes, then the tag's 12 bytes).
// When the open reader goes away (unplugged, or its stream no longer makes sense) the
// callback gets one report of kind CFHID_READER_LOST with count 0; nothing follows until the
// reader is opened again.
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { CFHID_READER_LOST = 3 };

typedef void (*CFHidCallback)(int32_t kind, int32_t count, uint8_t* data);

// Number of attached readers.
int32_t CFHid_GetUsbCount(void);
// Writes a zero-terminated description of reader index (at most 256 bytes with the zero)
// into buffer; nonzero on success, and an empty text for an index that is not there.
int32_t CFHid_GetUsbInfo(int32_t index, char* buffer);
// Nonzero when the reader was opened; an open reader is closed first.
int32_t CFHid_OpenDevice(int32_t index);
// Sets the callback, or removes it with 0; returns once no call of the old one is running
// (unless called from inside the callback itself).
int32_t CFHid_SetCallback(CFHidCallback callback);
// A reader setting; passed to the reader, nonzero while a reader is open.
int32_t CFHid_SetDeviceOneParam(int32_t a, int32_t b, int32_t c);
// Closes the open reader, if any.
int32_t CFHid_CloseDevice(void);

#ifdef __cplusplus
}
#endif
