#include "platform/instancename.h"

#include <unistd.h>

QString PerUserInstanceName() { return QStringLiteral("ZPX-%1").arg(::getuid()); }
