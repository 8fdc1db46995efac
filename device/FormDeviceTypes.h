#pragma once
// Declarations the main window's device members need (included by app/Unit1.h before TForm1).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "device/DeviceFrame.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "device/PasswordPrompt.h"
#include "device/PortNotices.h"
#include "device/ReplyDecode.h"
#include "platform/comm/DeviceNotices.h"
#include "platform/sys/Timer.h"
#include "platform/ui/StdCtrls.h"
#include "serial/SerialPort.h"
#include "widgets/UiPanel.h"

// The value of key imei in [Passes] of the settings file: the device's remembered password,
// 0 when there is none (or no IMEI).
int ReadStoredPassword(const std::string& imei);

// The access label reads "Не подключено".
void ShowNotConnected();
