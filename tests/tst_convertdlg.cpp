#include "app/convertdlg.h"
#include "app/trayicon.h"
#include "controls/flatcombobox.h"
#include "controls/xpgroupbox.h"
#include "controls/xpstylebutton.h"
#include "res/artwork.h"
#include "shutdown/shutdowndlg.h"
#include "deploy/tooldeploy.h"
#include "platform/toolfolder.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

// The real window, offscreen, with the real tools.
namespace {

const std::pair<int, int> kButtonIcons[] = {{1007, 138}, {1003, 144}, {1001, 132}, {1002, 136},
                                            {1000, 143}, {1023, 134}, {1041, 174}, {1027, 145}};

bool sameIcon(const CXPStyleButton *button, int picture)
{
    return button && button->captionIcon().pixmap(16, 16).toImage() ==
                         ResourceIcon(picture).pixmap(16, 16).toImage();
}

} // namespace

class TstConvertDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void opensWithPhoneMp4AndItsDefaults();
    void noUsableRootAsksForSettingsFirst();
    void everyOutputTypeShowsItsListsAndDefaults_data();
    void everyOutputTypeShowsItsListsAndDefaults();
    void droppedFileIsProbedAndADuplicateRefused();
    void windowMadeBeforeTheToolsAreWrittenRunsThem();
    void startWithAnEmptyList();
    void convertsAClipToTheEnd();
    void pauseToggleAndStop();
    void keysDoNotReachTheControlsAndEscapePutsTheWindowAway();
    void trayClickTogglesTheWindow();
    void navigationKeysDoNothing_data();
    void navigationKeysDoNothing();
    void batchWithAutoShutdownOpensTheCountdown();

private:
    void drop(const QStringList &paths);
    QString text(int id) const { return m_window->controlText(id); }

    QTemporaryDir m_dir;
    QString m_clip;
    std::unique_ptr<CConvertDlg> m_window;
    int m_settingsCalls = 0;
};

void TstConvertDlg::initTestCase()
{
    QVERIFY(DeployStoredTools(DefaultToolFolder()));
    m_clip = m_dir.filePath("短片 a.avi");
    QVERIFY(TestSupport::makeClip(m_clip, {"-c:v", "mpeg4", "-c:a", "libmp3lame"}, "320x240", "25", 3));
}

void TstConvertDlg::init()
{
    WriteSettings(m_dir.path(), false, false);
    m_settingsCalls = 0;
    m_window = std::make_unique<CConvertDlg>();
    m_window->OnInitDialog({[this] { ++m_settingsCalls; }, [] { return true; },
                            [] { QFAIL("no test may shut the computer down"); }});
    m_window->show();
}

void TstConvertDlg::cleanup()
{
    m_window.reset();
    OpenSettings()->clear();
}

void TstConvertDlg::drop(const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &dropped);
}

void TstConvertDlg::opensWithPhoneMp4AndItsDefaults()
{
    QCOMPARE(m_window->size(), QSize(860, 527));
    QVERIFY(qobject_cast<QRadioButton *>(m_window->control(1012))->isChecked());
    QVERIFY(qobject_cast<QRadioButton *>(m_window->control(1021))->isChecked());
    QVERIFY(!m_window->control(1030)->isEnabled());
    QVERIFY(!m_window->control(1013)->isEnabled());
    QCOMPARE(QStringList({text(1031), text(1032), text(1033), text(1034)}),
             QStringList({"mp4", "320x240", "128", "15"}));
    QCOMPARE(text(1006), QStringLiteral("支持拖拽方式添加文件"));
    QCOMPARE(m_settingsCalls, 0);
    // Skinned: every push button has its icon, every group box the window style.
    for (const auto &[id, icon] : kButtonIcons)
        QVERIFY2(sameIcon(qobject_cast<CXPStyleButton *>(m_window->control(id)), icon),
                 qPrintable(QString::number(id)));
    for (int id : {1024, 1025, 1028})
        QCOMPARE(qobject_cast<CXPGroupBox *>(m_window->control(id))->groupStyle(),
                 int(CXPGroupBox::GBS_WINDOW));
    for (int id : {1014, 1026, 1035})
        QVERIFY(qobject_cast<CCJFlatComboBox *>(m_window->control(id)));
    QCOMPARE(QStringList({text(1000), text(1001), text(1002), text(1007), text(1003), text(1041),
                          text(1027), text(1023)}),
             QStringList({"添加", "移除", "开始转换", "暂停", "停止", "输出路径", "设置", "帮助"}));
}

void TstConvertDlg::noUsableRootAsksForSettingsFirst()
{
    OpenSettings()->clear();
    CConvertDlg window;
    int calls = 0;
    window.OnInitDialog({[&calls] { ++calls; }, [] { return true; }, [] {}});
    QCOMPARE(calls, 1);
}

