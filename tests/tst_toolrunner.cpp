#include "engine/progressparser.h"
#include "toolruns.h"
#include "testsupport.h"

#include <QFile>
#include <QTimer>

#include <csignal>

using TestSupport::processAlive;

namespace {

const QByteArray kStatusLine =
    "Pos:   1.2s     30f (42%) 61.23fps Trem:   0min   0mb  A-V:0.000 [256:128]\r";

// Writes a small shell script that stands in for a tool.
QString writeFakeTool(const QTemporaryDir &dir, const QString &name, const QByteArray &body)
{
    QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

ToolCommand commandOf(const QString &program, const QStringList &arguments = {})
{
    return ToolCommand{program, arguments, program + ' ' + arguments.join(' ')};
}

} // namespace

class TstToolRunner : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void parseProgress_data();
    void parseProgress();
    void statusLineSplitAnywhereReadsWhole();
    void progressFromAToolWritingInSmallPieces();
    void toolThatCannotStart_data();
    void toolThatCannotStart();
    void toolThatFailsIsReportedWithItsLastLine();
    void encoderRunsAtIdlePriorityProberAtNormal();
    void pauseResumeAndEndReachTheWholeProcessGroup();
    void silenceLimitEndsOnlyAToolThatSaysNothing_data();
    void silenceLimitEndsOnlyAToolThatSaysNothing();

private:
    QTemporaryDir m_dir;
};

void TstToolRunner::initTestCase() { QVERIFY(m_dir.isValid()); }

void TstToolRunner::parseProgress_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<int>("percent"); // -1: the bar is left alone

    QTest::newRow("status line") << kStatusLine << 42;
    QTest::newRow("one digit, padded") << QByteArray("Pos:   0.3s      8f ( 7%)  0.00fps\r") << 7;
    QTest::newRow("hundred") << QByteArray("Pos:  10.0s    250f (100%) 61fps\r") << 100;
    QTest::newRow("past the end") << QByteArray("Pos:  10.1s    251f (101%) 61fps\r") << 100;
    QTest::newRow("at the very start") << QByteArray("%) Pos: 1.0s (42%)") << 0;
    QTest::newRow("first one counts") << QByteArray("(12%) 1fps\r(13%) 1fps\r") << 12;
    QTest::newRow("three digits at most") << QByteArray("(9042%)") << 42;
    QTest::newRow("no status") << QByteArray("Opening video decoder: [ffmpeg]\n") << -1;
    QTest::newRow("percent without bracket") << QByteArray("Skipping 12% of frames\n") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TstToolRunner::parseProgress()
{
    QFETCH(QByteArray, chunk);
    QFETCH(int, percent);
    QCOMPARE(ParseProgress(chunk).value_or(-1), percent);
}

void TstToolRunner::statusLineSplitAnywhereReadsWhole()
{
    const QByteArray previous =
        "Pos:   1.1s     29f (41%) 61.23fps Trem:   0min   0mb  A-V:0.000 [256:128]\r";
    for (qsizetype cut = 0; cut <= kStatusLine.size(); ++cut) {
        ProgressReader reader;
        QCOMPARE(reader.feed(previous).value_or(-1), 41);
        const std::optional<int> first = reader.feed(kStatusLine.left(cut));
        const std::optional<int> second = reader.feed(kStatusLine.mid(cut));
        QVERIFY2(first.value_or(41) >= 41, qPrintable(QString::number(cut)));
        QVERIFY2(second.value_or(-1) == 42 || (second == std::nullopt && first == 42),
                 qPrintable(QString::number(cut)));
    }
}

void TstToolRunner::progressFromAToolWritingInSmallPieces()
{
    // Each status line goes out in three writes with pauses, so that reads end inside lines.
    QByteArray body = "for p in 3 17 42 88 99 100 101; do\n"
                      "  printf 'Pos: 1.0s 25f ('; sleep 0.02\n"
                      "  printf '%2d' $p; sleep 0.02\n"
                      "  printf '%%) 60fps Trem: 0min 0mb A-V:0.000 [0:0]\\r'; sleep 0.02\n"
                      "done\necho 'Video stream: done'";
    const QString tool = writeFakeTool(m_dir, "slow-encoder", body);
    ProgressReader reader;
    QList<int> shown;
    int chunks = 0;
    ToolResult result;
    QVERIFY(TestSupport::runPiped(
        commandOf(tool), ToolPriority::Idle,
        [&](QByteArrayView chunk) {
            ++chunks;
            if (const auto percent = reader.feed(chunk))
                shown << *percent;
        },
        &result));
    QVERIFY(result.succeeded());
    QVERIFY2(chunks > 7, "chunks must reach the handler as they are written");
    QVERIFY(!shown.isEmpty());
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QCOMPARE(shown.constLast(), 100);
    QCOMPARE(result.lastLine(), QStringLiteral("Video stream: done"));
}

void TstToolRunner::toolThatCannotStart_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("missing") << m_dir.filePath("no-such-tool");
    QFile notExecutable(m_dir.filePath("not-executable"));
    QVERIFY(notExecutable.open(QIODevice::WriteOnly));
    notExecutable.write("#!/bin/sh\necho hi\n");
    notExecutable.close();
    QTest::newRow("not executable") << notExecutable.fileName();
    QTest::newRow("a folder") << m_dir.path();
}

