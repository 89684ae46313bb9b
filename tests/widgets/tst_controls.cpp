#include "resources/initresources.h"
#include "tests/widgets/widgettesthelpers.h"
#include "widgets/bubbletips.h"
#include "widgets/cswidget.h"
#include "widgets/graphbutton.h"
#include "widgets/navbutton.h"
#include "widgets/onoffbutton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor onColor("#f97932");
const QColor onHoverColor("#ffaa7f");
const QColor offColor(240, 240, 240);
const QColor offHoverColor(220, 220, 220);

bool isWhite(QRgb p)
{
    return qRed(p) > 250 && qGreen(p) > 250 && qBlue(p) > 250;
}

// First and last white column of a row, -1 when the row has none.
QPair<int, int> whiteSpan(const QImage &img, int y)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < img.width(); ++x) {
        if (isWhite(img.pixel(x, y))) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return {first, last};
}

void sendEnter(QWidget *w)
{
    QEvent e(QEvent::Enter);
    QCoreApplication::sendEvent(w, &e);
}

void sendLeave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kxInitResources(); }

    void onOffKnobAndTrack();
    void onOffHoverColours();
    void onOffClickToggles();

    void graphButtonDefaults();
    void graphButtonSetColorWaitsForRepaint();
    void graphButtonPainting();

    void csWidgetLightensWhileHovered();
    void csWidgetKeepsStyleSheetBorder();
    void csWidgetRowActsAsItsButton();

    void bubbleTipsText();
};

void TestControls::onOffKnobAndTrack()
{
    OnOffButton b;
    b.resize(60, 24);
    b.setChecked(true);
    QImage img = renderWidget(&b);

    // On: knob in the square x 36..59, track in the on colour left of it.
    QPair<int, int> span = whiteSpan(img, 12);
    QVERIFY2(span.first >= 36 && span.first <= 38, qPrintable(QString::number(span.first)));
    QVERIFY2(span.second >= 57 && span.second <= 59, qPrintable(QString::number(span.second)));
    QVERIFY(sameColor(img.pixel(47, 12), Qt::white));
    QVERIFY2(sameColor(img.pixel(30, 12), onColor), qPrintable(describe(img.pixel(30, 12))));
    QVERIFY(sameColor(img.pixel(20, 3), onColor));

    // Off: knob in the square x 0..23, the rest of the track in the off colour.
    b.setChecked(false);
    img = renderWidget(&b);
    span = whiteSpan(img, 12);
    QVERIFY2(span.first >= 0 && span.first <= 2, qPrintable(QString::number(span.first)));
    QVERIFY2(span.second >= 21 && span.second <= 23, qPrintable(QString::number(span.second)));
    QVERIFY(sameColor(img.pixel(11, 12), Qt::white));
    QVERIFY2(sameColor(img.pixel(40, 12), offColor), qPrintable(describe(img.pixel(40, 12))));
}

