#include "alarm/groupprocess.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

void GroupProcess::signalGroup(int signal)
{
    const qint64 leader = processId();
    if (leader <= 0)
        return;
    m_signalled = true;
    // A child not yet past setupChildProcess() is still in our group.
    if (::kill(-pid_t(leader), signal) != 0 && errno == ESRCH)
        ::kill(pid_t(leader), signal);
}

void GroupProcess::signalGroup(qint64 group, int signal)
{
    if (group > 0)
        ::kill(-pid_t(group), signal);
}

void GroupProcess::setupChildProcess()
{
    // Async-signal-safe; it fails only for a group leader, which a child
    // just forked is not.
    ::setsid();
}
