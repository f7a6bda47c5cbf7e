#include "platform/diskspace.h"

#include <QFile>

#include <sys/statvfs.h>
#include <unistd.h>

qint64 BytesLeftForWriting(const QString &folder)
{
    struct statvfs volume {};
    if (statvfs(QFile::encodeName(folder).constData(), &volume) != 0)
        return -1;
    const auto blocks = geteuid() == 0 ? volume.f_bfree : volume.f_bavail;
    return qint64(blocks) * qint64(volume.f_frsize);
}
