#include "deploy/tooldeploy.h"
#include "platform/toolfolder.h"
#include "sources/mediaprobe.h"
#include "testsupport.h"

#include <QDir>

#include <csignal>

Q_DECLARE_METATYPE(ProbeResult)

namespace {

ProbeResult resultOf(const QString &duration, const QString &codec, const QString &frameSize,
                     const QString &frameRate)
{
    return {duration, codec, frameSize, frameRate};
}

bool sameResult(const ProbeResult &a, const ProbeResult &b)
{
    return a.duration == b.duration && a.codec == b.codec && a.frameSize == b.frameSize &&
           a.frameRate == b.frameRate;
}

QByteArray describe(const ProbeResult &r)
{
    return QStringLiteral("[%1|%2|%3|%4]").arg(r.duration, r.codec, r.frameSize, r.frameRate).toUtf8();
}

// What the prober prints for a short AVI, trimmed to the lines around its keys.
const QByteArray kProberOutput =
    "MPlayer 1.5 (Debian), built with gcc-12 (C) 2000-2022 MPlayer Team\n"
    "Playing /tmp/a b.avi.\n"
    "libavformat version 59.27.100 (external)\n"
    "ID_VIDEO_ID=0\nID_AUDIO_ID=1\n"
    "ID_FILENAME=/tmp/a b.avi\nID_DEMUXER=lavfpref\n"
    "ID_VIDEO_FORMAT=FMP4\nID_VIDEO_BITRATE=0\nID_VIDEO_WIDTH=960\nID_VIDEO_HEIGHT=400\n"
    "ID_VIDEO_FPS=23.976\nID_VIDEO_ASPECT=0.0000\nID_AUDIO_FORMAT=85\nID_AUDIO_BITRATE=0\n"
    "ID_START_TIME=0.00\nID_LENGTH=725.80\nID_SEEKABLE=1\nID_CHAPTERS=0\n"
    "VIDEO:  [FMP4]  960x400  24bpp  23.976 fps    0.0 kbps ( 0.0 kbyte/s)\r\n"
    "ID_EXIT=EOF\n";

} // namespace

class TstMediaProbe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void formatDuration_data();
    void formatDuration();
    void parseProbeOutput_data();
    void parseProbeOutput();
    void lineCutByAReadIsParsedWhole();
    void realProberOnMadeFiles_data();
    void realProberOnMadeFiles();
    void realProberOnRealFiles_data();
    void realProberOnRealFiles();
    void hangingProberIsEndedAndTheFileRefused();
    void proberThatCannotStart();

private:
    QTemporaryDir m_dir;
};

void TstMediaProbe::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(DeployStoredTools(DefaultToolFolder()));
    QCOMPARE(kProbeTimeLimitMs, 10000);
}

void TstMediaProbe::formatDuration_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00:00:00";
    QTest::newRow("minutes") << 725 << "00:12:05";
    QTest::newRow("hours") << 3725 << "01:02:05";
    QTest::newRow("a day") << 86399 << "23:59:59";
    QTest::newRow("100 hours") << 360000 << "100:00:00";
    QTest::newRow("1000 hours") << 3600000 + 61 << "1000:01:01";
}

void TstMediaProbe::formatDuration()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatDuration(seconds), text);
}

void TstMediaProbe::parseProbeOutput_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<ProbeResult>("expected");

    QTest::newRow("whole output") << kProberOutput << resultOf("00:12:05", "FMP4", "960x400", "23.976");
    QTest::newRow("fraction dropped, never rounded")
        << QByteArray("ID_LENGTH=59.99\n") << resultOf("00:00:59", "", "", "");
    QTest::newRow("zero length accepted")
        << QByteArray("ID_LENGTH=0.00\n") << resultOf("00:00:00", "", "", "");
    QTest::newRow("hex format, MPEG-1")
        << QByteArray("ID_VIDEO_FORMAT=0x10000001\r\nID_VIDEO_WIDTH=640\r\nID_VIDEO_HEIGHT=356\r\n"
                      "ID_VIDEO_FPS=25.000\r\nID_LENGTH=0.00\r\n")
        << resultOf("00:00:00", "0x10000001", "640x356", "25.000");
    QTest::newRow("audio only") << QByteArray("ID_AUDIO_FORMAT=samr\nID_LENGTH=4.36\nID_EXIT=EOF\n")
                                << resultOf("00:00:04", "", "", "");
    QTest::newRow("no length") << QByteArray("ID_VIDEO_FORMAT=H264\nID_VIDEO_WIDTH=10\n")
                               << resultOf("", "H264", "", "");
    QTest::newRow("length without digits")
        << QByteArray("ID_LENGTH=nan\n") << resultOf("00:00:00", "", "", "");
    QTest::newRow("100 hours") << QByteArray("ID_LENGTH=360000.50\n") << resultOf("100:00:00", "", "", "");
    QTest::newRow("key inside a line, value after the first =")
        << QByteArray("xx ID_VIDEO_FORMAT=a=b\n") << resultOf("", "a=b", "", "");
    QTest::newRow("runs of line breaks")
        << QByteArray("\r\n\r\nID_LENGTH=3.0\r\r\n\n") << resultOf("00:00:03", "", "", "");
    QTest::newRow("nothing") << QByteArray("Exiting... (End of file)\n") << resultOf("", "", "", "");
}

