// Writes the seed corpora of the fuzz targets into DIR/<target>/, each seed a
// valid input made by the program's own writers:
//   fuzz_makecorpus DIR

#include "fuzz/pngbomb.h"
#include "instrument/commands.h"
#include "link/frame.h"
#include "settings/settingsfile.h"
#include "store/datafile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

QString g_root;

bool put(const QString &target, const QString &name, const QByteArray &bytes)
{
    const QString dir = g_root + QLatin1Char('/') + target;
    QDir().mkpath(dir);
    QFile f(dir + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

_T_EE_TEST_DATA record(int i, quint8 state = StateValue)
{
    _T_EE_TEST_DATA r;
    r.year = 26;
    r.month = 12;
    r.day = 7;
    r.hour = 10;
    r.minute = quint8(i / 60 % 60);
    r.second = quint8(i % 60);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        r.type[ch] = quint8(ch);
        r.state[ch] = ch == 3 ? state : StateValue;
        r.value[ch] = 20.5f + float(i) + float(ch) * 0.25f;
    }
    r.checksum = recordChecksum(r);
    return r;
}

QVector<_T_EE_TEST_DATA> records(int n)
{
    QVector<_T_EE_TEST_DATA> out;
    for (int i = 0; i < n; ++i)
        out.append(record(i, quint8(i % 4)));
    return out;
}

_T_PRINT_OUT_DATA reading(float base, quint8 state)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        r.value[ch] = base + float(ch);
        r.status[ch] = statusByte(quint8(ch), ch == 0 ? state : StateValue);
        r.modeValue[ch] = base + 10;
    }
    r.ambient = 23.5f;
    return r;
}

// A stream of frames; its first byte is the piece size the target feeds it
// in (value + 1).
QByteArray stream(quint8 pieceMinusOne, const QList<QByteArray> &payloads,
                  const QByteArray &between = QByteArray())
{
    QByteArray out(1, char(pieceMinusOne));
    for (const QByteArray &p : payloads)
        out += encodeFrame(p) + between;
    return out;
}

bool writeFrameSeeds()
{
    _T_CTRL_CONFIG ctrl;
    setCtrlInterval(ctrl, 2);
    ctrl.unit = 1;
    _T_CH_CONFIG ch;
    ch.type[1] = TypeN;
    ch.offset[2] = -50;
    const QList<QByteArray> session = {ansDeviceInfo("KX740D", 1, 5),
                                       ansCtrlConfig(ctrl),
                                       ansChConfig(ch),
                                       ansStoredCount(1234),
                                       ansStatus(1),
                                       ansLiveReading(reading(21, 0)),
                                       ansLiveReading(reading(22, 2)),
                                       ansLiveReading(reading(23, 1)),
                                       ansLiveReading(reading(24, 3))};
    const QList<QByteArray> download = {ansProgress(2, 2), ansBlock(0, records(32)),
                                        ansProgress(2, 1), ansEnd()};
    return put("framedriver", "session", stream(6, session)) &&
           put("framedriver", "noisy", stream(254, session, QByteArray("\xAA\x00\x55", 3))) &&
           put("framedriver", "download", stream(62, download));
}

Data_table_T archive(int measurements, int perMeasurement)
{
    Data_table_T a;
    a.name = QStringLiteral("档案");
    a.created = QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15, 250));
    for (int i = 0; i < measurements; ++i) {
        Data_List_T m;
        m.name = QStringLiteral("测量%1").arg(i);
        m.created = a.created.addSecs(60 * i);
        m.records = records(perMeasurement * (i + 1));
        a.append(m);
    }
    return a;
}

bool writeDataFileSeeds()
{
    return put("datafile", "empty-archive", dataFileToBytes(archive(0, 0))) &&
           put("datafile", "one-empty-measurement", dataFileToBytes(archive(1, 0))) &&
           put("datafile", "two-measurements", dataFileToBytes(archive(2, 3)));
}

bool writeBackupSeeds()
{
    // An update caught after the element was appended, before the length and
    // the count were rewritten.
    const QByteArray midUpdate = backupFileToBytes(records(2)) + backupFileElement(record(2));
    return put("backupfile", "emptied", QByteArray()) &&
           put("backupfile", "five-readings", backupFileToBytes(records(5))) &&
           put("backupfile", "mid-update", midUpdate);
}

bool writeSettingsSeeds()
{
    AppSettings custom;
    QImage logo(4, 3, QImage::Format_RGB32);
    logo.fill(QColor(200, 30, 40));
    custom.logo = logo;
    custom.testerName = QStringLiteral("测试员");
    custom.companyName = QStringLiteral("公司");
    custom.dataDir = QStringLiteral("/home/user/data/");
    custom.language = 0;
    custom.continuousSeconds = 3725;
    custom.highLimit[1] = 250.5f;
    custom.lowLimit[2] = -40.0f;
    custom.limitEnabled[3] = true;
    custom.channelColor[0] = QColor::fromHsv(120, 200, 100);
    custom.scatterShape = 5;
    // Logos the reader must not decode as they stand, in the place of the
    // null logo's marker: PNGs declaring 40000 x 40000 pixels in 195 KB and
    // 9000 x 9000 in 10 KB, a damaged PNG, and a PNG cut off before its end
    // (which hides the fields after it).
    AppSettings noLogo = custom;
    noLogo.logo = QImage();
    const QByteArray content = encodeSettings(noLogo).mid(4);
    const auto withLogo = [&content](const QByteArray &png) {
        QByteArray file;
        QDataStream out(&file, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_12);
        out << (QByteArray::fromHex("00000001") + png + content.mid(4));
        return file;
    };
    QByteArray small;
    QBuffer buffer(&small);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    const QByteArray bomb = pngbomb::zeroPng(9000, 9000);
    return put("settingsfile", "defaults", encodeSettings(AppSettings())) &&
           put("settingsfile", "custom-with-logo", encodeSettings(custom)) &&
           put("settingsfile", "logo-decompression-bomb",
               withLogo(pngbomb::zeroPng(40000, 40000))) &&
           put("settingsfile", "logo-above-the-limits", withLogo(bomb)) &&
           put("settingsfile", "logo-damaged", withLogo(pngbomb::damaged(small))) &&
           put("settingsfile", "logo-cut-off", withLogo(bomb.left(bomb.size() / 2)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    const bool ok =
        writeFrameSeeds() && writeDataFileSeeds() && writeBackupSeeds() && writeSettingsSeeds();
    return ok ? 0 : 1;
}
