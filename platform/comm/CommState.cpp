// Port state, time-outs, queue sizes, modem lines and escape functions on termios.
#include <algorithm>
#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>

#include "platform/comm/CommPort.h"

namespace comm {
namespace {

bool Fail(int error) {
    SetLastError(error);
    return false;
}

tcflag_t ByteSizeFlag(std::uint8_t bits) {
    switch (bits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

// Sets or clears modem lines; a line that cannot drive them (a pty) accepts and ignores.
bool DriveLines(int fd, int bits, bool on) {
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0) return true;
    return detail::IsUnsupported(errno) ? true : Fail(errno);
}

// What a line can be asked for at all: a rate that fits the driver's field, one and a half
// stop bits only with five data bits, and two stop bits only with more.
bool Expressible(const TPortState& s) {
    if (s.BaudRate == 0 || s.BaudRate > 0x7FFFFFFFu) return false;
    if (s.ByteSize < 5 || s.ByteSize > 8 || s.Parity > SPACEPARITY || s.StopBits > TWOSTOPBITS)
        return false;
    if (s.StopBits == ONE5STOPBITS && s.ByteSize != 5) return false;
    if (s.StopBits == TWOSTOPBITS && s.ByteSize == 5) return false;
    return s.fDtrControl <= DTR_CONTROL_HANDSHAKE && s.fRtsControl <= RTS_CONTROL_TOGGLE;
}

// Reads the line back: a driver leaves what it cannot do as it was without a word (a pty
// keeps eight bits without parity). A rate within 1 % counts as taken, as a UART's divisor
// rounds it.
bool LineTook(int fd, tcflag_t cflag, tcflag_t iflag, std::uint32_t rate) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    constexpr tcflag_t kFormat = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    constexpr tcflag_t kInput = INPCK | IXON | IXOFF;
    if ((tio.c_cflag & kFormat) != (cflag & kFormat) || (tio.c_iflag & kInput) != (iflag & kInput))
        return false;
    std::uint32_t now = 0;
    if (!GetLineRate(fd, now)) return false;
    const std::uint64_t off = now > rate ? now - rate : rate - now;
    return off * 100 <= rate;
}

}  // namespace

bool SetPortState(THandle h, const TPortState& s) {
    detail::TPortRef port(h);
    if (!port) return false;
    if (!Expressible(s)) return Fail(EINVAL);
    std::lock_guard<std::mutex> g(port->lock);
    int fd = port->fd;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return Fail(errno);
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;  // with O_NONBLOCK: no data is EAGAIN, so 0 means hang-up
    tio.c_cc[VTIME] = 0;

    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= ByteSizeFlag(s.ByteSize);
    switch (s.Parity) {
        case ODDPARITY: tio.c_cflag |= PARENB | PARODD; break;
        case EVENPARITY: tio.c_cflag |= PARENB; break;
        case MARKPARITY: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case SPACEPARITY: tio.c_cflag |= PARENB | CMSPAR; break;
        default: break;
    }
    // One and a half stop bits is what a UART sends for CSTOPB at five data bits.
    if (s.StopBits != ONESTOPBIT) tio.c_cflag |= CSTOPB;
    if (s.fOutxCtsFlow || s.fRtsControl == RTS_CONTROL_HANDSHAKE) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    if (s.fParity) tio.c_iflag |= INPCK;
    if (s.fOutX) tio.c_iflag |= IXON;
    if (s.fInX) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    TLineModes modes;
    modes.iflag = tio.c_iflag;
    modes.oflag = tio.c_oflag;
    modes.cflag = tio.c_cflag;
    modes.lflag = tio.c_lflag;
    std::copy(tio.c_cc, tio.c_cc + std::min<std::size_t>(NCCS, sizeof modes.cc), modes.cc);
    if (!SetLineModes(fd, modes, s.BaudRate)) return Fail(errno);

    if (!DriveLines(fd, TIOCM_DTR, s.fDtrControl != DTR_CONTROL_DISABLE)) return false;
    if (s.fRtsControl != RTS_CONTROL_HANDSHAKE &&
        !DriveLines(fd, TIOCM_RTS, s.fRtsControl != RTS_CONTROL_DISABLE))
        return false;
    // The layer's own fields (NUL discarding, the event character) hold either way; what the
    // driver quietly left as it was is reported.
    port->state = s;
    return LineTook(fd, modes.cflag, modes.iflag, s.BaudRate) ? true : Fail(EINVAL);
}

bool GetPortState(THandle h, TPortState& s) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    termios tio{};
    if (tcgetattr(port->fd, &tio) != 0) return Fail(errno);
    s = port->state;  // what the line cannot carry reads back as set
    std::uint32_t rate = 0;
    if (GetLineRate(port->fd, rate)) s.BaudRate = rate;
    switch (tio.c_cflag & CSIZE) {
        case CS5: s.ByteSize = 5; break;
        case CS6: s.ByteSize = 6; break;
        case CS7: s.ByteSize = 7; break;
        default: s.ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB))
        s.Parity = NOPARITY;
    else if (tio.c_cflag & CMSPAR)
        s.Parity = (tio.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        s.Parity = (tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    if (!(tio.c_cflag & CSTOPB))
        s.StopBits = ONESTOPBIT;
    else
        s.StopBits = (s.ByteSize == 5 && port->state.StopBits == ONE5STOPBITS) ? ONE5STOPBITS
                                                                              : TWOSTOPBITS;
    s.fParity = (tio.c_iflag & INPCK) != 0;
    s.fOutX = (tio.c_iflag & IXON) != 0;
    s.fInX = (tio.c_iflag & IXOFF) != 0;
    s.fOutxCtsFlow = (tio.c_cflag & CRTSCTS) != 0 && port->state.fOutxCtsFlow;
    s.XonChar = static_cast<char>(tio.c_cc[VSTART]);
    s.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
    return true;
}

bool SetTimeouts(THandle h, const TTimeouts& t) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    port->timeouts = t;
    return true;
}

