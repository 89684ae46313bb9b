#include "resources/initresources.h"
#include "tests/widgets/widgettesthelpers.h"
#include "widgets/dialog_wait.h"
#include "widgets/formrename.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QString countdownText(int seconds)
{
    return QStringLiteral("需要等待一些时间，请稍等\n%1秒后自动退出").arg(seconds);
}

// The one-second timer is stopped so that only the ticks a test drives count.
void stopTimer(Dialog_wait *dialog)
{
    QTimer *timer = dialog->findChild<QTimer *>();
    QVERIFY(timer);
    timer->stop();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kxInitResources(); }

    void waitDialogForm();
    void countdownClosesAfterLimit();
    void defaultLimitIsSixtySeconds();
    void progressCountsRemainingDown();
    void downloadSaysWhatIsRead();
    void downloadDialogShowsItsTextsWhole_data();
    void downloadDialogShowsItsTextsWhole();
    void closeMarkAndEscapeCancelAndClose();
    void transferEndAndHiddenButtonClose();

    void renameCancelKeepsName();
    void renameOkStoresEvenEmptyName();
    void renameOkEndsModalRun();
};

void TestDialogs::waitDialogForm()
{
    Dialog_wait dialog;
    QCOMPARE(dialog.waitTime(), 60);

    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    auto *close = dialog.findChild<QToolButton *>(QStringLiteral("toolButton_2"));
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QVERIFY(label && close && bar && cancel);
    QCOMPARE(label->text(), QStringLiteral("清除FLASH大约需要等待一分钟，请稍等"));

    QVERIFY(showAndSettle(&dialog));
    QVERIFY(!bar->isVisible());
    QVERIFY(!cancel->isVisible());

    QTimer *timer = dialog.findChild<QTimer *>();
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void TestDialogs::countdownClosesAfterLimit()
{
    Dialog_wait dialog;
    stopTimer(&dialog);
    dialog.setWaitTime(3);
    QVERIFY(showAndSettle(&dialog));
    QSignalSpy finished(&dialog, &QDialog::finished);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));

    for (int shown : {3, 2, 1}) {
        dialog.handleTimeOut();
        QCOMPARE(label->text(), countdownText(shown));
        QVERIFY(dialog.isVisible());
    }
    QCOMPARE(finished.count(), 0);

    dialog.handleTimeOut();
    QCOMPARE(label->text(), countdownText(0));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 1);
}

void TestDialogs::defaultLimitIsSixtySeconds()
{
    Dialog_wait dialog;
    stopTimer(&dialog);
    QVERIFY(showAndSettle(&dialog));
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));

    dialog.handleTimeOut();
    QCOMPARE(label->text(), countdownText(60));
    for (int i = 1; i < 60; ++i)
        dialog.handleTimeOut();
    QCOMPARE(label->text(), countdownText(1));
    QVERIFY(dialog.isVisible());

    dialog.handleTimeOut();
    QCOMPARE(label->text(), countdownText(0));
    QVERIFY(!dialog.isVisible());
}

// A download tells what it reads, never that the flash is being erased.
void TestDialogs::downloadSaysWhatIsRead()
{
    Dialog_wait dialog;
    stopTimer(&dialog);
    dialog.setDownload(100);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(label->text().startsWith(QStringLiteral("正在读取仪器中存储的记录")));
    dialog.progressBar_range_update(4, 2);
    QVERIFY(label->text().contains(QStringLiteral("64 / 100")));
    dialog.handleTimeOut();
    QVERIFY(label->text().contains(QStringLiteral("64 / 100")));
    dialog.progressBar_range_update(4, 0);
    QVERIFY(label->text().contains(QStringLiteral("100 / 100")));
}

void TestDialogs::downloadDialogShowsItsTextsWhole_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("zh") << false;
    QTest::newRow("en") << true;
}

