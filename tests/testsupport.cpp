#include "testsupport.h"

#include <sys/prctl.h>
#include <sys/wait.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

namespace TestSupport {

std::unique_ptr<QTemporaryDir> isolateUserFolders()
{
    auto home = std::make_unique<QTemporaryDir>();
    const QByteArray root = QFile::encodeName(home->path());
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/.local/share");
    qputenv("XDG_CONFIG_HOME", root + "/.config");
    qputenv("XDG_CACHE_HOME", root + "/.cache");
    qputenv("XDG_STATE_HOME", root + "/.local/state");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return home;
}

QString sharedMedia(const QString &fileName)
{
    const QString sourceDir = qEnvironmentVariable("ZEPORA_SOURCE_DIR");
    const QString path = QDir(sourceDir).absoluteFilePath(QStringLiteral("../shared/media/") + fileName);
    return !sourceDir.isEmpty() && QFileInfo::exists(path) ? QDir::cleanPath(path) : QString();
}

int runProgram(const QString &program, const QStringList &arguments, QByteArray *output, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return -1;
    }
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

ProgramRun runSeparated(const QString &program, const QStringList &arguments, const QString &workingFolder,
                        int timeoutMs)
{
    QProcess process;
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments, QIODevice::ReadOnly);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool makeClip(const QString &path, const QStringList &outputOptions, const QString &size,
              const QString &rate, double seconds)
{
    const QString duration = QString::number(seconds);
    QStringList arguments = {
        "-v",
        "error",
        "-y",
        "-f",
        "lavfi",
        "-i",
        QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size, rate, duration),
        "-f",
        "lavfi",
        "-i",
        QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(duration)};
    arguments << outputOptions << path;
    QByteArray output;
    if (runProgram("ffmpeg", arguments, &output) != 0) {
        qWarning("ffmpeg could not make %s: %s", qPrintable(path), output.constData());
        return false;
    }
    return QFileInfo(path).size() > 0;
}

const StreamInfo *MediaInfo::firstOf(const QString &codecType) const
{
    for (const StreamInfo &stream : streams)
        if (stream.codecType == codecType)
            return &stream;
    return nullptr;
}

static double rationalValue(const QString &text)
{
    const QStringList parts = text.split('/');
    if (parts.size() == 2 && parts[1].toDouble() != 0)
        return parts[0].toDouble() / parts[1].toDouble();
    return text.toDouble();
}

MediaInfo probe(const QString &file)
{
    MediaInfo info;
    QProcess process;
    process.start("ffprobe", {"-v", "error", "-show_streams", "-show_format", "-of", "json", file});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return info;
    const QJsonObject root = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    const QJsonObject format = root.value("format").toObject();
    info.readable = !format.isEmpty();
    info.formatName = format.value("format_name").toString();
    info.duration = format.value("duration").toString().toDouble();
    for (const QJsonValue value : root.value("streams").toArray()) {
        const QJsonObject object = value.toObject();
        StreamInfo stream;
        stream.codecType = object.value("codec_type").toString();
        stream.codecName = object.value("codec_name").toString();
        stream.profile = object.value("profile").toString();
        stream.width = object.value("width").toInt();
        stream.height = object.value("height").toInt();
        stream.frameRate = object.value("r_frame_rate").toString();
        stream.fps = rationalValue(stream.frameRate);
        stream.sampleRate = object.value("sample_rate").toString().toInt();
        stream.channels = object.value("channels").toInt();
        stream.duration = object.value("duration").toString().toDouble();
        info.streams << stream;
    }
    return info;
}

