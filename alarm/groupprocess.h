#pragma once

#include <QProcess>

// A QProcess whose program leads a process group of its own (a new
// session), so that what it starts in turn (a script's "sleep 1000 &") can
// be ended with it.
class GroupProcess : public QProcess
{
public:
    using QProcess::QProcess;

    // Sends `signal` to the whole group while its leader has not ended.
    void signalGroup(int signal);
    // Whether signalGroup() was called: the program was ended on purpose.
    bool wasSignalled() const { return m_signalled; }
    // Sends `signal` to what is left of the group `group` (the process id its
    // leader had) after the leader ended. The group's id stays taken while
    // any of it lives, so the signal can reach no one else but a new group
    // under a reused id: call it within seconds of the leader's end.
    static void signalGroup(qint64 group, int signal);

protected:
    // In the child, between fork and exec.
    void setupChildProcess() override;

private:
    bool m_signalled = false;
};
