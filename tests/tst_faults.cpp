// The fault suite: bad sources, bad output folders, failing tools and the user's controls at every
// step, each driven through zepora-cli or the engine with the real tools. Every case checks the
// same promises: no crash and no hang; a failure is shown where one happened and never a success;
// no source is changed; no earlier output is overwritten or deleted; no tool is left running.
#include "app/convertdlg.h"
#include "deploy/tooldeploy.h"
#include "engine/conversionbatch.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "sources/sourcelist.h"
#include "testsupport.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>

#include <csignal>

using namespace TestSupport;

namespace {

enum Expect { Converted, Failed, Either };
const char *const kExpectNames[] = {"converted", "failed", "either"};

// One line per case for the summary printed at the end.
QStringList g_summary;

void note(const QString &result)
{
    g_summary << QStringLiteral("%1 | %2").arg(QString::fromLatin1(QTest::currentDataTag()).isEmpty()
                                                   ? QString::fromLatin1(QTest::currentTestFunction())
                                                   : QString::fromLatin1(QTest::currentDataTag()),
                                               result);
}

QByteArray digestOf(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result();
}

// Every file under a folder, or the one file, with a digest of its bytes.
QMap<QString, QByteArray> snapshot(const QString &place)
{
    QMap<QString, QByteArray> files;
    if (QFileInfo(place).isFile()) {
        files.insert(place, digestOf(place));
        return files;
    }
    QDirIterator it(place, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, digestOf(path));
    }
    return files;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray garbage(int size)
{
    QRandomGenerator random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

bool ffmpeg(const QStringList &arguments)
{
    return runProgram("ffmpeg", QStringList{"-v", "error", "-y"} + arguments) == 0;
}

QString extensionOf(const QString &type)
{
    return type == "iphone" || type == "psp" ? QStringLiteral(".mp4") : "." + type;
}

// The names a conversion may take in the next half minute, already taken by earlier work.
void plantEarlierOutputs(const QString &dayFolder)
{
    QDir().mkpath(dayFolder);
    const QTime now = QTime::currentTime();
    for (int second = 0; second < 30; ++second)
        for (const char *extension : {".avi", ".mp4", ".3gp"})
            writeBytes(QDir(dayFolder).filePath(now.addSecs(second).toString("HH-mm-ss") + extension),
                       "earlier output");
}

// What is alive among the children this process inherited or started.
QStringList strayTools()
{
    QStringList stray;
    for (const ChildProcess &child : childProcesses())
        if (child.state != "Z")
            stray << QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(child.name)).arg(child.pid);
    return stray;
}

bool mount(const QStringList &options, const QString &folder)
{
    QDir().mkpath(folder);
    return runProgram("mount", QStringList{"-t", "tmpfs"} + options + QStringList{"tmpfs", folder}) == 0;
}

} // namespace

class TstFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();
    void badSources_data();
    void badSources();
    void badOutputRoots_data();
    void badOutputRoots();
    void failingTools_data();
    void failingTools();
    void controlsAtEveryStep_data();
    void controlsAtEveryStep();
    void sourcesChangedDuringTheBatch_data();
    void sourcesChangedDuringTheBatch();
    void cliInterruptedDuringABatch();
    void windowClosedDuringABatch();

private:
    bool makeSource(const QString &kind, const QString &path);
    // Runs the batch over `files` with the engine and the tools of `toolDir` until it ends.
    struct BatchRun {
        QList<bool> succeeded;
        QStringList finalFiles;
        QStringList reasons;
        bool ended = false;
    };
    BatchRun runBatch(const QString &toolDir, const QString &type, const QStringList &files,
                      const QString &outDir,
                      const std::function<void(ConversionBatch &, int, int)> &onTool = {},
                      const std::function<void(ConversionBatch &, const QString &)> &onFile = {},
                      int silenceLimitMs = 0);
    QString linkedToolFolder(const QString &name, const QStringList &leaveOut);
    void checkNoStrayTools();

    QTemporaryDir m_dir;
    QString m_clip;     // 3 s, 320x240, MPEG-4 and MP3
    QString m_longClip; // 20 s, 640x480: long enough to interrupt, large enough to fill a small disk
    QString m_toolDir;
    QStringList m_mounts;
};

