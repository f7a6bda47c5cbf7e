#include "settings/outputlocations.h"
#include "settings/settingsdlg.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSettings>

class TstSettingsDlg : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        OpenSettings()->clear();
        m_messages.clear();
    }
    void opensWithWhatIsStored_data();
    void opensWithWhatIsStored();
    void withoutARootTheLargestWritableVolumeIsProposed();
    void freeSpaceFollowsTheTypedPath();
    void saveRefusesWhatIsNotAFolder_data();
    void saveRefusesWhatIsNotAFolder();
    void saveStoresAllThreeAndMakesTodaysFolder_data();
    void saveStoresAllThreeAndMakesTodaysFolder();
    void cancelPutsTheStoredRootBackAndWritesNothing();
    void cancelWithoutARootStoresTheProposal();

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    CSettingsDlg::Messenger messenger()
    {
        return [this](const QString &caption, const QString &text) { m_messages << caption + '|' + text; };
    }
};

void TstSettingsDlg::opensWithWhatIsStored_data()
{
    QTest::addColumn<QVariant>("multiCore");
    QTest::addColumn<QVariant>("autoShutdown");
    QTest::newRow("both on") << QVariant(1) << QVariant(1);
    QTest::newRow("2 shows unchecked") << QVariant(2) << QVariant(0);
    QTest::newRow("missing") << QVariant() << QVariant("1");
}

void TstSettingsDlg::opensWithWhatIsStored()
{
    QFETCH(QVariant, multiCore);
    QFETCH(QVariant, autoShutdown);
    OpenSettings()->setValue(kPathValue, m_dir.path());
    if (multiCore.isValid())
        OpenSettings()->setValue(kMultiCoreValue, multiCore);
    OpenSettings()->setValue(kAutoShutdownValue, autoShutdown);
    CSettingsDlg dialog(nullptr, messenger());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Zepora设置"));
    QCOMPARE(dialog.pathText(), m_dir.path());
    QCOMPARE(dialog.multiCoreBox()->isChecked(), multiCore == QVariant(1));
    QCOMPARE(dialog.autoShutdownBox()->isChecked(), autoShutdown.toInt() == 1);
}

void TstSettingsDlg::withoutARootTheLargestWritableVolumeIsProposed()
{
    OpenSettings()->setValue(kPathValue, m_dir.filePath("deleted since"));
    CSettingsDlg dialog(nullptr, messenger());
    const QString proposal = CSettingsDlg::SelectLargestFixedDrive();
    QVERIFY(!proposal.isEmpty());
    QVERIFY(QFileInfo(proposal).isDir() && QFileInfo(proposal).isWritable());
    QCOMPARE(dialog.pathText(), proposal);
    // The home folder is always a candidate, so nothing proposed has less room than it.
    QVERIFY(CSettingsDlg::GetFreeSpaceMB(proposal) >= CSettingsDlg::GetFreeSpaceMB(QDir::homePath()));
}

void TstSettingsDlg::freeSpaceFollowsTheTypedPath()
{
    CSettingsDlg dialog(nullptr, messenger());
    dialog.setPathText(m_dir.path());
    QVERIFY(dialog.freeSpaceText().toInt() > 0);
    QCOMPARE(dialog.freeSpaceText(), QString::number(CSettingsDlg::GetFreeSpaceMB(m_dir.path())));
    dialog.setPathText(m_dir.filePath("no such folder"));
    QCOMPARE(dialog.freeSpaceText(), QStringLiteral("0"));
}

void TstSettingsDlg::saveRefusesWhatIsNotAFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << m_dir.filePath("missing");
    QTest::newRow("empty") << QString();
    QFile file(m_dir.filePath("a file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QTest::newRow("a file") << file.fileName();
}

void TstSettingsDlg::saveRefusesWhatIsNotAFolder()
{
    QFETCH(QString, path);
    m_messages.clear();
    CSettingsDlg dialog(nullptr, messenger());
    dialog.setPathText(path);
    dialog.OnSave();
    QCOMPARE(m_messages, QStringList{"Zepora ZPX|您选择的目录无效，请重试"});
    QCOMPARE(dialog.result(), 0); // still open
    QVERIFY(!OpenSettings()->contains(kPathValue));
}

void TstSettingsDlg::saveStoresAllThreeAndMakesTodaysFolder_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("no trailing slash") << "";
    QTest::newRow("trailing slash") << "/";
}

void TstSettingsDlg::saveStoresAllThreeAndMakesTodaysFolder()
{
    QFETCH(QString, suffix);
    QTemporaryDir root;
    CSettingsDlg dialog(nullptr, messenger());
    dialog.setPathText(root.path() + suffix);
    dialog.multiCoreBox()->setChecked(true);
    dialog.autoShutdownBox()->setChecked(false);
    dialog.OnSave();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ReadUsableRoot(), root.path() + suffix);
    QVERIFY(ReadSwitch(kMultiCoreValue));
    QCOMPARE(OpenSettings()->value(kAutoShutdownValue).toInt(), 0);
    QVERIFY(QFileInfo(root.path() + "/Zepora-ZPX/" +
                      QString::asprintf("%d-%02d-%02d", QDate::currentDate().year(),
                                        QDate::currentDate().month(), QDate::currentDate().day()))
                .isDir());
}

void TstSettingsDlg::cancelPutsTheStoredRootBackAndWritesNothing()
{
    WriteSettings(m_dir.path(), false, true);
    CSettingsDlg dialog(nullptr, messenger());
    dialog.setPathText(QDir::tempPath());
    dialog.multiCoreBox()->setChecked(true);
    dialog.OnCancelButton();
    QCOMPARE(dialog.pathText(), m_dir.path());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(ReadUsableRoot(), m_dir.path());
    QVERIFY(!ReadSwitch(kMultiCoreValue));
    QVERIFY(ReadSwitch(kAutoShutdownValue));
}

void TstSettingsDlg::cancelWithoutARootStoresTheProposal()
{
    CSettingsDlg dialog(nullptr, messenger());
    dialog.autoShutdownBox()->setChecked(true);
    dialog.OnCancelButton();
    QCOMPARE(ReadUsableRoot(), CSettingsDlg::SelectLargestFixedDrive());
    QVERIFY(ReadSwitch(kAutoShutdownValue));
    QVERIFY(m_messages.isEmpty());
}

ZEPORA_TEST_MAIN_IMPL(TstSettingsDlg, QApplication)
#include "tst_settingsdlg.moc"