void TestControls::onOffHoverColours()
{
    OnOffButton b;
    b.resize(60, 24);
    PaintCounter paints(&b);
    QVERIFY(showAndSettle(&b));
    QSignalSpy spy(&b, &OnOffButton::isHover);

    paints.count = 0;
    sendEnter(&b);
    QTRY_VERIFY(paints.count > 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QVERIFY(sameColor(renderWidget(&b).pixel(40, 12), offHoverColor));
    b.setChecked(true);
    QVERIFY(sameColor(renderWidget(&b).pixel(20, 12), onHoverColor));

    paints.count = 0;
    sendLeave(&b);
    QTRY_VERIFY(paints.count > 0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
    QVERIFY(sameColor(renderWidget(&b).pixel(20, 12), onColor));
}

void TestControls::onOffClickToggles()
{
    OnOffButton b;
    QVERIFY(b.isCheckable());
    QVERIFY(!b.isChecked());
    b.click();
    QVERIFY(b.isChecked());
    b.click();
    QVERIFY(!b.isChecked());
}

void TestControls::graphButtonDefaults()
{
    GraphButton b;
    QVERIFY(b.isCheckable());
    QCOMPARE(b.color(), QColor(Qt::darkRed));
    QVERIFY(b.showIcon());
    QCOMPARE(b.sizeHint(), QSize(80, 24));
    QCOMPARE(b.minimumSizeHint(), QSize(70, 24));
}

void TestControls::graphButtonSetColorWaitsForRepaint()
{
    GraphButton b;
    b.resize(80, 24);
    PaintCounter paints(&b);
    QVERIFY(showAndSettle(&b));
    const QPoint onLine(28, 12); // line sample from x 25 to 55 at y 12, pen 2

    paints.count = 0;
    b.setColor(Qt::blue);
    b.setShowIcon(false);
    settle();
    QCOMPARE(paints.count, 0);

    b.update();
    QTRY_VERIFY(paints.count > 0);
    QVERIFY2(sameColor(renderWidget(&b).pixel(onLine), Qt::blue),
             qPrintable(describe(renderWidget(&b).pixel(onLine))));

    // A hover change repaints by itself.
    paints.count = 0;
    sendEnter(&b);
    QTRY_VERIFY(paints.count > 0);
    QVERIFY(b.getHover());
}

void TestControls::graphButtonPainting()
{
    GraphButton b;
    b.resize(80, 24);
    b.setText(QStringLiteral("T1"));
    const QRect iconArea(6, 5, 14, 14); // x = 40 - 5 - 15 - 14, y = (24 - 14) / 2

    QImage img = renderWidget(&b);
    QVERIFY(sameColor(img.pixel(28, 12), QColor(Qt::darkRed)));
    QVERIFY(sameColor(img.pixel(52, 12), QColor(Qt::darkRed)));
    QVERIFY(sameColor(img.pixel(40, 12), Qt::white)); // inside the marker
    QVERIFY(sameColor(img.pixel(2, 2), Qt::white));
    QVERIFY(sameColor(img.pixel(28, 4), Qt::white)); // only the middle rows carry the line

    // The text starts right of the sample: x >= 40 + 5 + 15.
    const QRect text = inkBounds(img.copy(56, 0, 24, 24), Qt::white);
    QVERIFY(!text.isEmpty());
    QVERIFY2(text.left() + 56 >= 60, qPrintable(QString::number(text.left() + 56)));

    const QImage unchecked = img.copy(iconArea);
    b.setChecked(true);
    const QImage checked = renderWidget(&b).copy(iconArea);
    QVERIFY(!inkBounds(unchecked, Qt::white, 30).isEmpty());
    QVERIFY(!inkBounds(checked, Qt::white, 30).isEmpty());
    QVERIFY(checked != unchecked);

    b.setShowIcon(false);
    QVERIFY(inkBounds(renderWidget(&b).copy(iconArea), Qt::white, 0).isEmpty());

    sendEnter(&b);
    QVERIFY(sameColor(renderWidget(&b).pixel(2, 2), QColor(240, 240, 240)));
}

void TestControls::csWidgetLightensWhileHovered()
{
    CsWidget w;
    w.resize(50, 50);
    PaintCounter paints(&w);
    QVERIFY(showAndSettle(&w));
    QVERIFY(sameColor(renderWidget(&w).pixel(25, 25), Qt::white, 0));

    paints.count = 0;
    sendEnter(&w);
    QTRY_VERIFY(paints.count > 0);
    QVERIFY(sameColor(renderWidget(&w).pixel(25, 25), QColor(250, 250, 250), 0));

    paints.count = 0;
    sendLeave(&w);
    QTRY_VERIFY(paints.count > 0);
    QVERIFY(sameColor(renderWidget(&w).pixel(25, 25), Qt::white, 0));
}

void TestControls::csWidgetKeepsStyleSheetBorder()
{
    CsWidget w;
    w.resize(50, 50);
    w.setStyleSheet(QStringLiteral("CsWidget { border: 3px solid rgb(255, 0, 0); }"));
    sendEnter(&w);
    const QImage img = renderWidget(&w);
    QVERIFY2(sameColor(img.pixel(1, 25), Qt::red), qPrintable(describe(img.pixel(1, 25))));
    QVERIFY(sameColor(img.pixel(25, 25), QColor(250, 250, 250), 0));
}

// A card holding a text and one button (a manual to open) reacts to a
// click anywhere on it and shows the hand over it; one with another control
// as well leaves clicks to the controls.
void TestControls::csWidgetRowActsAsItsButton()
{
    CsWidget row;
    auto *label = new QLabel(QStringLiteral("PC软件使用说明书"), &row);
    auto *button = new NavButton(&row);
    auto *layout = new QHBoxLayout(&row);
    layout->addWidget(label, 1);
    layout->addWidget(button);
    row.resize(300, 40);
    QVERIFY(showAndSettle(&row));
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    sendEnter(&row);
    QCOMPARE(row.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(&row, Qt::RightButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(clicked.count(), 1);

    auto *box = new QComboBox(&row);
    layout->addWidget(box);
    box->show();
    sendLeave(&row);
    sendEnter(&row);
    QCOMPARE(row.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

void TestControls::bubbleTipsText()
{
    BubbleTips tips;
    QCOMPARE(tips.text(), QString());

    tips.setText(QStringLiteral("T1: 25.0℃\nT2: 26.5℃"));
    QCOMPARE(tips.text(), QStringLiteral("T1: 25.0℃\nT2: 26.5℃"));
    tips.setText(QStringLiteral("<b>T3</b>"));
    QCOMPARE(tips.text(), QStringLiteral("T3"));
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
