#include "profiles/outputprofile.h"
#include "testsupport.h"

#include <QSet>

class TstOutputProfile : public QObject {
    Q_OBJECT
private slots:
    void applyShowsTheTypesDefaults_data();
    void applyShowsTheTypesDefaults();
    void catalogueIsConsistent();
    void frameSizeBoxSortsByText();
    void h264FlagIsLeftAloneByTypesWithoutMp4Pass();
    void applyingAgainDiscardsTheUsersChoices();
    void selectionSplitsTheFrameSizeAtTheFirstX_data();
    void selectionSplitsTheFrameSizeAtTheFirstX();
};

void TstOutputProfile::applyShowsTheTypesDefaults_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("radioId");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("bitrate");
    QTest::addColumn<QString>("fps");
    QTest::addColumn<QString>("flags"); // mp4Mux, pspThumb, 3gpPass as 0/1

    // clang-format off
    QTest::newRow("mpg") << int(OUT_MPG) << 1022 << "mpg" << "352x240" << "1152" << "25" << "000";
    QTest::newRow("avi") << int(OUT_AVI) << 1029 << "avi" << "320x240" << "768" << "25" << "000";
    QTest::newRow("rm") << int(OUT_RM) << 1030 << "rm" << "320x240" << "768" << "15" << "000";
    QTest::newRow("3gp") << int(OUT_3GP) << 1020 << "3gp" << "176x144" << "64" << "15" << "001";
    QTest::newRow("mp4") << int(OUT_MP4) << 1021 << "mp4" << "320x240" << "128" << "15" << "100";
    QTest::newRow("flv") << int(OUT_FLV) << 1019 << "flv" << "320x240" << "384" << "25" << "000";
    QTest::newRow("psp") << int(OUT_PSP) << 1017 << "mp4" << "480x272" << "512" << "29.970" << "010";
    QTest::newRow("ps3") << int(OUT_PS3) << 1018 << "mp4" << "720x480" << "512" << "23.976" << "100";
    QTest::newRow("ipod-nano") << int(OUT_IPOD_NANO) << 1016 << "mp4" << "320x240" << "512" << "25"
                               << "100";
    QTest::newRow("iphone") << int(OUT_IPHONE) << 1015 << "mp4" << "320x240" << "512" << "25"
                            << "100";
    // clang-format on
}

void TstOutputProfile::applyShowsTheTypesDefaults()
{
    QFETCH(int, type);
    QFETCH(int, radioId);
    QFETCH(QString, format);
    QFETCH(QString, size);
    QFETCH(QString, bitrate);
    QFETCH(QString, fps);
    QFETCH(QString, flags);

    // Start from the opposite flags so that every flag the profile writes is seen to change.
    g_bMp4Mux = flags[0] == '0';
    g_bPspThumb = flags[1] == '0';
    g_b3gpPass = flags[2] == '0';

    OutputPanel panel;
    ApplyOutputProfile(panel, OutputType(type));
    QCOMPARE(ProfileOf(OutputType(type)).radioId, radioId);
    QCOMPARE(panel.formatLabel, format);
    QCOMPARE(panel.frameSizeLabel, size);
    QCOMPARE(panel.bitrateLabel, bitrate);
    QCOMPARE(panel.frameRateLabel, fps);
    QCOMPARE(panel.frameSizes.value(panel.frameSizeIndex), size);
    QCOMPARE(panel.bitrates.value(panel.bitrateIndex), bitrate);
    QCOMPARE(panel.frameRates.value(panel.frameRateIndex), fps);
    QCOMPARE(g_bMp4Mux.load(), flags[0] == '1');
    QCOMPARE(g_bPspThumb.load(), flags[1] == '1');
    QCOMPARE(g_b3gpPass.load(), flags[2] == '1');
}

