// Hot-plug as every USB user meets it: libudev's own port list and names, its monitor's add and
// remove uevents, an unplug during a read and a replug, on a CDC-ACM controller that umockdev
// emulates in place of /sys, /dev and the kernel's uevents. The controller's node leads to
// devsim's pty. Runs under umockdev's preload (ctest's test_device_udev).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <umockdev.h>

#include "device/LinkRig.h"
#include "memory/MemoryState.h"
#include "memory/PhoneBase.h"
#include "tools/devsim/MemoryModel.h"
#include "tools/devsim/SampleContent.h"

namespace {

using namespace linktest;

const char kUsbDevice[] = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
const char kTty[] = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0";
const char kNode[] = "/dev/ttyACM0";

// The controller's USB device, its CDC-ACM interface and its tty, with what udev's rules and
// hardware database add to them.
const char kController[] =
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-2\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
    "A: idVendor=0483\nA: idProduct=5740\nA: manufacturer=STMicroelectronics\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0\n"
    "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nE: DRIVER=cdc_acm\nA: bInterfaceClass=02\n\n"
    "P: /devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0\n"
    "E: SUBSYSTEM=tty\nE: DEVNAME=/dev/ttyACM0\nE: MAJOR=166\nE: MINOR=0\n"
    "E: ID_VENDOR=STMicroelectronics\nE: ID_VENDOR_ID=0483\nE: ID_MODEL=STM32_Virtual_ComPort\n"
    "E: ID_MODEL_ID=5740\nE: ID_USB_DRIVER=cdc_acm\nE: ID_USB_INTERFACE_NUM=00\n"
    "E: ID_VENDOR_FROM_DATABASE=STMicroelectronics\nE: ID_MODEL_FROM_DATABASE=Virtual COM Port\n"
    "A: dev=166:0\n";

// umockdev serves a test node's ioctls itself and refuses the ones it does not know (TIOCEXCL
// among them): every one is run on the pty instead.
gboolean RunOnThePty(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer) {
    int error = 0;
    const int result = umockdev_ioctl_client_execute(client, &error, nullptr);
    umockdev_ioctl_client_complete(client, result, error);
    return TRUE;
}

class UdevBed {
public:
    UdevBed() : FBed(umockdev_testbed_new()), FIoctl(umockdev_ioctl_base_new()) {
        g_signal_connect(FIoctl, "handle-ioctl", G_CALLBACK(RunOnThePty), nullptr);
    }
    ~UdevBed() {
        if (FPlugged) Unplug();
        g_object_unref(FIoctl);
        g_object_unref(FBed);
    }

    // The node leads to the pty at linkPath (a removed node's pty cannot be had again, so
    // each plug brings its own), then the devices appear with their add uevents.
    bool Plug(const std::string& linkPath) {
        mkdir(Path("/dev").c_str(), 0755);
        if (symlink(linkPath.c_str(), Path(kNode).c_str()) != 0) return false;
        GError* error = nullptr;
        FPlugged = umockdev_testbed_add_from_string(FBed, kController, &error) &&
                   umockdev_testbed_attach_ioctl(FBed, kNode, FIoctl, &error);
        if (error) {
            ADD_FAILURE() << error->message;
            g_error_free(error);
        }
        return FPlugged;
    }
    // In the kernel's order: the tty leaves its class before its remove uevent goes out, then
    // its USB device leaves the bus, and the devices and the node go.
    void Unplug() {
        FPlugged = false;
        umockdev_testbed_detach_ioctl(FBed, kNode, nullptr);
        unlink(Path("/sys/class/tty/ttyACM0").c_str());
        umockdev_testbed_uevent(FBed, kTty, "remove");
        unlink(Path("/sys/bus/usb/devices/1-2:1.0").c_str());
        unlink(Path("/sys/bus/usb/devices/1-2").c_str());
        umockdev_testbed_remove_device(FBed, kUsbDevice);
        unlink(Path(kNode).c_str());
        unlink(Path("/dev/.node/ttyACM0").c_str());  // umockdev's record of the node's number stays
    }

private:
    std::string Path(const std::string& path) const {
        gchar* root = umockdev_testbed_get_root_dir(FBed);
        std::string p = root + path;
        g_free(root);
        return p;
    }
    UMockdevTestbed* FBed;
    UMockdevIoctlBase* FIoctl;
    bool FPlugged = false;
};

TEST(UdevHotplug, TheControllerIsListedFoundCutAndFoundAgainThroughUdev) {
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(preload && std::string(preload).find("umockdev") != std::string::npos)
        << "run under umockdev-wrapper (ctest test_device_udev)";
    UdevBed bed;  // outlives the window, whose monitor reads the testbed's uevents
    LinkRig rig("udev");
    SimPort& device = rig.AddController("acm");
    ASSERT_TRUE(device.started);
    device.node = kNode;
    devsim::MemoryModel memory(*device.model, device.sim);
    SetPhoneRecords({});
    StopPhoneTransfers();
    ASSERT_TRUE(bed.Plug(device.sim.LinkPath()));

    // Listed by udev, under udev's names, and nothing else.
    const auto ports = comm::ListPorts();
    ASSERT_TRUE(ports.has_value());
    ASSERT_EQ(ports->size(), 1u);
    EXPECT_EQ(ports->front().Path, kNode);
    EXPECT_EQ(ports->front().FriendlyName, "STMicroelectronics Virtual COM Port (/dev/ttyACM0)");

    rig.CreateForm(true);
    ASSERT_TRUE(rig.ConnectTo(device));
    EXPECT_EQ(LinkRig::Caption(), "/dev/ttyACM0: Ключ \"Бранник IP\" DAZU");

    // Unplugged while the number base is read: the tty hangs up, then udev says it is gone.
    memory.SetNumbers(devsim::SampleNumbers(100));
    testsupport::Click(Form1->UiButton5);
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReadNumbers, 1) && LinkRig::Deliver(FrameBytes(3)));
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReadNumbers, 2) &&
                LinkRig::Deliver(FrameBytes(5 + 31 * 64)));
    ASSERT_TRUE(LinkRig::AwaitRequests(device, devsim::kCmdReadNumbers, 3));
    device.sim.Unplug();
    bed.Unplug();
    // Only the monitor tells: the clock stands still, so no re-request finds the line dead.
    ASSERT_TRUE(testsupport::WaitUntil([] { return !g_DeviceConnected; }, 1000));
    EXPECT_EQ(Form1->MESLABEL->GetCaption(), "Связь с устройством потеряна.\r\nЧтение памяти номеров прервано "
                                             "(получено 31 из 100). Таблица номеров осталась прежней.");
    EXPECT_EQ(LinkRig::Caption(), "/dev/ttyACM0: Not connected");
    EXPECT_FALSE(Form1->ComPort->GetConnected());
    EXPECT_EQ(g_ScanActive, 0);

    // Plugged in again: found without a click.
    ASSERT_TRUE(device.sim.Replug());
    ASSERT_TRUE(bed.Plug(device.sim.LinkPath()));
    ASSERT_TRUE(testsupport::WaitUntil([] { return g_ScanActive != 0; }, 1000));
    ASSERT_TRUE(rig.ScanUntilConnected(device));
    EXPECT_EQ(g_PortName, kNode);
    EXPECT_TRUE(g_WorkingMode);
}

}  // namespace
