#pragma once
// A simulated device at a fresh path and a port opened on it as the device link opens its.
#include <memory>
#include <string>

#include "serial/SerialPort.h"
#include "support/TestSupport.h"
#include "tools/devsim/DevSim.h"

namespace serialtest {

inline std::string FreshLink(const std::string& name) { return testsupport::TempDir(name) + "/ttySIM"; }

inline std::string AsText(const devsim::Bytes& b) { return std::string(b.begin(), b.end()); }

struct Rig {
    explicit Rig(const std::string& name, TSyncMethod sync = smThreadSync)
        : sim(FreshLink(name)), port(std::make_unique<TSerialPort>(nullptr)) {
        started = sim.Start();
        port->SetPort(sim.LinkPath());
        port->SetBaudRate(br19200);
        port->SetEvents({evRxChar, evRxFlag});
        port->SetSyncMethod(sync);
        port->GetBuffer()->SetInputSize(2048);
        port->GetBuffer()->SetOutputSize(2048);
    }
    devsim::DevSim sim;
    std::unique_ptr<TSerialPort> port;
    bool started = false;
};

}  // namespace serialtest
