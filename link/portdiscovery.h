#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// USB identifiers of the instrument's USB-serial bridge.
constexpr quint16 kInstrumentUsbVendor = 0x1A86;
constexpr quint16 kInstrumentUsbProduct = 0x7523;

// What the system tells about one serial port.
struct SerialPortDescription
{
    QString name;
    bool hasVendor = false;
    quint16 vendor = 0;
    bool hasProduct = false;
    quint16 product = 0;
    bool busy = false;
    QString serialNumber; // empty when the bridge has none (most CH340s)
};

// Names of the ports that report both USB identifiers, match `vendor` and
// `product`, and are not in use, in the order given.
QStringList selectInstrumentPorts(const QList<SerialPortDescription> &ports, quint16 vendor,
                                  quint16 product);

// The system's serial ports, in the system's order.
QList<SerialPortDescription> systemSerialPorts();

// The instrument ports currently attached and free.
QStringList findInstrumentPorts(quint16 vendor = kInstrumentUsbVendor,
                                quint16 product = kInstrumentUsbProduct);

// The device file of a port name as the serial layer opens it: a name
// without "/" lives in /dev.
QString portDevicePath(const QString &port);

// Where the instrument that was on `port` (described by `was`, empty when
// the port was not in the system's list, say a pseudo-terminal) is now:
// the same port while its device file exists; otherwise, after the USB
// bridge came back under another name, the free port of the same vendor,
// product and serial number, or, for a bridge without a serial number, the
// one free port of that vendor and product. Empty while it is not back or
// when several ports could be it.
QString findReturningPort(const QString &port, const SerialPortDescription &was,
                          const QList<SerialPortDescription> &now, bool portFileExists);

// Where a USB port is plugged in: the name of the link in `byPathFolder`
// that leads to its device file, which stays the same for a socket
// whatever number the port gets; empty when there is none.
constexpr char kSerialByPathFolder[] = "/dev/serial/by-path";
QString portPlace(const QString &port,
                  const QString &byPathFolder = QLatin1String(kSerialByPathFolder));

// The system's description of `port`; only `name` is set when it is not listed.
SerialPortDescription describePort(const QString &port);