void TstMediaProbe::parseProbeOutput()
{
    QFETCH(QByteArray, output);
    QFETCH(ProbeResult, expected);
    ProbeResult result;
    QString probeSize;
    ParseProbeOutput(QString::fromLocal8Bit(output), result, probeSize);
    QVERIFY2(sameResult(result, expected), describe(result));
    QCOMPARE(result.accepted(), !expected.duration.isEmpty());
}

void TstMediaProbe::lineCutByAReadIsParsedWhole()
{
    const ProbeResult whole = resultOf("00:12:05", "FMP4", "960x400", "23.976");
    for (qsizetype cut = 0; cut <= kProberOutput.size(); ++cut) {
        ProbeOutputReader reader;
        reader.feed(kProberOutput.left(cut));
        reader.feed(kProberOutput.mid(cut));
        reader.finish();
        QVERIFY2(sameResult(reader.result(), whole), qPrintable(QString::number(cut)));
    }
    // Output that does not end in a line break still has its last line read.
    ProbeOutputReader reader;
    reader.feed("ID_LENGTH=1");
    reader.feed("0.5");
    reader.finish();
    QCOMPARE(reader.result().duration, QStringLiteral("00:00:10"));

    // A line whose byte-order mark is cut by a read reads as it does in one piece.
    const QByteArray bomLine = "\n\xEF\xBB\xBFID_VIDEO_FORMAT\n";
    ProbeOutputReader oneRead;
    oneRead.feed(bomLine);
    ProbeOutputReader twoReads;
    twoReads.feed(bomLine.left(3));
    twoReads.feed(bomLine.mid(3));
    QCOMPARE(twoReads.result().codec, oneRead.result().codec);

    // A character cut short at the very end of the output still counts, as it does in one piece.
    const QByteArray cutShort = "ID_VIDEO_WIDTH=320\nID_VIDEO_HEIGHT=24\xC5";
    for (const qsizetype cut : {qsizetype(0), qsizetype(19), cutShort.size()}) {
        ProbeOutputReader reader;
        reader.feed(cutShort.left(cut));
        reader.feed(cutShort.mid(cut));
        reader.finish();
        QCOMPARE(reader.result().frameSize, QStringLiteral("320x24\uFFFD"));
    }
}

void TstMediaProbe::realProberOnMadeFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("frameSize");
    QTest::addColumn<QString>("frameRate");

    const QString clip = m_dir.filePath("video and audio.avi");
    QVERIFY(TestSupport::makeClip(clip, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, "320x240", "25", 3));
    // clang-format off
    QTest::newRow("video and audio") << clip << true << "FMP4" << "320x240" << "25.000";

    const QString chinese = m_dir.filePath("我的 视频 (2).mp4");
    QVERIFY(TestSupport::makeClip(chinese, {"-c:v", "libx264", "-c:a", "aac"}, "176x144", "15", 2));
    QTest::newRow("Chinese name with blanks") << chinese << true << "H264" << "176x144" << "15.000";

    const QString audio = m_dir.filePath("audio only.mp3");
    QVERIFY(TestSupport::runProgram("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                                               "sine=duration=3", "-c:a", "libmp3lame", audio}) == 0);
    QTest::newRow("audio only") << audio << true << "" << "" << "";

    const QString empty = m_dir.filePath("empty.avi");
    QFile(empty).open(QIODevice::WriteOnly);
    QTest::newRow("zero bytes") << empty << false << "" << "" << "";

    const QString garbage = m_dir.filePath("garbage.mkv");
    QFile garbageFile(garbage);
    QVERIFY(garbageFile.open(QIODevice::WriteOnly));
    for (int i = 0; i < 4096; ++i)
        garbageFile.write(QByteArray(1, char((i * 7919) % 251)));
    garbageFile.close();
    QTest::newRow("garbage") << garbage << false << "" << "" << "";

    QTest::newRow("missing") << m_dir.filePath("not there.avi") << false << "" << "" << "";
    // clang-format on
}

void TstMediaProbe::realProberOnMadeFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, accepted);
    QFETCH(QString, codec);
    QFETCH(QString, frameSize);
    QFETCH(QString, frameRate);

    ProbeResult result;
    const ProbeVerdict verdict = ProbeSourceFile(g_szToolDir, file, result);
    QCOMPARE(verdict, accepted ? ProbeVerdict::Accepted : ProbeVerdict::Refused);
    if (accepted) {
        QVERIFY(result.duration.startsWith("00:00:0"));
        QCOMPARE(result.codec, codec);
        QCOMPARE(result.frameSize, frameSize);
        QCOMPARE(result.frameRate, frameRate);
    }
}