void TstFaults::initTestCase()
{
    QVERIFY(becomeChildSubreaper());
    m_clip = m_dir.filePath("clip.avi");
    QVERIFY(makeClip(m_clip, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, "320x240", "25", 3));
    m_longClip = m_dir.filePath("long.avi");
    QVERIFY(
        makeClip(m_longClip, {"-c:v", "mpeg4", "-q:v", "3", "-c:a", "libmp3lame"}, "640x480", "25", 20));
    m_toolDir = m_dir.filePath("tools/");
    QVERIFY(DeployStoredTools(m_toolDir));
}

void TstFaults::cleanup()
{
    for (const QString &folder : std::as_const(m_mounts))
        runProgram("umount", {"-l", folder});
    m_mounts.clear();
    checkNoStrayTools();
}

void TstFaults::cleanupTestCase()
{
    const QString summary = QStringLiteral("Fault suite: %1 cases\n  ").arg(g_summary.size()) +
                            g_summary.join(QStringLiteral("\n  ")) + '\n';
    qInfo("%s", qPrintable(summary));
    // Also beside the build, where the test command prints it after a passing run.
    const QString buildDir = qEnvironmentVariable("ZEPORA_BINARY_DIR");
    if (!buildDir.isEmpty())
        writeBytes(buildDir + "/fault-summary.txt", summary.toUtf8());
}

void TstFaults::checkNoStrayTools()
{
    QStringList stray;
    QTRY_VERIFY_WITH_TIMEOUT((stray = strayTools()).isEmpty(), 10000);
    if (!stray.isEmpty()) {
        for (const ChildProcess &child : childProcesses())
            ::kill(pid_t(child.pid), SIGKILL);
        QFAIL(qPrintable("tools left running: " + stray.join(", ")));
    }
}

bool TstFaults::makeSource(const QString &kind, const QString &path)
{
    if (kind == "clip")
        return QFile::copy(m_clip, path);
    if (kind == "zero")
        return writeBytes(path, {});
    if (kind == "garbage")
        return writeBytes(path, garbage(200000));
    if (kind == "first third") {
        QFile clip(m_clip);
        return clip.open(QIODevice::ReadOnly) && writeBytes(path, clip.read(clip.size() / 3));
    }
    if (kind == "audio only")
        return ffmpeg({"-f", "lavfi", "-i", "sine=duration=3", "-c:a", "libmp3lame", path});
    if (kind == "no audio")
        return ffmpeg(
            {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3", "-c:v", "mpeg4", path});
    if (kind == "one frame")
        return ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-frames:v", "1", "-c:v",
                       "mpeg4", path});
    if (kind == "3840x2160")
        return makeClip(path, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, "3840x2160", "25", 1);
    if (kind == "161x121")
        return makeClip(path, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, "161x121", "25", 2);
    return false;
}

void TstFaults::badSources_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("expect");
    const struct {
        const char *tag, *fileName, *kind, *type;
        Expect expect;
    } cases[] = {
        {"zero bytes", "zero.avi", "zero", "avi", Failed},
        {"garbage", "garbage.avi", "garbage", "avi", Failed},
        {"first third of a real file", "third.avi", "first third", "mp4", Either},
        {"audio only", "audio.mp3", "audio only", "avi", Failed},
        {"video without audio, avi", "silent.avi", "no audio", "avi", Converted},
        {"video without audio, mp4", "silent.avi", "no audio", "mp4", Converted},
        {"video without audio, 3gp", "silent.avi", "no audio", "3gp", Converted},
        {"one frame, mp4", "one.avi", "one frame", "mp4", Converted},
        {"3840x2160", "uhd.avi", "3840x2160", "iphone", Converted},
        {"161x121", "odd.avi", "161x121", "3gp", Converted},
        {"name with blanks", "a name  with blanks.avi", "clip", "avi", Converted},
        {"Chinese name", "中文 文件名.avi", "clip", "mp4", Converted},
        {"double quote in the name", "say \"cheese\".avi", "clip", "avi", Converted},
        {"apostrophe in the name", "it's here.avi", "clip", "3gp", Converted},
        {"leading dash", "-o out.avi", "clip", "avi", Converted},
        {"newline in the name", "two\nlines.avi", "clip", "mp4", Converted},
    };
    for (const auto &c : cases)
        QTest::newRow(c.tag) << QString::fromUtf8(c.fileName) << c.kind << c.type << int(c.expect);
    // The longest name a Linux file system takes: 255 bytes.
    // clang-format off
    QTest::newRow("255-byte name") << QString(251, QLatin1Char('n')) + ".avi" << "clip" << "avi" << int(Converted);
    // clang-format on
}