QString mediaMismatch(const QString &file, const ExpectedMedia &expected)
{
    const MediaInfo info = probe(file);
    const StreamInfo *video = info.firstOf("video");
    const StreamInfo *audio = info.firstOf("audio");
    if (!video || !audio)
        return QStringLiteral("%1: no video or no audio").arg(file);
    QStringList differences;
    const auto check = [&differences](bool matches, const QString &what, const QVariant &found) {
        if (!matches)
            differences << QStringLiteral("%1 is %2").arg(what, found.toString());
    };
    check(expected.videoCodec.isEmpty() || video->codecName == expected.videoCodec, "video codec",
          video->codecName);
    check(expected.videoProfile.isEmpty() || video->profile == expected.videoProfile, "profile",
          video->profile);
    check(!expected.width || video->width == expected.width, "width", video->width);
    check(!expected.height || video->height == expected.height, "height", video->height);
    check(expected.fps == 0 || qAbs(video->fps - expected.fps) < 0.01, "frame rate", video->frameRate);
    check(expected.audioCodec.isEmpty() || audio->codecName == expected.audioCodec, "audio codec",
          audio->codecName);
    check(!expected.sampleRate || audio->sampleRate == expected.sampleRate, "sample rate",
          audio->sampleRate);
    check(!expected.channels || audio->channels == expected.channels, "channels", audio->channels);
    check(expected.duration == 0 || qAbs(info.duration - expected.duration) < 0.5, "duration",
          info.duration);
    return differences.isEmpty() ? QString() : file + ": " + differences.join(", ");
}

QByteArray processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.readAll();
    // The state follows the command name in parentheses.
    return text.mid(text.lastIndexOf(')') + 2, 1);
}

bool becomeChildSubreaper() { return prctl(PR_SET_CHILD_SUBREAPER, 1) == 0; }

static QList<ChildProcess> readChildren()
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    QList<ChildProcess> children;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        // After the name: state, parent.
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() < 2 || fields[1] != self)
            continue;
        children << ChildProcess{text.left(open).trimmed().toLongLong(),
                                 text.mid(open + 1, close - open - 1), fields[0]};
    }
    return children;
}

QList<ChildProcess> childProcesses()
{
    QList<ChildProcess> children = readChildren();
    children.removeIf([](const ChildProcess &child) {
        return child.state == "Z" && waitpid(pid_t(child.pid), nullptr, WNOHANG) == child.pid;
    });
    return children;
}

qint64 runningChild(const QByteArray &name)
{
    for (const ChildProcess &child : readChildren())
        if (child.name == name && child.state != "Z")
            return child.pid;
    return 0;
}

bool processAlive(qint64 pid)
{
    const QByteArray state = processState(pid);
    return !state.isEmpty() && state != "Z";
}

// The state letters of the processes whose process group is `pgid`.
static QList<QByteArray> groupStates(qint64 pgid)
{
    QList<QByteArray> states;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().mid(0).split(')').constLast().trimmed().split(' ');
        // After the name: state, parent, process group.
        if (fields.size() > 2 && fields[2].toLongLong() == pgid)
            states << fields[0];
    }
    return states;
}

bool groupStopped(qint64 pgid)
{
    const QList<QByteArray> states = groupStates(pgid);
    return states.contains("T") && std::all_of(states.begin(), states.end(),
                                               [](const QByteArray &s) { return s == "T" || s == "D"; });
}

bool groupRunning(qint64 pgid)
{
    const QList<QByteArray> states = groupStates(pgid);
    return !states.isEmpty() && !states.contains("T");
}

bool decodesCleanly(const QString &file, QByteArray *errors)
{
    QByteArray output;
    const int exitCode =
        runProgram("ffmpeg", {"-v", "error", "-nostdin", "-i", file, "-f", "null", "-"}, &output);
    if (errors)
        *errors = output;
    return exitCode == 0 && output.trimmed().isEmpty();
}

int distinctPictures(const QString &file, int frames)
{
    QByteArray output;
    runProgram("ffmpeg",
               {"-v", "error", "-nostdin", "-i", file, "-map", "0:v:0", "-frames:v",
                QString::number(frames), "-f", "framemd5", "-"},
               &output);
    QSet<QByteArray> hashes;
    for (const QByteArray &line : output.split('\n')) {
        if (line.startsWith('#') || line.trimmed().isEmpty())
            continue;
        hashes.insert(line.split(',').constLast().trimmed());
    }
    return int(hashes.size());
}

} // namespace TestSupport
