#include "resources/initresources.h"
#include "tests/widgets/widgettesthelpers.h"
#include "widgets/navbutton.h"

#include <QLinearGradient>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor normalBg(230, 230, 230);
const QColor checkBg(200, 200, 200);
const QColor disabledBg(204, 204, 204);

QPixmap filled(const QColor &color, int size = 16)
{
    QPixmap pix(size, size);
    pix.fill(color);
    return pix;
}

int enumValue(const QVariant &v)
{
    // Q_ENUM values come back typed as the enum; the stored value is an int.
    return *static_cast<const int *>(v.constData());
}

QFont textFont()
{
    QFont font;
    font.setPixelSize(18);
    font.setBold(true);
    return font;
}

// A value of the property's type that differs from current.
QVariant differentValue(const QMetaProperty &prop, const QVariant &current)
{
    if (prop.isEnumType()) {
        const QMetaEnum e = prop.enumerator();
        for (int i = 0; i < e.keyCount(); ++i) {
            if (e.value(i) != enumValue(current))
                return e.value(i);
        }
        return QVariant();
    }
    switch (current.userType()) {
    case QMetaType::Int:
        return current.toInt() + 3;
    case QMetaType::Bool:
        return !current.toBool();
    case QMetaType::QColor:
        return QColor(12, 34, 56);
    case QMetaType::QSize:
        return current.toSize() + QSize(1, 1);
    case QMetaType::QBrush:
        return QBrush(QColor(1, 2, 3));
    case QMetaType::QPixmap:
        return filled(Qt::red, 4);
    default:
        return QVariant();
    }
}

} // namespace

class TestNavButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kxInitResources(); }

    void propertiesInDeclarationOrderWithDefaults();
    void basicAlignmentsAreQtFlags();
    void sizeHints();

    void checkedGradientWinsOverCheckColour();
    void disabledHoveredUsesDisabledColours();
    void lineOnlyWhenChecked();
    void triangleOnlyWhenHoveredOrChecked();
    void centredAlignmentsIgnorePaddings();
    void leftAlignmentHonoursLeftPadding();
    void iconFollowsStateAndPosition();

    void sameValueSetterDoesNotRepaint_data();
    void sameValueSetterDoesNotRepaint();
    void alwaysRepaintingSetters();
    void enterAndLeaveSetHoverAndSignal();
};

void TestNavButton::propertiesInDeclarationOrderWithDefaults()
{
    NavButton b;
    const QMetaObject *mo = b.metaObject();
    QStringList names;
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        names << QString::fromLatin1(mo->property(i).name());
    const QStringList expected = {
        "m_paddingLeft",    "m_paddingRight",   "m_paddingTop",    "m_paddingBottom",
        "m_textAlign",      "m_showTriangle",   "m_triangleLen",   "m_trianglePosition",
        "m_triangleColor",  "m_showIcon",       "m_iconSpace",     "m_iconSize",
        "m_iconNormal",     "m_iconHover",      "m_iconCheck",     "m_showLine",
        "m_lineSpace",      "m_lineWidth",      "m_linePosition",  "m_lineColor",
        "m_normalBgColor",  "m_hoverBgColor",   "m_checkBgColor",  "m_normalTextColor",
        "m_hoverTextColor", "m_checkTextColor", "m_normalBgBrush", "m_hoverBgBrush",
        "m_checkBgBrush"};
    QCOMPARE(names, expected);

    for (const char *name : {"m_paddingLeft", "m_paddingRight", "m_paddingTop", "m_paddingBottom",
                             "m_iconSpace", "m_lineSpace"})
        QCOMPARE(b.property(name).toInt(), 0);
    QCOMPARE(enumValue(b.property("m_textAlign")), int(NavButton::TextAlign_Center));
    QCOMPARE(b.property("m_showTriangle").toBool(), false);
    QCOMPARE(b.property("m_triangleLen").toInt(), 5);
    QCOMPARE(enumValue(b.property("m_trianglePosition")), int(NavButton::TrianglePosition_Right));
    QCOMPARE(b.property("m_triangleColor").value<QColor>(), QColor(255, 255, 255));
    QCOMPARE(b.property("m_showIcon").toBool(), true);
    QCOMPARE(b.property("m_iconSize").toSize(), QSize(16, 16));
    for (const char *name : {"m_iconNormal", "m_iconHover", "m_iconCheck"})
        QVERIFY2(b.property(name).value<QPixmap>().isNull(), name);
    QCOMPARE(b.property("m_showLine").toBool(), false);
    QCOMPARE(b.property("m_lineWidth").toInt(), 5);
    QCOMPARE(enumValue(b.property("m_linePosition")), int(NavButton::LinePosition_Left));
    QCOMPARE(b.property("m_lineColor").value<QColor>(), QColor(0, 187, 158));
    QCOMPARE(b.property("m_normalBgColor").value<QColor>(), QColor(230, 230, 230));
    QCOMPARE(b.property("m_hoverBgColor").value<QColor>(), QColor(230, 75, 0));
    QCOMPARE(b.property("m_checkBgColor").value<QColor>(), QColor(200, 200, 200));
    QCOMPARE(b.property("m_normalTextColor").value<QColor>(), QColor(0, 0, 0));
    QCOMPARE(b.property("m_hoverTextColor").value<QColor>(), QColor(255, 255, 255));
    QCOMPARE(b.property("m_checkTextColor").value<QColor>(), QColor(255, 255, 255));
    for (const char *name : {"m_normalBgBrush", "m_hoverBgBrush", "m_checkBgBrush"})
        QCOMPARE(b.property(name).value<QBrush>().style(), Qt::NoBrush);

    QCOMPARE(b.getIconAlign(), NavButton::IconPosition_mid);
    QVERIFY(!b.isCheckable());
    QVERIFY(!b.getHover());
}

