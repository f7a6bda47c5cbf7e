#include "testsupport.h"

#include <QDir>

#include <csignal>

namespace {

using CliRun = TestSupport::ProgramRun;

CliRun runCli(const QStringList &arguments)
{
    return TestSupport::runSeparated(ZEPORA_CLI_PATH, arguments, {}, 120000);
}

QString toolDir() { return qEnvironmentVariable("XDG_DATA_HOME") + "/ZPX/"; }

} // namespace

class TstCli : public QObject {
    Q_OBJECT
private slots:
    void typesListsTheCatalogue();
    void commandPrintsTheEncoderLine_data();
    void commandPrintsTheEncoderLine();
    void probePrintsALinePerFile();
    void convertRealFiles_data();
    void convertRealFiles();
    void convertWithoutAnOutputFolderIsRefused();
    void interruptStopsTheBatchAndLeavesNoTool();
    void malformedCallsAreRefused_data();
    void malformedCallsAreRefused();
    void convertToAnUnselectableTypeNamesTheOthers();
};

void TstCli::typesListsTheCatalogue()
{
    const CliRun run = runCli({"types"});
    QCOMPARE(run.exitCode, 0);
    const QString text = QString::fromUtf8(run.out);
    for (const char *name : {"mpg", "avi", "rm", "3gp", "mp4", "flv", "psp", "ps3", "ipod-nano", "iphone"})
        QVERIFY2(text.contains(QStringLiteral("\n%1\t").arg(name)) ||
                     text.startsWith(QStringLiteral("%1\t").arg(name)),
                 name);
    QVERIFY(text.contains("Sony PS3视频 (*.MP4)"));
    QVERIFY(text.contains("\tsizes\t1280x720,480x272,720x480\tdefault 720x480\n"));
    QVERIFY(text.contains("RM视频 (*.RM) (not selectable)"));
    // The tools were deployed at the start, as the window does.
    for (const char *tool : {"mencoder", "mplayer", "ffmpeg", "mp4creator"})
        QVERIFY2(QFileInfo(toolDir() + tool).isExecutable(), tool);
}

void TstCli::commandPrintsTheEncoderLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("line");

    QTest::newRow("avi as asked")
        << QStringList{"command", "avi",   "--size", "320x240",     "--bitrate",
                       "256",     "--fps", "25",     "/in/a b.avi", "/out/x.avi"}
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -oac mp3lame "
           "-lameopts abr:br=128 -srate 44100 -ofps 25 -ovc xvid -xvidencopts "
           "bitrate=256:max_bframes=0 \"/in/a b.avi\" -o \"/out/x.avi\"";
    QTest::newRow("psp defaults")
        << QStringList{"command", "psp", "/in/源.vob", "/out/M4V00000.mp4"}
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=480:272,harddup -srate 24000 "
           "-ofps 29.970 -of lavf -lavfopts format=psp -oac mp3lame -lameopts abr:br=64 -ovc lavc "
           "-lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=512 -info name=\"1\" "
           "\"/in/源.vob\" -o \"/out/M4V00000.mp4\"";
    QTest::newRow("options after the paths, = form")
        << QStringList{"command", "iphone", "/a.mp4", "/b.avi", "--bitrate=1200", "--size=640x480"}
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=640:480,harddup -srate 44100 "
           "-oac mp3lame -lameopts abr:br=128 -ovc x264 -ffourcc H264 -x264encopts "
           "bitrate=1200:level_idc=13:nocabac:profile=baseline -ofps 25 \"/a.mp4\" -o \"/b.avi\"";
    QTest::newRow("rm") << QStringList{"command", "rm", "/a", "/b.rm"} << "mencoder ";
}

void TstCli::commandPrintsTheEncoderLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, line);
    const CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), toolDir() + line + "\n");
}

void TstCli::probePrintsALinePerFile()
{
    const QString avi = TestSupport::sharedMedia("mpeg4-mp3.avi");
    const QString amr = TestSupport::sharedMedia("audio-only.amr");
    const QString mkv = TestSupport::sharedMedia("corrupt.mkv");
    if (avi.isEmpty())
        QSKIP("the shared real media files are not here");

    const CliRun accepted = runCli({"probe", avi, amr});
    QCOMPARE(accepted.exitCode, 0);
    QCOMPARE(QString::fromUtf8(accepted.out),
             avi + "\t00:00:04\tFMP4\t960x400\t23.976\n" + amr + "\t00:00:04\t\t\t\n");

    const CliRun refused = runCli({"probe", mkv, avi});
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(QString::fromUtf8(refused.out).section('\n', 0, 0),
             mkv + "\t【提示】该视频文件无效，无法添加");
    QCOMPARE(QString::fromUtf8(refused.out).count('\n'), 2);
}

void TstCli::convertRealFiles_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("videoCodec");
    QTest::addColumn<QString>("audioCodec");
    // clang-format off
    QTest::newRow("phone mp4") << "mp4" << ".mp4" << "mpeg4" << "aac";
    QTest::newRow("phone 3gp") << "3gp" << ".3gp" << "h263" << "amr_nb";
    // clang-format on
}

