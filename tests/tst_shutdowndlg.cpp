#include "shutdown/shutdowndlg.h"
#include "testsupport.h"

#include <QApplication>

// The shutdown action is always a stand-in here: no test may power the machine off.
class TstShutdownDlg : public QObject {
    Q_OBJECT
private slots:
    void countsThirtyStepsThenShutsDownOnce();
    void shutdownNowDoesNotStopTheCountdown();
    void cancelStopsAndCloses();
    void settingsOpensThenCloses();
};

void TstShutdownDlg::countsThirtyStepsThenShutsDownOnce()
{
    for (int opening = 0; opening < 2; ++opening) { // a second reminder starts at 0 again
        int shutdowns = 0;
        CShutdownDlg reminder([&shutdowns] { ++shutdowns; }, {});
        QCOMPARE(reminder.windowTitle(), QStringLiteral("Zepora 自动关机提醒"));
        QVERIFY(reminder.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(reminder.tickPeriodMs(), 1000);
        QList<int> shown;
        for (int tick = 1; tick <= 31; ++tick) {
            reminder.OnTimer();
            shown << reminder.position();
            QCOMPARE(shutdowns, tick == 31 ? 1 : 0);
        }
        QCOMPARE(shown.first(), 0);
        QCOMPARE(shown.last(), 30);
        QVERIFY(!reminder.isCounting());
        reminder.OnTimer();
        QCOMPARE(shutdowns, 1);
    }
}

void TstShutdownDlg::shutdownNowDoesNotStopTheCountdown()
{
    int shutdowns = 0;
    CShutdownDlg reminder([&shutdowns] { ++shutdowns; }, {});
    reminder.OnShutdownNow();
    reminder.OnShutdownNow();
    QCOMPARE(shutdowns, 2);
    QVERIFY(reminder.isCounting());
}

void TstShutdownDlg::cancelStopsAndCloses()
{
    int shutdowns = 0;
    CShutdownDlg reminder([&shutdowns] { ++shutdowns; }, {});
    reminder.OnCancelShutdown();
    QVERIFY(!reminder.isCounting());
    QCOMPARE(reminder.result(), int(QDialog::Accepted));
    QCOMPARE(shutdowns, 0);
}

void TstShutdownDlg::settingsOpensThenCloses()
{
    int settings = 0;
    CShutdownDlg reminder([] {}, [&settings] { ++settings; });
    reminder.OnShutdownSettings();
    QCOMPARE(settings, 1);
    QCOMPARE(reminder.result(), int(QDialog::Accepted));
}

ZEPORA_TEST_MAIN_IMPL(TstShutdownDlg, QApplication)
#include "tst_shutdowndlg.moc"
