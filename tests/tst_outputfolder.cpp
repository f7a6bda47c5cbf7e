#include "app/outputfolder.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

// Stands in for the desktop's file manager.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TstOutputFolder : public QObject {
    Q_OBJECT
private slots:
    void opensTheProductFolder_data();
    void opensTheProductFolder();

private:
    QTemporaryDir m_dir;
};

void TstOutputFolder::opensTheProductFolder_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QString>("folder");
    QTest::newRow("stored root") << m_dir.path() << m_dir.path() + "/Zepora-ZPX";
    QTest::newRow("stored root with slash") << m_dir.path() + "/" << m_dir.path() + "/Zepora-ZPX";
    QTest::newRow("no usable root") << m_dir.filePath("gone") << "/Zepora-ZPX";
}

void TstOutputFolder::opensTheProductFolder()
{
    QFETCH(QString, root);
    QFETCH(QString, folder);
    WriteSettings(root, false, false);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    QVERIFY(OnOutputDir());
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
}

ZEPORA_TEST_MAIN_IMPL(TstOutputFolder, QGuiApplication)
#include "tst_outputfolder.moc"
