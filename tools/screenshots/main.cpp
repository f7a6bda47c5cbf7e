// Draws the program's windows into PNG files, for the README and for looking at the layout:
//   zepora-screenshots FOLDER
#include "app/convertdlg.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    CConvertDlg window;
    window.OnInitDialog({});
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(QDir(folder).filePath(QStringLiteral("main-window.png")));
    return saved ? 0 : 1;
}
