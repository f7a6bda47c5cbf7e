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
constexpr qint64 kFullVolumeMargin = qint64(64) * 1024;

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

ConversionBatch::ConversionBatch(SourceListModel &rows, QString toolDir, OutputNowSource outputNow,
                                 OutputDirSource outputDir, QObject *parent)
    : QObject(parent), m_rows(rows), m_toolDir(std::move(toolDir)), m_outputNow(std::move(outputNow)),
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
    for (ToolRun *tool : runningTools())
        tool->suspend();
    emit statusMessage(kPausedText);
    return true;
}

bool ConversionBatch::OnContinue()
{
    if (!m_running || !m_paused)
        return false;
    m_paused = false;
    for (ToolRun *tool : runningTools())
        tool->resume();
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
    for (ToolRun *tool : runningTools())
        tool->end();
    setRowStatus(kWaitingText);
    emit progressChanged(0);
    emit statusMessage(kStoppedText);
    finishBatchWhenIdle();
}

std::vector<ToolRun *> ConversionBatch::runningTools() const
{
    std::vector<ToolRun *> tools;
    for (const StepRun &running : m_runs)
        tools.push_back(running.run.get());
    for (const auto &side : m_sideRuns)
        tools.push_back(side.get());
    return tools;
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
    m_stepStates.assign(size_t(m_plan.steps.size()), StepState::Waiting);
    m_failedStep = -1;
    m_failure.clear();
    m_progress = ProgressReader();
    m_percent = 0;
    setRowStatus(kConvertingText);
    emit fileStarted(m_source, output);
    if (m_plan.steps.isEmpty()) {
        finishFile(false, QStringLiteral("no encoder makes this output type"));
        return;
    }
    startReadySteps();
}

void ConversionBatch::startReadySteps()
{
    if (m_stopping || m_failedStep >= 0 || holdWhilePaused(&ConversionBatch::startReadySteps))
        return;
    // A step is ready once the earlier steps it waits for are done, so one pass in plan order also
    // reaches the steps that a skipped step makes ready.
    for (qsizetype i = 0; i < m_plan.steps.size(); ++i) {
        if (m_stepStates[size_t(i)] != StepState::Waiting || !isReady(i))
            continue;
        const BatchStep &step = m_plan.steps[i];
        if (!step.skippedWithout.isEmpty() && !holdsSomething(step.skippedWithout)) {
            m_stepStates[size_t(i)] = StepState::Done;
        } else if (!step.waited) {
            m_stepStates[size_t(i)] = StepState::Done;
            startSideRun(step);
        } else {
            startStep(i);
        }
    }
    if (m_runs.empty())
        finishFile(true, {});
}

bool ConversionBatch::isReady(qsizetype step) const
{
    const QStringList &reads = m_plan.steps[step].reads;
    for (qsizetype earlier = 0; earlier < step; ++earlier) {
        if (m_stepStates[size_t(earlier)] == StepState::Done)
            continue;
        const BatchStep &writer = m_plan.steps[earlier];
        if (reads.isEmpty() || std::any_of(reads.begin(), reads.end(),
                                           [&writer](const QString &path) { return writer.writes(path); }))
            return false;
    }
    return true;
}

void ConversionBatch::startStep(qsizetype index)
{
    const BatchStep &step = m_plan.steps[index];
    m_stepStates[size_t(index)] = StepState::Running;
    emit statusMessage(step.statusText);
    auto run = std::make_unique<ToolRun>(step.command, step.priority);
    run->setSilenceLimit(m_silenceLimitMs);
    if (step.reportsProgress) {
        connect(run.get(), &ToolRun::chunkRead, this, [this](QByteArrayView chunk) {
            const auto percent = m_progress.feed(chunk);
            if (percent && *percent != std::exchange(m_percent, *percent))
                emit progressChanged(*percent);
            emit statusMessage(kConvertingText);
        });
    }
    connect(
        run.get(), &ToolRun::finished, this,
        [this, index](const ToolResult &result) { stepFinished(index, result); }, Qt::QueuedConnection);
    ToolRun *started = run.get();
    m_runs.push_back({index, std::move(run)});
    emit toolStarted(step.command.text);
    started->start();
}

