#include "engine/conversionbatch.h"

#include "platform/diskspace.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "sources/sourcelist.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

#include <filesystem>

namespace {

bool holdsSomething(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.size() > 0;
}

bool samePath(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return a == b || (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath());
}

// Less than this left on the output's volume after a step: the step ran out of room.
constexpr qint64 kFullVolumeMargin = 64 * 1024;

QString reasonOf(const ToolResult &result, const BatchStep &step)
{
    const QString tool = QFileInfo(step.command.program).fileName();
    if (!result.started)
        return tool + QStringLiteral(": could not be started");
    if (result.silent)
        return tool + QStringLiteral(": printed nothing for too long and was ended");
    if (result.crashed)
        return tool + QStringLiteral(": crashed (") + result.lastLine() + QLatin1Char(')');
    if (result.exitCode != 0) {
        const QString lastLine = result.lastLine();
        return tool + QStringLiteral(": ") +
               (lastLine.isEmpty() ? QStringLiteral("exit status %1").arg(result.exitCode) : lastLine);
    }
    return tool + QStringLiteral(": wrote nothing to ") + QFileInfo(step.output).fileName();
}

} // namespace

ConversionBatch::ConversionBatch(SourceListModel &rows, const QString &toolDir,
                                 OutputNowSource outputNow, OutputDirSource outputDir,
                                 QObject *parent)
    : QObject(parent), m_rows(rows), m_toolDir(toolDir), m_outputNow(std::move(outputNow)),
      m_outputDir(std::move(outputDir))
{
    connect(&m_rows, &SourceListModel::probesFinished, this, [this] {
        if (!m_waitingForProbes)
            return;
        m_waitingForProbes = false;
        nextFile();
    });
}

ConversionBatch::~ConversionBatch() = default;

bool ConversionBatch::OnStart(const OutputSelection &captured)
{
    if (m_running)
        return false;
    if (m_rows.rowCount() < 1) {
        emit statusMessage(kNoFilesText);
        return false;
    }
    emit statusMessage(kStartText);
    m_captured = captured;
    m_running = true;
    m_paused = false;
    m_stopping = false;
    m_rowsDone = false;
    m_lastRowId = 0;
    emit statusMessage(kStartHintText);
    QMetaObject::invokeMethod(this, &ConversionBatch::nextFile, Qt::QueuedConnection);
    return true;
}

bool ConversionBatch::OnPause()
{
    if (!m_running || m_paused || m_stopping)
        return false;
    m_paused = true;
    if (m_run)
        m_run->suspend();
    for (const auto &side : m_sideRuns)
        side->suspend();
    emit statusMessage(kPausedText);
    return true;
}

bool ConversionBatch::OnContinue()
{
    if (!m_running || !m_paused)
        return false;
    m_paused = false;
    if (m_run)
        m_run->resume();
    for (const auto &side : m_sideRuns)
        side->resume();
    emit statusMessage(kContinuingText);
    if (const auto resumeWith = std::exchange(m_resumeWith, nullptr))
        QMetaObject::invokeMethod(this, resumeWith, Qt::QueuedConnection);
    return true;
}

void ConversionBatch::OnStop()
{
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    m_paused = false;
    m_resumeWith = nullptr;
    m_waitingForProbes = false;
    if (m_run)
        m_run->end();
    for (const auto &side : m_sideRuns)
        side->end();
    setRowStatus(kWaitingText);
    emit progressChanged(0);
    emit statusMessage(kStoppedText);
    finishBatchWhenIdle();
}

bool ConversionBatch::holdWhilePaused(void (ConversionBatch::*resumeWith)())
{
    if (!m_paused)
        return false;
    m_resumeWith = resumeWith;
    return true;
}

void ConversionBatch::nextFile()
{
    if (!m_running || m_stopping || holdWhilePaused(&ConversionBatch::nextFile))
        return;
    // Rows are only ever added at the end, so the list stays in the order of their ids: the next
    // file is the first row after the last one converted, whatever was removed meanwhile.
    for (int row = 0; row < m_rows.rowCount(); ++row) {
        if (m_rows.rowId(row) <= m_lastRowId)
            continue;
        if (m_rows.isAwaitingProbe(row)) {
            m_waitingForProbes = true;
            return;
        }
        startFile(row);
        return;
    }
    m_rowsDone = true;
    finishBatchWhenIdle();
}

void ConversionBatch::startFile(int row)
{
    m_currentRowId = m_rows.rowId(row);
    m_source = m_rows.sourcePath(row);
    const OutputNow now = m_outputNow();
    const QString dir = m_outputDir();
    // The day may have changed since the program started: its folder is made when needed.
    QDir().mkpath(dir);
    const QString output = GetOutputFileName(dir, now.type, QTime::currentTime());
    m_plan = PlanConversion(m_toolDir, now, m_captured, m_source, output);
    m_stepIndex = 0;
    m_progress = ProgressReader();
    m_percent = 0;
    setRowStatus(kConvertingText);
    emit fileStarted(m_source, output);
    if (m_plan.steps.isEmpty()) {
        finishFile(false, QStringLiteral("no encoder makes this output type"));
        return;
    }
    runStep();
}