void TstConvertDlg::everyOutputTypeShowsItsListsAndDefaults_data()
{
    QTest::addColumn<int>("type");
    for (const OutputProfile &profile : OutputProfiles())
        if (profile.selectable)
            QTest::newRow(profile.cliName) << int(profile.type);
}

void TstConvertDlg::everyOutputTypeShowsItsListsAndDefaults()
{
    QFETCH(int, type);
    const OutputProfile &profile = ProfileOf(OutputType(type));
    auto *resolution = qobject_cast<QComboBox *>(m_window->control(1014));
    // The user's own choice first, which the click on the type then discards.
    qobject_cast<QRadioButton *>(m_window->control(profile.radioId))->click();
    resolution->setCurrentIndex(0);
    QMetaObject::invokeMethod(resolution, "activated", Q_ARG(int, 0));
    qobject_cast<QRadioButton *>(m_window->control(profile.radioId))->click();

    QCOMPARE(text(1031), QString::fromUtf8(profile.formatText));
    QCOMPARE(text(1032), QString::fromUtf8(profile.defaultFrameSize));
    QCOMPARE(text(1033), QString::fromUtf8(profile.defaultBitrate));
    QCOMPARE(text(1034), QString::fromUtf8(profile.defaultFrameRate));
    QCOMPARE(resolution->count(), int(profile.frameSizes.size()));
    QCOMPARE(resolution->itemText(0), QString::fromUtf8(profile.frameSizes[0]));
    QCOMPARE(text(1014), QString::fromUtf8(profile.defaultFrameSize));
    QCOMPARE(text(1026), QString::fromUtf8(profile.defaultBitrate));
    QCOMPARE(text(1035), QString::fromUtf8(profile.defaultFrameRate));
}

void TstConvertDlg::droppedFileIsProbedAndADuplicateRefused()
{
    drop({m_clip, m_dir.filePath("second.avi")});
    QCOMPARE(m_window->sources().rowCount(), 1);
    QCOMPARE(text(1006), kAddingText);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->sources().text(0, SourceListModel::DurationColumn),
                              QStringLiteral("00:00:03"), 10000);
    QCOMPARE(m_window->sources().text(0, SourceListModel::FrameSizeColumn), QStringLiteral("320x240"));
    // The row shows the list's first small image at the head of its first column, and only there.
    const QAbstractItemModel *shown = qobject_cast<QTableView *>(m_window->control(1004))->model();
    QCOMPARE(shown->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().size(), QSize(16, 16));
    QVERIFY(shown->index(0, 1).data(Qt::DecorationRole).isNull());
    drop({m_clip});
    QCOMPARE(text(1006), kDuplicateText);
    drop({m_dir.path()}); // a folder: nothing, not even a message
    QCOMPARE(text(1006), kDuplicateText);
    QCOMPARE(m_window->sources().rowCount(), 1);
}

// The program makes its window first and writes the tools during the window's start-up.
void TstConvertDlg::windowMadeBeforeTheToolsAreWrittenRunsThem()
{
    m_window.reset();
    g_szToolDir.clear();
    m_window = std::make_unique<CConvertDlg>();
    m_window->OnInitDialog({[] {}, [] { return DeployStoredTools(DefaultToolFolder()); },
                            [] { QFAIL("no test may shut the computer down"); }});
    m_window->OnDropFiles({m_clip});
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->sources().isProbing(), 10000);
    QCOMPARE(m_window->sources().text(0, SourceListModel::DurationColumn), QStringLiteral("00:00:03"));
    QSignalSpy tools(&m_window->batch(), &ConversionBatch::toolStarted);
    m_window->OnStart();
    QVERIFY(tools.wait(10000));
    QVERIFY2(tools.at(0).at(0).toString().startsWith(DefaultToolFolder()),
             qPrintable(tools.at(0).at(0).toString()));
    m_window->OnStop();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->batch().isRunning(), 10000);
}

void TstConvertDlg::startWithAnEmptyList()
{
    qobject_cast<QPushButton *>(m_window->control(1002))->click();
    QCOMPARE(text(1006), kNoFilesText);
    QVERIFY(!m_window->batch().isRunning());
    QCOMPARE(text(1048), QString());
}