void TstCli::convertRealFiles()
{
    QFETCH(QString, type);
    QFETCH(QString, extension);
    QFETCH(QString, videoCodec);
    QFETCH(QString, audioCodec);
    const QStringList videos = {"mpeg4-mp3.avi", "h264-aac.mp4",  "h264-aac.flv",
                                "mpeg2-mpa.vob", "h263-amr.3gp",  "msmpeg4-wma.asf",
                                "rv10-ac3.rm",   "mpeg1-mp2.mpg", "vp8-vorbis.webm"};
    QStringList sources;
    for (const QString &video : videos)
        sources << TestSupport::sharedMedia(video);
    if (sources.contains(QString()))
        QSKIP("the shared real media files are not here");
    const QString corrupt = TestSupport::sharedMedia("corrupt.mkv");

    QTemporaryDir root;
    const CliRun run =
        runCli(QStringList{"convert", type, "--out-root", root.path()} << sources << corrupt);
    QCOMPARE(run.exitCode, 1); // the corrupt file is not converted
    const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), sources.size() + 1);
    for (const QString &line : lines) {
        const QStringList columns = line.split('\t');
        if (columns[0] == corrupt) {
            QCOMPARE(columns.mid(1), QStringList({"FAILED", "【提示】该视频文件无效，无法添加"}));
            continue;
        }
        QVERIFY2(columns.size() == 2 && sources.contains(columns[0]), qPrintable(line));
        const QString &output = columns[1];
        QVERIFY2(output.startsWith(root.path() + "/Zepora-ZPX/") && output.endsWith(extension),
                 qPrintable(output));
        const TestSupport::MediaInfo info = TestSupport::probe(output);
        QVERIFY2(info.firstOf("video") && info.firstOf("video")->codecName == videoCodec,
                 qPrintable(line));
        QVERIFY2(info.firstOf("audio") && info.firstOf("audio")->codecName == audioCodec,
                 qPrintable(line));
    }
    QVERIFY(run.err.contains("100%"));
}

void TstCli::convertWithoutAnOutputFolderIsRefused()
{
    const QString clip = TestSupport::sharedMedia("mpeg4-mp3.avi");
    const CliRun noRoot = runCli({"convert", "avi", clip.isEmpty() ? "/x.avi" : clip});
    QCOMPARE(noRoot.exitCode, 2);
    QVERIFY(noRoot.err.contains("--out-root"));
    QVERIFY(noRoot.out.isEmpty());
    QCOMPARE(runCli({"convert", "rm", "--out-root", "/tmp", "/x.avi"}).exitCode, 2);
}

static QList<qint64> processesRunningFrom(const QString &folder)
{
    QList<qint64> pids;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (isPid && QFileInfo("/proc/" + entry + "/exe").symLinkTarget().startsWith(folder))
            pids << pid;
    }
    return pids;
}

void TstCli::interruptStopsTheBatchAndLeavesNoTool()
{
    QTemporaryDir dir;
    const QString clip = dir.filePath("long.avi");
    QVERIFY(TestSupport::makeClip(clip, {"-c:v", "mpeg4", "-q:v", "8", "-c:a", "libmp3lame"}, "320x240",
                                  "25", 120));
    QProcess cli;
    cli.start(ZEPORA_CLI_PATH, {"convert", "ps3", "--out-root", dir.path(), clip});
    QVERIFY(cli.waitForStarted());
    QByteArray err;
    QTRY_VERIFY_WITH_TIMEOUT((err += cli.readAllStandardError()).contains("%"), 30000);
    QVERIFY(!processesRunningFrom(toolDir()).isEmpty());
    ::kill(pid_t(cli.processId()), SIGINT);
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.exitCode(), 130);
    QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), clip + "\tFAILED\tstopped\n");
    QVERIFY(processesRunningFrom(toolDir()).isEmpty());
}

void TstCli::malformedCallsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"encode"};
    QTest::newRow("unknown type") << QStringList{"command", "wmv", "/a", "/b"};
    QTest::newRow("missing output") << QStringList{"command", "avi", "/a"};
    QTest::newRow("size without x") << QStringList{"command", "avi", "--size", "320", "/a", "/b"};
    QTest::newRow("bitrate not a number")
        << QStringList{"command", "avi", "--bitrate", "fast", "/a", "/b"};
    QTest::newRow("fps not a number") << QStringList{"command", "avi", "--fps", "25fps", "/a", "/b"};
    QTest::newRow("unknown option") << QStringList{"command", "avi", "--speed", "2", "/a", "/b"};
    QTest::newRow("types with arguments") << QStringList{"types", "avi"};
    QTest::newRow("probe without files") << QStringList{"probe"};
    QTest::newRow("convert to an unknown type") << QStringList{"convert", "wmv", "/a"};
}

void TstCli::malformedCallsAreRefused()
{
    QFETCH(QStringList, arguments);
    const CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
}

void TstCli::convertToAnUnselectableTypeNamesTheOthers()
{
    const CliRun run = runCli({"convert", "rm", "/a"});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(QString::fromUtf8(run.err).section(QStringLiteral("choose one of "), 1),
             QStringLiteral("mpg avi 3gp mp4 flv psp ps3 ipod-nano iphone\n"));
}

ZEPORA_TEST_MAIN(TstCli)
#include "tst_cli.moc"
