#pragma once

#include "app/mainwindow.h"
#include "app/recordingpage.h"
#include "link/serialhandle.h"
#include "sim/pseudoterminal.h"
#include "ui_mainwindow.h"

#include <QDateTime>

// A port the window has open with nothing answering on it: a recording may
// start, and the test hands the driver its answers itself. Made before the
// window, so the port outlives the window's use of it.
class IdlePort
{
public:
    bool attach(MainWindow &window)
    {
        return open() && window.serialHandle()->openPort(m_pty.slavePath(), 115200);
    }
    // The port's path, for the window's port list.
    bool open() { return m_pty.isOpen() || m_pty.open(); }
    QString path() const { return m_pty.slavePath(); }

private:
    PseudoTerminal m_pty;
};

// Runs a recording of a main window on a simulated clock: the interval is one
// second, the continuous-time stop is off, and every record() is the next
// second's live reading. Used where hours of recording must not take hours.
// The window is given an open port that `port` keeps.
class FakeRecording
{
public:
    FakeRecording(MainWindow &window, IdlePort &port, const QDateTime &start)
        : m_window(window), m_start(start)
    {
        m_attached = port.attach(window);
        DevKX740D &device = window.device();
        device.setClock([this] { return m_start.addSecs(m_seconds); });
        device.handleTimeOut();
        _T_CTRL_CONFIG config;
        config.interval[3] = 1;
        device.codeDeal(QByteArray(1, 6) + ctrlConfigToBytes(config));
        window.form()->pb_continue_enable->setChecked(false);
        window.recordingPage()->on_pb_continue_enable_clicked(false);
    }

    void start() { m_window.form()->pb_start->click(); }

    // One second passes and `reading` arrives in it.
    void record(const _T_PRINT_OUT_DATA &reading)
    {
        ++m_seconds;
        m_window.device().handleTimeOut();
        m_window.device().codeDeal(QByteArray(1, 1) + printOutToBytes(reading));
    }

    int seconds() const { return m_seconds; }
    bool attached() const { return m_attached; }
    QDateTime now() const { return m_start.addSecs(m_seconds); }

private:
    MainWindow &m_window;
    QDateTime m_start;
    int m_seconds = 0;
    bool m_attached = false;
};
