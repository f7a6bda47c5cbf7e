#include "engine/conversionplan.h"
#include "testsupport.h"

namespace {

const QString kTools = QStringLiteral("/t/ZPX/");

OutputNow nowFor(OutputType type, const QString &frameSize = {}, const QString &frameRate = {})
{
    OutputPanel panel;
    ApplyOutputProfile(panel, type);
    return {type, CurrentOutputFlags(), frameSize.isEmpty() ? panel.frameSizeLabel : frameSize,
            frameRate.isEmpty() ? panel.frameRateLabel : frameRate};
}

OutputSelection capturedFor(OutputType type)
{
    OutputPanel panel;
    ApplyOutputProfile(panel, type);
    return SelectionFromPanel(panel);
}

QStringList texts(const ConversionPlan &plan)
{
    QStringList lines;
    for (const BatchStep &step : plan.steps)
        lines << step.command.text;
    return lines;
}

} // namespace

class TstConversionPlan : public QObject {
    Q_OBJECT
private slots:
    void baseIsCutAtTheLastDotOfTheName_data();
    void baseIsCutAtTheLastDotOfTheName();
    void stepsOfEveryType_data();
    void stepsOfEveryType();
    void mp4PassCommands_data();
    void mp4PassCommands();
    void threeGpPassTakesThePanelAsItIsNow();
    void pspGetsAacAndAThumbnailBesideIt();
    void rmHasNothingToRun();
};

void TstConversionPlan::baseIsCutAtTheLastDotOfTheName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base");
    // clang-format off
    QTest::newRow("plain") << "/out/12-30-05.avi" << "/out/12-30-05";
    QTest::newRow("dotted folders") << "/home/a.b/v1.2/12-30-05.avi" << "/home/a.b/v1.2/12-30-05";
    QTest::newRow("no dot in the name") << "/home/a.b/file" << "/home/a.b/file";
    // clang-format on
}

void TstConversionPlan::baseIsCutAtTheLastDotOfTheName()
{
    QFETCH(QString, path);
    QFETCH(QString, base);
    QCOMPARE(BaseOf(path), base);
}

void TstConversionPlan::stepsOfEveryType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("tools"); // in order; a trailing & marks a step not waited for
    QTest::addColumn<QString>("finalFile");
    QTest::addColumn<QStringList>("intermediates");

    const QStringList mp4Pass = {"mencoder", "mencoder", "mencoder", "ffmpeg", "mp4creator", "mp4creator"};
    // clang-format off
    QTest::newRow("mpg") << int(OUT_MPG) << "/o/1.mpg" << QStringList{"mencoder"} << "/o/1.mpg" << QStringList{};
    QTest::newRow("avi") << int(OUT_AVI) << "/o/1.avi" << QStringList{"mencoder"} << "/o/1.avi" << QStringList{};
    QTest::newRow("flv") << int(OUT_FLV) << "/o/1.flv" << QStringList{"mencoder"} << "/o/1.flv" << QStringList{};
    QTest::newRow("3gp") << int(OUT_3GP) << "/o/1.avi" << QStringList{"mencoder", "ffmpeg"} << "/o/1.3gp"
                         << QStringList{"/o/1.avi"};
    QTest::newRow("psp") << int(OUT_PSP) << "/o/M4V00003.mp4" << QStringList{"mencoder", "ffmpeg", "ffmpeg&"}
                         << "/o/M4V00003.mp4" << QStringList{};
    for (const OutputType type : {OUT_MP4, OUT_PS3, OUT_IPOD_NANO, OUT_IPHONE})
        QTest::newRow(ProfileOf(type).cliName) << int(type) << "/o/1.avi" << mp4Pass << "/o/1.mp4"
                                               << QStringList{"/o/1.avi"};
    // clang-format on
}

void TstConversionPlan::stepsOfEveryType()
{
    QFETCH(int, type);
    QFETCH(QString, output);
    QFETCH(QStringList, tools);
    QFETCH(QString, finalFile);
    QFETCH(QStringList, intermediates);

    const ConversionPlan plan = PlanConversion(kTools, nowFor(OutputType(type)),
                                               capturedFor(OutputType(type)), "/in/a b.vob", output);
    QStringList ran;
    for (const BatchStep &step : plan.steps) {
        QVERIFY(step.command.program.startsWith(kTools));
        ran << step.command.program.mid(kTools.size()) + (step.waited ? "" : "&");
    }
    QCOMPARE(ran, tools);
    QCOMPARE(plan.finalFile, finalFile);
    QCOMPARE(plan.intermediates, intermediates);
    // Only the encoder moves the bar, at idle priority, and reads the source.
    QVERIFY(plan.steps[0].reportsProgress);
    QCOMPARE(plan.steps[0].priority, ToolPriority::Idle);
    QCOMPARE(plan.steps[0].output, output);
    for (const BatchStep &step : plan.steps.mid(1)) {
        QVERIFY(!step.reportsProgress);
        QVERIFY(!step.command.arguments.contains("/in/a b.vob"));
    }
}

