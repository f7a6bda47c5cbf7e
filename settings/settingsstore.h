#pragma once

#include <QString>

#include <memory>

class QSettings;

// The three settings, under the organisation "ZPX": the registry key Software\ZPX on Windows,
// an INI file in the user's config folder elsewhere. Every reader reads afresh.
inline constexpr char kPathValue[] = "Path";
inline constexpr char kMultiCoreValue[] = "MultiCore";
inline constexpr char kAutoShutdownValue[] = "AutoShutdown";

std::unique_ptr<QSettings> OpenSettings();

// The stored output root when it names an existing folder; empty otherwise.
QString ReadUsableRoot();

// A switch is on only when its stored value is the number 1.
bool ReadSwitch(const char *name);

void WriteSettings(const QString &root, bool multiCore, bool autoShutdown);
