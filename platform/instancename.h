#pragma once

#include <QString>

// The name under which one user's running copies of the program find each other: "ZPX-" and the
// user's id, so that two users on one machine each get a window of their own.
QString PerUserInstanceName();
