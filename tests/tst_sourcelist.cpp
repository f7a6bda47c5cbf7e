#include "sources/sourcelist.h"
#include "testsupport.h"

#include <QDir>

namespace {

// A stand-in prober: prints the file it is given, which holds the "ID_" lines the test wants;
// a file that says SLOW keeps it busy for a while first.
const QByteArray kFakeProber = "#!/bin/sh\n"
                               "for last; do :; done\n"
                               "grep -q SLOW \"$last\" 2>/dev/null && sleep 0.4\n"
                               "cat \"$last\" 2>/dev/null\n"
                               "exit 0\n";

} // namespace

class TstSourceList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void columnsAndHeadings();
    void addedFileIsFilledIn();
    void indexTextsAfterRemoveThenAdd();
    void duplicateMeansExactlyTheSameText();
    void refusedFileLeavesNoRowAndCanBeAddedAgain();
    void removeWithoutSelectionDoesNothing();
    void dropAddsOnlyTheFirstExistingFile();
    void addsInARowAreProbedInOrder();
    void probeFillsItsOwnRowWhenRowsAreRemoved();
    void proberThatCannotStartKeepsTheRow();
    void dialogFilters();

private:
    QString file(const QString &name, const QByteArray &content);
    void waitForProbes();

    QTemporaryDir m_dir;
    QString m_toolDir;
    std::unique_ptr<SourceListModel> m_model;
};

void TstSourceList::initTestCase()
{
    m_toolDir = m_dir.filePath("tools/");
    QVERIFY(QDir().mkpath(m_toolDir));
    QFile prober(m_toolDir + "mplayer");
    QVERIFY(prober.open(QIODevice::WriteOnly));
    prober.write(kFakeProber);
    prober.close();
    prober.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TstSourceList::init() { m_model = std::make_unique<SourceListModel>(m_toolDir); }

void TstSourceList::cleanup() { m_model.reset(); }

QString TstSourceList::file(const QString &name, const QByteArray &content)
{
    QString path = m_dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

void TstSourceList::waitForProbes()
{
    if (m_model->isProbing())
        QVERIFY(QSignalSpy(m_model.get(), &SourceListModel::probesFinished).wait(10000));
    QVERIFY(!m_model->isProbing());
}

void TstSourceList::columnsAndHeadings()
{
    QCOMPARE(m_model->columnCount(), 7);
    QStringList headings;
    for (int column = 0; column < 7; ++column)
        headings << m_model->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headings, QStringList({"索引", "文件名", "播放时间", "编码", "分辨率", "帧率", "状态"}));
}

void TstSourceList::addedFileIsFilledIn()
{
    const QString path = file("a b.avi", "ID_VIDEO_FORMAT=XVID\nID_VIDEO_WIDTH=640\n"
                                         "ID_VIDEO_HEIGHT=480\nID_VIDEO_FPS=25.000\nID_LENGTH=3725.4\n");
    QSignalSpy status(m_model.get(), &SourceListModel::statusMessage);
    m_model->AddSourceFile(path);
    // The row is there at once, before the prober has said anything.
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->text(0, SourceListModel::FileColumn), path);
    QCOMPARE(m_model->text(0, SourceListModel::StatusColumn), kWaitingText);
    QCOMPARE(m_model->text(0, SourceListModel::DurationColumn), QString());
    waitForProbes();
    const QStringList row = [&] {
        QStringList texts;
        for (int column = 0; column < 7; ++column)
            texts << m_model->index(0, column).data().toString();
        return texts;
    }();
    QCOMPARE(row, QStringList({"0", path, "01:02:05", "XVID", "640x480", "25.000", "待转换"}));
    QCOMPARE(status.size(), 1);
    QCOMPARE(m_model->statusText(), kAddingText);
}

void TstSourceList::indexTextsAfterRemoveThenAdd()
{
    for (const char *name : {"0.avi", "1.avi", "2.avi"})
        m_model->AddSourceFile(file(name, "ID_LENGTH=1.0\n"));
    waitForProbes();
    m_model->OnRemove(0);
    m_model->AddSourceFile(file("3.avi", "ID_LENGTH=1.0\n"));
    waitForProbes();
    QStringList indexes;
    for (int row = 0; row < m_model->rowCount(); ++row)
        indexes << m_model->text(row, SourceListModel::IndexColumn);
    QCOMPARE(indexes, QStringList({"1", "2", "2"}));
    QVERIFY(m_model->sourcePath(2).endsWith("3.avi"));
}

void TstSourceList::duplicateMeansExactlyTheSameText()
{
    const QString path = file("Movie.avi", "ID_LENGTH=1.0\n");
    m_model->AddSourceFile(path);
    m_model->AddSourceFile(path); // still being probed: a duplicate all the same
    QCOMPARE(m_model->statusText(), kDuplicateText);
    waitForProbes();
    m_model->AddSourceFile(path);
    QCOMPARE(m_model->statusText(), kDuplicateText);
    QCOMPARE(m_model->rowCount(), 1);

    // Other texts for the same file are other rows: no case folding, no normalising.
    file("movie.avi", "ID_LENGTH=1.0\n");
    m_model->AddSourceFile(m_dir.filePath("movie.avi"));
    m_model->AddSourceFile(m_dir.path() + "/./Movie.avi");
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 3);
}

