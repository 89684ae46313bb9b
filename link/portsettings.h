#pragma once

#include <QString>

// Line settings handed from the link manager to the reader thread. The
// integers carry the values of the serial layer's enumerations: data bits
// 5 to 8; parity none 0, odd 1, even 2, mark 3, space 4; stop bits one 1,
// two 2, one-and-a-half 3; flow control none 0, software 1, hardware 2.
struct PortSettings
{
    QString portName;
    int baudRate = 9600;
    int byteSize = 8;
    int parity = 0;
    int stopBits = 1;
    int flowControl = 0;
};