// Both lines of the text and the progress bar's percentage are shown whole,
// in either language, as the counts grow.
void TestDialogs::downloadDialogShowsItsTextsWhole()
{
    QFETCH(bool, english);
    QTranslator translator;
    if (english) {
        QVERIFY(
            translator.load(QStringLiteral("KX740D_EN"), QCoreApplication::applicationDirPath()));
        QCoreApplication::installTranslator(&translator);
    }
    Dialog_wait dialog;
    stopTimer(&dialog);
    dialog.setWindowFlags(dialog.windowFlags() | Qt::FramelessWindowHint);
    dialog.setDownload(80000);
    QVERIFY(showAndSettle(&dialog));
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    for (int left : {2500, 1200}) {
        dialog.progressBar_range_update(2500, left);
        settle();
        const QRect text =
            label->fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), 0, label->text());
        QVERIFY2(label->width() >= text.width() && label->height() >= text.height(),
                 qPrintable(label->text()));
        QVERIFY(bar->height() >= bar->sizeHint().height());
    }
}

void TestDialogs::progressCountsRemainingDown()
{
    Dialog_wait dialog;
    stopTimer(&dialog);
    QVERIFY(showAndSettle(&dialog));
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));

    dialog.progressBar_range_update(500, 500);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 500);
    QCOMPARE(bar->value(), 0);

    dialog.progressBar_range_update(500, 125);
    QCOMPARE(bar->value(), 375);

    dialog.progressBar_range_update(500, 0);
    QCOMPARE(bar->value(), 500);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestDialogs::closeMarkAndEscapeCancelAndClose()
{
    Dialog_wait byMark;
    stopTimer(&byMark);
    QVERIFY(showAndSettle(&byMark));
    QSignalSpy markCancel(&byMark, &Dialog_wait::cancel);
    QTest::mouseClick(byMark.findChild<QToolButton *>(QStringLiteral("toolButton_2")),
                      Qt::LeftButton);
    QCOMPARE(markCancel.count(), 1);
    QVERIFY(!byMark.isVisible());

    Dialog_wait byEscape;
    stopTimer(&byEscape);
    QVERIFY(showAndSettle(&byEscape));
    QSignalSpy escapeCancel(&byEscape, &Dialog_wait::cancel);
    QTest::keyClick(&byEscape, Qt::Key_Escape);
    QCOMPARE(escapeCancel.count(), 1);
    QVERIFY(!byEscape.isVisible());
}

void TestDialogs::transferEndAndHiddenButtonClose()
{
    Dialog_wait first;
    stopTimer(&first);
    QVERIFY(showAndSettle(&first));
    first.trans_end();
    QVERIFY(!first.isVisible());

    Dialog_wait second;
    stopTimer(&second);
    QVERIFY(showAndSettle(&second));
    QSignalSpy cancel(&second, &Dialog_wait::cancel);
    second.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    QVERIFY(!second.isVisible());
    QCOMPARE(cancel.count(), 0);
}

void TestDialogs::renameCancelKeepsName()
{
    QString name = QStringLiteral("测量 1");
    QDialog host;
    auto *form = new FormRename(&name, &host);
    auto *edit = form->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    auto *ok = form->findChild<QPushButton *>(QStringLiteral("pushButton"));
    auto *cancel = form->findChild<QPushButton *>(QStringLiteral("pushButton_2"));
    QVERIFY(edit && ok && cancel);
    QCOMPARE(edit->text(), name);

    host.open();
    edit->setText(QStringLiteral("另一个名字"));
    cancel->click();
    QCOMPARE(name, QStringLiteral("测量 1"));
    QVERIFY(!host.isVisible());
    QCOMPARE(host.result(), int(QDialog::Rejected));
}

void TestDialogs::renameOkStoresEvenEmptyName()
{
    QString name = QStringLiteral("测量 1");
    QDialog host;
    auto *form = new FormRename(&name, &host);
    host.open();
    form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->clear();
    form->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    QVERIFY(name.isEmpty());
    QVERIFY(!host.isVisible());
    QCOMPARE(host.result(), int(QDialog::Accepted));
}

void TestDialogs::renameOkEndsModalRun()
{
    QString name = QStringLiteral("old");
    QDialog host;
    auto *form = new FormRename(&name, &host);
    QTimer::singleShot(0, form, [form] {
        form->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("新"));
        form->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    });
    QCOMPARE(host.exec(), int(QDialog::Accepted));
    QCOMPARE(name, QStringLiteral("新"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