void ConversionBatch::stepFinished(qsizetype index, const ToolResult &result)
{
    const auto running = std::find_if(m_runs.begin(), m_runs.end(),
                                      [index](const StepRun &run) { return run.step == index; });
    if (running == m_runs.end())
        return;
    const std::unique_ptr<ToolRun> ended = std::move(running->run);
    m_runs.erase(running);
    if (m_stopping) {
        finishBatchWhenIdle();
        return;
    }
    if (m_failedStep >= 0) {
        // Ended because a step beside it failed: the file is given up once the last one is gone.
        m_stepStates[size_t(index)] = StepState::Ended;
        if (m_runs.empty())
            finishFile(false, m_failure);
        return;
    }
    const BatchStep &step = m_plan.steps[index];
    const bool outputMissing =
        !step.output.isEmpty() && !step.outputMayBeEmpty && !holdsSomething(step.output);
    if (!result.succeeded() || outputMissing) {
        failStep(index, reasonOf(result, step));
        return;
    }
    // The encoder says nothing when its writes fail and ends as if all went well: a volume left
    // full after the step means the output was cut short.
    const QString folder = QFileInfo(step.output).absolutePath();
    const qint64 left = step.output.isEmpty() ? -1 : BytesLeftForWriting(folder);
    if (left >= 0 && left < kFullVolumeMargin) {
        failStep(index, QStringLiteral("the volume of %1 is full: %2 is cut short")
                            .arg(QDir::toNativeSeparators(folder), QFileInfo(step.output).fileName()));
        return;
    }
    if (!step.replaces.isEmpty()) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(step.output).toStdString(),
                                QFile::encodeName(step.replaces).toStdString(), error);
        if (error) {
            failStep(index, QStringLiteral("could not replace %1: %2")
                                .arg(step.replaces, QString::fromStdString(error.message())));
            return;
        }
    }
    m_stepStates[size_t(index)] = StepState::Done;
    startReadySteps();
}

// The file has failed: the steps running beside the failed one are ended, and the file is given up
// once they are gone.
void ConversionBatch::failStep(qsizetype index, const QString &reason)
{
    m_stepStates[size_t(index)] = StepState::Ended;
    m_failedStep = index;
    m_failure = reason;
    for (const StepRun &running : m_runs)
        running.run->end();
    if (m_runs.empty())
        finishFile(false, reason);
}

// What a failed file's steps left that is broken: the output of the failed step and of every step
// ended unfinished, and what steps after the failed one made, which they would not have made had
// they waited for it. What earlier steps made stays for the user.
bool ConversionBatch::isBroken(qsizetype index) const
{
    const QString &output = m_plan.steps[index].output;
    if (output.isEmpty())
        return false;
    const bool brokenHere = index >= m_failedStep || m_stepStates[size_t(index)] == StepState::Ended;
    if (!brokenHere || m_stepStates[size_t(index)] == StepState::Waiting)
        return false;
    for (qsizetype earlier = 0; earlier < m_failedStep; ++earlier)
        if (m_stepStates[size_t(earlier)] == StepState::Done && m_plan.steps[earlier].writes(output))
            return false;
    return true;
}

void ConversionBatch::startSideRun(const BatchStep &step)
{
    auto run = std::make_unique<ToolRun>(step.command, step.priority);
    run->setSilenceLimit(m_silenceLimitMs);
    ToolRun *started = run.get();
    connect(
        started, &ToolRun::finished, this,
        [this, started] {
            std::erase_if(m_sideRuns, [started](const auto &side) { return side.get() == started; });
            if (m_rowsDone || m_stopping)
                finishBatchWhenIdle();
        },
        Qt::QueuedConnection);
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
    } else if (m_failedStep >= 0) {
        for (qsizetype step = 0; step < m_plan.steps.size(); ++step)
            if (isBroken(step))
                removeUnlessSource(m_plan.steps[step].output);
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
    if (!m_running || !m_runs.empty() || !m_sideRuns.empty())
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