void TstFaults::badSources()
{
    QFETCH(QString, fileName);
    QFETCH(QString, kind);
    QFETCH(QString, type);
    QFETCH(int, expect);
    QTemporaryDir sources;
    const QString source = sources.filePath(fileName);
    QVERIFY(makeSource(kind, source));
    const QString root =
        m_dir.filePath(QStringLiteral("root-%1").arg(QTest::currentDataTag()).replace('\n', ' '));
    const QString day = OutputDirFor(root, QDate::currentDate());
    plantEarlierOutputs(day);
    const auto sourcesBefore = snapshot(sources.path());
    const auto outputsBefore = snapshot(root);

    const ProgramRun run =
        runSeparated(ZEPORA_CLI_PATH, {"convert", type, "--out-root", root, source}, {}, 300000);
    QVERIFY2(run.exitCode == 0 || run.exitCode == 1,
             qPrintable("exit " + QString::number(run.exitCode) + ": " + run.err.right(500)));
    const bool failedShown = run.out.contains("\tFAILED\t");
    QCOMPARE(run.exitCode == 0, !failedShown);

    QStringList made = QDir(day).entryList(QDir::Files);
    for (const QString &earlier : outputsBefore.keys())
        made.removeAll(QFileInfo(earlier).fileName());
    const QStringList finals =
        made.filter(QRegularExpression(QRegularExpression::escape(extensionOf(type)) + "$"));
    if (!failedShown) {
        // A success names its file, and the file holds the video.
        QCOMPARE(finals.size(), 1);
        QVERIFY(run.out.contains(QFile::encodeName(finals[0])));
        const MediaInfo media = probe(QDir(day).filePath(finals[0]));
        QVERIFY2(media.firstOf("video"), qPrintable(finals[0]));
    } else {
        QCOMPARE(finals, QStringList());
    }
    QVERIFY2(
        expect == Either || (expect == Converted) == !failedShown,
        qPrintable(
            QStringLiteral("expected %1: %2").arg(kExpectNames[expect], QString::fromLocal8Bit(run.out))));
    QCOMPARE(snapshot(sources.path()), sourcesBefore);
    const auto outputsAfter = snapshot(root);
    for (auto it = outputsBefore.begin(); it != outputsBefore.end(); ++it)
        QCOMPARE(outputsAfter.value(it.key()), it.value());
    note(failedShown ? "failed: " + QString::fromLocal8Bit(run.out.split('\t').constLast().trimmed())
                     : "converted");
}

void TstFaults::badOutputRoots_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("usageError"); // refused before any conversion starts
    QTest::newRow("missing folder") << "missing" << true;
    QTest::newRow("a regular file") << "file" << true;
    QTest::newRow("below a regular file") << "below file" << true;
    QTest::newRow("read-only volume") << "read-only" << false;
    QTest::newRow("volume fills up during the conversion") << "full" << false;
}

