#pragma once
// The main window. It owns every component of the tool; its methods are defined in the folder
// of the subsystem that owns them, and each subsystem declares its members in its own fragment
// (<folder>/Form*Members.inc), included in the class body below, beside its code.
#include <cstdint>
#include <string>

#include "platform/ui/Forms.h"

// Headers the subsystems' members need (one block per subsystem, kept in its fragment's order).
#include "app/FormShellTypes.h"
#include "device/FormDeviceTypes.h"
#include "config/FormConfigTypes.h"
#include "memory/FormMemoryTypes.h"
#include "firmware/FormFirmwareTypes.h"
#include "cloud/FormCloudTypes.h"
#include "rfid/FormRfidTypes.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

#include "app/FormShellMembers.inc"
#include "device/FormDeviceMembers.inc"
#include "config/FormConfigMembers.inc"
#include "memory/FormMemoryMembers.inc"
#include "firmware/FormFirmwareMembers.inc"
#include "cloud/FormCloudMembers.inc"
#include "rfid/FormRfidMembers.inc"
};

extern TForm1* Form1;

// An end signal's work (main): the main window closes without questions once no box is up.
void CloseMainFormOnEndSignal();

// The server-traffic window; hidden until the cloud session shows it.
class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
};

extern TForm2* Form2;
