#include "sources/mediaprobe.h"

#include "deploy/toolnames.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <climits>

namespace {

struct ProbeKey {
    const char *key;
    void (*apply)(const QString &value, ProbeResult &result, QString &probeSize);
};

int leadingInteger(const QString &value)
{
    int seconds = 0;
    for (const QChar c : value) {
        if (!c.isDigit() || seconds > (INT_MAX - 9) / 10)
            break;
        seconds = seconds * 10 + c.digitValue();
    }
    return seconds;
}

// The keys in the order they are tested on each line; a width waits for its height.
const ProbeKey kProbeKeys[] = {
    {"ID_VIDEO_FORMAT", [](const QString &v, ProbeResult &r, QString &) { r.codec = v; }},
    {"ID_VIDEO_FPS", [](const QString &v, ProbeResult &r, QString &) { r.frameRate = v; }},
    {"ID_VIDEO_WIDTH", [](const QString &v, ProbeResult &, QString &size) { size = v + 'x'; }},
    {"ID_VIDEO_HEIGHT",
     [](const QString &v, ProbeResult &r, QString &size) {
         size += v;
         r.frameSize = size;
     }},
    {"ID_LENGTH",
     [](const QString &v, ProbeResult &r, QString &) { r.duration = FormatDuration(leadingInteger(v)); }},
};

QString valueOf(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? line : line.mid(equals + 1);
}

} // namespace

QString FormatDuration(int seconds)
{
    return QString::asprintf("%02d:%02d:%02d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

void ParseProbeOutput(QStringView text, ProbeResult &result, QString &probeSize)
{
    const QList<QStringView> lines =
        text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    for (const QStringView line : lines) {
        QString subject = line.toString();
        for (const ProbeKey &key : kProbeKeys) {
            if (!subject.contains(QLatin1String(key.key)))
                continue;
            subject = valueOf(subject);
            key.apply(subject, result, probeSize);
        }
    }
}

void ProbeOutputReader::feed(QByteArrayView chunk)
{
    m_lines.append(chunk);
    parseLines(m_lines.takeWholeLines());
}

void ProbeOutputReader::finish() { parseLines(m_lines.takeRest()); }

// Each piece is decoded on its own: it ends at a line break, which is never inside a character,
// and a character cut short at the very end of the output reads as a replacement character
// instead of being held back for bytes that never come.
void ProbeOutputReader::parseLines(QByteArrayView lines)
{
    if (lines.isEmpty())
        return;
    QStringConverter::Flags flags = QStringConverter::Flag::Stateless;
    if (m_startParsed)
        flags |= QStringConverter::Flag::ConvertInitialBom;
    m_startParsed = true;
    QStringDecoder decoder(QStringDecoder::System, flags);
    const QString text = decoder.decode(lines);
    ParseProbeOutput(text, m_result, m_probeSize);
}

ToolCommand ProbeCommand(const QString &toolDir, const QString &sourceFile)
{
    return ToolCommandBuilder(toolDir + QLatin1String(kProberTool))
        .options(QStringLiteral("-vo null -ao null -frames 0 -identify"))
        .path(sourceFile)
        .command();
}

ProbeRun::ProbeRun(const QString &toolDir, const QString &sourceFile, QObject *parent, int timeLimitMs)
    : QObject(parent),
      m_run(std::make_unique<ToolRun>(ProbeCommand(toolDir, sourceFile), ToolPriority::Normal))
{
    m_run->setTimeLimit(timeLimitMs);
    connect(m_run.get(), &ToolRun::chunkRead, this,
            [this](QByteArrayView chunk) { m_reader.feed(chunk); });
    connect(m_run.get(), &ToolRun::finished, this, &ProbeRun::conclude);
}

void ProbeRun::start() { m_run->start(); }

void ProbeRun::waitForFinished() { m_run->waitForFinished(); }

void ProbeRun::conclude(const ToolResult &toolResult)
{
    m_reader.finish();
    if (!toolResult.started)
        m_verdict = ProbeVerdict::ToolNotStarted;
    else if (toolResult.timedOut || !m_reader.result().accepted())
        m_verdict = ProbeVerdict::Refused;
    else
        m_verdict = ProbeVerdict::Accepted;
    m_finished = true;
    emit finished(m_verdict, m_reader.result());
}

ProbeVerdict ProbeSourceFile(const QString &toolDir, const QString &sourceFile, ProbeResult &result,
                             int timeLimitMs)
{
    ProbeRun probe(toolDir, sourceFile, nullptr, timeLimitMs);
    probe.start();
    probe.waitForFinished();
    result = probe.result();
    return probe.verdict();
}
