#include "resources/initresources.h"
#include "tests/widgets/widgettesthelpers.h"
#include "widgets/formsetting.h"
#include "widgets/framelessresizer.h"
#include "widgets/navbutton.h"
#include "widgets/resizehit.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Sends a mouse event to target as if the pointer were at windowPos in the
// coordinates of target's top-level window.
void sendMouse(QWidget *target, QEvent::Type type, const QPoint &windowPos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QWidget *window = target->window();
    const QPoint local = target->mapFrom(window, windowPos);
    const QPoint global = window->mapToGlobal(windowPos);
    QMouseEvent event(type, local, windowPos, global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void hover(QWidget *target, const QPoint &windowPos)
{
    sendMouse(target, QEvent::MouseMove, windowPos, Qt::NoButton, Qt::NoButton);
}

void press(QWidget *target, const QPoint &windowPos, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(target, QEvent::MouseButtonPress, windowPos, button, button);
}

void drag(QWidget *target, const QPoint &windowPos)
{
    sendMouse(target, QEvent::MouseMove, windowPos, Qt::NoButton, Qt::LeftButton);
}

void release(QWidget *target, const QPoint &windowPos)
{
    sendMouse(target, QEvent::MouseButtonRelease, windowPos, Qt::LeftButton, Qt::NoButton);
}

// Frameless 200 x 100 window filled by one button, as the settings window is
// filled by its children.
struct ResizeFixture
{
    QWidget window{nullptr, Qt::Window | Qt::FramelessWindowHint};
    QPushButton *button = new QPushButton(&window);
    FramelessResizer *resizer = new FramelessResizer(&window);

    ResizeFixture()
    {
        window.setGeometry(100, 100, 200, 100);
        button->setGeometry(0, 0, 200, 100);
    }
};

} // namespace

class TestFormSetting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kxInitResources(); }

    void hitCodes_data();
    void hitCodes();
    void hitCodeEdgesAndCursors();

    void resizerShowsAndRestoresCursor();
    void resizerKeepsAChildsOwnCursor();
    void resizerPressInBandResizes();
    void resizerLeavesOtherPressesAlone();
    void resizerIgnoresOtherWindowsAndMaximised();
    void resizerWithoutWindowHandle();

    void settingsForm();
    void styleSheetReadAsLatin1FromWorkingDirectory();
    void titleBarDragMovesWindow();
    void bodyDragDoesNotMoveWindow();
    void titleBarDoubleClickToggles();
    void borderPressResizesInsteadOfDragging();
    void closeButtonHidesAndSignals();
};

void TestFormSetting::hitCodes_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("code");
    // The settings window's size: 617 x 395.
    QTest::newRow("top-left 2,2") << QPoint(2, 2) << int(ResizeHitTopLeft);
    QTest::newRow("left middle") << QPoint(2, 197) << int(ResizeHitLeft);
    QTest::newRow("right middle") << QPoint(614, 197) << int(ResizeHitRight);
    QTest::newRow("top middle") << QPoint(308, 2) << int(ResizeHitTop);
    QTest::newRow("bottom middle") << QPoint(308, 392) << int(ResizeHitBottom);
    QTest::newRow("top-right") << QPoint(614, 2) << int(ResizeHitTopRight);
    QTest::newRow("bottom-left") << QPoint(2, 392) << int(ResizeHitBottomLeft);
    QTest::newRow("bottom-right") << QPoint(614, 392) << int(ResizeHitBottomRight);
    QTest::newRow("corner wins at 4,4") << QPoint(4, 4) << int(ResizeHitTopLeft);
    QTest::newRow("10 inside left") << QPoint(10, 197) << int(ResizeHitNone);
    QTest::newRow("10 inside right") << QPoint(606, 197) << int(ResizeHitNone);
    QTest::newRow("10 inside top") << QPoint(308, 10) << int(ResizeHitNone);
    QTest::newRow("10 inside bottom") << QPoint(308, 384) << int(ResizeHitNone);
    QTest::newRow("x 0 outside") << QPoint(0, 197) << int(ResizeHitNone);
    QTest::newRow("y 0 outside") << QPoint(308, 0) << int(ResizeHitNone);
    QTest::newRow("origin outside") << QPoint(0, 0) << int(ResizeHitNone);
    QTest::newRow("x 0 near top is not a corner") << QPoint(0, 2) << int(ResizeHitTop);
    QTest::newRow("x 1 first band column") << QPoint(1, 197) << int(ResizeHitLeft);
    QTest::newRow("x 4 last band column") << QPoint(4, 197) << int(ResizeHitLeft);
    QTest::newRow("x 5 past band") << QPoint(5, 197) << int(ResizeHitNone);
    QTest::newRow("x w-5 before band") << QPoint(612, 197) << int(ResizeHitNone);
    QTest::newRow("x w-4 first right column") << QPoint(613, 197) << int(ResizeHitRight);
    QTest::newRow("x w-1 last pixel") << QPoint(616, 197) << int(ResizeHitRight);
    QTest::newRow("y h-1 last row") << QPoint(308, 394) << int(ResizeHitBottom);
    QTest::newRow("y h-5 before band") << QPoint(308, 390) << int(ResizeHitNone);
    QTest::newRow("centre") << QPoint(308, 197) << int(ResizeHitNone);
}

