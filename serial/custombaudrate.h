#pragma once

#include <cstdint>

namespace serial {

// Sets a line speed that has no B-constant of its own (Linux termios2 with
// BOTHER), leaving every other line setting as it is. Returns false with errno
// set when the device refuses. Kept apart from the rest of the layer because
// the kernel's termios2 header cannot share a translation unit with
// <termios.h>.
bool setCustomBaudrate(int fd, uint32_t baudrate);

} // namespace serial