void ConversionBatch::runStep()
{
    if (m_stopping || holdWhilePaused(&ConversionBatch::runStep))
        return;
    while (m_stepIndex < m_plan.steps.size()) {
        const BatchStep &step = m_plan.steps[m_stepIndex];
        if (!step.skippedWithout.isEmpty() && !holdsSomething(step.skippedWithout))
            ++m_stepIndex;
        else if (!step.waited)
            startSideRun(m_plan.steps[m_stepIndex++]);
        else
            break;
    }
    if (m_stepIndex >= m_plan.steps.size()) {
        finishFile(true, {});
        return;
    }

    const BatchStep &step = m_plan.steps[m_stepIndex];
    emit statusMessage(step.statusText);
    m_run = std::make_unique<ToolRun>(step.command, step.priority);
    m_run->setSilenceLimit(m_silenceLimitMs);
    if (step.reportsProgress) {
        connect(m_run.get(), &ToolRun::chunkRead, this, [this](QByteArrayView chunk) {
            const auto percent = m_progress.feed(chunk);
            if (percent && *percent != std::exchange(m_percent, *percent))
                emit progressChanged(*percent);
            emit statusMessage(kConvertingText);
        });
    }
    connect(m_run.get(), &ToolRun::finished, this, &ConversionBatch::stepFinished,
            Qt::QueuedConnection);
    emit toolStarted(step.command.text);
    m_run->start();
}

void ConversionBatch::stepFinished(const ToolResult &result)
{
    const std::unique_ptr<ToolRun> ended = std::move(m_run);
    if (m_stopping) {
        finishBatchWhenIdle();
        return;
    }
    const BatchStep &step = m_plan.steps[m_stepIndex];
    const bool outputMissing = !step.output.isEmpty() && !step.outputMayBeEmpty && !holdsSomething(step.output);
    if (!result.succeeded() || outputMissing) {
        finishFile(false, reasonOf(result, step));
        return;
    }
    // The encoder says nothing when its writes fail and ends as if all went well: a volume left
    // full after the step means the output was cut short.
    const QString folder = QFileInfo(step.output).absolutePath();
    const qint64 left = step.output.isEmpty() ? -1 : BytesLeftForWriting(folder);
    if (left >= 0 && left < kFullVolumeMargin) {
        finishFile(false, QStringLiteral("the volume of %1 is full: %2 is cut short")
                              .arg(QDir::toNativeSeparators(folder), QFileInfo(step.output).fileName()));
        return;
    }
    if (!step.replaces.isEmpty()) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(step.output).toStdString(),
                                QFile::encodeName(step.replaces).toStdString(), error);
        if (error) {
            finishFile(false, QStringLiteral("could not replace %1: %2")
                                  .arg(step.replaces, QString::fromStdString(error.message())));
            return;
        }
    }
    ++m_stepIndex;
    runStep();
}

void ConversionBatch::startSideRun(const BatchStep &step)
{
    auto run = std::make_unique<ToolRun>(step.command, step.priority);
    run->setSilenceLimit(m_silenceLimitMs);
    ToolRun *started = run.get();
    connect(started, &ToolRun::finished, this, [this, started] {
        std::erase_if(m_sideRuns, [started](const auto &side) { return side.get() == started; });
        if (m_rowsDone || m_stopping)
            finishBatchWhenIdle();
    }, Qt::QueuedConnection);
    m_sideRuns.push_back(std::move(run));
    emit toolStarted(step.command.text);
    started->start();
}

void ConversionBatch::finishFile(bool succeeded, const QString &reason)
{
    const auto removeUnlessSource = [this](const QString &path) {
        if (!samePath(path, m_source))
            QFile::remove(path);
    };
    if (succeeded) {
        // The final file is there and holds something: only now do the intermediates go.
        for (const QString &path : std::as_const(m_plan.intermediates))
            removeUnlessSource(path);
    } else if (m_stepIndex < m_plan.steps.size()) {
        // What the failing tool left is broken; what earlier steps made stays for the user.
        const QString broken = m_plan.steps[m_stepIndex].output;
        const bool madeEarlier = std::any_of(
            m_plan.steps.begin(), m_plan.steps.begin() + m_stepIndex,
            [&broken](const BatchStep &earlier) { return earlier.output == broken; });
        if (!broken.isEmpty() && !madeEarlier)
            removeUnlessSource(broken);
    }
    for (const QString &path : std::as_const(m_plan.scratch))
        removeUnlessSource(path);

    const QString outcome = succeeded ? kFinishedText : kFailedText;
    emit progressChanged(0);
    emit statusMessage(outcome);
    setRowStatus(outcome);
    emit fileFinished(m_source, succeeded, succeeded ? m_plan.finalFile : QString(), reason);
    m_lastRowId = std::exchange(m_currentRowId, 0);
    QMetaObject::invokeMethod(this, &ConversionBatch::nextFile, Qt::QueuedConnection);
}

void ConversionBatch::finishBatchWhenIdle()
{
    if (!m_running || m_run || !m_sideRuns.empty())
        return; // the end of the last tool comes back here
    const bool stopped = m_stopping;
    m_running = false;
    m_stopping = false;
    m_paused = false;
    m_resumeWith = nullptr;
    emit batchFinished(stopped);
    if (!stopped && ReadSwitch(kAutoShutdownValue))
        emit autoShutdownDue();
}

void ConversionBatch::setRowStatus(const QString &status)
{
    m_rows.setStatus(m_rows.rowOfId(m_currentRowId), status);
}
