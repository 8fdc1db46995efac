#include "device/FrameReceiver.h"

#include <cstring>

#include "device/DeviceFrame.h"

void ScanBurstForFrames(const std::uint8_t* burst, std::size_t n, const TFrameSink& onFrame) {
    if (burst == nullptr || !onFrame) return;
    std::size_t i = 0;
    while (i + 4 <= n) {
        if (std::memcmp(burst + i, kFrameTag, 4) == 0) {
            onFrame(burst + i + 4, n - (i + 4));
            i += 5;
        } else {
            ++i;
        }
    }
}
