#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QSettings>

std::unique_ptr<QSettings> OpenSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("ZPX"));
}

QString ReadUsableRoot()
{
    const QString root = OpenSettings()->value(QLatin1String(kPathValue)).toString();
    return !root.isEmpty() && QFileInfo(root).isDir() ? root : QString();
}

bool ReadSwitch(const char *name)
{
    bool isNumber = false;
    const int value = OpenSettings()->value(QLatin1String(name)).toInt(&isNumber);
    return isNumber && value == 1;
}

void WriteSettings(const QString &root, bool multiCore, bool autoShutdown)
{
    const auto settings = OpenSettings();
    settings->setValue(QLatin1String(kPathValue), root);
    settings->setValue(QLatin1String(kMultiCoreValue), multiCore ? 1 : 0);
    settings->setValue(QLatin1String(kAutoShutdownValue), autoShutdown ? 1 : 0);
    settings->sync();
}
