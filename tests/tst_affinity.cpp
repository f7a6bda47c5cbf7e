#include "toolruns.h"
#include "platform/affinity.h"
#include "testsupport.h"

#include <QDir>
#include <QThread>

#include <sched.h>

namespace {

QList<int> allowedProcessors(pid_t thread)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    QList<int> processors;
    if (::sched_getaffinity(thread, sizeof set, &set) == 0)
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &set))
                processors << cpu;
    return processors;
}

} // namespace

class TstAffinity : public QObject {
    Q_OBJECT
private slots:
    void programAndItsToolsRunOnTheFirstTwoProcessors();
};

void TstAffinity::programAndItsToolsRunOnTheFirstTwoProcessors()
{
    // A thread that exists before the binding must be bound as well.
    QThread early;
    early.start();
    QVERIFY(ApplyMultiCoreAffinity());
    const QList<int> firstTwo = allowedProcessors(0).size() >= 2 ? QList<int>{0, 1} : QList<int>{0};
    for (const QString &thread : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QCOMPARE(allowedProcessors(pid_t(thread.toInt())), firstTwo);
    early.quit();
    early.wait();

    QByteArray status;
    QVERIFY(TestSupport::runPiped({"/bin/cat", {"/proc/self/status"}, {}}, ToolPriority::Idle,
                                  [&status](QByteArrayView chunk) { status.append(chunk); }));
    QVERIFY2(status.contains("Cpus_allowed_list:\t0-1\n") || status.contains("Cpus_allowed_list:\t0\n"),
             status.constData());
}

ZEPORA_TEST_MAIN(TstAffinity)
#include "tst_affinity.moc"
