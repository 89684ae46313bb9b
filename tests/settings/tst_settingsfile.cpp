#include "settings/settingsfile.h"

#include "fuzz/pngbomb.h"
#include "tests/app/memoryprobe.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

// Builds big-endian byte strings by hand, independently of QDataStream.
struct Bytes
{
    QByteArray b;
    Bytes &u8(quint8 v)
    {
        b.append(char(v));
        return *this;
    }
    Bytes &u16(quint16 v) { return u8(quint8(v >> 8)).u8(quint8(v)); }
    Bytes &u32(quint32 v) { return u16(quint16(v >> 16)).u16(quint16(v)); }
    Bytes &hex(const char *h)
    {
        b.append(QByteArray::fromHex(h));
        return *this;
    }
    Bytes &str(const QString &s)
    {
        u32(quint32(s.size() * 2));
        for (QChar c : s)
            u16(c.unicode());
        return *this;
    }
    // stream colour form: spec (1 = RGB), then 16-bit alpha, red, green, blue, padding
    Bytes &rgb(quint8 r, quint8 g, quint8 bl)
    {
        return u8(1).u16(0xffff).u16(r * 257).u16(g * 257).u16(bl * 257).u16(0);
    }
};

QByteArray withOuterArray(const QByteArray &content)
{
    return Bytes().u32(quint32(content.size())).b + content;
}

AppSettings sample()
{
    AppSettings s;
    s.testerName = QStringLiteral("T");
    s.companyName = QStringLiteral("ACME");
    s.dataDir = QStringLiteral("/d/");
    s.language = 0;
    s.continuousSeconds = 3725;
    s.continuousEnabled = true;
    s.highLimit[0] = 100.0f;
    s.lowLimit[0] = -12.5f;
    s.limitEnabled[0] = true;
    s.autoBackupEnabled = true;
    s.showYAxis = true;
    s.channelColor[3] = QColor(1, 2, 3);
    s.scatterShape = 2;
    s.lineStyle = 1;
    return s;
}

QByteArray sampleContent()
{
    Bytes c;
    c.u32(0); // no logo
    c.str(QStringLiteral("T")).str(QStringLiteral("ACME")).str(QStringLiteral("/d/"));
    c.u32(0).u32(3725).u8(1);
    c.hex("4059000000000000").hex("c029000000000000").u8(1); // T1: 100.0, -12.5, on
    for (int ch = 1; ch < 4; ++ch)
        c.hex("4059000000000000").hex("0000000000000000").u8(0);
    c.u8(1).u8(0).u8(1).u8(0); // backup, x-axis, y-axis, legend
    c.rgb(128, 0, 0).rgb(0, 128, 0).rgb(0, 0, 128).rgb(1, 2, 3);
    c.u32(2).u32(1);
    return c.b;
}

