#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as a signal of the event loop: the handler only writes
// a byte to a pipe that a socket notifier watches. One instance per program.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;
    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void stopRequested();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};
