#include "engine/conversionbatch.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "sources/sourcelist.h"
#include "testsupport.h"

#include <QDir>

#include <csignal>

using TestSupport::processAlive;

namespace {

// One stand-in for every tool. It notes its process id, then behaves as its mode file says:
// "fail" (complains and exits 1), "empty" (exits 0 having written nothing), "hang" (says nothing
// and never ends), "slow" (prints the encoder's status lines for a few seconds), "slowthumb" (a
// thumbnail takes half a minute), "log" (notes its start and end with its arguments in steps.log
// and takes 0.3 s, or 1.2 s for raw video) or, by default, writes its output at once. The output
// is the argument after -o, else the last one. The prober prints a length for every file.
const QByteArray kFakeTool = R"(#!/bin/sh
name=$(basename "$0"); dir=$(dirname "$0")
echo $$ >> "$dir/$name.pids"
if [ "$name" = mplayer ]; then echo ID_LENGTH=10.00; exit 0; fi
out=""; prev=""
for a; do [ "$prev" = "-o" ] && out="$a"; prev="$a"; last="$a"; done
[ -n "$out" ] || out="$last"
mode=$(cat "$dir/$name.mode" 2>/dev/null)
case "$mode" in
  fail) echo "$name: cannot convert this" >&2; exit 1 ;;
  empty) exit 0 ;;
  hang) exec sleep 600 ;;
  slowthumb) case "$out" in *.THM) sleep 30 ;; esac ;;
  log) echo "start $name $*" >> "$dir/steps.log"
       case "$out" in *.m4v) sleep 1.2 ;; *) sleep 0.3 ;; esac
       echo "end $name $*" >> "$dir/steps.log" ;;
  slow) for p in 0 10 20 30 40 50 60 70 80 90 100; do
          printf 'Pos: 1.0s 1f (%2d%%) 9fps Trem: 0min 0mb A-V:0.000 [0:0]\r' $p; sleep 0.3
        done ;;
esac
echo "made by $name" >> "$out"
)";

struct Outcome {
    QString source;
    bool succeeded;
    QString finalFile;
    QString reason;
};

} // namespace

class TstConversionBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void emptyListStartsNothing();
    void everyRowInOrderWithItsOutcome();
    void failingEncoderIsReportedAndTheNextRowConverts();
    void failingPassKeepsTheIntermediateAndTheNextRowConverts_data();
    void failingPassKeepsTheIntermediateAndTheNextRowConverts();
    void startDuringABatchStartsNoSecond();
    void rowsAddedAndRemovedDuringABatch();
    void pauseContinueAndStopInTheEncoder();
    void pauseAndStopReachAPassTool();
    void pauseBetweenToolsHoldsTheBatch();
    void thumbnailRunsBesideTheBatchAndIsReachedByPauseAndStop();
    void mp4PassRunsIndependentStepsSideBySide();
    void failedStepEndsTheStepsBesideIt();
    void continueAfterAFileWasAddedWhilePaused();
    void typeIsReadAnewForEveryFile();
    void shutdownIsOfferedOnlyWhenSwitchedOnAndNotAfterStop_data();
    void shutdownIsOfferedOnlyWhenSwitchedOnAndNotAfterStop();

private:
    QString source(const QString &name);
    void setMode(const QString &tool, const QString &mode);
    QList<qint64> pidsOf(const QString &tool) const;
    bool runToEnd(int timeoutMs = 20000);
    bool start();
    QStringList outputFiles() const;
    QStringList stepLog() const;
    void useType(OutputType type);

    QTemporaryDir m_dir;
    QString m_toolDir;
    QString m_outDir;
    OutputNow m_now;
    std::unique_ptr<SourceListModel> m_rows;
    std::unique_ptr<ConversionBatch> m_batch;
    QList<Outcome> m_outcomes;
    QStringList m_status;
};

