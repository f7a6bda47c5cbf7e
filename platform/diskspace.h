#pragma once

#include <QString>
#include <QStringList>

// The bytes this process can still write on the volume that holds `folder`: what the volume keeps
// back for the superuser counts when we are the superuser. -1 when that cannot be read.
qint64 BytesLeftForWriting(const QString &folder);

// The root folders of the local disk volumes that may hold the user's files, sorted: writable, on
// a block device that is neither a loop device nor removable. Pseudo and network file systems are
// left out, as removable and network drives were on other systems.
QStringList FixedDiskRoots();
