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
