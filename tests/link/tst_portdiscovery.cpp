#include "link/portdiscovery.h"
#include "link/portwatcher.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

SerialPortDescription port(const QString &name, quint16 vendor, quint16 product, bool busy = false)
{
    SerialPortDescription d;
    d.name = name;
    d.hasVendor = true;
    d.vendor = vendor;
    d.hasProduct = true;
    d.product = product;
    d.busy = busy;
    return d;
}

} // namespace

class TestPortDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void keepsFreeInstrumentPortsInSystemOrder()
    {
        SerialPortDescription noIds;
        noIds.name = QStringLiteral("ttyS0");
        SerialPortDescription vendorOnly = port(QStringLiteral("ttyUSB9"), 0x1A86, 0);
        vendorOnly.hasProduct = false;

        const QList<SerialPortDescription> ports{
            port(QStringLiteral("ttyUSB3"), 0x1A86, 0x7523),
            noIds,
            port(QStringLiteral("ttyUSB1"), 0x0403, 0x6001),       // another bridge
            port(QStringLiteral("ttyUSB2"), 0x1A86, 0x7523, true), // open elsewhere
            vendorOnly,
            port(QStringLiteral("ttyUSB0"), 0x1A86, 0x7523),
        };
        QCOMPARE(selectInstrumentPorts(ports, kInstrumentUsbVendor, kInstrumentUsbProduct),
                 (QStringList{QStringLiteral("ttyUSB3"), QStringLiteral("ttyUSB0")}));
        QCOMPARE(kInstrumentUsbVendor, quint16(6790));
        QCOMPARE(kInstrumentUsbProduct, quint16(29987));
    }

    void watcherReportsOnlyChanges()
    {
        QStringList current{QStringLiteral("a")};
        PortWatcher watcher([&] { return current; }, 100000);
        QCOMPARE(watcher.ports(), QStringList{QStringLiteral("a")});
        QSignalSpy spy(&watcher, &PortWatcher::portsChanged);

        watcher.rescan();
        QCOMPARE(spy.count(), 0);

        current << QStringLiteral("b"); // plugged in
        watcher.rescan();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toStringList(),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

        current.clear(); // everything unplugged
        watcher.rescan();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(watcher.ports(), QStringList());
    }

    void watcherPollsByItself()
    {
        QStringList current;
        PortWatcher watcher([&] { return current; }, 20);
        QSignalSpy spy(&watcher, &PortWatcher::portsChanged);
        current << QStringLiteral("ttyUSB0");
        QVERIFY(spy.wait(2000));
    }
};

QTEST_GUILESS_MAIN(TestPortDiscovery)
#include "tst_portdiscovery.moc"
