#include "engine/encodercommand.h"
#include "engine/toolcommand.h"
#include "testsupport.h"

namespace {

const QString kToolDir = QStringLiteral("/home/u/.local/share/ZPX/");

OutputSelection selectionOf(OutputType type, const QString &width, const QString &height,
                            const QString &bitrate, const QString &fps)
{
    OutputSelection selection;
    selection.type = type;
    selection.strWidth = width;
    selection.strHeight = height;
    selection.strBitrate = bitrate;
    selection.strFrameRate = fps;
    return selection;
}

} // namespace

class TstEncoderCommand : public QObject {
    Q_OBJECT
private slots:
    void lineOfEveryType_data();
    void lineOfEveryType();
    void everyFixMeetsItsTextOnce();
    void argumentsAreTheTextWithoutQuotes();
    void valuesNeverSplitOrJoinArguments();
    void mpgAndAviDifferOnlyInTheOutput();
    void bitrateIsNotUsedBy3gpAndPs3_data();
    void bitrateIsNotUsedBy3gpAndPs3();
};

void TstEncoderCommand::lineOfEveryType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("bitrate");
    QTest::addColumn<QString>("fps");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected"); // what follows the tool folder

    const QString tail = QStringLiteral(" \"/in/a b.avi\" -o \"%1\"");
    // clang-format off
    QTest::newRow("avi") << int(OUT_AVI) << "320x240" << "256" << "25" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -oac mp3lame "
           "-lameopts abr:br=128 -srate 44100 -ofps 25 -ovc xvid -xvidencopts "
           "bitrate=256:max_bframes=0" + tail.arg("/out/x.avi");
    QTest::newRow("mpg") << int(OUT_MPG) << "352x240" << "1152" << "29.970" << "/out/x.mpg"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=352:240,harddup -oac mp3lame "
           "-lameopts abr:br=128 -srate 44100 -ofps 29.970 -ovc xvid -xvidencopts "
           "bitrate=1152:max_bframes=0" + tail.arg("/out/x.mpg");
    QTest::newRow("3gp") << int(OUT_3GP) << "176x144" << "64" << "15" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=176:144,harddup -srate 44100 -oac twolame "
           "-twolameopts br=128 -ovc lavc -lavcopts vcodec=mpeg4 -ofps 15" + tail.arg("/out/x.avi");
    QTest::newRow("mp4") << int(OUT_MP4) << "320x240" << "128" << "15" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -srate 44100 "
           "-oac mp3lame -lameopts abr:br=128 -ovc lavc -ffourcc DIVX -lavcopts "
           "vcodec=mpeg4:mbd=2:trell:autoaspect:vbitrate=128:vhq -ofps 15" + tail.arg("/out/x.avi");
    QTest::newRow("flv") << int(OUT_FLV) << "320x240" << "384" << "25" << "/out/x.flv"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -srate 44100 "
           "-ofps 25 -oac mp3lame -lameopts abr:br=64 -ovc lavc -of lavf -lavfopts format=flv "
           "-lavcopts vcodec=flv:vbitrate=384:mbd=2:o=mpv_flags=+mv0+cbp_rd:trell:v4mv:"
           "last_pred=3" + tail.arg("/out/x.flv");
    QTest::newRow("psp") << int(OUT_PSP) << "480x272" << "512" << "29.970" << "/out/M4V00000.mp4"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=480:272,harddup -srate 24000 "
           "-ofps 29.970 -of lavf -lavfopts format=psp -oac mp3lame -lameopts abr:br=64 -ovc lavc "
           "-lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=512 -info name=\"1\""
           + tail.arg("/out/M4V00000.mp4");
    QTest::newRow("ps3") << int(OUT_PS3) << "1280x720" << "512" << "23.976" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=1280:720,harddup -srate 48000 "
           "-ofps 23.976 -sws 9 -oac mp3lame -lameopts abr:br=96 -ovc x264 -ffourcc H264 "
           "-x264encopts crf=22:level_idc=21:bframes=3:frameref=2:nopsnr:nossim"
           + tail.arg("/out/x.avi");
    QTest::newRow("ipod-nano") << int(OUT_IPOD_NANO) << "320x240" << "512" << "25" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -srate 44100 "
           "-ofps 25 -oac mp3lame -lameopts abr:br=64 -ovc xvid -xvidencopts "
           "bitrate=512:max_bframes=0" + tail.arg("/out/x.avi");
    QTest::newRow("iphone") << int(OUT_IPHONE) << "320x240" << "512" << "25" << "/out/x.avi"
        << "mencoder -demuxer lavf -mc 0 -af volnorm -vf scale=320:240,harddup -srate 44100 "
           "-oac mp3lame -lameopts abr:br=128 -ovc x264 -ffourcc H264 -x264encopts "
           "bitrate=512:level_idc=13:nocabac:profile=baseline -ofps 25" + tail.arg("/out/x.avi");
    QTest::newRow("rm") << int(OUT_RM) << "320x240" << "768" << "15" << "/out/x.rm"
                        << "mencoder ";
    // clang-format on
}