void TestNavButton::basicAlignmentsAreQtFlags()
{
    // The five basic values are handed to drawText unchanged.
    QCOMPARE(int(NavButton::TextAlign_Left), int(Qt::AlignLeft));
    QCOMPARE(int(NavButton::TextAlign_Right), int(Qt::AlignRight));
    QCOMPARE(int(NavButton::TextAlign_Top), int(Qt::AlignTop));
    QCOMPARE(int(NavButton::TextAlign_Bottom), int(Qt::AlignBottom));
    QCOMPARE(int(NavButton::TextAlign_Center), int(Qt::AlignHCenter));
}

void TestNavButton::sizeHints()
{
    NavButton b;
    b.setText(QStringLiteral("一个很长很长很长很长很长的按钮文字"));
    QCOMPARE(b.sizeHint(), QSize(100, 30));
    QCOMPARE(b.minimumSizeHint(), QSize(20, 10));
}

void TestNavButton::checkedGradientWinsOverCheckColour()
{
    NavButton b;
    b.resize(120, 40);
    b.setCheckable(true);
    QLinearGradient gradient(0, 0, 120, 0);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::blue);
    b.setCheckBgBrush(gradient);
    b.setCheckBgColor(Qt::green);

    QImage img = renderWidget(&b);
    QVERIFY2(sameColor(img.pixel(60, 20), normalBg), qPrintable(describe(img.pixel(60, 20))));

    b.setChecked(true);
    img = renderWidget(&b);
    const QRgb left = img.pixel(2, 20);
    const QRgb right = img.pixel(117, 20);
    QVERIFY2(qRed(left) > 220 && qBlue(left) < 35, qPrintable(describe(left)));
    QVERIFY2(qBlue(right) > 220 && qRed(right) < 35, qPrintable(describe(right)));
    for (int x = 0; x < img.width(); ++x)
        QVERIFY2(qGreen(img.pixel(x, 20)) < 10, qPrintable(describe(img.pixel(x, 20))));
}

void TestNavButton::disabledHoveredUsesDisabledColours()
{
    NavButton b;
    b.resize(120, 40);
    b.setFont(textFont());
    b.setText(QStringLiteral("HH"));
    b.sethover(true);

    // Enabled and hovered: the hover colours.
    QImage img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(2, 2), QColor(230, 75, 0)));

    b.setEnabled(false);
    img = renderWidget(&b);
    QVERIFY2(sameColor(img.pixel(2, 2), disabledBg), qPrintable(describe(img.pixel(2, 2))));
    const QRect ink = inkBounds(img, disabledBg);
    QVERIFY(!ink.isEmpty());
    int darkest = 255;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            QVERIFY2(qAbs(qRed(p) - qGreen(p)) <= 2 && qAbs(qGreen(p) - qBlue(p)) <= 2,
                     qPrintable(describe(p)));
            darkest = qMin(darkest, qRed(p));
        }
    }
    // Full-coverage text pixels carry the disabled text colour (120, 120, 120).
    QVERIFY2(qAbs(darkest - 120) <= 3, qPrintable(QString::number(darkest)));
}

