// Which listed port is the controller's, and whether the one in use is still there.
#include <gtest/gtest.h>

#include "device/PortNotices.h"
#include "device/PasswordPrompt.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <fstream>

namespace {

const std::vector<std::string> kListed = {"/tmp/sim/a", "/tmp/sim/ab"};

TEST(PortNotices, FriendlyNameNeedsVendorAndBracketedPath) {
    EXPECT_EQ(DevicePortOfName("STMicroelectronics Virtual COM Port (/dev/ttyACM0)", {}),
              std::optional<std::string>("/dev/ttyACM0"));
    EXPECT_EQ(DevicePortOfName("Prolific USB-Serial (/dev/ttyUSB0)", {}), std::nullopt);
    EXPECT_EQ(DevicePortOfName("STMicro controller", {}), std::nullopt);
    EXPECT_EQ(DevicePortOfName("STMicro sim (/tmp/sim/ab)", kListed),
              std::optional<std::string>("/tmp/sim/ab"));
    // A listed path is matched whole, never as the start of a longer one.
    EXPECT_EQ(DevicePortOfName("STMicro sim (/tmp/sim/abc)", kListed), std::nullopt);
    EXPECT_EQ(DevicePortOfName("STMicro sim (/tmp/sim/a)", {}), std::nullopt);
    EXPECT_EQ(DevicePortOfName("STMicro broken (/dev/ttyACM0", {}), std::nullopt);
}

TEST(PortNotices, TheConnectedPortDecidesWithTwoDevicesPlugged) {
    const std::vector<comm::TPortInfo> both = {
        {"/dev/ttyACM0", "STMicroelectronics Virtual COM Port (/dev/ttyACM0)"},
        {"/dev/ttyACM1", "STMicroelectronics Virtual COM Port (/dev/ttyACM1)"},
        {"/dev/ttyS0", "/dev/ttyS0"},
    };
    EXPECT_TRUE(DeviceConnectedAmong(both, {}, ""));
    EXPECT_TRUE(DeviceConnectedAmong(both, {}, "/dev/ttyACM0"));
    // The second of two controllers is still compared (the first listed is not the only one).
    EXPECT_TRUE(DeviceConnectedAmong(both, {}, "/dev/ttyACM1"));
    EXPECT_FALSE(DeviceConnectedAmong(both, {}, "/dev/ttyS0"));
    const std::vector<comm::TPortInfo> firstGone(both.begin() + 1, both.end());
    EXPECT_FALSE(DeviceConnectedAmong(firstGone, {}, "/dev/ttyACM0"));
    EXPECT_FALSE(DeviceConnectedAmong({{"/dev/ttyS0", "/dev/ttyS0"}}, {}, ""));
    EXPECT_FALSE(DeviceConnectedAmong({}, {}, ""));
}

// In the Russian window, with the system's reason in Russian where it has Russian words.
TEST(PortNotices, APortWithoutRightsNamesTheGroupAndOtherFailuresTheirReasonAlone) {
    const TPortNoticeWords words{"Порт", "не открывается:", "Нет прав: dialout.", "Кто держит порт, покажет"};
    TPortOpenNotices notices;
    EXPECT_TRUE(notices.Failed("/dev/ttyACM0", EACCES));
    EXPECT_EQ(PortNotOpenedText(words, "/dev/ttyACM0", EACCES, PortErrorReason(EACCES, false)),
              "Порт /dev/ttyACM0 не открывается: Отказано в доступе (13). Нет прав: dialout.");
    EXPECT_FALSE(notices.Failed("/dev/ttyACM0", EACCES));
    EXPECT_TRUE(notices.Failed("/dev/ttyS0", ENOTTY));
    EXPECT_EQ(PortNotOpenedText(words, "/dev/ttyS0", ENOTTY, PortErrorReason(ENOTTY, false)),
              "Порт /dev/ttyS0 не открывается: Это не терминал (25).");
    // A busy port's holder may be another user's (ModemManager runs as root): sudo shows it.
    EXPECT_EQ(PortNotOpenedText(words, "/dev/ttyACM1", EBUSY, PortErrorReason(EBUSY, false)),
              "Порт /dev/ttyACM1 не открывается: Устройство или ресурс занято (16). Кто держит порт, покажет "
              "sudo fuser -v /dev/ttyACM1.");
    EXPECT_EQ(PortErrorReason(ECHILD, false), "No child processes");  // no Russian words: the system's
    // Absence is no news, nor a device leaving while it is opened.
    for (int gone : {ENOENT, ENODEV, ENXIO, EIO, 0, -1}) EXPECT_FALSE(notices.Failed("/dev/ttyACM1", gone));
    // Once it has opened, a later failure is news again.
    notices.Opened("/dev/ttyACM0");
    EXPECT_TRUE(notices.Failed("/dev/ttyACM0", EACCES));
}

TEST(PasswordPrompt, AdministratorPromptOnlyForWhichTwo) {
    EXPECT_EQ(PasswordPromptText(0), "Введите пароль");
    EXPECT_EQ(PasswordPromptText(1), "Введите пароль");
    EXPECT_EQ(PasswordPromptText(2), "Введите пароль \"Администратора\"");
    EXPECT_EQ(PasswordPromptText(3), "Введите пароль");
}

TEST(PasswordPrompt, StoredPasswordsByImei) {
    const std::string path = testsupport::TempDir("passes") + "/config.ini";
    EXPECT_EQ(ReadStoredPasswordFrom(path, "860000000000001"), 0);  // no file
    std::ofstream(path) << "[Settings]\nLanguage=russian\n[Passes]\n860000000000001=4321\n"
                           "860000000000002=70000\n860000000000003=abc\n";
    EXPECT_EQ(ReadStoredPasswordFrom(path, "860000000000001"), 4321);
    EXPECT_EQ(ReadStoredPasswordFrom(path, "860000000000002"), 70000);
    EXPECT_EQ(ReadStoredPasswordFrom(path, "860000000000003"), 0);
    EXPECT_EQ(ReadStoredPasswordFrom(path, "860000000000009"), 0);
    EXPECT_EQ(ReadStoredPasswordFrom(path, ""), 0);
}

}  // namespace
