#pragma once

#include <QByteArrayView>
#include <QString>

#include <span>

// The tool folder every tool runs from, ending with "/". Set once at start, before any tool runs.
extern QString g_szToolDir;

struct StoredTool {
    int nTool;
    const char *fileName;
    const char *resource; // where the program stores the file's bytes
};
std::span<const StoredTool> StoredTools();

// The bytes the program stores for tool nTool; empty for a number outside the table.
QByteArrayView StoredToolBytes(int nTool);

// Writes tool nTool (2 to 5) into the tool folder unless the file there already holds exactly its
// bytes and may be run. The bytes go into a new file that then takes the old one's name, so a tool
// still running from an earlier start is not disturbed. True when the tool stands there whole.
bool DeployTool(const QString &toolDir, int nTool);

// Creates "Codecs/" in the tool folder. No codec library is stored, so every number gives false.
bool DeployCodec(const QString &toolDir, int nCodec);

// Start-up: makes the private tool folder and sets g_szToolDir to it, then writes every tool and the
// codecs. False when a tool could not be written.
bool DeployStoredTools(const QString &toolDir);
