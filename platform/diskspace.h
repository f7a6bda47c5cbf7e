#pragma once

#include <QString>

// The bytes this process can still write on the volume that holds `folder`: what the volume keeps
// back for the superuser counts when we are the superuser. -1 when that cannot be read.
qint64 BytesLeftForWriting(const QString &folder);