void TestFormSetting::hitCodes()
{
    QFETCH(QPoint, point);
    QFETCH(int, code);
    QCOMPARE(resizeHitCode(point.x(), point.y(), 617, 395), code);
}

void TestFormSetting::hitCodeEdgesAndCursors()
{
    // The codes are the Windows hit-test values.
    QCOMPARE(int(ResizeHitLeft), 10);
    QCOMPARE(int(ResizeHitRight), 11);
    QCOMPARE(int(ResizeHitTop), 12);
    QCOMPARE(int(ResizeHitTopLeft), 13);
    QCOMPARE(int(ResizeHitTopRight), 14);
    QCOMPARE(int(ResizeHitBottom), 15);
    QCOMPARE(int(ResizeHitBottomLeft), 16);
    QCOMPARE(int(ResizeHitBottomRight), 17);

    QCOMPARE(resizeHitEdges(ResizeHitLeft), Qt::Edges(Qt::LeftEdge));
    QCOMPARE(resizeHitEdges(ResizeHitBottom), Qt::Edges(Qt::BottomEdge));
    QCOMPARE(resizeHitEdges(ResizeHitTopRight), Qt::TopEdge | Qt::RightEdge);
    QCOMPARE(resizeHitEdges(ResizeHitBottomLeft), Qt::BottomEdge | Qt::LeftEdge);
    QCOMPARE(resizeHitEdges(ResizeHitNone), Qt::Edges());
    QCOMPARE(resizeHitEdges(1), Qt::Edges());

    QCOMPARE(resizeHitCursor(ResizeHitRight), Qt::SizeHorCursor);
    QCOMPARE(resizeHitCursor(ResizeHitTop), Qt::SizeVerCursor);
    QCOMPARE(resizeHitCursor(ResizeHitBottomRight), Qt::SizeFDiagCursor);
    QCOMPARE(resizeHitCursor(ResizeHitBottomLeft), Qt::SizeBDiagCursor);
    QCOMPARE(resizeHitCursor(ResizeHitNone), Qt::ArrowCursor);
}

void TestFormSetting::resizerShowsAndRestoresCursor()
{
    ResizeFixture f;
    QVERIFY(showAndSettle(&f.window));

    const QList<QPair<QPoint, Qt::CursorShape>> cases = {
        {{2, 2}, Qt::SizeFDiagCursor},  {{2, 50}, Qt::SizeHorCursor},
        {{197, 50}, Qt::SizeHorCursor}, {{100, 2}, Qt::SizeVerCursor},
        {{100, 97}, Qt::SizeVerCursor}, {{197, 2}, Qt::SizeBDiagCursor},
        {{2, 97}, Qt::SizeBDiagCursor}, {{197, 97}, Qt::SizeFDiagCursor}};
    for (const auto &c : cases) {
        hover(f.button, c.first);
        QVERIFY(f.button->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(f.button->cursor().shape(), c.second);
    }

    hover(f.button, QPoint(100, 50));
    QVERIFY(!f.button->testAttribute(Qt::WA_SetCursor));

    // Leaving the window from a band also restores the cursor.
    hover(f.button, QPoint(2, 50));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&f.window, &leave);
    QVERIFY(!f.button->testAttribute(Qt::WA_SetCursor));
}

