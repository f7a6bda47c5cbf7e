// How long the window's event loop is kept from running: a timer asks for a turn every
// millisecond while a file is added (the prober runs) and while a batch converts it; the longest
// gap between two turns is what a person would feel as a frozen window.
//   zepora-bench-stall CLIP
#include "app/convertdlg.h"
#include "deploy/tooldeploy.h"
#include "platform/toolfolder.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class StallMeter {
public:
    StallMeter()
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_timer.start(1);
    }
    void reset()
    {
        m_last = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    double longestMs() const { return double(m_longest) / 1e6; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zepora-bench-stall CLIP\n");
        return 2;
    }
    const QString clip = QString::fromLocal8Bit(argv[1]);
    WriteSettings(home.path(), false, false);
    DeployStoredTools(DefaultToolFolder());

    CConvertDlg window;
    window.OnInitDialog({});
    window.show();
    StallMeter meter;
    QApplication::processEvents();

    meter.reset();
    window.OnDropFiles({clip});
    waitUntil([&] { return !window.sources().isProbing(); });
    const double adding = meter.longestMs();

    meter.reset();
    window.OnStart();
    waitUntil([&] { return !window.batch().isRunning(); });
    const double converting = meter.longestMs();

    std::printf("longest event-loop stall: adding a file %.1f ms, converting it %.1f ms\n", adding,
                converting);
    return 0;
}
