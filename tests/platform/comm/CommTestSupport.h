#pragma once
// A simulated device at a fresh path for each test.
#include <string>

#include "support/TestSupport.h"
#include "tools/devsim/DevSim.h"

namespace commtest {

inline std::string FreshLink(const std::string& name) {
    return testsupport::TempDir(name) + "/ttySIM";
}

inline std::string AsText(const devsim::Bytes& b) { return std::string(b.begin(), b.end()); }

}  // namespace commtest
