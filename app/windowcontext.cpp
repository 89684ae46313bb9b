#include "app/windowcontext.h"

#include "app/chartpage.h"
#include "app/desktopopener.h"
#include "app/instrumentconnection.h"
#include "app/logging.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "measurement/settingsrules.h"
#include "store/filenames.h"
#include "widgets/formsetting.h"

#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMetaMethod>
#include <QPointer>

namespace {

WindowContext::ModalRunner &modalRunner()
{
    static WindowContext::ModalRunner runner;
    return runner;
}

} // namespace

WindowContext::WindowContext(QMainWindow *window, Ui::MainWindow *form, Document &document)
    : QObject(window), window(window), ui(form), document(document), okText(tr("确定"))
{
}

bool WindowContext::refuseWhileRecording() const
{
    if (!device.isRecording())
        return false;
    UserDialogs::information(nullptr, QString(), recordingGuardText(), okText);
    return true;
}

QList<InstrumentConnection *> WindowContext::linkedConnections() const
{
    QList<InstrumentConnection *> linked;
    for (InstrumentConnection *connection : connections)
        if (connection->isLinked())
            linked << connection;
    return linked;
}

QWidget *WindowContext::dialogParent() const
{
    return settingsWindow && settingsWindow->isVisible() ? static_cast<QWidget *>(settingsWindow)
                                                         : window;
}

void WindowContext::tellNotWritten(const QString &reason, QWidget *parent) const
{
    QString text = tr("无法创建文件，请使用管理员权限运行程序。");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    UserDialogs::information(parent, QString(), text, okText);
}

QString WindowContext::fileDialogFolder() const
{
    if (!m_lastFileFolder.isEmpty())
        return m_lastFileFolder;
    QDir().mkpath(settings.dataDir);
    return settings.dataDir;
}

void WindowContext::rememberFolder(const QString &chosenFile)
{
    if (!chosenFile.isEmpty())
        m_lastFileFolder = QFileInfo(chosenFile).absolutePath();
}

QString WindowContext::chooseSaveFile(const QString &caption, const QString &proposed,
                                      const QString &filter, QString *selectedFilter)
{
    for (;;) {
        const QString path =
            UserDialogs::saveFileName(window, caption, proposed, filter, selectedFilter);
        if (path.isEmpty())
            return path;
        rememberFolder(path);
        if (!isWorkingFile(path, backup.folder()))
            return path;
        UserDialogs::information(
            nullptr, QString(),
            tr("%1 是本程序的工作文件（备份、未保存的数据、日志或锁），不能用来保存数据。\n"
               "请选择其他文件名。")
                .arg(QDir::toNativeSeparators(path)),
            okText);
    }
}

void WindowContext::openWithDesktop(const QString &path)
{
    // Files of the program's own (the manuals) are named relative to the
    // working folder.
    const QString absolute = QDir::isRelativePath(path) ? QFileInfo(path).absoluteFilePath() : path;
    // The opener may report long after this window is gone.
    const QPointer<WindowContext> self(this);
    openWithDesktopProgram(absolute, [self, absolute] {
        qCDebug(lcApp) << "the desktop could not open" << absolute;
        if (self)
            UserDialogs::information(
                self->dialogParent(), QString(),
                tr("系统没有能打开它的程序。它位于：\n%1").arg(QDir::toNativeSeparators(absolute)),
                self->okText);
    });
}

void WindowContext::showCurrent(bool newestPage)
{
    if (newestPage)
        table->updatePaging();
    table->showCurrentMeasurement();
    chart->replotCurrentMeasurement();
}

void WindowContext::setModalRunner(ModalRunner runner)
{
    modalRunner() = std::move(runner);
}

int WindowContext::runModal(QDialog &dialog)
{
    if (modalRunner())
        return modalRunner()(dialog);
    return dialog.exec();
}

void connectSlotsByObjectName(QObject *receiver, QObject *form)
{
    const QObjectList objects = form->findChildren<QObject *>();
    const QMetaObject *receiverMeta = receiver->metaObject();
    for (int s = QObject::staticMetaObject.methodCount(); s < receiverMeta->methodCount(); ++s) {
        const QMetaMethod slot = receiverMeta->method(s);
        const QByteArray slotSignature = slot.methodSignature();
        if (slot.methodType() != QMetaMethod::Slot || !slotSignature.startsWith("on_"))
            continue;
        bool connected = false;
        for (QObject *object : objects) {
            const QByteArray prefix = "on_" + object->objectName().toLatin1() + '_';
            if (object->objectName().isEmpty() || !slotSignature.startsWith(prefix))
                continue;
            const QByteArray signal = slotSignature.mid(prefix.size());
            const int index = object->metaObject()->indexOfSignal(signal.constData());
            if (index < 0)
                continue;
            QMetaObject::connect(object, index, receiver, s);
            connected = true;
            break;
        }
        if (!connected)
            qWarning("connectSlotsByObjectName: no signal for %s::%s", receiverMeta->className(),
                     slotSignature.constData());
    }
}

PageController::PageController(WindowContext &context)
    : QObject(context.window), m_ctx(context), ui(context.ui), m_device(context.device),
      m_document(&context.document), m_settings(context.settings), m_unit(context.unit),
      m_okText(context.okText)
{
}
