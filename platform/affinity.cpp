#include "platform/affinity.h"

#include <QDir>

#include <sched.h>

bool ApplyMultiCoreAffinity()
{
    cpu_set_t processors;
    CPU_ZERO(&processors);
    CPU_SET(0, &processors);
    CPU_SET(1, &processors);
    // The binding belongs to each thread: every thread that exists now gets it, and the threads
    // and tools started later inherit it from whichever thread starts them.
    bool allBound = true;
    const QStringList threads =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &thread : threads)
        allBound =
            ::sched_setaffinity(pid_t(thread.toInt()), sizeof processors, &processors) == 0 && allBound;
    return allBound && !threads.isEmpty();
}