void TestNavButton::lineOnlyWhenChecked()
{
    NavButton b;
    b.resize(120, 40);
    b.setCheckable(true);
    b.setShowLine(true);

    QImage img = renderWidget(&b);
    QVERIFY2(sameColor(img.pixel(1, 20), normalBg), qPrintable(describe(img.pixel(1, 20))));

    b.setChecked(true);
    img = renderWidget(&b);
    QVERIFY2(sameColor(img.pixel(0, 20), QColor(0, 187, 158)),
             qPrintable(describe(img.pixel(0, 20))));
    QVERIFY2(sameColor(img.pixel(1, 20), QColor(0, 187, 158)),
             qPrintable(describe(img.pixel(1, 20))));
    QVERIFY(sameColor(img.pixel(10, 20), checkBg));

    b.setLinePosition(NavButton::LinePosition_Bottom);
    img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(60, 39), QColor(0, 187, 158)));
    QVERIFY(sameColor(img.pixel(1, 20), checkBg));
}

void TestNavButton::triangleOnlyWhenHoveredOrChecked()
{
    NavButton b;
    b.resize(120, 40);
    b.setCheckable(true);
    b.setShowTriangle(true);
    b.setTriangleColor(Qt::blue);
    const QPoint inside(118, 20); // triangle (115, 20) (120, 15) (120, 25)

    QVERIFY(sameColor(renderWidget(&b).pixel(inside), normalBg));

    b.sethover(true);
    QVERIFY(sameColor(renderWidget(&b).pixel(inside), Qt::blue));

    b.sethover(false);
    b.setChecked(true);
    QVERIFY(sameColor(renderWidget(&b).pixel(inside), Qt::blue));

    b.setTrianglePosition(NavButton::TrianglePosition_Left);
    const QImage img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(1, 20), Qt::blue));
    QVERIFY(sameColor(img.pixel(inside), checkBg));
}

void TestNavButton::centredAlignmentsIgnorePaddings()
{
    NavButton b;
    b.resize(160, 40);
    b.setFont(textFont());
    b.setText(QStringLiteral("Ab"));

    const QImage centre = renderWidget(&b);
    QVERIFY(!inkBounds(centre, normalBg).isEmpty());

    b.setTextAlign(NavButton::TextAlign_Center_Left_up);
    const QImage leftUp = renderWidget(&b);
    b.setTextAlign(NavButton::TextAlign_Center_right_down);
    b.setPadding(20, 0, 0, 0);
    const QImage rightDown = renderWidget(&b);

    QCOMPARE(leftUp, centre);
    QCOMPARE(rightDown, leftUp);
}

void TestNavButton::leftAlignmentHonoursLeftPadding()
{
    NavButton b;
    b.resize(160, 40);
    b.setFont(textFont());
    b.setText(QStringLiteral("Ab"));
    b.setTextAlign(NavButton::TextAlign_Left);

    const QRect flush = inkBounds(renderWidget(&b), normalBg);
    b.setPaddingLeft(20);
    const QRect padded = inkBounds(renderWidget(&b), normalBg);

    QVERIFY(!flush.isEmpty());
    QVERIFY2(flush.left() <= 3, qPrintable(QString::number(flush.left())));
    QCOMPARE(padded.left() - flush.left(), 20);
    QCOMPARE(padded.top(), flush.top());
}