void TstConvertDlg::convertsAClipToTheEnd()
{
    drop({m_clip});
    auto *progress = qobject_cast<QProgressBar *>(m_window->control(1005));
    int highest = 0;
    connect(progress, &QProgressBar::valueChanged,
            [&highest](int value) { highest = std::max(highest, value); });
    QString finalFile;
    connect(&m_window->batch(), &ConversionBatch::fileFinished,
            [&finalFile](const QString &, bool, const QString &file, const QString &) {
                finalFile = file;
            });
    qobject_cast<QPushButton *>(m_window->control(1002))->click();
    QVERIFY(m_window->batch().isRunning());
    QCOMPARE(text(1006), kStartHintText);
    QCOMPARE(text(1048), GetOutputDir());
    QVERIFY(text(1048).startsWith(m_dir.path() + "/Zepora-ZPX/"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->batch().isRunning(), 60000);
    QCOMPARE(text(1006), kFinishedText);
    QVERIFY(highest >= 90);
    QCOMPARE(progress->value(), 0);
    QVERIFY(finalFile.endsWith(".mp4") && QFileInfo(finalFile).size() > 0);
    QCOMPARE(m_window->sources().text(0, SourceListModel::StatusColumn), kFinishedText);
}

void TstConvertDlg::pauseToggleAndStop()
{
    auto *pause = qobject_cast<QPushButton *>(m_window->control(1007));
    // With no batch the toggle still flips and says so.
    pause->click();
    QCOMPARE(pause->text(), QStringLiteral("继续"));
    QVERIFY(sameIcon(qobject_cast<CXPStyleButton *>(pause), 137));
    QCOMPARE(text(1006), kPausedText);
    pause->click();
    QCOMPARE(pause->text(), QStringLiteral("暂停"));
    QVERIFY(sameIcon(qobject_cast<CXPStyleButton *>(pause), 138));
    QCOMPARE(text(1006), kContinuingText);

    drop({m_clip});
    QTRY_VERIFY(!m_window->sources().isProbing());
    qobject_cast<QPushButton *>(m_window->control(1002))->click();
    pause->click();
    QVERIFY(m_window->batch().isPaused());
    qobject_cast<QPushButton *>(m_window->control(1003))->click();
    QCOMPARE(text(1006), kStoppedText);
    QTRY_VERIFY(!m_window->batch().isRunning());
    QCOMPARE(pause->text(), QStringLiteral("继续")); // Stop leaves the toggle as it was
}

void TstConvertDlg::keysDoNotReachTheControlsAndEscapePutsTheWindowAway()
{
    auto *bitrate = qobject_cast<QComboBox *>(m_window->control(1026));
    bitrate->setFocus();
    QTest::keyClicks(bitrate, "999");
    QTest::keyClick(bitrate, Qt::Key_Return);
    QCOMPARE(bitrate->currentText(), QStringLiteral("128"));
    QCOMPARE(text(1033), QStringLiteral("128"));
    QVERIFY(m_window->isVisible());

    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QVERIFY(m_window->isMinimized() || !m_window->isVisible());
}

void TstConvertDlg::trayClickTogglesTheWindow()
{
    CTrayIcon tray(m_window.get());
    QVERIFY(m_window->isVisible());
    tray.toggleWindow();
    QVERIFY(!m_window->isVisible());
    tray.toggleWindow();
    QVERIFY(m_window->isVisible());
    m_window->showMinimized();
    tray.OnTrayShow(); // "显示窗口" restores a minimised window
    QVERIFY(!m_window->isMinimized());
    QSignalSpy exit(&tray, &CTrayIcon::exitRequested);
    QVERIFY(exit.isValid());
}

void TstConvertDlg::navigationKeysDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("tab") << int(Qt::Key_Tab);
    QTest::newRow("down") << int(Qt::Key_Down);
    QTest::newRow("right") << int(Qt::Key_Right);
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("space") << int(Qt::Key_Space);
}

void TstConvertDlg::navigationKeysDoNothing()
{
    QFETCH(int, key);
    auto *mp4 = qobject_cast<QRadioButton *>(m_window->control(1021));
    mp4->setFocus();
    QWidget *focused = QApplication::focusWidget();
    QTest::keyClick(mp4, Qt::Key(key));
    QVERIFY(mp4->isChecked()); // arrows would move the choice
    QCOMPARE(text(1031), QStringLiteral("mp4"));
    QCOMPARE(QApplication::focusWidget(), focused); // Tab would move the focus
    QVERIFY(m_window->isVisible());                 // Enter would end the dialog
}

void TstConvertDlg::batchWithAutoShutdownOpensTheCountdown()
{
    WriteSettings(m_dir.path(), false, true);
    int shutdowns = 0;
    CConvertDlg window;
    window.OnInitDialog({[] {}, [] { return true; }, [&shutdowns] { ++shutdowns; }});
    window.show();
    bool sawReminder = false;
    // The reminder runs modally: it is answered from a timer, "立即关机" first, then "取消关机".
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *reminder = qobject_cast<CShutdownDlg *>(QApplication::activeModalWidget())) {
            sawReminder = true;
            reminder->OnShutdownNow();
            reminder->OnCancelShutdown();
        }
    });
    answer.start(50);
    window.OnDropFiles({m_clip});
    QTRY_VERIFY(!window.sources().isProbing());
    window.OnStart();
    QTRY_VERIFY_WITH_TIMEOUT(sawReminder, 60000);
    QTRY_VERIFY(!window.batch().isRunning());
    QCOMPARE(shutdowns, 1); // only the stand-in, only when asked
}

ZEPORA_TEST_MAIN_IMPL(TstConvertDlg, QApplication)
#include "tst_convertdlg.moc"
