#include "deploy/tooldeploy.h"
#include "engine/conversionbatch.h"
#include "platform/toolfolder.h"
#include "settings/outputlocations.h"
#include "sources/sourcelist.h"
#include "testsupport.h"

#include <QDir>

using TestSupport::MediaInfo;
using TestSupport::StreamInfo;

// Each selectable type through the whole batch with the real tools, on a clip the test makes.
class TstConversionE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyTypeLeavesItsFinalFilesOnly_data();
    void everyTypeLeavesItsFinalFilesOnly();

private:
    QTemporaryDir m_dir;
    QString m_clip;
};

void TstConversionE2E::initTestCase()
{
    QVERIFY(DeployStoredTools(DefaultToolFolder()));
    m_clip = m_dir.filePath("clip 源.avi");
    QVERIFY(TestSupport::makeClip(
        m_clip, {"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "5", "-c:a", "libmp3lame", "-b:a", "128k"},
        "640x480", "25", 6.5));
}

void TstConversionE2E::everyTypeLeavesItsFinalFilesOnly_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("pattern"); // the final file's name
    QTest::addColumn<QString>("videoCodec");
    QTest::addColumn<QString>("videoProfile");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("fps");
    QTest::addColumn<QString>("audioCodec");
    QTest::addColumn<int>("sampleRate"); // 0: any
    QTest::addColumn<int>("channels");   // 0: any

    const QString timed = QStringLiteral("^\\d\\d-\\d\\d-\\d\\d\\.%1$");
    // clang-format off
    QTest::newRow("mpg") << int(OUT_MPG) << timed.arg("mpg") << "mpeg4" << "" << 352 << 240 << 25.0 << "mp3" << 0 << 0;
    QTest::newRow("avi") << int(OUT_AVI) << timed.arg("avi") << "mpeg4" << "" << 320 << 240 << 25.0 << "mp3" << 0 << 0;
    QTest::newRow("3gp") << int(OUT_3GP) << timed.arg("3gp") << "h263" << "" << 176 << 144 << 15.0 << "amr_nb" << 8000 << 1;
    QTest::newRow("mp4") << int(OUT_MP4) << timed.arg("mp4") << "mpeg4" << "" << 320 << 240 << 15.0 << "aac" << 0 << 0;
    QTest::newRow("flv") << int(OUT_FLV) << timed.arg("flv") << "flv1" << "" << 320 << 240 << 25.0 << "mp3" << 0 << 0;
    QTest::newRow("psp") << int(OUT_PSP) << "^M4V00000\\.mp4$" << "mpeg4" << "" << 480 << 272 << 29.97 << "aac" << 24000 << 0;
    QTest::newRow("ps3") << int(OUT_PS3) << timed.arg("mp4") << "h264" << "" << 720 << 480 << 23.976 << "aac" << 48000 << 0;
    QTest::newRow("ipod-nano") << int(OUT_IPOD_NANO) << timed.arg("mp4") << "mpeg4" << "" << 320 << 240 << 25.0 << "aac" << 0 << 0;
    QTest::newRow("iphone") << int(OUT_IPHONE) << timed.arg("mp4") << "h264" << "Constrained Baseline" << 320 << 240 << 25.0 << "aac" << 0 << 0;
    // clang-format on
}

void TstConversionE2E::everyTypeLeavesItsFinalFilesOnly()
{
    QFETCH(int, type);
    QFETCH(QString, pattern);
    QFETCH(QString, videoCodec);
    QFETCH(QString, videoProfile);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, fps);
    QFETCH(QString, audioCodec);
    QFETCH(int, sampleRate);
    QFETCH(int, channels);

    QTemporaryDir root;
    const QString today = OutputDirFor(root.path(), QDate::currentDate());
    OutputPanel panel;
    ApplyOutputProfile(panel, OutputType(type));
    SourceListModel rows(g_szToolDir);
    ConversionBatch batch(
        rows, g_szToolDir, [&panel] { return OutputNowOf(panel); },
        // A captured variable is never moved from, const or not: the check misreads the capture.
        // NOLINTNEXTLINE(performance-no-automatic-move)
        [&today] { return today; });
    QString finalFile;
    QString reason;
    connect(&batch, &ConversionBatch::fileFinished,
            [&](const QString &, bool, const QString &file, const QString &why) {
                finalFile = file;
                reason = why;
            });
    QSignalSpy finished(&batch, &ConversionBatch::batchFinished);
    rows.AddSourceFile(m_clip);
    QVERIFY(batch.OnStart(SelectionFromPanel(panel)));
    QVERIFY(finished.wait(120000));
    QVERIFY2(!finalFile.isEmpty(), qPrintable(reason));
    QVERIFY(QRegularExpression(pattern).match(QFileInfo(finalFile).fileName()).hasMatch());

    QStringList expected{QFileInfo(finalFile).fileName()};
    if (type == OUT_PSP)
        expected << "M4V00000.THM";
    expected.sort();
    QCOMPARE(QDir(today).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);

    const QString mismatch = TestSupport::mediaMismatch(
        finalFile, {videoCodec, videoProfile, width, height, fps, audioCodec, sampleRate, channels, 6.5});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY2(TestSupport::decodesCleanly(finalFile), qPrintable(finalFile));
    QVERIFY(TestSupport::distinctPictures(finalFile, 30) >= 10);

    if (type == OUT_PSP) {
        const MediaInfo thumbnail = TestSupport::probe(today + "M4V00000.THM");
        const StreamInfo *thumb = thumbnail.firstOf("video");
        QVERIFY(thumb);
        QCOMPARE(thumb->codecName, QStringLiteral("mjpeg"));
        QCOMPARE(thumb->width, 160);
        QCOMPARE(thumb->height, 120);
    }
}

ZEPORA_TEST_MAIN(TstConversionE2E)
#include "tst_conversion_e2e.moc"
