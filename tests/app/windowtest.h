#pragma once

#include "app/desktopopener.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"

#include <QDir>
#include <QObject>
#include <QScopedPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// Base of the main-window test suites: every test runs in a fresh working
// directory, every dialog is recorded in m_asked and answered from
// m_answers in order (an empty queue answers as Escape does), and
// the port list is m_ports. What the window hands to the desktop is recorded
// in m_opened; nothing is launched.
class WindowTest : public QObject
{
protected:
    QScopedPointer<QTemporaryDir> m_dir;
    QList<DialogRequest> m_asked;
    QList<DialogAnswer> m_answers;
    QStringList m_ports;
    struct
    {
        QList<QUrl> urls;
    } m_opened;

    bool setUpWindowTest()
    {
        m_dir.reset(new QTemporaryDir);
        m_asked.clear();
        m_answers.clear();
        m_ports.clear();
        m_opened.urls.clear();
        setDesktopOpener([this](const QString &path, const std::function<void()> &) {
            m_opened.urls << QUrl::fromLocalFile(path);
        });
        UserDialogs::setResponder([this](const DialogRequest &r) {
            m_asked << r;
            if (!m_answers.isEmpty())
                return m_answers.takeFirst();
            DialogAnswer escape;
            escape.button = r.escapeButton;
            return escape;
        });
        MainWindow::setPortSource([this] { return m_ports; });
        return m_dir->isValid() && QDir::setCurrent(m_dir->path());
    }

    void tearDownWindowTest()
    {
        UserDialogs::setResponder({});
        MainWindow::setPortSource({});
        setDesktopOpener({});
    }
};
