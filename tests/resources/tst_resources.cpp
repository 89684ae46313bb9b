#include "resources/initresources.h"

#include <QColor>
#include <QDir>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QtTest>

namespace {

const QColor kGrey(0x45, 0x46, 0x4a);   // strokes on light backgrounds
const QColor kWhite(0xff, 0xff, 0xff);  // on the dark title bar or on orange
const QColor kOrange(0xf9, 0x79, 0x32); // accent, "on" and "selected" states
const QColor kLight(0xb8, 0xb9, 0xbf);  // "off" state

const QSize kIcon(64, 64);

// Settings menu icons come as a grey image and a white "_w" twin for the
// selected (orange) menu entry.
const char *const kMenuIcons[] = {"ic_menu_dev",       "ic_menu_unit",   "ic_menu_tc_type",
                                  "ic_menu_tc_offset", "ic_menu_limit",  "ic_menu_time",
                                  "ic_menu_pdf",       "ic_menu_backup", "ic_menu_guide",
                                  "ic_menu_lang",      "ic_menu_graph"};

struct ImageRow
{
    QString name;
    QSize size;
    QColor ink; // colour of most fully opaque pixels; invalid for multi-coloured pictures
};

QList<ImageRow> programImages()
{
    QList<ImageRow> rows = {
        {"copy.png", kIcon, kGrey},
        {"cut.png", kIcon, kGrey},
        {"paste.png", kIcon, kGrey},
        {"delete3x.png", kIcon, kGrey},
        {"ic_hfcc.png", kIcon, kGrey},
        {"ic_gb.png", kIcon, kGrey},
        {"ic_sz.png", kIcon, kWhite},
        {"ic_yc3x.png", kIcon, kWhite},
        {"ic_sx3x.png", kIcon, kWhite},
        {"ic_sc3x.png", kIcon, kWhite},
        {"ic_dif_mr3x.png", kIcon, kGrey},
        {"ic_dif_dj3x.png", kIcon, kWhite},
        {"ic_wj.png", kIcon, kGrey},
        {"ic_wj_xz.png", kIcon, kOrange},
        {"ic_xz.png", kIcon, kOrange},
        {"ic_wxz.png", kIcon, kLight},
        {"image 43x.png", QSize(320, 64), kOrange},
        {"tester.png", QSize(128, 128), QColor()},
        {"ic_file_new.png", kIcon, kGrey},
        {"ic_file_open.png", kIcon, kGrey},
        {"ic_file_save.png", kIcon, kGrey},
        {"ic_file_save_as.png", kIcon, kGrey},
        {"ic_file_import.png", kIcon, kGrey},
        {"ic_start.png", kIcon, kOrange},
        {"ic_stop.png", kIcon, kOrange},
        {"ic_switch.png", kIcon, kGrey},
        {"ic_axis.png", kIcon, kGrey},
        {"ic_open_doc.png", kIcon, kGrey},
        {"ic_connect.png", kIcon, kWhite},
    };
    for (const char *menu : kMenuIcons) {
        const QString base = QString::fromLatin1(menu);
        rows.append({base + QStringLiteral(".png"), kIcon, kGrey});
        rows.append({base + QStringLiteral("_w.png"), kIcon, kWhite});
    }
    return rows;
}

QColor dominantOpaqueColour(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 255)
                ++counts[line[x]];
        }
    }
    QRgb best = 0;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return bestCount ? QColor::fromRgba(best) : QColor();
}

QImage loadArgb(const QString &name)
{
    return QImage(QStringLiteral(":/images/") + name).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void images_data();
    void images();
    void whiteTwinsMatchTheirGreyShape_data();
    void whiteTwinsMatchTheirGreyShape();
    void applicationIconHoldsAllSizes();
    void resourceHoldsExactlyTheListedImages();
};

void TestResources::initTestCase()
{
    kxInitResources();
    kxInitResources(); // a second call must be harmless
}

void TestResources::images_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("ink");
    for (const ImageRow &row : programImages())
        QTest::newRow(qPrintable(row.name)) << row.name << row.size << row.ink;
}

void TestResources::images()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QColor, ink);

    const QPixmap pixmap(QStringLiteral(":/images/") + name);
    QVERIFY2(!pixmap.isNull(), qPrintable(name));
    QCOMPARE(pixmap.size(), size);

    // Every image sits on buttons and labels of several colours, so its corners
    // must be see-through.
    const QImage image = loadArgb(name);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);

    if (ink.isValid())
        QCOMPARE(dominantOpaqueColour(image).name(), ink.name());
}

void TestResources::whiteTwinsMatchTheirGreyShape_data()
{
    QTest::addColumn<QString>("grey");
    QTest::addColumn<QString>("white");
    QTest::newRow("ic_dif") << "ic_dif_mr3x.png"
                            << "ic_dif_dj3x.png";
    for (const char *menu : kMenuIcons) {
        const QString base = QString::fromLatin1(menu);
        QTest::newRow(menu) << base + ".png" << base + "_w.png";
    }
}

// A selected entry swaps the grey icon for its white twin; the two must be the
// same drawing so the button does not appear to change its symbol.
void TestResources::whiteTwinsMatchTheirGreyShape()
{
    QFETCH(QString, grey);
    QFETCH(QString, white);

    const QImage g = loadArgb(grey);
    const QImage w = loadArgb(white);
    QVERIFY(!g.isNull());
    QVERIFY(!w.isNull());
    QCOMPARE(w.size(), g.size());

    int inked = 0;
    for (int y = 0; y < g.height(); ++y) {
        for (int x = 0; x < g.width(); ++x) {
            QCOMPARE(qAlpha(w.pixel(x, y)), qAlpha(g.pixel(x, y)));
            if (qAlpha(w.pixel(x, y)) == 255) {
                QCOMPARE(QColor(w.pixel(x, y)).name(), kWhite.name());
                ++inked;
            }
        }
    }
    QVERIFY2(inked > 100, "the icon draws next to nothing");
}

void TestResources::applicationIconHoldsAllSizes()
{
    const QIcon icon(QStringLiteral(":/images/logo.ico"));
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 32, 48, 256}) {
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        const QPixmap pixmap = icon.pixmap(QSize(side, side));
        QCOMPARE(pixmap.size(), QSize(side, side));
        // Every size is the same drawing: mostly orange square, white probe.
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(dominantOpaqueColour(image).name(), kOrange.name());
    }
}

// An image that is in the resource file but not in the list above is not
// checked, and a listed one that is missing fails at run time in the program.
void TestResources::resourceHoldsExactlyTheListedImages()
{
    QSet<QString> expected{QStringLiteral("logo.ico")};
    for (const ImageRow &row : programImages())
        expected.insert(row.name);

    const QStringList present = QDir(QStringLiteral(":/images")).entryList(QDir::Files);
    const QSet<QString> actual(present.cbegin(), present.cend());
    QCOMPARE(QSet<QString>(actual).subtract(expected), QSet<QString>()); // unlisted images
    QCOMPARE(QSet<QString>(expected).subtract(actual), QSet<QString>()); // missing images
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
