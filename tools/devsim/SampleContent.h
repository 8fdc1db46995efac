#pragma once
// A full controller for demos and benchmarks: a number base of every record type (phones,
// 1-Wire keys, RFID tags) with Cyrillic names, expiry dates, pass limits and schedules, and
// an event log of everyday operations, photographs (operation 21) among them, whose pictures
// the controller keeps. The same count always gives the same content.
#include <cstddef>
#include <string>
#include <vector>

#include "tools/devsim/DevSim.h"

namespace devsim {

// n number records (64 bytes each), every number distinct.
std::vector<Bytes> SampleNumbers(std::size_t n);

struct TSampleLog {
    std::vector<Bytes> Records;  // 32 bytes each, oldest first
    // The object texts (UTF-8) of the photograph events, in log order; the picture of one is
    // asked for as "_" + object + ".jpg" on the cable.
    std::vector<std::string> Photos;
};

// m event records; numbers names the subscribers the events are about.
TSampleLog SampleLog(std::size_t m, const std::vector<Bytes>& numbers);

// A small JPEG picture, a little different for each k.
Bytes SamplePicture(std::size_t k);

}  // namespace devsim