void TstMediaProbe::realProberOnRealFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<ProbeResult>("expected"); // empty duration: refused

    QTest::newRow("avi") << "mpeg4-mp3.avi" << resultOf("00:00:04", "FMP4", "960x400", "23.976");
    QTest::newRow("mp4") << "h264-aac.mp4" << resultOf("00:00:01", "H264", "1080x720", "29.970");
    QTest::newRow("flv") << "h264-aac.flv" << resultOf("00:00:01", "H264", "1080x720", "60.000");
    QTest::newRow("vob") << "mpeg2-mpa.vob" << resultOf("00:00:00", "0x10000002", "640x426", "25.000");
    QTest::newRow("3gp") << "h263-amr.3gp" << resultOf("00:00:05", "s263", "352x288", "30.000");
    QTest::newRow("asf") << "msmpeg4-wma.asf" << resultOf("00:00:27", "MP43", "160x120", "1000.000");
    QTest::newRow("rm") << "rv10-ac3.rm" << resultOf("00:00:05", "RV10", "352x288", "30.000");
    QTest::newRow("mpg") << "mpeg1-mp2.mpg" << resultOf("00:00:00", "0x10000001", "640x356", "25.000");
    QTest::newRow("webm") << "vp8-vorbis.webm" << resultOf("00:00:00", "VP80", "640x356", "23.810");
    QTest::newRow("amr, audio only") << "audio-only.amr" << resultOf("00:00:04", "", "", "");
    QTest::newRow("corrupt mkv") << "corrupt.mkv" << resultOf("", "", "", "");
}

void TstMediaProbe::realProberOnRealFiles()
{
    QFETCH(QString, file);
    QFETCH(ProbeResult, expected);
    const QString path = TestSupport::sharedMedia(file);
    if (path.isEmpty())
        QSKIP("the shared real media files are not here");
    ProbeResult result;
    const ProbeVerdict verdict = ProbeSourceFile(g_szToolDir, path, result);
    QCOMPARE(verdict, expected.accepted() ? ProbeVerdict::Accepted : ProbeVerdict::Refused);
    if (expected.accepted())
        QVERIFY2(sameResult(result, expected), describe(result));
}

void TstMediaProbe::hangingProberIsEndedAndTheFileRefused()
{
    // A prober that prints a length, then spins forever, as the real one does on some files.
    const QString toolDir = m_dir.filePath("hanging/");
    QVERIFY(QDir().mkpath(toolDir));
    QFile fake(toolDir + "mplayer");
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("#!/bin/sh\necho ID_LENGTH=12.00\necho $$ > \"$(dirname \"$0\")/pid\"\n"
               "while :; do :; done\n");
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ProbeRun probe(toolDir, "/some/file.avi", nullptr, 300);
    QSignalSpy finished(&probe, &ProbeRun::finished);
    probe.start();
    QVERIFY(!probe.isFinished()); // the caller goes on while the prober runs
    QVERIFY(finished.wait(10000));
    QCOMPARE(probe.verdict(), ProbeVerdict::Refused);

    QFile pidFile(toolDir + "pid");
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    QVERIFY(pid > 0);
    QVERIFY(::kill(pid, 0) != 0); // gone, and reaped

    // The blocking form for the command line keeps the same limit.
    ProbeResult result;
    QCOMPARE(ProbeSourceFile(toolDir, "/some/file.avi", result, 300), ProbeVerdict::Refused);
}

void TstMediaProbe::proberThatCannotStart()
{
    ProbeResult result;
    QCOMPARE(ProbeSourceFile(m_dir.filePath("no-tools/"), "/some/file.avi", result),
             ProbeVerdict::ToolNotStarted);
}

ZEPORA_TEST_MAIN(TstMediaProbe)
#include "tst_mediaprobe.moc"
