#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "CommTestSupport.h"
#include "platform/comm/DeviceNotices.h"
#include "platform/comm/PortList.h"

namespace {

struct EnvPorts {
    explicit EnvPorts(const char* v) { setenv("ZENTOR_PORTS", v, 1); }
    ~EnvPorts() { unsetenv("ZENTOR_PORTS"); }
};

TEST(PortList, ListedEntriesParseAndName) {
    auto l = comm::ParseListedPorts(" /tmp/a = Sim A ;;/dev/ttyACM0;  ;/tmp/b=");
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0].Path, "/tmp/a");
    EXPECT_EQ(l[0].Name, "Sim A");
    EXPECT_EQ(l[1].Path, "/dev/ttyACM0");
    EXPECT_EQ(l[1].Name, "");
    EXPECT_EQ(comm::FriendlyPortName(l[0]), "Sim A (/tmp/a)");
    EXPECT_EQ(comm::FriendlyPortName(l[1]), "/dev/ttyACM0");
    EXPECT_EQ(comm::FriendlyPortName(l[2]), "/tmp/b");
    EXPECT_EQ(comm::FriendlyPortName("STMicroelectronics", "Virtual COM Port", "/dev/ttyACM0"),
              "STMicroelectronics Virtual COM Port (/dev/ttyACM0)");
    EXPECT_EQ(comm::FriendlyPortName("", "", "/dev/ttyS0"), "/dev/ttyS0");
    EXPECT_EQ(comm::FriendlyPortName("", "CP2102", "/dev/ttyUSB0"), "CP2102 (/dev/ttyUSB0)");
}

TEST(PortList, SortedCaseInsensitively) {
    std::vector<std::string> n{"COM2", "com10", "COM1", "/dev/ttyUSB0", "/dev/ttyACM1"};
    comm::SortPortNames(n);
    EXPECT_EQ(n, (std::vector<std::string>{"/dev/ttyACM1", "/dev/ttyUSB0", "COM1", "com10", "COM2"}));
}

TEST(PortList, PhantomUartsAreThoseOfUnknownType) {
    EXPECT_TRUE(comm::IsPhantomUart("0\n"));
    EXPECT_FALSE(comm::IsPhantomUart("4\n"));  // a 16550A
    EXPECT_FALSE(comm::IsPhantomUart(""));
}

TEST(PortList, ListedPortsReplaceTheSystemList) {
    EnvPorts env("/tmp/zb=Beta;/tmp/ZA;/tmp/zc=Gamma");
    auto ports = comm::ListPorts();
    ASSERT_TRUE(ports.has_value());
    ASSERT_EQ(ports->size(), 3u);
    EXPECT_EQ((*ports)[0].Path, "/tmp/ZA");
    EXPECT_EQ((*ports)[0].FriendlyName, "/tmp/ZA");
    EXPECT_EQ((*ports)[1].FriendlyName, "Beta (/tmp/zb)");
    EXPECT_EQ((*ports)[2].FriendlyName, "Gamma (/tmp/zc)");
}

TEST(PortList, SystemListHasNoConsoleNorVirtualTerminals) {
    auto ports = comm::ListPorts();
    if (!ports) GTEST_SKIP() << "no udev here";
    for (const auto& p : *ports) {
        EXPECT_NE(p.Path, "/dev/console");
        EXPECT_NE(p.Path, "/dev/tty");
        EXPECT_NE(p.Path, "/dev/tty0");
    }
}

TEST(DeviceNotices, ListedPathVanishingAndReturningRaisesOneNoticeEach) {
    devsim::DevSim sim(commtest::FreshLink("notices"));
    ASSERT_TRUE(sim.Start());
    auto source = comm::CreateSystemNoticeSource({{sim.LinkPath(), "Sim"}}, false);
    std::vector<comm::TDeviceChange> seen;
    ASSERT_TRUE(source->Start([&](const comm::TDeviceChange& c) { seen.push_back(c); }));
    sim.Unplug();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return seen.size() >= 1; }));
    ASSERT_TRUE(sim.Replug());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return seen.size() >= 2; }));
    testsupport::Pump(20);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Kind, comm::TDeviceChangeKind::Removal);
    EXPECT_EQ(seen[0].Path, sim.LinkPath());
    EXPECT_EQ(seen[0].FriendlyName, "Sim (" + sim.LinkPath() + ")");
    EXPECT_EQ(seen[1].Kind, comm::TDeviceChangeKind::Arrival);
    source->Stop();
    sim.Unplug();
    testsupport::Pump(20);
    EXPECT_EQ(seen.size(), 2u);  // nothing after Stop
}

// Without the eventfd that Stop wakes the watch through (none is left to the process),
// notices still come and Stop still ends the watch. Failed by a seam: a real lack of
// descriptors would also fail the sanitizers' own checks of the calls on the way.
TEST(DeviceNotices, WithoutAnEventfdTheWatchStillStops) {
    const std::string path = commtest::FreshLink("notices-no-eventfd");
    auto source = comm::CreateSystemNoticeSource({{path, "Sim"}}, false);
    std::vector<comm::TDeviceChange> seen;
    comm::detail::FailStopEventForTests(true);
    const bool started = source->Start([&](const comm::TDeviceChange& c) { seen.push_back(c); });
    comm::detail::FailStopEventForTests(false);
    ASSERT_TRUE(started);
    std::ofstream(path).put('x');
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !seen.empty(); }));
    EXPECT_EQ(seen[0].Kind, comm::TDeviceChangeKind::Arrival);
    source->Stop();
}

TEST(DeviceNotices, FactoryReplacesTheSourceForTests) {
    comm::TManualNoticeSource* manual = nullptr;
    comm::SetNoticeSourceFactory([&] {
        auto s = std::make_unique<comm::TManualNoticeSource>();
        manual = s.get();
        return s;
    });
    auto source = comm::CreateNoticeSource();
    comm::SetNoticeSourceFactory(nullptr);
    ASSERT_NE(manual, nullptr);
    int arrivals = 0;
    source->Start([&](const comm::TDeviceChange& c) {
        if (c.Kind == comm::TDeviceChangeKind::Arrival) ++arrivals;
    });
    manual->Raise({comm::TDeviceChangeKind::Arrival, "/dev/ttyACM0", "x"});
    ASSERT_TRUE(testsupport::WaitUntil([&] { return arrivals == 1; }));
    manual->Raise({comm::TDeviceChangeKind::Arrival, "/dev/ttyACM0", "x"});
    source->Stop();  // the queued notice is not delivered after Stop
    testsupport::Pump(10);
    EXPECT_EQ(arrivals, 1);
}

}  // namespace