void TstConversionBatch::initTestCase()
{
    m_toolDir = m_dir.filePath("tools/");
    QVERIFY(QDir().mkpath(m_toolDir));
    for (const char *name : {"mencoder", "mplayer", "ffmpeg", "mp4creator"}) {
        QFile tool(m_toolDir + name);
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write(kFakeTool);
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void TstConversionBatch::init()
{
    for (const char *name : {"mencoder", "mplayer", "ffmpeg", "mp4creator"}) {
        QFile::remove(m_toolDir + name + ".mode");
        QFile::remove(m_toolDir + name + ".pids");
    }
    QFile::remove(m_toolDir + "steps.log");
    m_outDir = m_dir.filePath(QStringLiteral("out-%1/").arg(QTest::currentTestFunction()));
    QDir(m_outDir).removeRecursively();
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_AVI);
    m_now = {OUT_AVI, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    m_rows = std::make_unique<SourceListModel>(m_toolDir);
    m_batch = std::make_unique<ConversionBatch>(
        *m_rows, m_toolDir, [this] { return m_now; }, [this] { return m_outDir; });
    m_outcomes.clear();
    m_status.clear();
    connect(m_batch.get(), &ConversionBatch::fileFinished, this,
            [this](const QString &src, bool ok, const QString &final, const QString &reason) {
                m_outcomes << Outcome{src, ok, final, reason};
            });
    connect(m_batch.get(), &ConversionBatch::statusMessage, this,
            [this](const QString &text) { m_status << text; });
}

void TstConversionBatch::cleanup()
{
    m_batch.reset();
    m_rows.reset();
    // No tool of a test outlives it.
    for (const char *name : {"mencoder", "ffmpeg", "mp4creator", "mplayer"})
        for (const qint64 pid : pidsOf(name))
            QTRY_VERIFY2(!processAlive(pid), name);
}

QString TstConversionBatch::source(const QString &name)
{
    QString path = m_dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("source bytes");
    return path;
}

void TstConversionBatch::setMode(const QString &tool, const QString &mode)
{
    QFile file(m_toolDir + tool + ".mode");
    if (file.open(QIODevice::WriteOnly))
        file.write(mode.toLatin1());
}

QList<qint64> TstConversionBatch::pidsOf(const QString &tool) const
{
    QFile file(m_toolDir + tool + ".pids");
    QList<qint64> pids;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray &line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                pids << line.trimmed().toLongLong();
    return pids;
}

bool TstConversionBatch::start()
{
    OutputPanel panel;
    ApplyOutputProfile(panel, m_now.type);
    return m_batch->OnStart(SelectionFromPanel(panel));
}

bool TstConversionBatch::runToEnd(int timeoutMs)
{
    if (!m_batch->isRunning())
        return true;
    return QSignalSpy(m_batch.get(), &ConversionBatch::batchFinished).wait(timeoutMs);
}

QStringList TstConversionBatch::outputFiles() const
{
    return QDir(m_outDir).entryList(QDir::Files, QDir::Name);
}

// The "log" tools' lines, each named by the MP4 pass step it stands for.
QStringList TstConversionBatch::stepLog() const
{
    static const std::pair<const char *, const char *> kSteps[] = {
        {"rawvideo", "video export"}, {"rawaudio", "audio export"}, {"ffmpeg", "aac"},
        {".m4v -rate", "video mux"},  {".aac", "audio mux"},        {"mencoder", "encoder"},
    };
    QFile file(m_toolDir + "steps.log");
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        for (const auto &[text, step] : kSteps) {
            if (line.contains(text)) {
                lines << QString::fromLatin1(line.left(line.indexOf(' '))) + ' ' + step;
                break;
            }
        }
    }
    return lines;
}

void TstConversionBatch::useType(OutputType type)
{
    OutputPanel panel;
    ApplyOutputProfile(panel, type);
    m_now = {type, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
}

void TstConversionBatch::emptyListStartsNothing()
{
    QVERIFY(!start());
    QCOMPARE(m_status, QStringList{kNoFilesText});
    QVERIFY(!m_batch->isRunning());
    QVERIFY(!m_batch->OnPause());
}

void TstConversionBatch::everyRowInOrderWithItsOutcome()
{
    const QStringList sources = {source("a.avi"), source("b.avi"), source("c.avi")};
    for (const QString &path : sources)
        m_rows->AddSourceFile(path);
    QSignalSpy finished(m_batch.get(), &ConversionBatch::batchFinished);
    QVERIFY(start());
    QCOMPARE(m_status.mid(0, 2), QStringList({kStartText, kStartHintText}));
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(m_outcomes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_outcomes[i].source, sources[i]);
        QVERIFY(m_outcomes[i].succeeded);
        QCOMPARE(m_rows->text(i, SourceListModel::StatusColumn), kFinishedText);
    }
    QCOMPARE(outputFiles().size(), 3); // three files named within a second: none overwritten
    QCOMPARE(m_status.constLast(), kFinishedText);
}

void TstConversionBatch::failingEncoderIsReportedAndTheNextRowConverts()
{
    m_rows->AddSourceFile(source("bad.avi"));
    m_rows->AddSourceFile(source("good.avi"));
    QTRY_VERIFY(!m_rows->isProbing());
    setMode("mencoder", "fail");
    QSignalSpy fileStarted(m_batch.get(), &ConversionBatch::fileStarted);
    connect(m_batch.get(), &ConversionBatch::fileFinished, this, [this] {
        QFile::remove(m_toolDir + "mencoder.mode"); // only the first file fails
    });
    QVERIFY(start());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 2);
    QVERIFY(!m_outcomes[0].succeeded);
    QCOMPARE(m_outcomes[0].reason, QStringLiteral("mencoder: mencoder: cannot convert this"));
    QVERIFY(m_status.contains(kFailedText));
    QCOMPARE(m_rows->text(0, SourceListModel::StatusColumn), kFailedText);
    QVERIFY(m_outcomes[1].succeeded);
    QCOMPARE(m_rows->text(1, SourceListModel::StatusColumn), kFinishedText);
    QCOMPARE(outputFiles().size(), 1);
    QFile original(m_dir.filePath("bad.avi"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), QByteArray("source bytes"));
}

