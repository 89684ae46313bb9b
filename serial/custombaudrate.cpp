#include "serial/custombaudrate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace serial {

bool setCustomBaudrate(int fd, uint32_t baudrate)
{
    struct termios2 line;
    if (ioctl(fd, TCGETS2, &line) == -1)
        return false;
    // CIBAUD holds the input speed code; clearing it makes the input speed
    // follow the output speed.
    line.c_cflag &= ~(CBAUD | CIBAUD);
    line.c_cflag |= BOTHER;
    line.c_ispeed = baudrate;
    line.c_ospeed = baudrate;
    return ioctl(fd, TCSETS2, &line) != -1;
}

} // namespace serial
