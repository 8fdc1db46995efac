#include "platform/comm/LineRate.h"

#include <algorithm>
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace comm {

bool SetLineModes(int fd, const TLineModes& m, std::uint32_t rate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;
    tio.c_iflag = m.iflag;
    tio.c_oflag = m.oflag;
    tio.c_lflag = m.lflag;
    tio.c_cflag = m.cflag & ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    std::copy(m.cc, m.cc + std::min<std::size_t>(NCCS, sizeof m.cc), tio.c_cc);
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

bool GetLineRate(int fd, std::uint32_t& rate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;
    rate = tio.c_ospeed;
    return true;
}

}  // namespace comm
