// termios2 lives in the kernel's headers, which clash with <termios.h>: this file includes only
// them, and SerialPort.cpp only the C library's.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace quell::gw {

bool setCustomBaud(int fd, int baud)
{
    struct termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_ispeed = static_cast<speed_t>(baud);
    t.c_ospeed = static_cast<speed_t>(baud);
    if (::ioctl(fd, TCSETS2, &t) != 0)
        return false;
    return ::ioctl(fd, TCGETS2, &t) == 0 && t.c_ospeed == static_cast<speed_t>(baud);
}

} // namespace quell::gw
