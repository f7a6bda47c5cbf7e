#include "app/convertdlg.h"
#include "deploy/tooldeploy.h"
#include "platform/toolfolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ZPX"));
    QApplication::setApplicationName(QStringLiteral("Zepora"));

    CConvertDlg window;
    window.OnInitDialog({[&window] { window.OnSettings(); },
                         [] { return DeployStoredTools(DefaultToolFolder()); }});
    window.show();
    return app.exec();
}
