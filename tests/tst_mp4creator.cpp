// mp4creator, the muxer of the MP4 packaging pass: raw streams made the way Zepora makes them go
// in, and what comes out must play, keep its pictures in order and keep the tracks already there.

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

using Run = TestSupport::ProgramRun;

Run runMp4creator(const QStringList &arguments, const QString &workingFolder)
{
    return TestSupport::runSeparated(MP4CREATOR_PATH, arguments, workingFolder);
}

QByteArray runTool(const QString &program, const QStringList &arguments)
{
    QByteArray output;
    if (TestSupport::runProgram(program, arguments, &output) != 0)
        qWarning("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(' ')),
                 output.constData());
    return output;
}

// One MD5 over every decoded frame of the first stream of that kind, in the order the decoder
// hands them out: equal digests mean the same pictures (or samples), none lost, none moved.
QByteArray decodedDigest(const QString &file, const QString &kind)
{
    return runTool("ffmpeg", {"-v", "error", "-nostdin", "-i", file, "-map", "0:" + kind + ":0",
                              "-fps_mode", "passthrough", "-f", "md5", "-"})
        .trimmed();
}

// Presentation times of the decoded video frames, in the order the decoder shows them.
QList<qint64> shownTimes(const QString &file)
{
    const QByteArray output = runTool("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                                  "frame=pts", "-of", "csv=p=0", file});
    QList<qint64> times;
    for (const QByteArray &line : output.split('\n'))
        if (!line.trimmed().isEmpty())
            times << line.trimmed().toLongLong();
    return times;
}

// How long an ADTS stream plays: AAC frames hold 1024 samples each.
double adtsSeconds(const QString &file)
{
    const QList<QByteArray> fields =
        runTool("ffprobe", {"-v", "error", "-count_packets", "-show_entries",
                            "stream=sample_rate,nb_read_packets", "-of", "csv=p=0", file})
            .trimmed()
            .split(',');
    if (fields.size() != 2 || fields[0].toInt() <= 0)
        return -1;
    return double(fields[1].toLongLong()) * 1024.0 / fields[0].toInt();
}

// Per-packet digests with timestamps of one track, copied out untouched.
QByteArray packetDigests(const QString &file, const QString &stream)
{
    return runTool("ffmpeg", {"-v", "error", "-nostdin", "-i", file, "-map", stream, "-c", "copy", "-f",
                              "framemd5", "-"});
}

// The top-level boxes of an MP4 file, in file order.
QStringList topLevelBoxes(const QString &file)
{
    QFile mp4(file);
    QStringList boxes;
    if (!mp4.open(QIODevice::ReadOnly))
        return boxes;
    const auto bigEndian = [](const QByteArray &bytes) {
        quint64 value = 0;
        for (char byte : bytes)
            value = value << 8 | uchar(byte);
        return value;
    };
    while (!mp4.atEnd()) {
        const qint64 start = mp4.pos();
        const QByteArray header = mp4.read(8);
        if (header.size() < 8)
            break;
        boxes << QString::fromLatin1(header.mid(4, 4));
        quint64 size = bigEndian(header.left(4));
        if (size == 1)
            size = bigEndian(mp4.read(8)); // a 64-bit size follows the type
        if (size < 8 || !mp4.seek(start + qint64(size)))
            break; // size 0: the box runs to the end of the file
    }
    return boxes;
}

QByteArray contents(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool writeFile(const QString &file, const QByteArray &data)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(data) == data.size();
}

QStringList folderListing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Bytes that look like nothing: a fixed pseudo-random sequence, so every run tests the same.
QByteArray garbage(int size)
{
    QByteArray bytes(size, '\0');
    quint32 state = 0x2545F491;
    for (char &byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state >> 24);
    }
    return bytes;
}

} // namespace

class TstMp4creator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void createsTrackFromRawStream_data();
    void createsTrackFromRawStream();
    void readsFrameRateText_data();
    void readsFrameRateText();
    void addsTrackAndKeepsExisting_data();
    void addsTrackAndKeepsExisting();
    void refusesBadInputAndKeepsExisting_data();
    void refusesBadInputAndKeepsExisting();

private:
    QString source(const QString &name) const { return m_sources.filePath(name); }
    bool mencoder(const QStringList &arguments);
    void checkVideo(const QString &mp4, const QString &raw, const QString &frameRate);
    void checkAudio(const QString &mp4, const QString &raw);

    QTemporaryDir m_sources;
};