void TstConversionBatch::failingPassKeepsTheIntermediateAndTheNextRowConverts_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("keptExtension"); // what the failed file leaves
    // clang-format off
    QTest::newRow("mp4, muxer fails") << int(OUT_MP4) << "mp4creator" << "fail" << ".avi";
    QTest::newRow("mp4, audio makes nothing") << int(OUT_MP4) << "ffmpeg" << "empty" << ".avi";
    QTest::newRow("3gp pass fails") << int(OUT_3GP) << "ffmpeg" << "fail" << ".avi";
    QTest::newRow("psp audio fails") << int(OUT_PSP) << "ffmpeg" << "fail" << ".mp4";
    QTest::newRow("mp4, muxer hangs") << int(OUT_MP4) << "mp4creator" << "hang" << ".avi";
    QTest::newRow("avi, encoder hangs") << int(OUT_AVI) << "mencoder" << "hang" << ".none";
    // clang-format on
}

void TstConversionBatch::failingPassKeepsTheIntermediateAndTheNextRowConverts()
{
    QFETCH(int, type);
    QFETCH(QString, tool);
    QFETCH(QString, mode);
    QFETCH(QString, keptExtension);

    OutputPanel panel;
    ApplyOutputProfile(panel, OutputType(type));
    m_now = {OutputType(type), CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    m_rows->AddSourceFile(source("first.avi"));
    m_rows->AddSourceFile(source("second.avi"));
    setMode(tool, mode);
    connect(m_batch.get(), &ConversionBatch::fileFinished, this,
            [this, tool] { QFile::remove(m_toolDir + tool + ".mode"); });
    m_batch->setToolSilenceLimit(1000); // a hung tool is taken for one after a second
    QVERIFY(start());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 2);
    QVERIFY(!m_outcomes[0].succeeded);
    QVERIFY(m_outcomes[0].reason.startsWith(tool + ": "));
    QVERIFY(m_outcomes[1].succeeded);
    if (keptExtension == ".none") {
        QCOMPARE(outputFiles(), QStringList{QFileInfo(m_outcomes[1].finalFile).fileName()});
        return;
    }

    // The failed file leaves the encoder's output and no raw streams; the good one only its final.
    QStringList left = outputFiles();
    left.removeOne(QFileInfo(m_outcomes[1].finalFile).fileName());
    if (type == OUT_PSP)
        left.removeAll(QFileInfo(m_outcomes[1].finalFile).completeBaseName() + ".THM");
    QCOMPARE(left.size(), 1);
    QVERIFY2(left[0].endsWith(keptExtension), qPrintable(left.join(',')));
}

