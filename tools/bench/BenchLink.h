#pragma once
// What the serial benchmarks share: the simulated device on a pty and the port aimed at it.
#include <cstdio>
#include <string>

#include "serial/SerialPort.h"
#include "tools/devsim/DevSim.h"

namespace bench {

// Starts the device; says so when no pty could be made.
inline bool StartDevice(devsim::DevSim& sim) {
    if (sim.Start()) return true;
    std::printf("cannot create a pty at %s\n", sim.LinkPath().c_str());
    return false;
}

// The port on the device's link at 115200 bit/s, not yet open.
inline void AimPort(TSerialPort& port, const devsim::DevSim& sim) {
    port.SetPort(sim.LinkPath());
    port.SetBaudRate(br115200);
}

}  // namespace bench