bool TstMp4creator::mencoder(const QStringList &arguments)
{
    QByteArray output;
    if (TestSupport::runProgram("mencoder", arguments, &output) != 0) {
        qWarning("mencoder %s failed: %s", qPrintable(arguments.join(' ')),
                 output.right(2000).constData());
        return false;
    }
    return true;
}

// The raw streams, made as the MP4 packaging pass makes them (mencoder AVI -> raw dumps, MP3 ->
// ADTS AAC with ffmpeg), plus ones straight from ffmpeg with other B-frame patterns and rates.
void TstMp4creator::initTestCase()
{
    for (const char *tool : {"ffmpeg", "ffprobe", "mencoder"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
    QVERIFY(m_sources.isValid());

    QVERIFY(TestSupport::makeClip(source("clip.avi"), {"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "5",
                                                       "-c:a", "libmp3lame", "-b:a", "128k"}));
    QVERIFY(mencoder({"-demuxer",
                      "lavf",
                      "-mc",
                      "0",
                      "-af",
                      "volnorm",
                      "-vf",
                      "scale=720:480,harddup",
                      "-srate",
                      "48000",
                      "-ofps",
                      "23.976",
                      "-sws",
                      "9",
                      "-oac",
                      "mp3lame",
                      "-lameopts",
                      "abr:br=96",
                      "-ovc",
                      "x264",
                      "-ffourcc",
                      "H264",
                      "-x264encopts",
                      "crf=22:level_idc=21:bframes=3:frameref=2:nopsnr:nossim",
                      source("clip.avi"),
                      "-o",
                      source("ps3.avi")}));
    QVERIFY(mencoder(
        {source("ps3.avi"), "-ovc", "copy", "-nosound", "-of", "rawvideo", "-o", source("ps3.264")}));
    QVERIFY(mencoder({source("ps3.avi"), "-ovc", "frameno", "-oac", "copy", "-of", "rawaudio", "-o",
                      source("ps3.mp3")}));
    QVERIFY(mencoder(
        {source("clip.avi"), "-ovc", "copy", "-nosound", "-of", "rawvideo", "-o", source("xvid.m4v")}));
    runTool("ffmpeg", {"-v", "error", "-nostdin", "-y", "-i", source("ps3.mp3"), "-c:a", "aac", "-b:a",
                       "128k", "-f", "adts", source("ps3.aac")});

    // An MP4 with its index at the front, as a half-finished copy would leave it when cut short.
    runTool("ffmpeg", {"-v", "error", "-nostdin", "-y", "-i", source("ps3.avi"), "-an", "-c:v", "copy",
                       "-movflags", "faststart", source("ps3.mp4")});
    // A QuickTime file named .mp4 with a track MP4 cannot hold.
    QVERIFY(TestSupport::makeClip(source("pcm.mov"), {"-vn", "-c:a", "pcm_s16le", "-f", "mov"}));

    QVERIFY(TestSupport::makeClip(source("bframes.m4v"),
                                  {"-an", "-c:v", "mpeg4", "-bf", "2", "-q:v", "5", "-f", "m4v"},
                                  "320x240", "15"));
    QVERIFY(TestSupport::makeClip(
        source("x264.h264"), {"-an", "-c:v", "libx264", "-bf", "3", "-pix_fmt", "yuv420p", "-f", "h264"},
        "320x240", "30000/1001"));
    QVERIFY(
        TestSupport::makeClip(source("tone.aac"), {"-vn", "-c:a", "aac", "-b:a", "128k", "-f", "adts"}));

    for (const char *name : {"ps3.264", "ps3.aac", "xvid.m4v", "ps3.mp4"})
        QVERIFY2(QFileInfo(source(name)).size() > 0, name);
    // The point of the H.264 cases: frames are stored out of display order.
    QVERIFY(runTool("ffprobe", {"-v", "error", "-show_entries", "stream=has_b_frames", "-of", "csv=p=0",
                                source("ps3.264")})
                .trimmed()
                .toInt() > 0);
}

// The video track of `mp4` holds exactly the pictures of `raw` in the same order, at the given
// rate, with presentation times that put them in that order one frame apart.
void TstMp4creator::checkVideo(const QString &mp4, const QString &raw, const QString &frameRate)
{
    const TestSupport::MediaInfo info = TestSupport::probe(mp4);
    const TestSupport::StreamInfo *video = info.firstOf("video");
    QVERIFY(video);
    QCOMPARE(video->frameRate, frameRate);

    const QByteArray digest = decodedDigest(mp4, "v");
    QVERIFY(digest.startsWith("MD5="));
    QCOMPARE(digest, decodedDigest(raw, "v"));

    // The decoder shows frames in bitstream order whatever the container says; wrong
    // timestamps show up as times that do not rise steadily in that order.
    const QList<qint64> times = shownTimes(mp4);
    QVERIFY(times.size() > 50);
    QCOMPARE(times.first(), qint64(0));
    const qint64 step = times[1] - times[0];
    QVERIFY(step > 0);
    for (qsizetype i = 1; i < times.size(); ++i)
        QVERIFY2(
            times[i] - times[i - 1] == step,
            qPrintable(
                QStringLiteral("frame %1 is shown at %2 after %3").arg(i).arg(times[i]).arg(times[i - 1])));
}

// The audio track of `mp4` decodes to exactly the samples of `raw` and lasts exactly as long.
void TstMp4creator::checkAudio(const QString &mp4, const QString &raw)
{
    const QByteArray digest = decodedDigest(mp4, "a");
    QVERIFY(digest.startsWith("MD5="));
    QCOMPARE(digest, decodedDigest(raw, "a"));
    const TestSupport::MediaInfo info = TestSupport::probe(mp4);
    const TestSupport::StreamInfo *audio = info.firstOf("audio");
    QVERIFY(audio);
    const double seconds = adtsSeconds(raw);
    QVERIFY2(qAbs(audio->duration - seconds) < 0.001,
             qPrintable(QStringLiteral("%1 s, the stream has %2 s").arg(audio->duration).arg(seconds)));
}

void TstMp4creator::createsTrackFromRawStream_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QStringList>("rateOption");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("frameRate"); // empty for audio

    // clang-format off
    QTest::newRow("xvid m4v from mencoder") << "xvid.m4v" << QStringList{"-rate=25"} << "mpeg4" << "25/1";
    QTest::newRow("m4v with b-frames") << "bframes.m4v" << QStringList{"-rate=15"} << "mpeg4" << "15/1";
    QTest::newRow("ps3 h264 from mencoder") << "ps3.264" << QStringList{"-rate=23.976"} << "h264" << "24000/1001";
    QTest::newRow("h264 with b-pyramid") << "x264.h264" << QStringList{"-rate=29.970"} << "h264" << "30000/1001";
    QTest::newRow("aac from the mp3 of the avi") << "ps3.aac" << QStringList{} << "aac" << "";
    QTest::newRow("aac with a rate given") << "tone.aac" << QStringList{"-rate=15"} << "aac" << "";
    // clang-format on
}

void TstMp4creator::createsTrackFromRawStream()
{
    QFETCH(QString, raw);
    QFETCH(QStringList, rateOption);
    QFETCH(QString, codec);
    QFETCH(QString, frameRate);

    QTemporaryDir work;
    const QString mp4 = work.filePath("out.mp4");
    const Run run = runMp4creator(QStringList{"-c", source(raw)} << rateOption << mp4, work.path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY((run.out + run.err).count('\n') <= 1);
    QCOMPARE(folderListing(work.path()), QStringList{"out.mp4"});

    const TestSupport::MediaInfo info = TestSupport::probe(mp4);
    QVERIFY(info.readable);
    QCOMPARE(info.streams.size(), 1);
    QCOMPARE(info.streams[0].codecName, codec);
    // Every source is a 4 second clip.
    QVERIFY2(qAbs(info.streams[0].duration - 4.0) < 0.2,
             qPrintable(QString::number(info.streams[0].duration)));
    QByteArray errors;
    QVERIFY2(TestSupport::decodesCleanly(mp4, &errors), errors.constData());
    // Portable players need the index before the data.
    const QStringList boxes = topLevelBoxes(mp4);
    QVERIFY2(boxes.indexOf("moov") >= 0 && boxes.indexOf("moov") < boxes.indexOf("mdat"),
             qPrintable(boxes.join(' ')));

    if (frameRate.isEmpty()) {
        QCOMPARE(info.streams[0].codecType, QString("audio"));
        checkAudio(mp4, source(raw));
    } else {
        checkVideo(mp4, source(raw), frameRate);
    }
}

void TstMp4creator::readsFrameRateText_data()
{
    QTest::addColumn<QStringList>("rateOption");
    QTest::addColumn<QString>("frameRate");

    QTest::newRow("none means 25") << QStringList{} << "25/1";
    QTest::newRow("15") << QStringList{"-rate=15"} << "15/1";
    QTest::newRow("12.5") << QStringList{"-rate=12.5"} << "25/2";
    QTest::newRow("29.970") << QStringList{"-rate=29.970"} << "30000/1001";
    QTest::newRow("29.97") << QStringList{"-rate=29.97"} << "30000/1001";
    QTest::newRow("23.976") << QStringList{"-rate=23.976"} << "24000/1001";
    QTest::newRow("14.985") << QStringList{"-rate=14.985"} << "15000/1001";
    QTest::newRow("59.94") << QStringList{"-rate=59.94"} << "60000/1001";
}

void TstMp4creator::readsFrameRateText()
{
    QFETCH(QStringList, rateOption);
    QFETCH(QString, frameRate);

    QTemporaryDir work;
    const QString mp4 = work.filePath("out.mp4");
    const Run run = runMp4creator(QStringList{"-c", source("ps3.264")} << rateOption << mp4, work.path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const TestSupport::MediaInfo info = TestSupport::probe(mp4);
    const TestSupport::StreamInfo *video = info.firstOf("video");
    QVERIFY(video);
    QCOMPARE(video->frameRate, frameRate);
    // Each frame lasts exactly one frame at that rate.
    const qsizetype frames = shownTimes(mp4).size();
    QVERIFY(frames > 90);
    QVERIFY2(qAbs(video->duration - frames / video->fps) < 0.001,
             qPrintable(QString::number(video->duration)));
}

void TstMp4creator::addsTrackAndKeepsExisting_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("frameRate");

    // clang-format off
    // How the packaging pass runs it: video first, then audio. -rate goes to both calls, as
    // Zepora may pass it; audio must ignore it.
    QTest::newRow("ps3: h264 then aac") << "ps3.264" << "ps3.aac" << "23.976" << "24000/1001";
    QTest::newRow("xvid m4v then aac") << "xvid.m4v" << "tone.aac" << "25" << "25/1";
    QTest::newRow("aac then h264") << "ps3.aac" << "ps3.264" << "23.976" << "24000/1001";
    // clang-format on
}

void TstMp4creator::addsTrackAndKeepsExisting()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, rate);
    QFETCH(QString, frameRate);

    QTemporaryDir work;
    const QString mp4 = work.filePath("base.mp4");
    Run run = runMp4creator({"-c", source(first), "-rate=" + rate, mp4}, work.path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QByteArray firstPackets = packetDigests(mp4, "0:0");
    QVERIFY(firstPackets.contains("0,"));
    QFile::setPermissions(mp4, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions permissions = QFileInfo(mp4).permissions();

    run = runMp4creator({"-c", source(second), "-rate=" + rate, mp4}, work.path());
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY((run.out + run.err).count('\n') <= 1);
    QCOMPARE(folderListing(work.path()), QStringList{"base.mp4"});
    QCOMPARE(QFileInfo(mp4).permissions(), permissions);

    const TestSupport::MediaInfo info = TestSupport::probe(mp4);
    QCOMPARE(info.streams.size(), 2);
    QVERIFY(info.firstOf("video") && info.firstOf("audio"));
    for (const TestSupport::StreamInfo &stream : info.streams)
        QVERIFY2(qAbs(stream.duration - 4.0) < 0.2,
                 qPrintable(stream.codecType + ' ' + QString::number(stream.duration)));
    // The track that was there comes through untouched: same packets, same times.
    QCOMPARE(packetDigests(mp4, "0:0"), firstPackets);
    QByteArray errors;
    QVERIFY2(TestSupport::decodesCleanly(mp4, &errors), errors.constData());
    const QStringList boxes = topLevelBoxes(mp4);
    QVERIFY2(boxes.indexOf("moov") >= 0 && boxes.indexOf("moov") < boxes.indexOf("mdat"),
             qPrintable(boxes.join(' ')));

    const bool audioFirst = first.endsWith(".aac");
    checkAudio(mp4, source(audioFirst ? first : second));
    checkVideo(mp4, source(audioFirst ? second : first), frameRate);
}

void TstMp4creator::refusesBadInputAndKeepsExisting_data()
{
    // Arguments with "RAW:name" for a file among the sources, "OUT" for the MP4 in the work folder
    // and plain names for files the case puts there.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("badFile");        // made in the work folder when not empty...
    QTest::addColumn<QByteArray>("badContents"); // ...with these bytes

    const QByteArray junk = garbage(300000);
    QTest::newRow("raw file missing") << QStringList{"-c", "missing.264", "OUT"} << "" << QByteArray();
    QTest::newRow("unknown extension")
        << QStringList{"-c", "video.mpg", "OUT"} << "video.mpg" << contents(source("ps3.264"));
    QTest::newRow("garbage h264") << QStringList{"-c", "junk.264", "-rate=25", "OUT"} << "junk.264"
                                  << junk;
    QTest::newRow("garbage m4v") << QStringList{"-c", "junk.m4v", "OUT"} << "junk.m4v" << junk;
    QTest::newRow("garbage aac") << QStringList{"-c", "junk.aac", "OUT"} << "junk.aac" << junk;
    QTest::newRow("empty h264") << QStringList{"-c", "empty.h264", "OUT"} << "empty.h264" << QByteArray();
    QTest::newRow("aac named h264") << QStringList{"-c", "sound.264", "OUT"} << "sound.264"
                                    << contents(source("ps3.aac"));
    QTest::newRow("rate not a number")
        << QStringList{"-c", "RAW:ps3.264", "-rate=fast", "OUT"} << "" << QByteArray();
    QTest::newRow("rate zero") << QStringList{"-c", "RAW:ps3.264", "-rate=0", "OUT"} << "" << QByteArray();
    QTest::newRow("no -c") << QStringList{"RAW:ps3.264", "OUT"} << "" << QByteArray();
    QTest::newRow("no mp4 file") << QStringList{"-c", "RAW:ps3.264"} << "" << QByteArray();
    QTest::newRow("two mp4 files") << QStringList{"-c", "RAW:ps3.264", "OUT", "other.mp4"} << ""
                                   << QByteArray();
    QTest::newRow("unknown option") << QStringList{"-c", "RAW:ps3.264", "-fast", "OUT"} << ""
                                    << QByteArray();
    QTest::newRow("mp4 folder missing")
        << QStringList{"-c", "RAW:ps3.264", "nowhere/out.mp4"} << "" << QByteArray();
    QTest::newRow("mp4 is not an mp4")
        << QStringList{"-c", "RAW:ps3.aac", "notes.mp4"} << "notes.mp4" << junk;
    const QByteArray mp4 = contents(source("ps3.mp4"));
    QTest::newRow("mp4 track mp4 cannot hold")
        << QStringList{"-c", "RAW:ps3.aac", "pcm.mp4"} << "pcm.mp4" << contents(source("pcm.mov"));
    // These two fail only once writing has begun.
    QTest::newRow("aac with junk after the frames")
        << QStringList{"-c", "tail.aac", "OUT"} << "tail.aac" << contents(source("ps3.aac")) + junk;
    QTest::newRow("mp4 cut short") << QStringList{"-c", "RAW:ps3.aac", "cut.mp4"} << "cut.mp4"
                                   << mp4.left(mp4.size() / 2);
}

void TstMp4creator::refusesBadInputAndKeepsExisting()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, badFile);
    QFETCH(QByteArray, badContents);

    QTemporaryDir work;
    const QString mp4 = work.filePath("out.mp4");
    QVERIFY(runMp4creator({"-c", source("xvid.m4v"), mp4}, work.path()).exitCode == 0);
    if (!badFile.isEmpty())
        QVERIFY(writeFile(work.filePath(badFile), badContents));
    for (QString &argument : arguments) {
        if (argument == "OUT")
            argument = mp4;
        else if (argument.startsWith("RAW:"))
            argument = source(argument.mid(4));
    }
    const QByteArray before = contents(mp4);
    const QByteArray badBefore = badFile.isEmpty() ? QByteArray() : contents(work.filePath(badFile));
    const QStringList listing = folderListing(work.path());

    const Run run = runMp4creator(arguments, work.path());
    QVERIFY2(run.exitCode > 0, run.err.constData());
    QVERIFY2(run.out.isEmpty(), run.out.constData());
    QVERIFY2(run.err.endsWith('\n') && run.err.count('\n') == 1, run.err.constData());
    QVERIFY(run.err.startsWith("mp4creator: "));
    QVERIFY(contents(mp4) == before);
    if (!badFile.isEmpty())
        QVERIFY(contents(work.filePath(badFile)) == badBefore);
    QCOMPARE(folderListing(work.path()), listing);
}

ZEPORA_TEST_MAIN(TstMp4creator)
#include "tst_mp4creator.moc"