void TstConversionBatch::startDuringABatchStartsNoSecond()
{
    setMode("mencoder", "slow");
    m_rows->AddSourceFile(source("a.avi"));
    QVERIFY(start());
    QTRY_VERIFY(!pidsOf("mencoder").isEmpty());
    QVERIFY(!start());
    m_batch->OnStop();
    QVERIFY(runToEnd());
    QCOMPARE(pidsOf("mencoder").size(), 1);
}

void TstConversionBatch::rowsAddedAndRemovedDuringABatch()
{
    setMode("mencoder", "slow");
    for (const char *name : {"0.avi", "1.avi", "2.avi"})
        m_rows->AddSourceFile(source(name));
    QSignalSpy started(m_batch.get(), &ConversionBatch::fileStarted);
    QVERIFY(start());
    QVERIFY(started.wait(10000));
    // While the first file converts: it and the next are removed, a new file comes.
    m_rows->OnRemove(1);
    m_rows->OnRemove(0);
    m_rows->AddSourceFile(source("3.avi"));
    QFile::remove(m_toolDir + "mencoder.mode");
    QVERIFY(runToEnd(30000));
    QStringList converted;
    for (const Outcome &outcome : std::as_const(m_outcomes))
        converted << QFileInfo(outcome.source).fileName();
    // The file being converted finishes; none after it is skipped.
    QCOMPARE(converted, QStringList({"0.avi", "2.avi", "3.avi"}));
}

void TstConversionBatch::pauseContinueAndStopInTheEncoder()
{
    setMode("mencoder", "slow");
    m_rows->AddSourceFile(source("a.avi"));
    m_rows->AddSourceFile(source("b.avi"));
    QSignalSpy progress(m_batch.get(), &ConversionBatch::progressChanged);
    QVERIFY(start());
    QVERIFY(progress.wait(10000));
    const qint64 encoder = pidsOf("mencoder").constLast();

    QVERIFY(m_batch->OnPause());
    QCOMPARE(m_status.constLast(), kPausedText);
    QTRY_VERIFY(TestSupport::groupStopped(encoder));
    QVERIFY(!m_batch->OnPause());
    QVERIFY(m_batch->OnContinue());
    QCOMPARE(m_status.constLast(), kContinuingText);
    QTRY_VERIFY(TestSupport::groupRunning(encoder));

    QVERIFY(m_batch->OnPause());
    QSignalSpy finished(m_batch.get(), &ConversionBatch::batchFinished);
    m_batch->OnStop(); // a paused tool ends as well
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(m_status.contains(kStoppedText));
    QVERIFY(!processAlive(encoder));
    QCOMPARE(pidsOf("mencoder").size(), 1); // nothing further ran
    QVERIFY(m_outcomes.isEmpty());
    QCOMPARE(m_rows->text(0, SourceListModel::StatusColumn), kWaitingText);
}

void TstConversionBatch::pauseAndStopReachAPassTool()
{
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_3GP);
    m_now = {OUT_3GP, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    setMode("ffmpeg", "slow");
    m_rows->AddSourceFile(source("a.avi"));
    QVERIFY(start());
    QTRY_VERIFY(!pidsOf("ffmpeg").isEmpty());
    const qint64 pass = pidsOf("ffmpeg").constLast();
    QTRY_COMPARE(m_status.constLast(), kExportingText);

    QVERIFY(m_batch->OnPause());
    QTRY_VERIFY(TestSupport::groupStopped(pass));
    QVERIFY(m_batch->OnContinue());
    QTRY_VERIFY(TestSupport::groupRunning(pass));
    m_batch->OnStop();
    QVERIFY(runToEnd());
    QVERIFY(!processAlive(pass));
    QVERIFY(m_outcomes.isEmpty());
}

