#include "platform/toolfolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString DefaultToolFolder()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(dataHome).filePath(QStringLiteral("ZPX")) + QLatin1Char('/');
}

bool CreatePrivateFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
