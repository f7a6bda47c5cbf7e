#pragma once

#include <QStringList>
#include <QTextStream>

// The headless face of the program. Each command takes the arguments after its name and writes
// its results to `out`, its complaints to `err`; the result is the process's exit status.
int RunCliTypes(const QStringList &arguments, QTextStream &out, QTextStream &err);
int RunCliProbe(const QStringList &arguments, QTextStream &out, QTextStream &err);
int RunCliConvert(const QStringList &arguments, QTextStream &out, QTextStream &err);
int RunCliCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

inline constexpr int kCliUsageError = 2;