void TestFormSetting::resizerKeepsAChildsOwnCursor()
{
    ResizeFixture f;
    auto *edit = new QLineEdit(&f.window);
    edit->setGeometry(0, 40, 200, 20);
    QVERIFY(showAndSettle(&f.window));
    QCOMPARE(edit->cursor().shape(), Qt::IBeamCursor);

    hover(edit, QPoint(2, 50));
    QCOMPARE(edit->cursor().shape(), Qt::SizeHorCursor);
    hover(edit, QPoint(100, 50));
    QCOMPARE(edit->cursor().shape(), Qt::IBeamCursor);

    // Moving from the band of one child onto another restores the first.
    hover(edit, QPoint(2, 50));
    hover(f.button, QPoint(2, 10));
    QCOMPARE(edit->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(f.button->cursor().shape(), Qt::SizeHorCursor);
}

void TestFormSetting::resizerPressInBandResizes()
{
    ResizeFixture f;
    QVERIFY(showAndSettle(&f.window));
    QSignalSpy pressed(f.button, &QPushButton::pressed);
    const QRect start = f.window.geometry();

    press(f.button, QPoint(2, 50));
    QCOMPARE(pressed.count(), 0);
    QVERIFY(!f.button->isDown());
    QCOMPARE(f.button->cursor().shape(), Qt::SizeHorCursor);

    // The offscreen platform has no system resize, so the resizer follows
    // the mouse itself; the right edge stays put.
    QVERIFY(f.resizer->isResizing());
    drag(f.button, QPoint(2 - 30, 50));
    QCOMPARE(f.window.geometry().left(), start.left() - 30);
    QCOMPARE(f.window.geometry().right(), start.right());
    QCOMPARE(f.window.height(), start.height());
    release(f.button, QPoint(2 - 30, 50));
    QVERIFY(!f.resizer->isResizing());
    QCOMPARE(pressed.count(), 0);

    const QRect wider = f.window.geometry();
    press(f.button, QPoint(wider.width() - 2, wider.height() - 2));
    drag(f.button, QPoint(wider.width() + 18, wider.height() + 8));
    release(f.button, QPoint(wider.width() + 18, wider.height() + 8));
    QCOMPARE(f.window.geometry().topLeft(), wider.topLeft());
    QCOMPARE(f.window.size(), wider.size() + QSize(20, 10));
}

void TestFormSetting::resizerLeavesOtherPressesAlone()
{
    ResizeFixture f;
    QVERIFY(showAndSettle(&f.window));
    QSignalSpy pressed(f.button, &QPushButton::pressed);

    press(f.button, QPoint(100, 50));
    QCOMPARE(pressed.count(), 1);
    QVERIFY(!f.resizer->isResizing());
    release(f.button, QPoint(100, 50));

    press(f.button, QPoint(2, 50), Qt::RightButton);
    QVERIFY(!f.resizer->isResizing());

    press(f.button, QPoint(10, 50));
    QCOMPARE(pressed.count(), 2);
    QVERIFY(!f.resizer->isResizing());
    release(f.button, QPoint(10, 50));
}

void TestFormSetting::resizerIgnoresOtherWindowsAndMaximised()
{
    ResizeFixture f;
    QWidget other(nullptr, Qt::Window | Qt::FramelessWindowHint);
    other.setGeometry(400, 100, 200, 100);
    auto *otherButton = new QPushButton(&other);
    otherButton->setGeometry(0, 0, 200, 100);
    QVERIFY(showAndSettle(&f.window));
    QVERIFY(showAndSettle(&other));

    hover(otherButton, QPoint(2, 50));
    QVERIFY(!otherButton->testAttribute(Qt::WA_SetCursor));
    QSignalSpy pressed(otherButton, &QPushButton::pressed);
    press(otherButton, QPoint(2, 50));
    QCOMPARE(pressed.count(), 1);
    release(otherButton, QPoint(2, 50));

    QCOMPARE(f.resizer->hitCodeAt(f.window.mapToGlobal(QPoint(2, 2))), int(ResizeHitTopLeft));
    f.window.showMaximized();
    QTRY_VERIFY(f.window.isMaximized());
    QCOMPARE(f.resizer->hitCodeAt(f.window.mapToGlobal(QPoint(2, 2))), int(ResizeHitNone));
}

void TestFormSetting::resizerWithoutWindowHandle()
{
    ResizeFixture f;
    QVERIFY(!f.window.windowHandle());
    press(f.button, QPoint(197, 50));
    QVERIFY(f.resizer->isResizing());
    drag(f.button, QPoint(207, 50));
    release(f.button, QPoint(207, 50));
    QCOMPARE(f.window.width(), 210);
}

void TestFormSetting::settingsForm()
{
    FormSetting form;
    QCOMPARE(form.objectName(), QStringLiteral("FormSetting"));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::Window));
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(form.findChild<FramelessResizer *>());

    auto *close = form.findChild<NavButton *>(QStringLiteral("pb_win_close"));
    QVERIFY(close);
    QCOMPARE(close->getNormalBgColor(), QColor("#45464a"));

    auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs);
    QVERIFY(form.pageLayout());
    QCOMPARE(form.pageLayout()->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(form.pageLayout()->count(), 0);

    QVERIFY(showAndSettle(&form));
    QVERIFY(!tabs->tabBar()->isVisible());
}