void TstToolRunner::toolThatCannotStart()
{
    QFETCH(QString, program);
    bool handlerCalled = false;
    ToolResult result;
    result.started = true;
    QVERIFY(!TestSupport::runPiped(
        commandOf(program), ToolPriority::Idle, [&](QByteArrayView) { handlerCalled = true; }, &result));
    QVERIFY(!handlerCalled);
    QVERIFY(!result.started);
    QVERIFY(!result.succeeded());
    QVERIFY(!TestSupport::runToEnd(commandOf(program)).succeeded());
}

void TstToolRunner::toolThatFailsIsReportedWithItsLastLine()
{
    const QString tool = writeFakeTool(m_dir, "failing",
                                       "echo 'Opening file'\n"
                                       "echo \"Cannot open file '$1'\" >&2\n"
                                       "exit 3");
    ToolResult result;
    QVERIFY(TestSupport::runPiped(commandOf(tool, {"a b.avi"}), ToolPriority::Normal, {}, &result));
    QVERIFY(result.started);
    QCOMPARE(result.exitCode, 3);
    QVERIFY(!result.succeeded());
    QCOMPARE(result.lastLine(), QStringLiteral("Cannot open file 'a b.avi'"));

    const QString crashing = writeFakeTool(m_dir, "crashing", "kill -SEGV $$");
    const ToolResult crashed = TestSupport::runToEnd(commandOf(crashing));
    QVERIFY(crashed.started);
    QVERIFY(crashed.crashed);
    QVERIFY(!crashed.succeeded());
}

void TstToolRunner::encoderRunsAtIdlePriorityProberAtNormal()
{
    const QString tool = writeFakeTool(m_dir, "sleeper", "exec sleep 30");
    ProcessSchedule own;
    QVERIFY(ReadProcessSchedule(QCoreApplication::applicationPid(), own));
    for (const ToolPriority priority : {ToolPriority::Idle, ToolPriority::Normal}) {
        ToolRun run(commandOf(tool), priority);
        QVERIFY(run.start());
        ProcessSchedule schedule;
        QVERIFY(ReadProcessSchedule(run.processId(), schedule));
        if (priority == ToolPriority::Idle) {
            QCOMPARE(schedule.niceValue, 19);
        } else {
            QCOMPARE(schedule.niceValue, own.niceValue);
            QCOMPARE(schedule.idleClass, own.idleClass);
        }
        QVERIFY(run.terminate());
        run.waitForFinished();
        QVERIFY(!run.result().succeeded());
    }
}

void TstToolRunner::pauseResumeAndEndReachTheWholeProcessGroup()
{
    // The tool starts a helper of its own and says its process id, as the encoder's threads or
    // a shell-started pass would.
    const QString tool = writeFakeTool(m_dir, "parent", "sleep 30 &\necho $!\nwait");
    ToolRun run(commandOf(tool), ToolPriority::Idle);
    QByteArray output;
    connect(&run, &ToolRun::chunkRead, [&](QByteArrayView chunk) { output.append(chunk); });
    QVERIFY(run.start());
    QTRY_VERIFY(output.contains('\n'));
    const qint64 helper = output.trimmed().toLongLong();
    QVERIFY(processAlive(helper));

    QVERIFY(run.suspend());
    QTRY_VERIFY(TestSupport::groupStopped(run.processId()));
    QTRY_COMPARE(TestSupport::processState(helper), QByteArray("T"));
    QVERIFY(run.resume());
    QTRY_VERIFY(TestSupport::processState(helper) != "T");

    QVERIFY(run.suspend());
    QVERIFY(run.terminate()); // a paused tool still ends
    run.waitForFinished();
    QVERIFY(!run.isRunning());
    QTRY_VERIFY(!processAlive(helper));
    QVERIFY(!run.suspend()); // nothing left to signal
}

void TstToolRunner::silenceLimitEndsOnlyAToolThatSaysNothing_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("pauseMs"); // paused this long after its first line, if not 0
    QTest::addColumn<bool>("silent");
    QTest::newRow("hangs without a word") << QByteArray("exec sleep 30") << 0 << true;
    QTest::newRow("falls silent after a line") << QByteArray("echo working\nexec sleep 30") << 0 << true;
    QTest::newRow("talks more often than the limit")
        << QByteArray("for i in 1 2 3 4 5 6 7 8; do echo $i; sleep 0.2; done") << 0 << false;
    QTest::newRow("paused longer than the limit")
        << QByteArray("echo first\nsleep 0.3\necho second") << 1500 << false;
}

void TstToolRunner::silenceLimitEndsOnlyAToolThatSaysNothing()
{
    QFETCH(QByteArray, body);
    QFETCH(int, pauseMs);
    QFETCH(bool, silent);
    const QString tool = writeFakeTool(m_dir, "quiet", body);
    ToolRun run(commandOf(tool), ToolPriority::Normal);
    run.setSilenceLimit(700);
    QSignalSpy finished(&run, &ToolRun::finished);
    if (pauseMs) {
        connect(&run, &ToolRun::chunkRead, this, [&run, pauseMs](QByteArrayView chunk) {
            if (chunk.startsWith("first") && run.suspend())
                QTimer::singleShot(pauseMs, &run, [&run] { run.resume(); });
        });
    }
    QVERIFY(run.start());
    const qint64 pid = run.processId();
    QVERIFY(finished.wait(10000));
    QCOMPARE(run.result().silent, silent);
    QCOMPARE(run.result().succeeded(), !silent);
    QTRY_VERIFY(!processAlive(pid));
}

ZEPORA_TEST_MAIN(TstToolRunner)
#include "tst_toolrunner.moc"