bool GetTimeouts(THandle h, TTimeouts& t) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    t = port->timeouts;
    return true;
}

bool SetQueueSizes(THandle h, std::uint32_t inputSize, std::uint32_t outputSize) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    port->inputSize = inputSize;
    port->outputSize = outputSize;
    port->WakeWaiters();  // a larger queue may take more from the line
    return true;
}

bool GetModemStatus(THandle h, std::uint32_t& status) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    status = 0;
    int bits = 0;
    if (ioctl(port->fd, TIOCMGET, &bits) != 0) {
        if (detail::IsUnsupported(errno)) return true;
        return Fail(errno);
    }
    if (bits & TIOCM_CTS) status |= MS_CTS_ON;
    if (bits & TIOCM_DSR) status |= MS_DSR_ON;
    if (bits & TIOCM_RNG) status |= MS_RING_ON;
    if (bits & TIOCM_CAR) status |= MS_RLSD_ON;
    return true;
}

bool EscapeFunction(THandle h, int function) {
    detail::TPortRef port(h);
    if (!port) return false;
    std::lock_guard<std::mutex> g(port->lock);
    int fd = port->fd;
    switch (function) {
        case SETXOFF: return tcflow(fd, TCOOFF) == 0 || Fail(errno);
        case SETXON: return tcflow(fd, TCOON) == 0 || Fail(errno);
        case SETRTS: return DriveLines(fd, TIOCM_RTS, true);
        case CLRRTS: return DriveLines(fd, TIOCM_RTS, false);
        case SETDTR: return DriveLines(fd, TIOCM_DTR, true);
        case CLRDTR: return DriveLines(fd, TIOCM_DTR, false);
        case SETBREAK:
            if (ioctl(fd, TIOCSBRK) == 0 || detail::IsUnsupported(errno)) return true;
            return Fail(errno);
        case CLRBREAK:
            if (ioctl(fd, TIOCCBRK) == 0 || detail::IsUnsupported(errno)) return true;
            return Fail(errno);
        default: return Fail(EINVAL);
    }
}

}  // namespace comm
