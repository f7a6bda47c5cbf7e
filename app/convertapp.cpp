#include "app/convertapp.h"

#include "app/convertdlg.h"
#include "app/singleinstance.h"
#include "deploy/tooldeploy.h"
#include "platform/shutdown.h"
#include "platform/toolfolder.h"

CConvertApp::CConvertApp(int &argc, char **argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("ZPX"));
    setApplicationName(QStringLiteral("Zepora"));
}

int CConvertApp::InitInstance()
{
    SingleInstance instance;
    if (!instance.claim())
        return 0; // the running copy shows itself; this one reads and writes nothing

    CConvertDlg window;
    connect(&instance, &SingleInstance::showRequested, &window, &CConvertDlg::OnTrayShow);
    window.OnInitDialog({[&window] { window.OnSettings(); },
                         [] { return DeployStoredTools(DefaultToolFolder()); },
                         [] { ShutdownComputer(); }});
    window.show();
    return exec();
}