void TstConversionBatch::pauseBetweenToolsHoldsTheBatch()
{
    // Each file's encoder ends at once; a pause taken meanwhile must keep the next from starting.
    m_rows->AddSourceFile(source("a.avi"));
    m_rows->AddSourceFile(source("b.avi"));
    const auto pauser =
        connect(m_batch.get(), &ConversionBatch::fileFinished, this, [this] { m_batch->OnPause(); });
    QVERIFY(start());
    QTRY_COMPARE(m_outcomes.size(), 1);
    QTest::qWait(300);
    QCOMPARE(m_outcomes.size(), 1);
    QCOMPARE(pidsOf("mencoder").size(), 1);
    QVERIFY(m_batch->isPaused());
    disconnect(pauser);
    QVERIFY(m_batch->OnContinue());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 2);
}

void TstConversionBatch::thumbnailRunsBesideTheBatchAndIsReachedByPauseAndStop()
{
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_PSP);
    m_now = {OUT_PSP, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    setMode("ffmpeg", "slowthumb");
    m_rows->AddSourceFile(source("a.avi"));
    m_rows->AddSourceFile(source("b.avi"));
    QVERIFY(start());
    // Both files are done while the first thumbnail still runs; the batch waits for it.
    QTRY_COMPARE_WITH_TIMEOUT(m_outcomes.size(), 2, 10000);
    QVERIFY(m_batch->isRunning());
    // audio a, thumbnail a, audio b, thumbnail b (the last may still be writing its id down)
    QTRY_COMPARE(pidsOf("ffmpeg").size(), 4);
    const QList<qint64> ffmpegs = pidsOf("ffmpeg");
    const qint64 thumbnail = ffmpegs[1];
    QVERIFY(processAlive(thumbnail));

    QVERIFY(m_batch->OnPause());
    QTRY_VERIFY(TestSupport::groupStopped(thumbnail));
    QVERIFY(m_batch->OnContinue());
    QTRY_VERIFY(TestSupport::groupRunning(thumbnail));
    QSignalSpy finished(m_batch.get(), &ConversionBatch::batchFinished);
    m_batch->OnStop();
    QVERIFY(finished.wait(10000));
    QVERIFY(!processAlive(thumbnail));
}

void TstConversionBatch::mp4PassRunsIndependentStepsSideBySide()
{
    useType(OUT_MP4);
    for (const char *tool : {"mencoder", "ffmpeg", "mp4creator"})
        setMode(tool, "log");
    m_rows->AddSourceFile(source("a.avi"));
    QVERIFY(start());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 1);
    QVERIFY2(m_outcomes[0].succeeded, qPrintable(m_outcomes[0].reason));
    QCOMPARE(outputFiles(), QStringList{QFileInfo(m_outcomes[0].finalFile).fileName()});

    const QStringList log = stepLog();
    const auto at = [&log](const char *line) { return log.indexOf(QString::fromLatin1(line)); };
    QCOMPARE(log.size(), 12);
    QVERIFY2(at("end encoder") < at("start video export"), qPrintable(log.join(", ")));
    // The exports run together; the AAC step runs while the video is still being exported.
    QVERIFY2(at("start audio export") < at("end video export"), qPrintable(log.join(", ")));
    QVERIFY2(at("start video export") < at("end audio export"), qPrintable(log.join(", ")));
    QVERIFY2(at("start aac") < at("end video export"), qPrintable(log.join(", ")));
    // Each mux waits for what it reads: the video track, then the AAC and the video track's file.
    QVERIFY2(at("end video export") < at("start video mux"), qPrintable(log.join(", ")));
    QVERIFY2(at("end video mux") < at("start audio mux"), qPrintable(log.join(", ")));
    QVERIFY2(at("end aac") < at("start audio mux"), qPrintable(log.join(", ")));
}