void TestFormSetting::styleSheetReadAsLatin1FromWorkingDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray content("QLabel { color: rgb(1, 2, 3); } /* caf\xe9 */\n");
    QFile file(dir.filePath(QStringLiteral("cs.qss")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    FormSetting form;
    QDir::setCurrent(previous);

    QCOMPARE(form.styleSheet(), QString::fromLatin1(content));
    QVERIFY(form.styleSheet().contains(QChar(0xe9)));
}

void TestFormSetting::titleBarDragMovesWindow()
{
    FormSetting form;
    form.move(200, 150);
    QVERIFY(showAndSettle(&form));
    auto *title = form.findChild<QWidget *>(QStringLiteral("widget_title"));
    title->setAttribute(Qt::WA_UnderMouse, true);
    const QPoint start = form.pos();
    const QPoint grip = title->mapTo(&form, QPoint(200, title->height() / 2));
    QCOMPARE(resizeHitCode(grip.x(), grip.y(), form.width(), form.height()), int(ResizeHitNone));

    press(title, grip);
    drag(title, grip + QPoint(30, 20));
    QCOMPARE(form.pos(), start + QPoint(30, 20));

    // Moves only count while the pointer is over the title bar.
    title->setAttribute(Qt::WA_UnderMouse, false);
    drag(title, grip + QPoint(10, 10));
    QCOMPARE(form.pos(), start + QPoint(30, 20));
    title->setAttribute(Qt::WA_UnderMouse, true);
    drag(title, grip + QPoint(-5, 0));
    QCOMPARE(form.pos(), start + QPoint(25, 20));
    release(title, grip);

    // After the release further moves do nothing.
    drag(title, grip + QPoint(50, 50));
    QCOMPARE(form.pos(), start + QPoint(25, 20));
}

void TestFormSetting::bodyDragDoesNotMoveWindow()
{
    FormSetting form;
    form.move(200, 150);
    QVERIFY(showAndSettle(&form));
    auto *title = form.findChild<QWidget *>(QStringLiteral("widget_title"));
    auto *page = form.findChild<QWidget *>(QStringLiteral("tabWidgetPage1"));
    title->setAttribute(Qt::WA_UnderMouse, false);
    const QPoint start = form.pos();
    const QPoint body = page->mapTo(&form, page->rect().center());

    press(page, body);
    drag(page, body + QPoint(30, 20));
    QCOMPARE(form.pos(), start);

    // A drag that began in the body does not turn into a move when the
    // pointer reaches the title bar.
    title->setAttribute(Qt::WA_UnderMouse, true);
    drag(title, body + QPoint(40, 30));
    QCOMPARE(form.pos(), start);
    release(page, body);
}

void TestFormSetting::titleBarDoubleClickToggles()
{
    FormSetting form;
    QVERIFY(showAndSettle(&form));
    auto *title = form.findChild<QWidget *>(QStringLiteral("widget_title"));
    const QPoint grip = title->mapTo(&form, QPoint(200, title->height() / 2));

    title->setAttribute(Qt::WA_UnderMouse, false);
    sendMouse(title, QEvent::MouseButtonDblClick, grip, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(!form.isMaximized());

    title->setAttribute(Qt::WA_UnderMouse, true);
    sendMouse(title, QEvent::MouseButtonDblClick, grip, Qt::LeftButton, Qt::LeftButton);
    QTRY_VERIFY(form.isMaximized());
    sendMouse(title, QEvent::MouseButtonDblClick, grip, Qt::LeftButton, Qt::LeftButton);
    QTRY_VERIFY(!form.isMaximized());
}

void TestFormSetting::borderPressResizesInsteadOfDragging()
{
    FormSetting form;
    form.setGeometry(200, 150, 617, 395);
    QVERIFY(showAndSettle(&form));
    auto *title = form.findChild<QWidget *>(QStringLiteral("widget_title"));
    title->setAttribute(Qt::WA_UnderMouse, true);
    const QRect start = form.geometry();

    press(&form, QPoint(2, 200));
    drag(&form, QPoint(2 - 40, 200));
    release(&form, QPoint(2 - 40, 200));
    QCOMPARE(form.geometry().left(), start.left() - 40);
    QCOMPARE(form.geometry().right(), start.right());
    QCOMPARE(form.geometry().top(), start.top());
}

void TestFormSetting::closeButtonHidesAndSignals()
{
    FormSetting form;
    QVERIFY(showAndSettle(&form));
    QSignalSpy closed(&form, &FormSetting::sys_setting_close);
    form.findChild<NavButton *>(QStringLiteral("pb_win_close"))->click();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!form.isVisible());

    QVERIFY(showAndSettle(&form));
    QVERIFY(form.isVisible());

    // Closed by the window manager (Alt+F4, its menu).
    form.close();
    QCOMPARE(closed.count(), 2);
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestFormSetting)
#include "tst_formsetting.moc"
