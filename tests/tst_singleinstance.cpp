#include "app/singleinstance.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QLocalSocket>

class TstSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondStartAsksTheRunningCopyToShow();
    void nameLeftByACopyThatDiedIsTakenOver();
    void secondProgramEndsAtOnce();

private:
    QString uniqueName() const
    {
        return QStringLiteral("zepora-test-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(QTest::currentTestFunction());
    }
};

void TstSingleInstance::secondStartAsksTheRunningCopyToShow()
{
    SingleInstance running(uniqueName());
    QVERIFY(running.claim());
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    SingleInstance second(uniqueName());
    QVERIFY(!second.claim());
    QVERIFY(shown.wait(5000));
    QCOMPARE(shown.size(), 1);
    QVERIFY(SingleInstance::DefaultName().startsWith("ZPX-"));
}

void TstSingleInstance::nameLeftByACopyThatDiedIsTakenOver()
{
    // What a crashed copy leaves: a socket file nobody listens on.
    const QString path = QDir::tempPath() + '/' + uniqueName();
    QFile stale(path);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance running(uniqueName());
    QVERIFY(running.claim());
    QSignalSpy shown(&running, &SingleInstance::showRequested);
    QVERIFY(!SingleInstance(uniqueName()).claim());
    QVERIFY(shown.wait(5000));
}

void TstSingleInstance::secondProgramEndsAtOnce()
{
    QTemporaryDir root;
    WriteSettings(root.path(), false, false);
    QProcess first;
    first.start(ZEPORA_PATH, {});
    QVERIFY(first.waitForStarted());
    // The first copy is up once its socket answers.
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            QLocalSocket probe;
            probe.connectToServer(SingleInstance::DefaultName());
            return probe.waitForConnected(200);
        }(),
        20000);

    QProcess second;
    second.start(ZEPORA_PATH, {"ignored", "--arguments"});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
}

ZEPORA_TEST_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
