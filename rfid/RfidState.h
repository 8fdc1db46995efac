#pragma once
// Module state of the desk reader: the serial reader's probing and polling, the bytes of a
// reply still coming in, and the tag record file (its count is kept for the label).
#include "rfid/ReaderFrame.h"
#include "rfid/ReaderPoll.h"
#include "rfid/TagCapture.h"

extern TReaderPoll g_RfidPoll;
extern TReaderReceiver g_RfidReceiver;
extern TTagRecordFile g_TagFile;

// The serial reader's state as at start-up, the tag file closed: what a window set goes with it.
void ResetRfidState();

// Called by the vendor library on its own thread: queues the tags of kind 2 reports for the
// GUI thread, which takes them a burst at a time.
extern "C" void HidReaderCallback(std::int32_t kind, std::int32_t count, std::uint8_t* data);
