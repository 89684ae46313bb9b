#pragma once

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QDateTime>

// Runs a recording of a main window on a simulated clock: the interval is one
// second, the continuous-time stop is off, and every record() is the next
// second's live reading. Used where hours of recording must not take hours.
class FakeRecording
{
public:
    FakeRecording(MainWindow &window, const QDateTime &start) : m_window(window), m_start(start)
    {
        DevKX740D &device = window.device();
        device.setClock([this] { return m_start.addSecs(m_seconds); });
        device.handleTimeOut();
        _T_CTRL_CONFIG config;
        config.interval[3] = 1;
        device.codeDeal(QByteArray(1, 6) + ctrlConfigToBytes(config));
        window.form()->pb_continue_enable->setChecked(false);
        window.on_pb_continue_enable_clicked(false);
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
    QDateTime now() const { return m_start.addSecs(m_seconds); }

private:
    MainWindow &m_window;
    QDateTime m_start;
    int m_seconds = 0;
};