QByteArray imageFile(const QSize &size, const char *format,
                     QImage::Format pixels = QImage::Format_RGB32)
{
    QImage image(size, pixels);
    image.fill(QColor(10, 120, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// sampleContent() with `png` as its logo in the stream's image form.
QByteArray contentWithLogo(const QByteArray &png)
{
    return Bytes().u32(1).b + png + sampleContent().mid(4);
}

constexpr std::size_t kMemoryBound = 300u * 1024 * 1024;

} // namespace

Q_DECLARE_METATYPE(LogoRead)

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void encodesTheFileByteForByte()
    {
        QCOMPARE(encodeSettings(sample()).toHex(), withOuterArray(sampleContent()).toHex());
    }

    void decodesHandAssembledBytes()
    {
        AppSettings s;
        QVERIFY(decodeSettings(withOuterArray(sampleContent()), s));
        QCOMPARE(s.testerName, QStringLiteral("T"));
        QCOMPARE(s.companyName, QStringLiteral("ACME"));
        QCOMPARE(s.dataDir, QStringLiteral("/d/"));
        QCOMPARE(s.language, 0);
        QCOMPARE(s.continuousSeconds, 3725);
        QCOMPARE(s.lowLimit[0], -12.5f);
        QCOMPARE(s.limitEnabled[0], true);
        QCOMPARE(s.limitEnabled[1], false);
        QCOMPARE(s.showYAxis, true);
        QCOMPARE(s.showXAxis, false);
        QCOMPARE(s.channelColor[0], QColor(Qt::darkRed));
        QCOMPARE(s.channelColor[3], QColor(1, 2, 3));
        QCOMPARE(s.scatterShape, 2);
        QCOMPARE(s.lineStyle, 1);
        QVERIFY(s.logo.isNull());
    }

    // The instruments' labels follow the older fields, which read as before.
    void instrumentLabelsAppendedAndReadBack()
    {
        AppSettings s = sample();
        s.instrumentLabels.insert(QStringLiteral("pci-0000:00:14.0-usb-0:2:1.0-port0"),
                                  QStringLiteral("oven_top"));
        const QByteArray file = encodeSettings(s);
        QVERIFY(file.mid(4).startsWith(sampleContent()));
        AppSettings read;
        QVERIFY(decodeSettings(file, read));
        QCOMPARE(read.instrumentLabels, s.instrumentLabels);
        QCOMPARE(read.lineStyle, s.lineStyle);
        QVERIFY(read.instrumentLimits.isEmpty());
    }

    // Limits of an instrument's own follow the labels (an empty map of them
    // holding their place) and read back by label; any other label has the
    // shared limits. A file without them reads with none.
    void instrumentLimitsAppendedAndReadBack()
    {
        AppSettings s = sample();
        ConfigLimits own;
        own.highLimit[1] = 42.5f;
        own.limitEnabled[1] = true;
        s.instrumentLimits.insert(QStringLiteral("oven_top"), own);
        const QByteArray file = encodeSettings(s);
        QVERIFY(file.mid(4).startsWith(sampleContent() + Bytes().u32(0).b));
        AppSettings read;
        QVERIFY(decodeSettings(file, read));
        QCOMPARE(read.limitsFor(QStringLiteral("oven_top")), own);
        QCOMPARE(read.limitsFor(QStringLiteral("other")), static_cast<const ConfigLimits &>(s));
        QVERIFY(decodeSettings(withOuterArray(sampleContent()), read));
        QVERIFY(read.instrumentLimits.isEmpty());
    }

    // A tester name left at its default reads in the language in use,
    // whichever language stored it; a typed one stays as typed.
    void defaultTesterNameFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("read");
        QTest::newRow("English default, read in Chinese")
            << "KX740D tester" << false << QStringLiteral("KX740D 测试员");
        QTest::newRow("Chinese default, read in English")
            << QStringLiteral("KX740D 测试员") << true << "KX740D tester";
        QTest::newRow("typed") << QStringLiteral("王工") << true << QStringLiteral("王工");
    }
    void defaultTesterNameFollowsTheLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(bool, english);
        QFETCH(QString, read);
        QTranslator translator;
        if (english) {
            QVERIFY(translator.load(QStringLiteral("KX740D_EN"),
                                    QCoreApplication::applicationDirPath()));
            QCoreApplication::installTranslator(&translator);
        }
        AppSettings s = sample();
        s.testerName = stored;
        AppSettings back;
        QVERIFY(decodeSettings(encodeSettings(s), back));
        QCOMPARE(back.testerName, read);
    }

    void defaultsMatchTheDocumentedRecord()
    {
        AppSettings s;
        QCOMPARE(s.language, 1);
        QCOMPARE(s.continuousSeconds, 60);
        QVERIFY(s.continuousEnabled);
        QVERIFY(s.autoBackupEnabled);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            QCOMPARE(s.highLimit[ch], 100.0f);
            QCOMPARE(s.lowLimit[ch], 0.0f);
            QVERIFY(!s.limitEnabled[ch]);
        }
        QCOMPARE(s.channelColor[0], QColor(Qt::darkRed));
        QCOMPARE(s.channelColor[1], QColor(Qt::darkGreen));
        QCOMPARE(s.channelColor[2], QColor(Qt::darkBlue));
        QCOMPARE(s.channelColor[3], QColor(Qt::darkMagenta));
        QCOMPARE(s.scatterShape, 2);
        QCOMPARE(s.lineStyle, 1);
    }

    void largeLogoKeptAtFullSize()
    {
        AppSettings s = sample();
        s.logo = QImage(300, 120, QImage::Format_ARGB32);
        s.logo.fill(QColor(10, 20, 30));
        AppSettings back;
        QVERIFY(decodeSettings(encodeSettings(s), back));
        QCOMPARE(back.logo.size(), QSize(300, 120));
        QCOMPARE(back.logo.pixelColor(150, 60), QColor(10, 20, 30));
        // fields after the PNG data are still in place
        QCOMPARE(back.companyName, QStringLiteral("ACME"));
        QCOMPARE(back.lineStyle, 1);
    }

    void imagesReadWithinLimits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<LogoRead>("how");
        QTest::newRow("small png")
            << imageFile(QSize(300, 120), "PNG") << QSize(300, 120) << LogoRead::Whole;
        QTest::newRow("true-colour png wider than the limit")
            << imageFile(QSize(9000, 300), "PNG") << QSize(1024, 34) << LogoRead::Scaled;
        QTest::newRow("jpeg of more than the decoded limit")
            << imageFile(QSize(6000, 4000), "JPG") << QSize(1024, 683) << LogoRead::Scaled;
        // 1-bit rows are decoded whole before any scaling, so they cannot be
        // scaled within the limits
        QTest::newRow("decompression bomb")
            << pngbomb::zeroPng(40000, 40000) << QSize(0, 0) << LogoRead::Dropped;
        QTest::newRow("1-bit png just above the limit")
            << pngbomb::zeroPng(8200, 16) << QSize(0, 0) << LogoRead::Dropped;
        QTest::newRow("damaged png") << pngbomb::damaged(imageFile(QSize(300, 120), "PNG"))
                                     << QSize(0, 0) << LogoRead::Dropped;
        QTest::newRow("no image") << QByteArray("not an image") << QSize(0, 0) << LogoRead::Dropped;
    }

    void imagesReadWithinLimits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(LogoRead, how);
        QVERIFY(resetPeakResident());
        LogoRead read = LogoRead::Whole;
        const QImage image = readImageWithLimits(bytes, &read);
        QVERIFY(peakResidentBytes() < kMemoryBound);
        QCOMPARE(read, how);
        QCOMPARE(image.size(), size);
        QCOMPARE(image.isNull(), how == LogoRead::Dropped);
    }

    void pickedLogoStoredAtMost1024_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("stored");
        QTest::newRow("6000 x 4000 photograph")
            << imageFile(QSize(6000, 4000), "JPG") << QSize(1024, 683);
        QTest::newRow("3000 x 2000 within the limits")
            << imageFile(QSize(3000, 2000), "PNG") << QSize(1024, 683);
        QTest::newRow("portrait") << imageFile(QSize(1200, 1800), "PNG") << QSize(683, 1024);
        QTest::newRow("small logo unchanged")
            << imageFile(QSize(800, 600), "PNG") << QSize(800, 600);
        QTest::newRow("exactly 1024") << imageFile(QSize(1024, 40), "PNG") << QSize(1024, 40);
        QTest::newRow("damaged") << pngbomb::damaged(imageFile(QSize(300, 120), "PNG"))
                                 << QSize(0, 0);
    }

    void pickedLogoStoredAtMost1024()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, stored);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("logo.jpg"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        LogoRead how = LogoRead::Whole;
        const QImage logo = readLogoFile(path, &how);
        QCOMPARE(logo.size(), stored);
        QCOMPARE(how == LogoRead::Dropped, stored.isEmpty());
        if (!logo.isNull())
            QCOMPARE(logo.pixelColor(logo.width() / 2, logo.height() / 2).green(), 120);
    }

    void unusableLogoKeepsTheOtherFields_data()
    {
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<LogoRead>("how");
        QTest::addColumn<QSize>("logo");
        QTest::newRow("decompression bomb")
            << pngbomb::zeroPng(40000, 40000) << LogoRead::Dropped << QSize(7, 7);
        QTest::newRow("damaged png") << pngbomb::damaged(imageFile(QSize(300, 120), "PNG"))
                                     << LogoRead::Dropped << QSize(7, 7);
        QTest::newRow("scaled") << imageFile(QSize(9000, 300), "PNG") << LogoRead::Scaled
                                << QSize(1024, 34);
    }

    void unusableLogoKeepsTheOtherFields()
    {
        QFETCH(QByteArray, png);
        QFETCH(LogoRead, how);
        QFETCH(QSize, logo);
        AppSettings s;
        s.logo = QImage(7, 7, QImage::Format_RGB32); // stands for the default logo
        LogoRead read = LogoRead::Whole;
        QVERIFY(resetPeakResident());
        QVERIFY(decodeSettings(withOuterArray(contentWithLogo(png)), s, &read));
        QVERIFY(peakResidentBytes() < kMemoryBound);
        QCOMPARE(read, how);
        QCOMPARE(s.logo.size(), logo);
        QCOMPARE(s.testerName, QStringLiteral("T"));
        QCOMPARE(s.companyName, QStringLiteral("ACME"));
        QCOMPARE(s.continuousSeconds, 3725);
        QCOMPARE(s.lowLimit[0], -12.5f);
        QCOMPARE(s.showYAxis, true);
        QCOMPARE(s.channelColor[3], QColor(1, 2, 3));
        QCOMPARE(s.scatterShape, 2);
        QCOMPARE(s.lineStyle, 1);
    }

    void shortFileGivesEmptyValuesAndDefaultColours()
    {
        // an older file that ends after the T1 limits
        QByteArray content = sampleContent();
        const int upToT1 = 4 + 6 + 12 + 10 + 4 + 4 + 1 + 17;
        AppSettings s;
        QVERIFY(decodeSettings(withOuterArray(content.left(upToT1)), s));
        QCOMPARE(s.lowLimit[0], -12.5f);
        QCOMPARE(s.highLimit[1], 0.0f);
        QCOMPARE(s.autoBackupEnabled, false);
        QCOMPARE(s.scatterShape, 0);
        QCOMPARE(s.lineStyle, 0);
        QCOMPARE(s.channelColor[0], QColor(Qt::darkRed));
        QCOMPARE(s.channelColor[3], QColor(Qt::darkMagenta));
    }

    void invalidColourFallsBackPerChannel()
    {
        QByteArray content = sampleContent();
        // replace T2's colour with the stream form of an invalid colour
        const int t2Colour = content.size() - 8 - 3 * 11;
        content.replace(t2Colour, 11, QByteArray(11, '\0'));
        AppSettings s;
        QVERIFY(decodeSettings(withOuterArray(content), s));
        QCOMPARE(s.channelColor[1], QColor(Qt::darkGreen));
        QCOMPARE(s.channelColor[3], QColor(1, 2, 3));

        // a spec byte that names no colour model
        content = sampleContent();
        content[t2Colour] = char(9);
        QVERIFY(decodeSettings(withOuterArray(content), s));
        QCOMPARE(s.channelColor[1], QColor(Qt::darkGreen));
    }

    void unreadableFilesLeaveTheRecordAlone_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("empty array") << Bytes().u32(0).b;
        QTest::newRow("null array") << Bytes().u32(0xffffffff).b;
        QTest::newRow("length beyond the end") << Bytes().u32(5000).u32(1).b;
        QTest::newRow("two bytes") << QByteArray("\x01\x02", 2);
    }

    void unreadableFilesLeaveTheRecordAlone()
    {
        QFETCH(QByteArray, bytes);
        AppSettings s = sample();
        QVERIFY(!decodeSettings(bytes, s));
        QCOMPARE(s.companyName, QStringLiteral("ACME"));
        QCOMPARE(s.continuousSeconds, 3725);
    }

    void garbageInsideTheArrayDoesNotCrash()
    {
        QByteArray content(64, '\xff');
        AppSettings s;
        QVERIFY(decodeSettings(withOuterArray(content), s));
        for (const QColor &c : s.channelColor)
            QVERIFY(c.spec() == QColor::Rgb || c.spec() == QColor::Hsv ||
                    c.spec() == QColor::Cmyk || c.spec() == QColor::Hsl ||
                    c.spec() == QColor::ExtendedRgb);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
