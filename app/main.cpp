#include "deploy/tooldeploy.h"
#include "platform/toolfolder.h"
#include "profiles/outputprofile.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

// The main window arrives with its own work; until then the program deploys its tools and shows
// what it would convert to.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ZPX"));
    QApplication::setApplicationName(QStringLiteral("Zepora"));
    DeployStoredTools(DefaultToolFolder());

    OutputPanel panel;
    ApplyOutputProfile(panel, OUT_MP4);

    QDialog window;
    window.setWindowTitle(QStringLiteral("Zepora"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("当前文件输出描述: %1 %2 %3 %4")
                                     .arg(panel.formatLabel, panel.frameSizeLabel,
                                          panel.bitrateLabel, panel.frameRateLabel)));
    layout->addWidget(new QLabel(QStringLiteral("工具目录: ") + g_szToolDir));
    window.show();
    return app.exec();
}
