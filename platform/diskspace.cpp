#include "platform/diskspace.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

bool isLocalDiskVolume(const QStorageInfo &volume)
{
    return volume.isValid() && volume.isReady() && !volume.isReadOnly() &&
           volume.device().startsWith("/dev/") && !volume.device().startsWith("/dev/loop");
}

bool isRemovable(const QStorageInfo &volume)
{
    // /dev/sdb1 -> /sys/class/block/sdb1/../removable, /dev/sdb -> /sys/class/block/sdb/removable
    const QString name = QFileInfo(QString::fromLocal8Bit(volume.device())).fileName();
    for (const QString &flag : {QStringLiteral("/sys/class/block/%1/removable"),
                                QStringLiteral("/sys/class/block/%1/../removable")}) {
        QFile file(flag.arg(name));
        if (file.open(QIODevice::ReadOnly))
            return file.readAll().trimmed() == "1";
    }
    return false;
}

} // namespace

qint64 BytesLeftForWriting(const QString &folder)
{
    struct statvfs volume {};
    if (statvfs(QFile::encodeName(folder).constData(), &volume) != 0)
        return -1;
    const auto blocks = geteuid() == 0 ? volume.f_bfree : volume.f_bavail;
    return qint64(blocks) * qint64(volume.f_frsize);
}

QStringList FixedDiskRoots()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (isLocalDiskVolume(volume) && !isRemovable(volume))
            roots << volume.rootPath();
    std::sort(roots.begin(), roots.end());
    return roots;
}