void TstFaults::badOutputRoots()
{
    QFETCH(QString, kind);
    QFETCH(bool, usageError);
    const QString base = m_dir.filePath("roots-" + kind);
    QVERIFY(QDir().mkpath(base));
    QString root = base + "/root";
    QString source = m_clip;
    if (kind == "file" || kind == "below file") {
        QVERIFY(writeBytes(base + "/root", "a file, not a folder"));
        if (kind == "below file")
            root += "/inside";
    } else if (kind == "read-only" || kind == "full") {
        const QStringList options =
            kind == "full" ? QStringList{"-o", "size=400k"} : QStringList{"-o", "ro,size=1m"};
        if (!mount(options, root))
            QSKIP("this machine lets no test mount a small volume (needs root and mount rights)");
        m_mounts << root;
        if (kind == "full")
            source = m_longClip; // some 3 MB of output for a volume of 400 kB
    }
    const auto sourceBefore = snapshot(QFileInfo(source).absolutePath());

    const ProgramRun run =
        runSeparated(ZEPORA_CLI_PATH, {"convert", "avi", "--out-root", root, source}, {}, 300000);
    QCOMPARE(run.exitCode, usageError ? 2 : 1);
    if (usageError)
        QVERIFY(run.err.contains("no output folder"));
    else
        QVERIFY2(run.out.contains("\tFAILED\t"), run.out.constData());
    QVERIFY(!run.out.contains(".avi\n"));
    QCOMPARE(snapshot(QFileInfo(source).absolutePath()), sourceBefore);
    if (kind == "full") {
        // The cut-short output is gone again, so the volume is not left full.
        QCOMPARE(QDir(OutputDirFor(root, QDate::currentDate())).entryList(QDir::Files), QStringList());
    }
    note(usageError ? "refused: " + QString::fromLocal8Bit(run.err.trimmed())
                    : "failed: " + QString::fromLocal8Bit(run.out.split('\t').constLast().trimmed()));
}

