#pragma once

#include "engine/conversionplan.h"
#include "engine/progressparser.h"
#include "engine/toolrunner.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class SourceListModel;

// Texts of the status line for the batch as a whole.
inline const QString kNoFilesText = QStringLiteral("请先添加需要转换的文件。");
inline const QString kStartText = QStringLiteral("开始转换");
inline const QString kStartHintText = QStringLiteral("【提示】转换时请勿添加新的文件或执行相关的设置操作");
inline const QString kPausedText = QStringLiteral("已经暂停");
inline const QString kContinuingText = QStringLiteral("正在继续转换...");
inline const QString kStoppedText = QStringLiteral("已经停止");
inline const QString kFinishedText = QStringLiteral("转换完成");
inline const QString kFailedText = QStringLiteral("转换失败");

// Converts the rows of the source list one after another, on the thread it lives on, driven by the
// tools' events: the encoder with its progress, then the passes the output flags ask for. The
// output type and flags are read anew for every file; the frame size, bitrate and frame rate are
// the texts captured at Start. A file whose encoder or pass fails is reported and the batch goes on.
class ConversionBatch : public QObject {
    Q_OBJECT
public:
    using OutputNowSource = std::function<OutputNow()>;
    using OutputDirSource = std::function<QString()>;

    ConversionBatch(SourceListModel &rows, QString toolDir, OutputNowSource outputNow,
                    OutputDirSource outputDir, QObject *parent = nullptr);
    ~ConversionBatch() override;

    // False when the list is empty or a batch already runs.
    bool OnStart(const OutputSelection &captured);
    // Pause and Continue reach every tool of the batch; between tools, the batch holds.
    bool OnPause();
    bool OnContinue();
    // Ends the running tools and runs no further step; `batchFinished` follows once they are gone.
    void OnStop();

    bool isRunning() const { return m_running; }
    bool isPaused() const { return m_paused; }

    // A tool of the batch that prints nothing for this long is taken for hung: it is ended and its
    // file fails. The encoder and ffmpeg print several times a second; the muxer is silent while
    // it works, which takes a minute or two for a film of hours.
    static constexpr int kToolSilenceLimitMs = 5 * 60 * 1000;
    void setToolSilenceLimit(int msecs) { m_silenceLimitMs = msecs; }

signals:
    void statusMessage(const QString &text);
    void progressChanged(int percent);
    void fileStarted(const QString &source, const QString &output);
    // Every tool the batch starts, as its command line's text.
    void toolStarted(const QString &commandText);
    // `finalFile` on success; `reason` (the failing tool's last words) on failure.
    void fileFinished(const QString &source, bool succeeded, const QString &finalFile,
                      const QString &reason);
    void batchFinished(bool stopped);
    // The batch ended by itself and the settings ask for the shutdown.
    void autoShutdownDue();

private:
    enum class StepState { Waiting, Running, Done, Ended };
    struct StepRun {
        qsizetype step;
        std::unique_ptr<ToolRun> run;
    };

    void nextFile();
    void startFile(int row);
    void startReadySteps();
    bool isReady(qsizetype step) const;
    void startStep(qsizetype step);
    void stepFinished(qsizetype step, const ToolResult &result);
    void failStep(qsizetype step, const QString &reason);
    bool isBroken(qsizetype step) const;
    void startSideRun(const BatchStep &step);
    void finishFile(bool succeeded, const QString &reason);
    void finishBatchWhenIdle();
    bool holdWhilePaused(void (ConversionBatch::*resumeWith)());
    // The current file's steps and the side runs still going, to pause, continue or end together.
    std::vector<ToolRun *> runningTools() const;
    void setRowStatus(const QString &status);

    SourceListModel &m_rows;
    QString m_toolDir;
    OutputNowSource m_outputNow;
    OutputDirSource m_outputDir;

    int m_silenceLimitMs = kToolSilenceLimitMs;
    bool m_running = false;
    bool m_paused = false;
    bool m_stopping = false;
    bool m_waitingForProbes = false;
    bool m_rowsDone = false; // every row has had its turn; the batch ends once its tools have
    void (ConversionBatch::*m_resumeWith)() = nullptr;
    OutputSelection m_captured;

    quint64 m_lastRowId = 0;
    quint64 m_currentRowId = 0;
    QString m_source;
    ConversionPlan m_plan;
    std::vector<StepState> m_stepStates; // one for each step of the plan
    std::vector<StepRun> m_runs;         // the current file's running steps
    qsizetype m_failedStep = -1;
    QString m_failure;
    std::vector<std::unique_ptr<ToolRun>> m_sideRuns;
    ProgressReader m_progress;
    int m_percent = 0;
};
