#pragma once

#include <QString>

// The per-user folder the tools are written into and run from: "ZPX/" under the user's data
// folder, private to the user. The result ends with "/".
QString DefaultToolFolder();

// Creates a folder (and its parents) readable only by its owner; true when it exists afterwards.
bool CreatePrivateFolder(const QString &folder);
