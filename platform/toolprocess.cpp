#include "platform/toolprocess.h"

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

bool signalGroup(qint64 pid, int signalNumber)
{
    if (pid <= 0)
        return false;
    return ::kill(-pid_t(pid), signalNumber) == 0;
}

} // namespace

void PrepareToolProcess(QProcess &process, ToolPriority priority)
{
    // Runs in the child between fork and exec: only async-signal-safe calls.
    process.setChildProcessModifier([priority] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // Nice 19 rather than SCHED_IDLE: it yields as readily to the user's work, while the
        // idle class alone cost the encoder over one percent on an otherwise quiet machine.
        if (priority == ToolPriority::Idle)
            ::setpriority(PRIO_PROCESS, 0, 19);
    });
}

bool SuspendToolProcess(qint64 pid) { return signalGroup(pid, SIGSTOP); }

bool ResumeToolProcess(qint64 pid) { return signalGroup(pid, SIGCONT); }

bool TerminateToolProcess(qint64 pid)
{
    // A stopped tool must run again to act on the request to end.
    const bool sent = signalGroup(pid, SIGTERM);
    signalGroup(pid, SIGCONT);
    return sent;
}

bool KillToolProcess(qint64 pid) { return signalGroup(pid, SIGKILL); }

bool ReadProcessSchedule(qint64 pid, ProcessSchedule &schedule)
{
    errno = 0;
    const int niceValue = ::getpriority(PRIO_PROCESS, id_t(pid));
    if (niceValue == -1 && errno != 0)
        return false;
    const int policy = ::sched_getscheduler(pid_t(pid));
    if (policy < 0)
        return false;
    schedule.niceValue = niceValue;
    schedule.idleClass = policy == SCHED_IDLE;
    return true;
}
