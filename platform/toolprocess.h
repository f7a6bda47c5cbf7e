#pragma once

#include <QtGlobal>

class QProcess;

// How the system treats a tool's process: the encoder (nice 19) yields the processor to the user's
// other work, the prober runs like any program.
enum class ToolPriority { Normal, Idle };

// Makes the tool started by `process` the leader of its own process group (so that pausing,
// resuming and ending reach every process it starts), gives it the priority, and lets the kernel
// end it should this program die first.
void PrepareToolProcess(QProcess &process, ToolPriority priority);

// Signals to a tool's whole process group. They return false when the group no longer exists.
bool SuspendToolProcess(qint64 pid);
bool ResumeToolProcess(qint64 pid);
bool TerminateToolProcess(qint64 pid);
bool KillToolProcess(qint64 pid);

// The scheduling state of a running process, as the kernel reports it (for checks and tests).
struct ProcessSchedule {
    int niceValue = 0;
    bool idleClass = false;
};
bool ReadProcessSchedule(qint64 pid, ProcessSchedule &schedule);
