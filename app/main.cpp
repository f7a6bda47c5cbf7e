#include "app/outputfolder.h"
#include "deploy/tooldeploy.h"
#include "platform/affinity.h"
#include "platform/toolfolder.h"
#include "profiles/outputprofile.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// The main window arrives with its own work; until then the program starts as the window will
// (processor binding, today's folder, the tools) and shows what it would convert to.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ZPX"));
    QApplication::setApplicationName(QStringLiteral("Zepora"));
    if (ReadSwitch(kMultiCoreValue))
        ApplyMultiCoreAffinity();
    PrepareOutputDir();
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
    auto *outputDir = new QPushButton(QStringLiteral("输出路径"));
    QObject::connect(outputDir, &QPushButton::clicked, [] { OnOutputDir(); });
    layout->addWidget(outputDir);
    window.show();
    return app.exec();
}
