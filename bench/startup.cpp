// How long the program takes from its process's start until its window is first shown, tool
// deployment included, and how much memory it then holds while idle. It runs the program's own
// start-up (CConvertApp::InitInstance) and only watches it: the first expose of the main window
// stops the clock, and some time later the resident size is read and the program is asked to end.
//   zepora-bench-startup [--idle MS]     the measurement; prints "startup_s=… rss_kb=…"
//   zepora-bench-startup --settings DIR  stores DIR as the output folder and ends, so that the
//                                        measured start does not open the settings dialog
// The clock starts at ZEPORA_BENCH_START (seconds since the epoch, as bash's EPOCHREALTIME gives
// it, taken just before the process is started) or else at the process's start time in
// /proc/self/stat, which has only a 10 ms grain.
#include "app/convertapp.h"
#include "app/convertdlg.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <unistd.h>

namespace {

double clockSeconds(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Seconds since the process started, by the runner's timestamp or by the kernel's.
double secondsSinceStart(const char **source)
{
    if (const char *given = std::getenv("ZEPORA_BENCH_START"); given && *given) {
        *source = "runner";
        return clockSeconds(CLOCK_REALTIME) - std::strtod(given, nullptr);
    }
    *source = "proc";
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold spaces: the fields are counted from the ")" that closes it, and
    // the start time is field 22, the 20th after it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const double started = fields[19].toDouble() / double(::sysconf(_SC_CLK_TCK));
    return clockSeconds(CLOCK_BOOTTIME) - started;
}

// A "Name:   123 kB" line of /proc/self/status, in kB.
long statusKb(const QByteArray &status, const char *name)
{
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(name) && line.size() > int(std::strlen(name)) &&
            line[int(std::strlen(name))] == ':')
            return line.mid(int(std::strlen(name)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(int idleMs) : m_idleMs(idleMs) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_shownAfter && event->type() == QEvent::Expose && g_pMainDlg &&
            watched == g_pMainDlg->windowHandle() && static_cast<QWindow *>(watched)->isExposed()) {
            m_shownAfter = secondsSinceStart(&m_clockSource);
            QTimer::singleShot(m_idleMs, qApp, [this] {
                QFile file(QStringLiteral("/proc/self/status"));
                if (file.open(QIODevice::ReadOnly))
                    m_status = file.readAll();
                QCoreApplication::quit();
            });
        }
        return false;
    }

    std::optional<double> m_shownAfter;
    const char *m_clockSource = "";
    QByteArray m_status;

private:
    int m_idleMs;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--settings") == 0) {
        QCoreApplication app(argc, argv);
        WriteSettings(QString::fromLocal8Bit(argv[2]), false, false);
        return 0;
    }
    int idleMs = 1500;
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0)
        idleMs = std::atoi(argv[2]);
    else if (argc != 1) {
        std::fprintf(stderr, "usage: zepora-bench-startup [--idle MS] | --settings DIR\n");
        return 2;
    }

    CConvertApp theApp(argc, argv);
    ExposeWatch watch(idleMs);
    theApp.installEventFilter(&watch);
    const int status = theApp.InitInstance();
    if (!watch.m_shownAfter) {
        std::fprintf(stderr,
                     "zepora-bench-startup: the window was never shown (exit status %d; "
                     "is another copy running?)\n",
                     status);
        return 1;
    }
    std::printf("startup_s=%.4f clock=%s rss_kb=%ld rss_anon_kb=%ld rss_file_kb=%ld hwm_kb=%ld\n",
                *watch.m_shownAfter, watch.m_clockSource, statusKb(watch.m_status, "VmRSS"),
                statusKb(watch.m_status, "RssAnon"), statusKb(watch.m_status, "RssFile"),
                statusKb(watch.m_status, "VmHWM"));
    return 0;
}
