#include "app/helpdlg.h"
#include "testsupport.h"

#include <QApplication>
#include <QPushButton>

class TstHelpDlg : public QObject {
    Q_OBJECT
private slots:
    void everyButtonOpensAPageThatShipsWithTheProgram_data();
    void everyButtonOpensAPageThatShipsWithTheProgram();
    void okEndsTheDialog();
    void aChangedPageIsWrittenAgain();
};

void TstHelpDlg::everyButtonOpensAPageThatShipsWithTheProgram_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    // clang-format off
    QTest::newRow("detailed help") << 1032 << "help.html" << "Zepora 详细帮助";
    QTest::newRow("home page") << 1033 << "index.html" << "关于 Zepora";
    QTest::newRow("forum") << 1034 << "support.html" << "Zepora 技术支持";
    QTest::newRow("device list") << 1052 << "devices.html" << "常见移动设备分辨率推荐";
    // clang-format on
}

void TstHelpDlg::everyButtonOpensAPageThatShipsWithTheProgram()
{
    QFETCH(int, button);
    QFETCH(QString, page);
    QFETCH(QString, title);
    QList<QUrl> opened;
    CHelpDlg help(nullptr, [&opened](const QUrl &url) { opened << url; });
    QCOMPARE(help.windowTitle(), QStringLiteral("Zepora帮助"));
    QVERIFY(help.topLine().startsWith("Zepora 1.6     [ "));
    help.findChild<QPushButton *>(QString::number(button))->click();
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].isLocalFile());
    QCOMPARE(QFileInfo(opened[0].toLocalFile()).fileName(), page);
    QFile file(opened[0].toLocalFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains("<title>" + title + "</title>"));
    // No page links to anything that is not shipped beside it.
    for (const char *link : {"help.html", "index.html", "support.html", "devices.html", "style.css"})
        QVERIFY2(QFileInfo::exists(QFileInfo(file).dir().filePath(link)), link);
    QVERIFY(!html.contains("http://") && !html.contains("https://"));
    QCOMPARE(help.result(), 0); // the dialog stays open
}

void TstHelpDlg::okEndsTheDialog()
{
    CHelpDlg help(nullptr, [](const QUrl &) {});
    help.findChild<QPushButton *>("1035")->click();
    QCOMPARE(help.result(), int(QDialog::Accepted));
}

void TstHelpDlg::aChangedPageIsWrittenAgain()
{
    const QUrl url = HelpPageUrl("help.html");
    QFile page(url.toLocalFile());
    QVERIFY(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
    page.write("broken");
    page.close();
    HelpPageUrl("help.html");
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().startsWith("<!DOCTYPE html>"));
}

ZEPORA_TEST_MAIN_IMPL(TstHelpDlg, QApplication)
#include "tst_helpdlg.moc"
