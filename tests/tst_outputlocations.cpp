#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QSettings>

class TstOutputLocations : public QObject {
    Q_OBJECT
private slots:
    void init();
    void dayFolderUnderTheRoot_data();
    void dayFolderUnderTheRoot();
    void outputNameByTimeOfDay_data();
    void outputNameByTimeOfDay();
    void existingFilesAreNeverOverwritten();
    void pspNumbersTakeTheLowestFreeNumber_data();
    void pspNumbersTakeTheLowestFreeNumber();
    void storedRootIsUsableOnlyWhenItExists();
    void onlyTheValueOneSwitchesOn_data();
    void onlyTheValueOneSwitchesOn();
    void settingsLiveInTheUsersConfigFolder();

private:
    QTemporaryDir m_dir;
};

void TstOutputLocations::init() { OpenSettings()->clear(); }

void TstOutputLocations::dayFolderUnderTheRoot_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("folder");
    // clang-format off
    QTest::newRow("no trailing slash") << "/media/videos" << "/media/videos/Zepora-ZPX/2009-12-24/";
    QTest::newRow("trailing slash") << "/media/videos/" << "/media/videos/Zepora-ZPX/2009-12-24/";
    QTest::newRow("filesystem root") << "/" << "/Zepora-ZPX/2009-12-24/";
    QTest::newRow("no usable root") << "" << "/Zepora-ZPX/2009-12-24/";
    // clang-format on
}

void TstOutputLocations::dayFolderUnderTheRoot()
{
    QFETCH(QString, root);
    QFETCH(QString, folder);
    QCOMPARE(OutputDirFor(root, QDate(2009, 12, 24)), folder);
    QCOMPARE(OutputDirFor(root, QDate(987, 1, 5)).section('/', -2, -2), QStringLiteral("987-01-05"));
    QCOMPARE(ProductFolder(root), folder.section('/', 0, -3));
}

void TstOutputLocations::outputNameByTimeOfDay_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("mpg") << int(OUT_MPG) << "09-05-03.mpg";
    QTest::newRow("avi") << int(OUT_AVI) << "09-05-03.avi";
    QTest::newRow("rm") << int(OUT_RM) << "09-05-03.rm";
    QTest::newRow("flv") << int(OUT_FLV) << "09-05-03.flv";
    for (const OutputType type : {OUT_3GP, OUT_MP4, OUT_PS3, OUT_IPOD_NANO, OUT_IPHONE})
        QTest::newRow(ProfileOf(type).cliName) << int(type) << "09-05-03.avi";
}

void TstOutputLocations::outputNameByTimeOfDay()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    QCOMPARE(GetOutputFileName(folder, OutputType(type), QTime(9, 5, 3)), folder + name);
    QCOMPARE(GetOutputFileName(folder, OutputType(type), QTime(23, 59, 0)).section('/', -1).left(8),
             QStringLiteral("23-59-00"));
}

void TstOutputLocations::existingFilesAreNeverOverwritten()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    const auto touch = [&](const QString &name) { QFile(folder + name).open(QIODevice::WriteOnly); };
    const QTime now(12, 30, 5);

    touch("12-30-05.avi");
    QCOMPARE(GetOutputFileName(folder, OUT_AVI, now), folder + "12-30-05-2.avi");
    // The MP4 made from an earlier intermediate takes the name as well: its pass would add tracks
    // to that file.
    touch("12-30-05-2.mp4");
    QCOMPARE(GetOutputFileName(folder, OUT_MP4, now), folder + "12-30-05-3.avi");
    QCOMPARE(GetOutputFileName(folder, OUT_FLV, QTime(12, 30, 6)), folder + "12-30-06.flv");
    touch("12-30-06.3gp");
    QCOMPARE(GetOutputFileName(folder, OUT_3GP, QTime(12, 30, 6)), folder + "12-30-06-2.avi");
}

void TstOutputLocations::pspNumbersTakeTheLowestFreeNumber_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::newRow("empty folder") << QStringList{} << "M4V00000.mp4";
    QTest::newRow("two taken") << QStringList{"M4V00000.mp4", "M4V00001.mp4"} << "M4V00002.mp4";
    QTest::newRow("gap reused") << QStringList{"M4V00001.mp4"} << "M4V00000.mp4";
    QTest::newRow("thumbnail alone does not count") << QStringList{"M4V00000.THM"} << "M4V00000.mp4";
    QTest::newRow("other names do not count") << QStringList{"12-00-00.mp4", "M4V0.mp4"} << "M4V00000.mp4";
}

void TstOutputLocations::pspNumbersTakeTheLowestFreeNumber()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    for (const QString &file : existing)
        QFile(folder + file).open(QIODevice::WriteOnly);
    QCOMPARE(GetOutputFileName(folder, OUT_PSP, QTime(1, 2, 3)), folder + name);
}

void TstOutputLocations::storedRootIsUsableOnlyWhenItExists()
{
    QCOMPARE(ReadUsableRoot(), QString());
    QVERIFY(GetOutputDir().startsWith("/Zepora-ZPX/"));

    WriteSettings(m_dir.path(), false, false);
    QCOMPARE(ReadUsableRoot(), m_dir.path());
    QCOMPARE(GetOutputDir(), OutputDirFor(m_dir.path(), QDate::currentDate()));
    QVERIFY(PrepareOutputDir());
    QVERIFY(QFileInfo(GetOutputDir()).isDir());

    WriteSettings(m_dir.filePath("gone"), false, false);
    QCOMPARE(ReadUsableRoot(), QString()); // read afresh, not remembered
    QFile file(m_dir.filePath("a-file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    WriteSettings(file.fileName(), false, false);
    QCOMPARE(ReadUsableRoot(), QString());
}

void TstOutputLocations::onlyTheValueOneSwitchesOn_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("missing") << QVariant() << false;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("2") << QVariant(2) << false;
    QTest::newRow("text 1") << QVariant("1") << true;
    QTest::newRow("true") << QVariant("true") << false;
}

void TstOutputLocations::onlyTheValueOneSwitchesOn()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, on);
    if (stored.isValid())
        OpenSettings()->setValue(kAutoShutdownValue, stored);
    QCOMPARE(ReadSwitch(kAutoShutdownValue), on);
}

void TstOutputLocations::settingsLiveInTheUsersConfigFolder()
{
    WriteSettings("/somewhere", true, false);
    const QString file = OpenSettings()->fileName();
    QCOMPARE(file, qEnvironmentVariable("XDG_CONFIG_HOME") + "/ZPX.conf");
    QSettings ini(file, QSettings::IniFormat);
    QCOMPARE(ini.value("Path").toString(), QStringLiteral("/somewhere"));
    QCOMPARE(ini.value("MultiCore").toInt(), 1);
    QCOMPARE(ini.value("AutoShutdown").toInt(), 0);
    QVERIFY(ReadSwitch(kMultiCoreValue));
}

ZEPORA_TEST_MAIN(TstOutputLocations)
#include "tst_outputlocations.moc"