void TstEncoderCommand::lineOfEveryType()
{
    QFETCH(int, type);
    QFETCH(QString, size);
    QFETCH(QString, bitrate);
    QFETCH(QString, fps);
    QFETCH(QString, output);
    QFETCH(QString, expected);

    const QStringList wh = size.split('x');
    const ToolCommand command =
        BuildEncoderCommand(kToolDir, selectionOf(OutputType(type), wh[0], wh[1], bitrate, fps),
                            "/in/a b.avi", output);
    QCOMPARE(command.text, kToolDir + expected);
    QCOMPARE(command.program, kToolDir + "mencoder");
    if (type != OUT_RM) {
        QCOMPARE(command.arguments.constFirst(), QStringLiteral("-demuxer"));
        QCOMPARE(command.arguments.mid(command.arguments.size() - 3),
                 QStringList({"/in/a b.avi", "-o", output}));
    } else {
        QVERIFY(command.arguments.isEmpty());
    }
}

void TstEncoderCommand::everyFixMeetsItsTextOnce()
{
    // A fix that no longer finds its text would silently hand today's encoder an old option.
    for (const EncoderOptionFix &fix : EncoderOptionFixes()) {
        for (OutputType type : fix.types) {
            const QString original = OriginalEncoderOptions(type);
            QVERIFY2(original.count(QLatin1String(fix.original)) == 1,
                     qPrintable(QStringLiteral("%1 in type %2").arg(fix.original).arg(int(type))));
        }
    }
    for (const char *gone : {"faac", "libfaac", ":mv0:", ":cbp:", "-oac lavc", "acodec="})
        for (const OutputProfile &profile : OutputProfiles())
            QVERIFY2(!EncoderOptions(profile.type).contains(QLatin1String(gone)), gone);
}

void TstEncoderCommand::argumentsAreTheTextWithoutQuotes()
{
    const ToolCommand command =
        BuildEncoderCommand(kToolDir, selectionOf(OUT_PSP, "480", "272", "512", "29.970"),
                            "/in/say \"hi\" -o x.avi", "/out/M4V00000.mp4");
    QVERIFY(command.text.contains(" -info name=\"1\" "));
    const qsizetype info = command.arguments.indexOf("-info");
    QVERIFY(info > 0);
    QCOMPARE(command.arguments.at(info + 1), QStringLiteral("name=1"));
    // The source path, quotes and all, is one argument.
    QCOMPARE(command.arguments.at(info + 2), QStringLiteral("/in/say \"hi\" -o x.avi"));
    QCOMPARE(command.arguments.at(info + 3), QStringLiteral("-o"));
    QCOMPARE(command.arguments.size(), info + 5);
}

void TstEncoderCommand::valuesNeverSplitOrJoinArguments()
{
    const ToolCommand command =
        BuildEncoderCommand(kToolDir, selectionOf(OUT_AVI, "3 20", "{height}", "256 -ovc copy", "25"),
                            "/a", "/b");
    QVERIFY(command.arguments.contains("scale=3 20:{height},harddup"));
    QVERIFY(command.arguments.contains("bitrate=256 -ovc copy:max_bframes=0"));
    QCOMPARE(command.arguments.count("-ovc"), 1);

    // A placeholder without a name matches nothing (it once matched everywhere and never ended).
    const ToolCommand unnamed =
        ToolCommandBuilder("/t/tool").options("-a {x} -b", {{"", "v"}, {"{x}", "1 2"}}).command();
    QCOMPARE(unnamed.arguments, QStringList({"-a", "1 2", "-b"}));
}

void TstEncoderCommand::mpgAndAviDifferOnlyInTheOutput()
{
    const auto selection = [](OutputType type) { return selectionOf(type, "352", "240", "1000", "25"); };
    const ToolCommand mpg = BuildEncoderCommand(kToolDir, selection(OUT_MPG), "/a.vob", "/o/x.mpg");
    const ToolCommand avi = BuildEncoderCommand(kToolDir, selection(OUT_AVI), "/a.vob", "/o/x.avi");
    QCOMPARE(QString(mpg.text).replace(".mpg", ".avi"), avi.text);
}

void TstEncoderCommand::bitrateIsNotUsedBy3gpAndPs3_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("3gp") << int(OUT_3GP);
    QTest::newRow("ps3") << int(OUT_PS3);
}

void TstEncoderCommand::bitrateIsNotUsedBy3gpAndPs3()
{
    QFETCH(int, type);
    const auto line = [type](const QString &bitrate) {
        return BuildEncoderCommand(kToolDir, selectionOf(OutputType(type), "176", "144", bitrate, "15"),
                                   "/a", "/b")
            .text;
    };
    QCOMPARE(line("48"), line("512"));
}

ZEPORA_TEST_MAIN(TstEncoderCommand)
#include "tst_encodercommand.moc"
