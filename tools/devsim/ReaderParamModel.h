#pragma once
// The RFID readers wired to the simulated controller: their single parameters read with 0x50
// (address, code -> d0 status, d1 value) and written with 0x51 (address, code, value -> d0
// nonzero when set). A write is refused for a reader that is not there, an unknown code or
// a value outside the parameter's range; a read of either answers status 1 and value 0.
//
//     devsim::DeviceModel model(sim);
//     devsim::ReaderParamModel readers(model);   // one reader at address 0
//     readers.SetValue(0, 0x05, 20);
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "tools/devsim/DeviceModel.h"

namespace devsim {

inline constexpr std::uint8_t kCmdReaderParamGet = 0x50;
inline constexpr std::uint8_t kCmdReaderParamSet = 0x51;

class ReaderParamModel {
public:
    // Installs the handlers of 0x50 and 0x51; one reader at address 0 with its defaults.
    explicit ReaderParamModel(DeviceModel& model);
    ReaderParamModel(const ReaderParamModel&) = delete;
    ReaderParamModel& operator=(const ReaderParamModel&) = delete;

    // A reader at the address with default parameters (replaces one there).
    void AddReader(std::uint8_t address);
    void RemoveReaders();
    void SetValue(std::uint8_t address, std::uint8_t code, std::uint8_t value);
    std::optional<std::uint8_t> Value(std::uint8_t address, std::uint8_t code) const;
    // Every write is answered "not set" while off.
    void SetRefuseWrites(bool on);
    int Reads() const;
    int Writes() const;

    // The parameter codes and their largest values.
    static std::optional<std::uint8_t> MaxValue(std::uint8_t code);

private:
    struct State;
    std::shared_ptr<State> FState;
};

}  // namespace devsim
