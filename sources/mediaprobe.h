#pragma once

#include "engine/outputlines.h"
#include "engine/toolcommand.h"
#include "engine/toolrunner.h"

#include <QObject>
#include <QString>

#include <memory>

// What the prober told of one file: the four texts of its row in the source list.
struct ProbeResult {
    QString duration;  // "00:12:05"; empty: the prober gave no length, and the file is refused
    QString codec;     // the video format as the prober prints it, such as "H264" or "0x10000001"
    QString frameSize; // "640x480"
    QString frameRate; // "25.000"

    bool accepted() const { return !duration.isEmpty(); }
};

// "%02d:%02d:%02d" of hours, minutes and seconds; the hours are not limited to two digits.
QString FormatDuration(int seconds);

// Takes the prober's "ID_" lines out of one piece of its output into the result. Each line is
// tested for the keys in turn; a found key's value (what follows the first "=") is what the later
// tests look at. `probeSize` carries the width until its height comes.
void ParseProbeOutput(QStringView text, ProbeResult &result, QString &probeSize);

// Feeds the prober's output chunk by chunk: a line cut in two by a read is parsed whole.
class ProbeOutputReader {
public:
    void feed(QByteArrayView chunk);
    void finish();
    const ProbeResult &result() const { return m_result; }

private:
    void parseLines(QByteArrayView lines);

    OutputLines m_lines;
    // A byte-order mark is dropped only at the very start of the output, wherever the reads end.
    bool m_startParsed = false;
    QString m_probeSize;
    ProbeResult m_result;
};

// The prober in its identify mode, with no picture and no sound; it decodes nothing.
ToolCommand ProbeCommand(const QString &toolDir, const QString &sourceFile);

// A prober that has not ended after this long is killed and the file refused: some malformed
// files make it spin forever.
inline constexpr int kProbeTimeLimitMs = 10000;

enum class ProbeVerdict {
    Accepted,       // the prober gave a length
    Refused,        // no length (or the prober hung and was ended)
    ToolNotStarted, // the prober could not be started: the file is listed without its details
};

// One probe of one file, without blocking the caller: `finished` comes when the prober has ended.
class ProbeRun : public QObject {
    Q_OBJECT
public:
    ProbeRun(const QString &toolDir, const QString &sourceFile, QObject *parent = nullptr,
             int timeLimitMs = kProbeTimeLimitMs);

    void start();
    // Blocks until the verdict (for the command line); works without an event loop.
    void waitForFinished();

    bool isFinished() const { return m_finished; }
    ProbeVerdict verdict() const { return m_verdict; }
    const ProbeResult &result() const { return m_reader.result(); }

signals:
    void finished(ProbeVerdict verdict, const ProbeResult &result);

private:
    void conclude(const ToolResult &toolResult);

    std::unique_ptr<ToolRun> m_run;
    ProbeOutputReader m_reader;
    ProbeVerdict m_verdict = ProbeVerdict::Refused;
    bool m_finished = false;
};

// Probes one file to its verdict, blocking.
ProbeVerdict ProbeSourceFile(const QString &toolDir, const QString &sourceFile, ProbeResult &result,
                             int timeLimitMs = kProbeTimeLimitMs);