void TstSourceList::refusedFileLeavesNoRowAndCanBeAddedAgain()
{
    const QString path = file("broken.mkv", "ID_VIDEO_FORMAT=H264\n");
    m_model->AddSourceFile(path);
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_model->statusText(), kInvalidText);

    file("broken.mkv", "ID_LENGTH=5.00\n"); // mended meanwhile
    m_model->AddSourceFile(path);
    QCOMPARE(m_model->statusText(), kAddingText);
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->text(0, SourceListModel::IndexColumn), QStringLiteral("0"));
}

void TstSourceList::removeWithoutSelectionDoesNothing()
{
    m_model->OnRemove(-1);
    m_model->OnRemove(0);
    m_model->AddSourceFile(file("x.avi", "ID_LENGTH=1\n"));
    waitForProbes();
    m_model->OnRemove(-1);
    m_model->OnRemove(1);
    QCOMPARE(m_model->rowCount(), 1);
    m_model->OnRemove(0);
    QCOMPARE(m_model->rowCount(), 0);
}

void TstSourceList::dropAddsOnlyTheFirstExistingFile()
{
    const QString first = file("first.avi", "ID_LENGTH=1\n");
    const QString second = file("second.avi", "ID_LENGTH=1\n");
    QSignalSpy status(m_model.get(), &SourceListModel::statusMessage);
    m_model->OnDropFiles({m_dir.path(), first});
    m_model->OnDropFiles({m_dir.filePath("gone.avi")});
    m_model->OnDropFiles({});
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(status.size(), 0);
    m_model->OnDropFiles({first, second});
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->sourcePath(0), first);
}

void TstSourceList::addsInARowAreProbedInOrder()
{
    m_model->AddSourceFile(file("slow.avi", "SLOW\nID_LENGTH=1\nID_VIDEO_FORMAT=one\n"));
    m_model->AddSourceFile(file("bad.avi", "ID_VIDEO_FORMAT=two\n"));
    m_model->AddSourceFile(file("good.avi", "ID_LENGTH=2\nID_VIDEO_FORMAT=three\n"));
    QCOMPARE(m_model->rowCount(), 3);
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(m_model->text(0, SourceListModel::CodecColumn), QStringLiteral("one"));
    QCOMPARE(m_model->text(1, SourceListModel::CodecColumn), QStringLiteral("three"));
    QCOMPARE(m_model->text(1, SourceListModel::IndexColumn), QStringLiteral("2"));
}

void TstSourceList::probeFillsItsOwnRowWhenRowsAreRemoved()
{
    m_model->AddSourceFile(file("keep.avi", "ID_LENGTH=1\nID_VIDEO_FORMAT=keep\n"));
    waitForProbes();
    m_model->AddSourceFile(file("slow refused.avi", "SLOW\nID_VIDEO_FORMAT=x\n"));
    m_model->AddSourceFile(file("next.avi", "SLOW\nID_LENGTH=3\nID_VIDEO_FORMAT=next\n"));
    m_model->AddSourceFile(file("dropped.avi", "SLOW\nID_LENGTH=3\nID_VIDEO_FORMAT=dropped\n"));
    // While the second file is probed, the user removes the first row and the last one.
    m_model->OnRemove(3);
    m_model->OnRemove(0);
    waitForProbes();
    QCOMPARE(m_model->rowCount(), 1);
    QVERIFY(m_model->sourcePath(0).endsWith("next.avi"));
    QCOMPARE(m_model->text(0, SourceListModel::CodecColumn), QStringLiteral("next"));
}

void TstSourceList::proberThatCannotStartKeepsTheRow()
{
    SourceListModel model(m_dir.filePath("no-tools/"));
    QSignalSpy finished(&model, &SourceListModel::probesFinished);
    model.AddSourceFile("/videos/a.avi");
    QVERIFY(finished.wait(5000));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.text(0, SourceListModel::DurationColumn), QString());
    QCOMPARE(model.statusText(), kAddingText);
}

void TstSourceList::dialogFilters()
{
    const QStringList filters = AddDialogNameFilters();
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters[0].startsWith("支持的视频格式 (*.MPG *.AVI *.RM *.RMVB "));
    QCOMPARE(filters[0].count("*."), 19);
    QCOMPARE(filters[1], QStringLiteral("所有文件 (*)"));
    QCOMPARE(kAddDialogTitle, QStringLiteral("请选视频影音文件"));
}

ZEPORA_TEST_MAIN(TstSourceList)
#include "tst_sourcelist.moc"
