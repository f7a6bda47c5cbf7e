// Draws the program's windows into PNG files, for the README and for looking at the layout:
//   zepora-screenshots FOLDER
#include "app/convertdlg.h"
#include "app/helpdlg.h"
#include "settings/settingsdlg.h"
#include "settings/settingsstore.h"
#include "shutdown/shutdowndlg.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

namespace {

bool save(QWidget &window, const QString &folder, const QString &name)
{
    window.show();
    QApplication::processEvents();
    return window.grab().save(QDir(folder).filePath(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    WriteSettings(QDir::homePath(), false, true);

    bool saved = true;
    CConvertDlg window;
    window.OnInitDialog({});
    saved = save(window, folder, QStringLiteral("main-window.png")) && saved;

    CSettingsDlg settings(nullptr, [](const QString &, const QString &) {});
    saved = save(settings, folder, QStringLiteral("settings-dialog.png")) && saved;

    CHelpDlg help(nullptr, [](const QUrl &) {});
    saved = save(help, folder, QStringLiteral("help-dialog.png")) && saved;

    CShutdownDlg countdown([] {}, {});
    for (int step = 0; step < 12; ++step)
        countdown.OnTimer();
    saved = save(countdown, folder, QStringLiteral("shutdown-countdown.png")) && saved;
    return saved ? 0 : 1;
}