void TstConversionPlan::mp4PassCommands_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("fps");
    QTest::addColumn<int>("aacBitrate");
    // clang-format off
    QTest::newRow("mp4") << int(OUT_MP4) << ".m4v" << "15" << 128;
    QTest::newRow("ipod-nano") << int(OUT_IPOD_NANO) << ".m4v" << "29.970" << 64;
    QTest::newRow("ps3") << int(OUT_PS3) << ".264" << "23.976" << 96;
    QTest::newRow("iphone") << int(OUT_IPHONE) << ".264" << "25" << 128;
    // clang-format on
}

void TstConversionPlan::mp4PassCommands()
{
    QFETCH(int, type);
    QFETCH(QString, raw);
    QFETCH(QString, fps);
    QFETCH(int, aacBitrate);

    OutputSelection captured = capturedFor(OutputType(type));
    captured.strFrameRate = fps;
    const ConversionPlan plan =
        PlanConversion(kTools, nowFor(OutputType(type)), captured, "/in/x.avi", "/o.d/12-30-05.avi");
    const QString b = "/o.d/12-30-05";
    const QStringList expected = {
        kTools + "mencoder -ovc copy -nosound -of rawvideo -o \"" + b + raw + "\" \"" + b + ".avi\"",
        kTools + "mencoder -ovc frameno -oac copy -of rawaudio -o \"" + b + ".mp3\" \"" + b + ".avi\"",
        kTools + "ffmpeg -y -i \"" + b + ".mp3\" -vn -acodec aac -ab " + QString::number(aacBitrate) +
            "k -f adts \"" + b + ".aac\"",
        kTools + "mp4creator -c \"" + b + raw + "\" -rate=" + fps + " \"" + b + ".mp4\"",
        kTools + "mp4creator -c \"" + b + ".aac\" \"" + b + ".mp4\"",
    };
    QCOMPARE(texts(plan).mid(1), expected);
    for (const BatchStep &step : plan.steps.mid(1))
        QCOMPARE(step.statusText, kExportingText);
    QCOMPARE(plan.scratch, QStringList({b + ".m4v", b + ".264", b + ".mp3", b + ".aac"}));
}

void TstConversionPlan::threeGpPassTakesThePanelAsItIsNow()
{
    // The encoder keeps what Start captured; the pass reads the boxes when it begins.
    OutputSelection captured = capturedFor(OUT_3GP);
    const ConversionPlan plan =
        PlanConversion(kTools, nowFor(OUT_3GP, "352x288", "25"), captured, "/in/x.avi", "/o/08-15-42.avi");
    QVERIFY(plan.steps[0].command.text.contains("scale=176:144"));
    QCOMPARE(plan.steps[1].command.text,
             kTools + "ffmpeg -y -i \"/o/08-15-42.avi\" -vcodec h263 -acodec libopencore_amrnb "
                      "-s 352x288 -b:v 64k -r 25 -ac 1 -ar 8000 -ab 12.2k \"/o/08-15-42.3gp\"");
    QCOMPARE(plan.steps[1].output, QStringLiteral("/o/08-15-42.3gp"));
}

void TstConversionPlan::pspGetsAacAndAThumbnailBesideIt()
{
    const ConversionPlan plan =
        PlanConversion(kTools, nowFor(OUT_PSP), capturedFor(OUT_PSP), "/in/x.avi", "/o/M4V00003.mp4");
    QCOMPARE(plan.steps[1].command.text,
             kTools + "ffmpeg -y -i \"/o/M4V00003.mp4\" -vcodec copy -acodec aac -ab 64k -ar 24000 "
                      "-f psp \"/o/M4V00003-aac.mp4\"");
    QCOMPARE(plan.steps[1].replaces, QStringLiteral("/o/M4V00003.mp4"));
    QCOMPARE(plan.steps[2].command.text,
             kTools + "ffmpeg -y -i \"/o/M4V00003.mp4\" -f image2 -ss 5 -vframes 1 -s 160x120 -an "
                      "\"/o/M4V00003.THM\"");
    QVERIFY(!plan.steps[2].waited);
    QCOMPARE(plan.scratch, QStringList{"/o/M4V00003-aac.mp4"});
}

void TstConversionPlan::rmHasNothingToRun()
{
    const ConversionPlan plan =
        PlanConversion(kTools, nowFor(OUT_RM), capturedFor(OUT_RM), "/in/x.avi", "/o/1.rm");
    QVERIFY(plan.steps.isEmpty());
}

ZEPORA_TEST_MAIN(TstConversionPlan)
#include "tst_conversionplan.moc"