void TestNavButton::iconFollowsStateAndPosition()
{
    NavButton b;
    b.resize(120, 40);
    b.setCheckable(true);
    b.setIconNormal(filled(Qt::red));
    b.setIconHover(filled(Qt::green));
    b.setIconCheck(filled(Qt::blue));

    // IconPosition_mid: x = (120 - 16) / 2 = 52, y = 12.
    QImage img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(60, 20), Qt::red));
    QVERIFY(sameColor(img.pixel(50, 20), normalBg));

    b.setIconAlign(NavButton::IconPosition_Left);
    b.setIconSpace(4);
    img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(5, 20), Qt::red));
    QVERIFY(sameColor(img.pixel(2, 20), normalBg));

    b.sethover(true);
    QVERIFY(sameColor(renderWidget(&b).pixel(10, 20), Qt::green));
    b.setChecked(true);
    QVERIFY(sameColor(renderWidget(&b).pixel(10, 20), Qt::blue));

    b.setShowIcon(false);
    QVERIFY(sameColor(renderWidget(&b).pixel(10, 20), checkBg));

    // A QIcon on the button replaces the pixmaps set one by one.
    b.setShowIcon(true);
    b.setChecked(false);
    b.sethover(false);
    b.setIcon(QIcon(filled(Qt::yellow)));
    QVERIFY(sameColor(renderWidget(&b).pixel(10, 20), Qt::yellow));
    QVERIFY(b.getIconCheck().toImage().pixelColor(8, 8) != QColor(Qt::blue));
}

void TestNavButton::sameValueSetterDoesNotRepaint_data()
{
    QTest::addColumn<QByteArray>("name");
    const QMetaObject &mo = NavButton::staticMetaObject;
    for (int i = mo.propertyOffset(); i < mo.propertyCount(); ++i)
        QTest::newRow(mo.property(i).name()) << QByteArray(mo.property(i).name());
}

void TestNavButton::sameValueSetterDoesNotRepaint()
{
    QFETCH(QByteArray, name);
    NavButton b;
    b.resize(100, 30);
    PaintCounter paints(&b);
    QVERIFY(showAndSettle(&b));

    const QMetaProperty prop = b.metaObject()->property(b.metaObject()->indexOfProperty(name));
    const QVariant current = b.property(name);
    const bool pixmap = current.userType() == QMetaType::QPixmap;

    paints.count = 0;
    QVERIFY(b.setProperty(name, current));
    settle();
    if (pixmap)
        QVERIFY2(paints.count > 0, "pixmap setters always repaint");
    else
        QCOMPARE(paints.count, 0);

    const QVariant other = differentValue(prop, current);
    QVERIFY(other.isValid());
    paints.count = 0;
    QVERIFY(b.setProperty(name, other));
    QTRY_VERIFY(paints.count > 0);
    if (prop.isEnumType())
        QCOMPARE(enumValue(b.property(name)), other.toInt());
    else if (!pixmap)
        QCOMPARE(b.property(name), other);
}

void TestNavButton::alwaysRepaintingSetters()
{
    NavButton b;
    b.resize(100, 30);
    PaintCounter paints(&b);
    QVERIFY(showAndSettle(&b));

    paints.count = 0;
    b.sethover(false);
    QTRY_VERIFY(paints.count > 0);

    paints.count = 0;
    b.setPadding(0);
    QTRY_VERIFY(paints.count > 0);

    paints.count = 0;
    b.setPadding(0, 0, 0, 0);
    QTRY_VERIFY(paints.count > 0);

    b.setPadding(1, 2, 3, 4);
    QCOMPARE(b.getPaddingLeft(), 1);
    QCOMPARE(b.getPaddingRight(), 2);
    QCOMPARE(b.getPaddingTop(), 3);
    QCOMPARE(b.getPaddingBottom(), 4);
    b.setPadding(7);
    QCOMPARE(b.getPaddingRight(), 7);
    QCOMPARE(b.getPaddingBottom(), 7);

    // The icon position is not a property but follows the same rule.
    settle();
    paints.count = 0;
    b.setIconAlign(NavButton::IconPosition_mid);
    settle();
    QCOMPARE(paints.count, 0);
    b.setIconAlign(NavButton::IconPosition_Top);
    QTRY_VERIFY(paints.count > 0);
}

void TestNavButton::enterAndLeaveSetHoverAndSignal()
{
    NavButton b;
    b.resize(100, 30);
    PaintCounter paints(&b);
    QVERIFY(showAndSettle(&b));
    QSignalSpy spy(&b, &NavButton::isHover);

    paints.count = 0;
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&b, &enter);
    QVERIFY(b.getHover());
    QTRY_VERIFY(paints.count > 0);

    paints.count = 0;
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &leave);
    QVERIFY(!b.getHover());
    QTRY_VERIFY(paints.count > 0);

    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
}

QTEST_MAIN(TestNavButton)
#include "tst_navbutton.moc"