void TstConversionBatch::failedStepEndsTheStepsBesideIt()
{
    useType(OUT_MP4);
    setMode("mencoder", "log");
    setMode("ffmpeg", "fail");
    m_rows->AddSourceFile(source("a.avi"));
    QVERIFY(start());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 1);
    QVERIFY(!m_outcomes[0].succeeded);
    QVERIFY2(m_outcomes[0].reason.startsWith("ffmpeg: "), qPrintable(m_outcomes[0].reason));
    // The video export was ended, not waited for, and no mux ran.
    const QStringList log = stepLog();
    QVERIFY2(log.contains("start video export") && !log.contains("end video export"),
             qPrintable(log.join(", ")));
    QVERIFY(pidsOf("mp4creator").isEmpty());
    // The failed file keeps the encoder's output only.
    const QStringList left = outputFiles();
    QCOMPARE(left.size(), 1);
    QVERIFY2(left[0].endsWith(".avi"), qPrintable(left.join(',')));
}

void TstConversionBatch::continueAfterAFileWasAddedWhilePaused()
{
    setMode("mencoder", "slow");
    m_rows->AddSourceFile(source("a.avi"));
    QSignalSpy progress(m_batch.get(), &ConversionBatch::progressChanged);
    QVERIFY(start());
    QVERIFY(progress.wait(10000));
    const qint64 encoder = pidsOf("mencoder").constLast();
    QVERIFY(m_batch->OnPause());
    QTRY_VERIFY(TestSupport::groupStopped(encoder));
    m_rows->AddSourceFile(source("b.avi")); // its prober runs and ends meanwhile
    QTRY_VERIFY(!m_rows->isProbing());
    QVERIFY(m_batch->OnContinue());
    QTRY_VERIFY(TestSupport::groupRunning(encoder));
    QFile::remove(m_toolDir + "mencoder.mode");
    QVERIFY(runToEnd(30000));
    QCOMPARE(m_outcomes.size(), 2);
    QVERIFY(m_outcomes[0].succeeded && m_outcomes[1].succeeded);
}

void TstConversionBatch::typeIsReadAnewForEveryFile()
{
    m_rows->AddSourceFile(source("a.avi"));
    m_rows->AddSourceFile(source("b.avi"));
    connect(m_batch.get(), &ConversionBatch::fileFinished, this, [this] {
        OutputPanel panel;
        ApplyOutputProfile(panel, OUT_FLV);
        m_now = {OUT_FLV, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    });
    QVERIFY(start());
    QVERIFY(runToEnd());
    QCOMPARE(m_outcomes.size(), 2);
    QVERIFY(m_outcomes[0].finalFile.endsWith(".avi"));
    QVERIFY(m_outcomes[1].finalFile.endsWith(".flv"));
}

void TstConversionBatch::shutdownIsOfferedOnlyWhenSwitchedOnAndNotAfterStop_data()
{
    QTest::addColumn<QVariant>("autoShutdown");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("offered");
    QTest::newRow("on") << QVariant(1) << false << true;
    QTest::newRow("off") << QVariant(0) << false << false;
    QTest::newRow("2 is not on") << QVariant(2) << false << false;
    QTest::newRow("missing") << QVariant() << false << false;
    QTest::newRow("on, but stopped") << QVariant(1) << true << false;
}

void TstConversionBatch::shutdownIsOfferedOnlyWhenSwitchedOnAndNotAfterStop()
{
    QFETCH(QVariant, autoShutdown);
    QFETCH(bool, stop);
    QFETCH(bool, offered);
    OpenSettings()->clear();
    if (autoShutdown.isValid())
        OpenSettings()->setValue(kAutoShutdownValue, autoShutdown);
    if (stop)
        setMode("mencoder", "slow");
    m_rows->AddSourceFile(source("a.avi"));
    QSignalSpy shutdown(m_batch.get(), &ConversionBatch::autoShutdownDue);
    QVERIFY(start());
    if (stop) {
        QTRY_VERIFY(!pidsOf("mencoder").isEmpty());
        m_batch->OnStop();
    }
    QVERIFY(runToEnd());
    QCOMPARE(shutdown.size(), offered ? 1 : 0);
    OpenSettings()->clear();
}

ZEPORA_TEST_MAIN(TstConversionBatch)
#include "tst_conversionbatch.moc"
