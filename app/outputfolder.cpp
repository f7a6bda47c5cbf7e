#include "app/outputfolder.h"

#include "settings/outputlocations.h"
#include "settings/settingsstore.h"

#include <QDesktopServices>
#include <QUrl>

bool OnOutputDir()
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ProductFolder(ReadUsableRoot())));
}
