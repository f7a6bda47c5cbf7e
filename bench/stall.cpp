// How long the window's event loop is kept from running: a timer asks for a turn every
// millisecond while files are added (the prober runs) and while a batch converts them; the longest
// gap between two turns is what a person would feel as a frozen window.
//   zepora-bench-stall CLIP...
// Every clip is dropped on the window, all in one turn of the event loop (the harder case for the
// window than drops a person makes one by one); then the batch converts them all. Prints
// "adding_ms=… converting_ms=… files=… converted=… adding_s=… converting_s=…" last.
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
        m_last = m_started = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    double longestMs() const { return double(m_longest) / 1e6; }
    // Seconds since the last reset.
    double elapsedS() const { return double(m_clock.nsecsElapsed() - m_started) / 1e9; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_started = 0;
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
        std::fprintf(stderr, "usage: zepora-bench-stall CLIP...\n");
        return 2;
    }
    QStringList clips;
    for (int i = 1; i < argc; ++i)
        clips << QString::fromLocal8Bit(argv[i]);
    WriteSettings(home.path(), false, false);
    DeployStoredTools(DefaultToolFolder());

    CConvertDlg window;
    window.OnInitDialog({});
    window.show();
    StallMeter meter;
    QApplication::processEvents();

    meter.reset();
    // A drop takes only its first file, so each clip comes in a drop of its own.
    for (const QString &clip : clips)
        window.OnDropFiles({clip});
    waitUntil([&] { return !window.sources().isProbing(); });
    const double adding = meter.longestMs();
    const double addingS = meter.elapsedS();
    const int listed = window.sources().rowCount();

    meter.reset();
    window.OnStart();
    waitUntil([&] { return !window.batch().isRunning(); });
    const double converting = meter.longestMs();
    const double convertingS = meter.elapsedS();
    int converted = 0;
    for (int row = 0; row < window.sources().rowCount(); ++row)
        converted += window.sources().text(row, SourceListModel::StatusColumn) == kFinishedText;

    std::printf("longest event-loop stall: adding %d files %.1f ms, converting them %.1f ms\n", listed,
                adding, converting);
    std::printf("adding_ms=%.1f converting_ms=%.1f files=%d converted=%d adding_s=%.2f "
                "converting_s=%.2f\n",
                adding, converting, listed, converted, addingS, convertingS);
    return listed == clips.size() && converted == listed ? 0 : 1;
}
