#include "deploy/tooldeploy.h"
#include "toolruns.h"
#include "platform/toolfolder.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t inodeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

mode_t modeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

class TstToolDeploy : public QObject {
    Q_OBJECT
private slots:
    void toolFolderIsPrivateUnderTheUsersDataFolder();
    void firstStartWritesEveryToolAsStored();
    void storedToolsAreTheBuildMachinesTools_data();
    void storedToolsAreTheBuildMachinesTools();
    void numbersOutsideTheTablesWriteNothing();
    void toolInUseIsReplacedWithoutDisturbingIt();
    void toolThatCannotBeReplacedKeepsItsOldFile();
};

void TstToolDeploy::toolFolderIsPrivateUnderTheUsersDataFolder()
{
    const QString folder = DefaultToolFolder();
    QVERIFY(folder.endsWith("/ZPX/"));
    QVERIFY(folder.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    QVERIFY(DeployStoredTools(folder));
    QCOMPARE(g_szToolDir, folder);
    QCOMPARE(modeOf(folder), mode_t(0700));
}

void TstToolDeploy::firstStartWritesEveryToolAsStored()
{
    QTemporaryDir home;
    const QString toolDir = home.filePath("data/ZPX/");
    QVERIFY(DeployStoredTools(toolDir));
    QVERIFY(QFileInfo(toolDir + "Codecs").isDir());
    QCOMPARE(QDir(toolDir + "Codecs").entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);

    QStringList written = QDir(toolDir).entryList(QDir::Files);
    written.sort();
    QCOMPARE(written, QStringList({"ffmpeg", "mencoder", "mp4creator", "mplayer"}));
    for (const StoredTool &tool : StoredTools()) {
        const QString path = toolDir + tool.fileName;
        const QByteArrayView stored = StoredToolBytes(tool.nTool);
        QVERIFY2(stored.size() > 10000, tool.fileName);
        QVERIFY2(fileBytes(path) == stored, tool.fileName);
        QCOMPARE(modeOf(path), mode_t(0755));
    }
    // Every tool written runs.
    QVERIFY(TestSupport::runToEnd({toolDir + "ffmpeg", {"-version"}, {}}).succeeded());
    const ToolResult muxer = TestSupport::runToEnd({toolDir + "mp4creator", {}, {}});
    QVERIFY(muxer.started && !muxer.crashed);
}

void TstToolDeploy::storedToolsAreTheBuildMachinesTools_data()
{
    QTest::addColumn<int>("nTool");
    QTest::addColumn<QString>("installed");
    QTest::newRow("ffmpeg") << 2 << "ffmpeg";
    QTest::newRow("mencoder") << 3 << "mencoder";
    QTest::newRow("mplayer") << 5 << "mplayer";
}

void TstToolDeploy::storedToolsAreTheBuildMachinesTools()
{
    QFETCH(int, nTool);
    QFETCH(QString, installed);
    const QString path = QStandardPaths::findExecutable(installed);
    QVERIFY(!path.isEmpty());
    QVERIFY(fileBytes(path) == StoredToolBytes(nTool));
}

void TstToolDeploy::numbersOutsideTheTablesWriteNothing()
{
    QTemporaryDir home;
    const QString toolDir = home.filePath("ZPX/");
    for (int nTool : {0, 1, 6})
        QVERIFY(!DeployTool(toolDir, nTool));
    QVERIFY(QFileInfo(toolDir).isDir());
    QVERIFY(QDir(toolDir).entryList(QDir::Files).isEmpty());
    for (int nCodec : {0, 1, 6, 7})
        QVERIFY(!DeployCodec(toolDir, nCodec));
    QVERIFY(QFileInfo(toolDir + "Codecs").isDir());
    QVERIFY(StoredToolBytes(1).isEmpty());
}

void TstToolDeploy::toolInUseIsReplacedWithoutDisturbingIt()
{
    QTemporaryDir home;
    const QString toolDir = home.filePath("ZPX/");
    QVERIFY(DeployStoredTools(toolDir));
    const QString ffmpeg = toolDir + "ffmpeg";
    // An identical tool is left as it stands.
    const ino_t deployed = inodeOf(ffmpeg);
    QVERIFY(DeployStoredTools(toolDir));
    QCOMPARE(inodeOf(ffmpeg), deployed);

    // An earlier start left another build of the tool (here: one byte longer), which is still at
    // work, reading its input at the pace of real time.
    QFile older(toolDir + "older");
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write(fileBytes(ffmpeg) + '\0');
    older.close();
    older.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QFile::remove(ffmpeg) && QFile::rename(older.fileName(), ffmpeg));
    const ino_t before = inodeOf(ffmpeg);
    const QString output = home.filePath("still-working.nut");
    ToolRun earlier({ffmpeg,
                     {"-v", "error", "-nostdin", "-re", "-f", "lavfi", "-i",
                      "testsrc=size=64x48:rate=25:duration=1.5", "-c:v", "ffv1", "-y", output},
                     {}},
                    ToolPriority::Normal);
    QVERIFY(earlier.start());
    QVERIFY(DeployStoredTools(toolDir));
    QVERIFY(earlier.isRunning());
    QVERIFY(inodeOf(ffmpeg) != before);
    QVERIFY(fileBytes(ffmpeg) == StoredToolBytes(2));
    QCOMPARE(modeOf(ffmpeg), mode_t(0755));

    earlier.waitForFinished();
    QVERIFY2(earlier.result().succeeded(), earlier.result().lastOutput.constData());
    QCOMPARE(TestSupport::probe(output).streams.value(0).codecName, QStringLiteral("ffv1"));
    QCOMPARE(QDir(toolDir).entryList(QDir::Files).size(), 4); // no temporary files left

    // A tool that lost its permission to run is written again as well.
    QVERIFY(QFile::setPermissions(ffmpeg, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(DeployStoredTools(toolDir));
    QCOMPARE(modeOf(ffmpeg), mode_t(0755));
}

void TstToolDeploy::toolThatCannotBeReplacedKeepsItsOldFile()
{
    QTemporaryDir home;
    const QString toolDir = home.filePath("ZPX/");
    // Something that is not a file stands where the encoder belongs.
    QVERIFY(QDir().mkpath(toolDir + "mencoder/inside"));
    QVERIFY(!DeployStoredTools(toolDir));
    QVERIFY(QFileInfo(toolDir + "mencoder/inside").isDir());
    for (const char *name : {"ffmpeg", "mp4creator", "mplayer"})
        QVERIFY2(QFileInfo(toolDir + name).size() > 0, name);
    QCOMPARE(QDir(toolDir).entryList(QDir::Files).size(), 3);
}

ZEPORA_TEST_MAIN(TstToolDeploy)
#include "tst_tooldeploy.moc"