QString TstFaults::linkedToolFolder(const QString &name, const QStringList &leaveOut)
{
    QString folder = m_dir.filePath("tools-" + name + "/");
    QDir().mkpath(folder);
    for (const QString &entry : QDir(m_toolDir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        if (!leaveOut.contains(entry))
            QFile::link(m_toolDir + entry, folder + entry);
    return folder;
}

TstFaults::BatchRun TstFaults::runBatch(
    const QString &toolDir, const QString &type, const QStringList &files, const QString &outDir,
    const std::function<void(ConversionBatch &, int, int)> &onTool,
    const std::function<void(ConversionBatch &, const QString &)> &onFile, int silenceLimitMs)
{
    BatchRun outcome;
    const std::optional<OutputType> outputType = OutputTypeFromCliName(type);
    if (!outputType)
        return outcome;
    OutputPanel panel;
    ApplyOutputProfile(panel, *outputType);
    OutputNow now{*outputType, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
    SourceListModel rows(toolDir);
    QString folder = outDir + '/';
    ConversionBatch batch(
        rows, toolDir, [now] { return now; }, [folder] { return folder; });
    if (silenceLimitMs)
        batch.setToolSilenceLimit(silenceLimitMs);
    int tools = 0;
    connect(&batch, &ConversionBatch::toolStarted, &batch, [&](const QString &) {
        if (onTool)
            onTool(batch, tools, int(outcome.succeeded.size()));
        ++tools;
    });
    connect(&batch, &ConversionBatch::fileStarted, &batch, [&](const QString &source, const QString &) {
        if (onFile)
            onFile(batch, source);
    });
    connect(&batch, &ConversionBatch::fileFinished, &batch,
            [&](const QString &, bool ok, const QString &finalFile, const QString &reason) {
                outcome.succeeded << ok;
                outcome.finalFiles << finalFile;
                outcome.reasons << reason;
            });
    for (const QString &file : files)
        rows.AddSourceFile(file);
    if (!QTest::qWaitFor([&rows] { return !rows.isProbing(); }, 20000))
        return outcome;
    QSignalSpy finished(&batch, &ConversionBatch::batchFinished);
    if (!batch.OnStart(SelectionFromPanel(panel)))
        return outcome;
    outcome.ended = finished.wait(240000);
    return outcome;
}

void TstFaults::failingTools_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("reason"); // what the user is told, in part
    // clang-format off
    QTest::newRow("encoder removed after start") << "avi" << "removed" << "mencoder" << "could not be started";
    QTest::newRow("muxer removed after start") << "mp4" << "removed" << "mp4creator" << "could not be started";
    QTest::newRow("encoder killed mid-run") << "avi" << "killed" << "mencoder" << "crashed";
    QTest::newRow("audio encoder killed in the mp4 pass") << "mp4" << "killed" << "ffmpeg" << "crashed";
    QTest::newRow("encoder hangs without output") << "avi" << "hangs" << "mencoder" << "printed nothing";
    QTest::newRow("muxer writes nothing and exits 0") << "iphone" << "writes nothing" << "mp4creator" << "wrote nothing";
    // clang-format on
}

void TstFaults::failingTools()
{
    QFETCH(QString, type);
    QFETCH(QString, fault);
    QFETCH(QString, tool);
    QFETCH(QString, reason);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-');
    const QString toolDir = linkedToolFolder(tag, fault == "killed" ? QStringList() : QStringList{tool});
    if (fault == "hangs" || fault == "writes nothing") {
        const QByteArray body = fault == "hangs" ? "#!/bin/sh\nexec sleep 600\n" : "#!/bin/sh\nexit 0\n";
        QVERIFY(writeBytes(toolDir + tool, body));
        QFile(toolDir + tool).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir sources;
    const QString source = sources.filePath("clip.avi");
    QVERIFY(QFile::copy(m_clip, source));
    const auto before = snapshot(sources.path());
    const QString outDir = m_dir.filePath("out-" + tag);

    const auto killTool = [&](ConversionBatch &, int, int) {
        if (fault != "killed")
            return;
        // Once the tool runs, it is killed from outside, as by the system or the user.
        QTimer::singleShot(200, [tool] {
            if (const qint64 pid = runningChild(tool.toLocal8Bit()))
                ::kill(pid_t(pid), SIGKILL);
        });
    };
    const BatchRun run =
        runBatch(toolDir, type, {source}, outDir, killTool, {}, fault == "hangs" ? 1500 : 0);
    QVERIFY(run.ended);
    QCOMPARE(run.succeeded, QList<bool>{false});
    QVERIFY2(run.reasons[0].startsWith(tool + ": ") && run.reasons[0].contains(reason),
             qPrintable(run.reasons[0]));
    QCOMPARE(snapshot(sources.path()), before);
    note("failed: " + run.reasons[0]);
}

void TstFaults::controlsAtEveryStep_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("action");
    for (const char *type : {"avi", "mp4", "3gp", "psp", "iphone"})
        for (const char *action : {"pause and continue", "stop"})
            QTest::addRow("%s, %s", type, action) << type << action;
}

void TstFaults::controlsAtEveryStep()
{
    QFETCH(QString, type);
    QFETCH(QString, action);
    // How many tools a plain run of the type starts.
    const QString tag =
        QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-");
    int steps = 0;
    const BatchRun plain = runBatch(m_toolDir, type, {m_clip}, m_dir.filePath("plain-" + tag),
                                    [&steps](ConversionBatch &, int, int) { ++steps; });
    QVERIFY(plain.ended && plain.succeeded == QList<bool>{true});
    QVERIFY(steps >= 1);
    const auto before = snapshot(m_clip);

    QStringList results;
    for (int step = 0; step < steps; ++step) {
        const QString outDir = m_dir.filePath(QStringLiteral("ctl-%1-%2").arg(tag).arg(step));
        int finishedAtStop = 0;
        const auto act = [&](ConversionBatch &batch, int tool, int finished) {
            if (tool != step)
                return;
            if (action == "stop") {
                finishedAtStop = finished;
                batch.OnStop();
                return;
            }
            QVERIFY(batch.OnPause());
            QTimer::singleShot(400, &batch, [&batch] { batch.OnContinue(); });
        };
        const BatchRun run = runBatch(m_toolDir, type, {m_clip}, outDir, act);
        QVERIFY2(run.ended, qPrintable(QStringLiteral("step %1 never ended").arg(step)));
        if (action == "stop") {
            // Stopped: nothing is reported as converted, except a PSP file whose thumbnail, made
            // beside the batch once the file is done, was stopped: then the picture is not left
            // half made.
            const bool thumbnail = type == "psp" && step == steps - 1;
            QVERIFY2(run.succeeded.count(true) == finishedAtStop + (thumbnail ? 1 : 0),
                     qPrintable(QStringLiteral("step %1").arg(step)));
            if (thumbnail) {
                const QStringList pictures = QDir(outDir).entryList({"*.THM"}, QDir::Files);
                QVERIFY2(pictures.isEmpty() ||
                             QImage(QDir(outDir).filePath(pictures[0]), "JPG").width() == 160,
                         qPrintable(pictures.join(',')));
            }
            results << QStringLiteral("%1: %2").arg(step).arg(thumbnail ? "file done, thumbnail stopped"
                                                                        : "stopped");
        } else {
            QCOMPARE(run.succeeded, QList<bool>{true});
            ExpectedMedia whole;
            whole.duration = 3;
            const QString mismatch = mediaMismatch(run.finalFiles[0], whole);
            QVERIFY2(mismatch.isEmpty(), qPrintable(QStringLiteral("step %1: %2 (%3 s)")
                                                        .arg(step)
                                                        .arg(mismatch)
                                                        .arg(probe(run.finalFiles[0]).duration)));
            results << QStringLiteral("%1: converted").arg(step);
        }
        checkNoStrayTools();
    }
    QCOMPARE(snapshot(m_clip), before);
    note(QStringLiteral("%1 tools; ").arg(steps) + results.join(", "));
}

void TstFaults::sourcesChangedDuringTheBatch_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QList<int>>("expect"); // for the first and the second file
    QTest::newRow("next source deleted") << "delete next" << QList<int>{Converted, Failed};
    QTest::newRow("next source replaced by garbage") << "garbage next" << QList<int>{Converted, Failed};
    QTest::newRow("own source deleted while converting") << "delete own" << QList<int>{Either, Converted};
}

void TstFaults::sourcesChangedDuringTheBatch()
{
    QFETCH(QString, change);
    QFETCH(QList<int>, expect);
    QTemporaryDir sources;
    const QString first = sources.filePath("first.avi");
    const QString second = sources.filePath("second.avi");
    QVERIFY(QFile::copy(m_clip, first) && QFile::copy(m_clip, second));
    const auto onFile = [&](ConversionBatch &, const QString &source) {
        if (source != first)
            return;
        if (change == "delete next")
            QFile::remove(second);
        else if (change == "garbage next")
            writeBytes(second, garbage(100000));
        else
            QFile::remove(first);
    };
    const BatchRun run =
        runBatch(m_toolDir, "mp4", {first, second}, m_dir.filePath("changed-" + change), {}, onFile);
    QVERIFY(run.ended);
    QCOMPARE(run.succeeded.size(), 2);
    QStringList results;
    for (int i = 0; i < 2; ++i) {
        if (expect[i] != Either)
            QCOMPARE(run.succeeded[i], expect[i] == Converted);
        if (run.succeeded[i])
            QVERIFY(probe(run.finalFiles[i]).firstOf("video"));
        results << (run.succeeded[i] ? "converted" : "failed: " + run.reasons[i]);
    }
    note(results.join("; "));
}

void TstFaults::cliInterruptedDuringABatch()
{
    QTemporaryDir sources;
    const QString source = sources.filePath("long.avi");
    QVERIFY(QFile::copy(m_longClip, source));
    const auto before = snapshot(sources.path());
    QVERIFY(QDir().mkpath(m_dir.filePath("interrupted")));
    QProcess cli;
    cli.start(ZEPORA_CLI_PATH, {"convert", "mp4", "--out-root", m_dir.filePath("interrupted"), source});
    QVERIFY(cli.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("%"), 60000);
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.exitCode(), 130);
    QVERIFY(cli.readAllStandardOutput().contains("\tFAILED\tstopped"));
    QCOMPARE(snapshot(sources.path()), before);
    note("exit 130, the file reported as stopped");
}

void TstFaults::windowClosedDuringABatch()
{
    const QString root = m_dir.filePath("window-root");
    QVERIFY(QDir().mkpath(root));
    WriteSettings(root, false, false);
    QTemporaryDir sources;
    const QString source = sources.filePath("long.avi");
    QVERIFY(QFile::copy(m_longClip, source));
    auto window = std::make_unique<CConvertDlg>();
    window->OnInitDialog({[] {}, [] { return true; }, [] { QFAIL("no test may shut the computer down"); }});
    window->show();
    window->OnDropFiles({source});
    QTRY_VERIFY_WITH_TIMEOUT(!window->sources().isProbing(), 20000);
    QSignalSpy tools(&window->batch(), &ConversionBatch::toolStarted);
    window->OnStart();
    QVERIFY(tools.wait(20000));
    QTRY_VERIFY(runningChild("mencoder") != 0);
    window->close();
    window.reset();
    checkNoStrayTools();
    note("window closed, no tool left");
}

ZEPORA_TEST_MAIN_IMPL(TstFaults, QApplication)
#include "tst_faults.moc"
