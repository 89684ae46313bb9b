#include "link/portdiscovery.h"

#include <QSerialPortInfo>

QStringList selectInstrumentPorts(const QList<SerialPortDescription> &ports, quint16 vendor,
                                  quint16 product)
{
    QStringList names;
    for (const SerialPortDescription &p : ports) {
        if (p.hasVendor && p.hasProduct && p.vendor == vendor && p.product == product && !p.busy)
            names << p.name;
    }
    return names;
}

QList<SerialPortDescription> systemSerialPorts()
{
    QList<SerialPortDescription> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        SerialPortDescription d;
        d.name = info.portName();
        d.hasVendor = info.hasVendorIdentifier();
        d.vendor = info.vendorIdentifier();
        d.hasProduct = info.hasProductIdentifier();
        d.product = info.productIdentifier();
        // Only the lock-file check is available; a port held open with an
        // exclusive lock but without a lock file shows as free and fails to open.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        d.busy = info.isBusy();
        QT_WARNING_POP
        ports << d;
    }
    return ports;
}

QStringList findInstrumentPorts(quint16 vendor, quint16 product)
{
    return selectInstrumentPorts(systemSerialPorts(), vendor, product);
}
