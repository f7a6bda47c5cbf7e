#include "engine/toolrunner.h"

namespace {

// Enough of a tool's last words to say why it failed.
constexpr qsizetype kKeptOutput = 2048;

} // namespace

QString ToolResult::lastLine() const
{
    const QList<QByteArray> lines = lastOutput.split('\n');
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        // A status line rewritten in place keeps only its last state.
        const QByteArray text = line->split('\r').constLast().trimmed();
        // The players' farewell says nothing of why they stopped: the line before it does.
        if (!text.isEmpty() && !text.startsWith("Exiting..."))
            return QString::fromLocal8Bit(text);
    }
    return {};
}

ToolRun::ToolRun(ToolCommand command, ToolPriority priority, QObject *parent)
    : QObject(parent), m_command(std::move(command))
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setInputChannelMode(QProcess::ManagedInputChannel);
    PrepareToolProcess(m_process, priority);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ToolRun::readOutput);
    connect(&m_process, &QProcess::finished, this, &ToolRun::finish);
    m_limitTimer.setSingleShot(true);
    connect(&m_limitTimer, &QTimer::timeout, this, &ToolRun::endAtTimeLimit);
    m_silenceTimer.setSingleShot(true);
    connect(&m_silenceTimer, &QTimer::timeout, this, &ToolRun::endForSilence);
}

ToolRun::~ToolRun()
{
    if (isRunning()) {
        KillToolProcess(m_pid);
        m_process.waitForFinished(-1);
    }
}

bool ToolRun::start()
{
    m_process.start(m_command.program, m_command.arguments, QIODevice::ReadOnly);
    if (!m_process.waitForStarted(-1)) {
        m_finished = true;
        emit finished(m_result);
        return false;
    }
    m_pid = m_process.processId();
    m_result.started = true;
    if (m_timeLimitMs > 0) {
        m_deadline.setRemainingTime(m_timeLimitMs);
        m_limitTimer.start(m_timeLimitMs);
    }
    if (m_silenceLimitMs > 0)
        m_silenceTimer.start(m_silenceLimitMs);
    return true;
}

void ToolRun::waitForFinished()
{
    while (isRunning()) {
        const bool read = m_process.waitForReadyRead(int(m_deadline.remainingTime()));
        if (read || !isRunning())
            continue;
        if (m_deadline.hasExpired())
            endAtTimeLimit();
        m_process.waitForFinished(-1);
    }
}

void ToolRun::endAtTimeLimit()
{
    if (!isRunning())
        return;
    m_result.timedOut = true;
    KillToolProcess(m_pid);
}

void ToolRun::endForSilence()
{
    if (!isRunning())
        return;
    m_result.silent = true;
    KillToolProcess(m_pid);
}

bool ToolRun::suspend()
{
    if (!isRunning() || !SuspendToolProcess(m_pid))
        return false;
    m_silenceTimer.stop(); // a paused tool has nothing to say
    return true;
}

bool ToolRun::resume()
{
    if (!isRunning() || !ResumeToolProcess(m_pid))
        return false;
    if (m_silenceLimitMs > 0)
        m_silenceTimer.start(m_silenceLimitMs);
    return true;
}

bool ToolRun::terminate() { return isRunning() && TerminateToolProcess(m_pid); }

void ToolRun::end(int graceMs)
{
    if (!terminate())
        return;
    QTimer::singleShot(graceMs, this, [this] {
        if (isRunning())
            KillToolProcess(m_pid);
    });
}

void ToolRun::readOutput()
{
    const QByteArray chunk = m_process.readAllStandardOutput();
    if (chunk.isEmpty())
        return;
    if (m_silenceTimer.isActive())
        m_silenceTimer.start(m_silenceLimitMs);
    m_result.lastOutput.append(chunk);
    if (m_result.lastOutput.size() > kKeptOutput)
        m_result.lastOutput.remove(0, m_result.lastOutput.size() - kKeptOutput);
    emit chunkRead(chunk);
}

void ToolRun::finish(int exitCode, QProcess::ExitStatus status)
{
    if (m_finished)
        return;
    readOutput();
    m_finished = true;
    m_limitTimer.stop();
    m_silenceTimer.stop();
    m_result.crashed = status == QProcess::CrashExit;
    m_result.exitCode = exitCode;
    emit finished(m_result);
}
