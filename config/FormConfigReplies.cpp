#include "app/Unit1.h"

// Configuration and status replies; filled in as the configuration transfer lands.
void TForm1::Reply_ReadConfig(const TDeviceReply&) {}
void TForm1::Reply_WriteConfig(const TDeviceReply&) {}
void TForm1::Reply_Status(const TDeviceReply&) {}
void TForm1::Reply_FactoryReset(const TDeviceReply&) {}
