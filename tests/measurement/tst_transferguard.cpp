#include "measurement/transferguard.h"

#include <QtTest>

class TestTransferGuard : public QObject
{
    Q_OBJECT

private:
    qint64 m_now = 0;

private slots:
    // Blocks without progress reports keep a download going; once it is
    // quiet another transfer may start, but its late end still brings the
    // download's records.
    void blocksRenewAndLateEndIsKept()
    {
        TransferGuard guard([this] { return m_now; });
        guard.start(TransferGuard::Download);
        for (int block = 0; block < 3; ++block) {
            m_now += 8000;
            guard.activity();
        }
        m_now += 8000;
        QVERIFY(guard.outstanding());
        m_now += 60000;
        QVERIFY(!guard.outstanding());
        QCOMPARE(guard.finish(), TransferGuard::Download);
        QCOMPARE(guard.finish(), TransferGuard::None);
    }
};

QTEST_MAIN(TestTransferGuard)
#include "tst_transferguard.moc"