void TstOutputProfile::catalogueIsConsistent()
{
    QSet<int> radioIds;
    QSet<QString> cliNames;
    int position = 0;
    for (const OutputProfile &profile : OutputProfiles()) {
        QCOMPARE(int(profile.type), position++);
        radioIds.insert(profile.radioId);
        cliNames.insert(QString::fromLatin1(profile.cliName));
        QVERIFY(!profile.frameSizes.empty() && !profile.bitrates.empty() && !profile.frameRates.empty());
        // The table lists frame sizes in the order the box shows them, which is sorted.
        QStringList sizes;
        for (const char *size : profile.frameSizes)
            sizes << QString::fromLatin1(size);
        QCOMPARE(SortedAsFrameSizeBox(sizes), sizes);
        QCOMPARE(profile.selectable, profile.type != OUT_RM);
        QCOMPARE(OutputTypeFromCliName(QString::fromLatin1(profile.cliName)), profile.type);
    }
    QCOMPARE(position, kOutputTypeCount);
    QCOMPARE(radioIds.size(), kOutputTypeCount);
    QCOMPARE(cliNames.size(), kOutputTypeCount);
    QVERIFY(!OutputTypeFromCliName("MP4"));
}

void TstOutputProfile::frameSizeBoxSortsByText()
{
    QCOMPARE(SortedAsFrameSizeBox({"720x480", "480x272", "1280x720"}),
             QStringList({"1280x720", "480x272", "720x480"}));
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_PS3);
    QCOMPARE(panel.frameSizes, QStringList({"1280x720", "480x272", "720x480"}));
    QCOMPARE(panel.frameSizeIndex, 2);
}

void TstOutputProfile::h264FlagIsLeftAloneByTypesWithoutMp4Pass()
{
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_IPHONE);
    QVERIFY(g_bH264Video && g_bMp4Mux);
    ApplyOutputProfile(panel, OUT_MPG);
    QVERIFY(g_bH264Video);
    QVERIFY(!g_bMp4Mux);
    ApplyOutputProfile(panel, OUT_IPOD_NANO);
    QVERIFY(!g_bH264Video);
    ApplyOutputProfile(panel, OUT_PSP);
    QVERIFY(!g_bH264Video);
    ApplyOutputProfile(panel, OUT_PS3);
    QVERIFY(g_bH264Video);
}

void TstOutputProfile::applyingAgainDiscardsTheUsersChoices()
{
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_AVI);
    OnSelchangeResolution(panel, 0);
    OnSelchangeBitrate(panel, 0);
    OnSelchangeFrameRate(panel, 4);
    QCOMPARE(panel.frameSizeLabel, QStringLiteral("160x112"));
    QCOMPARE(panel.bitrateLabel, QStringLiteral("64"));
    QCOMPARE(panel.frameRateLabel, QStringLiteral("29.970"));

    ApplyOutputProfile(panel, OUT_AVI);
    QCOMPARE(panel.frameSizeLabel, QStringLiteral("320x240"));
    QCOMPARE(panel.bitrateLabel, QStringLiteral("768"));
    QCOMPARE(panel.frameRateLabel, QStringLiteral("25"));
}

void TstOutputProfile::selectionSplitsTheFrameSizeAtTheFirstX_data()
{
    QTest::addColumn<QString>("frameSize");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    // clang-format off
    QTest::newRow("default") << "320x240" << "320" << "240";
    QTest::newRow("wide") << "1280x720" << "1280" << "720";
    QTest::newRow("untrimmed") << " 320x240x" << " 320" << "240x";
    // clang-format on
}

void TstOutputProfile::selectionSplitsTheFrameSizeAtTheFirstX()
{
    QFETCH(QString, frameSize);
    QFETCH(QString, width);
    QFETCH(QString, height);
    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_PSP);
    panel.frameSizeLabel = frameSize;
    const OutputSelection selection = SelectionFromPanel(panel);
    QCOMPARE(selection.type, OUT_PSP);
    QCOMPARE(selection.strWidth, width);
    QCOMPARE(selection.strHeight, height);
    QCOMPARE(selection.strBitrate, QStringLiteral("512"));
    QCOMPARE(selection.strFrameRate, QStringLiteral("29.970"));
    QVERIFY(selection.flags.pspThumb);
}

ZEPORA_TEST_MAIN(TstOutputProfile)
#include "tst_outputprofile.moc"
