#include "deploy/tooldeploy.h"
#include "engine/encodercommand.h"
#include "engine/progressparser.h"
#include "toolruns.h"
#include "platform/toolfolder.h"
#include "testsupport.h"

// Runs the encoder line of every selectable type on a clip the test makes and looks at what the
// encoder wrote.
class TstEncoderE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void encoderLineOfEveryType_data();
    void encoderLineOfEveryType();

private:
    QTemporaryDir m_dir;
    QString m_source;
};

void TstEncoderE2E::initTestCase()
{
    QVERIFY(DeployStoredTools(DefaultToolFolder()));
    // A name with blanks and Chinese characters must reach the tool intact.
    m_source = m_dir.filePath(QStringLiteral("源 文件 (1).avi"));
    QVERIFY(TestSupport::makeClip(
        m_source, {"-c:v", "mpeg4", "-vtag", "XVID", "-q:v", "5", "-c:a", "libmp3lame", "-b:a", "128k"},
        "640x480", "25", 4.0));
    QVERIFY(TestSupport::probe(m_source).duration > 3.5);
}

void TstEncoderE2E::encoderLineOfEveryType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("videoCodec");
    QTest::addColumn<QString>("videoProfile"); // empty: any
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("fps");
    QTest::addColumn<QString>("audioCodec");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<QString>("source"); // empty: the clip made by the test; else a shared real file

    // clang-format off
    QTest::newRow("mpg") << int(OUT_MPG) << ".mpg" << "mpeg4" << "" << 352 << 240 << 25.0 << "mp3" << 44100 << QString();
    QTest::newRow("avi") << int(OUT_AVI) << ".avi" << "mpeg4" << "" << 320 << 240 << 25.0 << "mp3" << 44100 << QString();
    QTest::newRow("3gp") << int(OUT_3GP) << ".avi" << "mpeg4" << "" << 176 << 144 << 15.0 << "mp2" << 44100 << QString();
    QTest::newRow("mp4") << int(OUT_MP4) << ".avi" << "mpeg4" << "" << 320 << 240 << 15.0 << "mp3" << 44100 << QString();
    QTest::newRow("flv") << int(OUT_FLV) << ".flv" << "flv1" << "" << 320 << 240 << 25.0 << "mp3" << 44100 << QString();
    QTest::newRow("psp") << int(OUT_PSP) << ".mp4" << "mpeg4" << "" << 480 << 272 << 29.97 << "mp3" << 24000 << QString();
    QTest::newRow("ps3") << int(OUT_PS3) << ".avi" << "h264" << "" << 720 << 480 << 23.976 << "mp3" << 48000 << QString();
    QTest::newRow("ipod-nano") << int(OUT_IPOD_NANO) << ".avi" << "mpeg4" << "" << 320 << 240 << 25.0 << "mp3" << 44100 << QString();
    QTest::newRow("iphone") << int(OUT_IPHONE) << ".avi" << "h264" << "Constrained Baseline" << 320 << 240 << 25.0 << "mp3" << 44100 << QString();
    // A real AVI whose picture froze after the first frame when the encoder read it itself.
    QTest::newRow("avi from a real FMP4 file") << int(OUT_AVI) << ".avi" << "mpeg4" << "" << 320
        << 240 << 25.0 << "mp3" << 44100 << "mpeg4-mp3.avi";
    // clang-format on
}

void TstEncoderE2E::encoderLineOfEveryType()
{
    QFETCH(int, type);
    QFETCH(QString, extension);
    QFETCH(QString, videoCodec);
    QFETCH(QString, videoProfile);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, fps);
    QFETCH(QString, audioCodec);
    QFETCH(int, sampleRate);
    QFETCH(QString, source);

    if (!source.isEmpty()) {
        const QString shared = TestSupport::sharedMedia(source);
        if (shared.isEmpty())
            QSKIP("the shared real media files are not here");
        source = m_dir.filePath(source);
        QFile::remove(source);
        QVERIFY(QFile::copy(shared, source));
    } else {
        source = m_source;
    }
    const double sourceDuration = TestSupport::probe(source).duration;

    OutputPanel panel;
    ApplyOutputProfile(panel, OutputType(type));
    const QString output = m_dir.filePath(QStringLiteral("输出 %1%2").arg(type).arg(extension));
    const ToolCommand command =
        BuildEncoderCommand(g_szToolDir, SelectionFromPanel(panel), source, output);

    ProgressReader progress;
    int lastPercent = 0;
    ToolResult result;
    QVERIFY(TestSupport::runPiped(
        command, ToolPriority::Idle,
        [&](QByteArrayView chunk) {
            if (const auto percent = progress.feed(chunk))
                lastPercent = *percent;
        },
        &result));
    QVERIFY2(result.succeeded(), qPrintable(command.text + "\n" + result.lastLine()));
    QVERIFY2(lastPercent >= 90, qPrintable(QString::number(lastPercent)));

    const QString mismatch = TestSupport::mediaMismatch(
        output, {videoCodec, videoProfile, width, height, fps, audioCodec, sampleRate, 0, sourceDuration});
    QVERIFY2(mismatch.isEmpty(), qPrintable(command.text + "\n" + mismatch));
    // A frozen picture (the encoder reading only the first frame) would give one distinct frame.
    QVERIFY(TestSupport::distinctPictures(output, 30) >= 15);
}

ZEPORA_TEST_MAIN(TstEncoderE2E)
#include "tst_encoder_e2e.moc"
