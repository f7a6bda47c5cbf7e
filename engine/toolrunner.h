#pragma once

#include "engine/toolcommand.h"
#include "platform/toolprocess.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>

// How one tool run ended. A tool failed unless it started, exited normally and returned 0;
// `lastOutput` keeps the end of what it printed, for telling the user why.
struct ToolResult {
    bool started = false;
    bool crashed = false;
    bool timedOut = false; // ended by the run's time limit
    bool silent = false;   // ended for printing nothing for longer than its silence limit
    int exitCode = -1;
    QByteArray lastOutput;

    bool succeeded() const { return started && !crashed && !timedOut && !silent && exitCode == 0; }
    QString lastLine() const;
};

// One run of one tool: owns its process, its output and its state, nothing shared with other runs.
// Standard output and standard error come merged, chunk by chunk as the tool writes them.
class ToolRun : public QObject {
    Q_OBJECT
public:
    ToolRun(ToolCommand command, ToolPriority priority, QObject *parent = nullptr);
    ~ToolRun() override;

    // A tool that has not ended this long after its start is killed. 0 (the default): no limit.
    void setTimeLimit(int msecs) { m_timeLimitMs = msecs; }
    // A tool that prints nothing for this long while it runs (not counting time paused) is killed.
    // 0 (the default): no limit.
    void setSilenceLimit(int msecs) { m_silenceLimitMs = msecs; }

    // False when the tool could not be started; `finished` then follows at once.
    bool start();
    // Blocks until the tool has ended, handing on its output meanwhile; works without an event loop.
    void waitForFinished();

    const ToolCommand &command() const { return m_command; }
    qint64 processId() const { return m_pid; }
    bool isRunning() const { return m_pid > 0 && !m_finished; }
    const ToolResult &result() const { return m_result; }

    // The whole process group of the tool: what it starts itself is paused and ended with it.
    bool suspend();
    bool resume();
    bool terminate();
    // Asks the tool to end and kills it should it still run after `graceMs`.
    void end(int graceMs = 3000);

signals:
    void chunkRead(QByteArrayView chunk);
    void finished(const ToolResult &result);

private:
    void readOutput();
    void finish(int exitCode, QProcess::ExitStatus status);
    void endAtTimeLimit();
    void endForSilence();

    ToolCommand m_command;
    QProcess m_process;
    qint64 m_pid = 0;
    bool m_finished = false;
    int m_timeLimitMs = 0;
    QDeadlineTimer m_deadline = QDeadlineTimer::Forever;
    QTimer m_limitTimer;
    int m_silenceLimitMs = 0;
    QTimer m_silenceTimer;
    ToolResult m_result;
};
