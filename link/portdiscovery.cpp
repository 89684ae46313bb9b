#include "link/portdiscovery.h"

#include <QDir>
#include <QFileInfo>
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
        d.serialNumber = info.serialNumber();
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

QString portPlace(const QString &port, const QString &byPathFolder)
{
    const QString device = QFileInfo(portDevicePath(port)).canonicalFilePath();
    if (device.isEmpty())
        return QString();
    for (const QFileInfo &link : QDir(byPathFolder).entryInfoList(QDir::System | QDir::Files))
        if (link.canonicalFilePath() == device)
            return link.fileName();
    return QString();
}

QString portDevicePath(const QString &port)
{
    return port.contains(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
}

QString findReturningPort(const QString &port, const SerialPortDescription &was,
                          const QList<SerialPortDescription> &now, bool portFileExists)
{
    if (portFileExists)
        return port;
    if (!was.hasVendor || !was.hasProduct)
        return QString();
    QStringList candidates;
    for (const SerialPortDescription &p : now) {
        if (p.busy || !p.hasVendor || !p.hasProduct || p.vendor != was.vendor ||
            p.product != was.product || p.serialNumber != was.serialNumber)
            continue;
        candidates << p.name;
    }
    return candidates.size() == 1 ? candidates.first() : QString();
}

SerialPortDescription describePort(const QString &port)
{
    const QString name = port.section(QLatin1Char('/'), -1);
    for (const SerialPortDescription &p : systemSerialPorts()) {
        if (p.name == name && portDevicePath(p.name) == portDevicePath(port))
            return p;
    }
    SerialPortDescription d;
    d.name = port;
    return d;
}
