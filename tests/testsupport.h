#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace TestSupport {

// Points HOME and the XDG folders at a fresh temporary folder for the whole test run, so that no
// test reads or writes the real user's files. Kept alive by the test main.
std::unique_ptr<QTemporaryDir> isolateUserFolders();

// The path of a real media file made by others (shared/media beside the project), or empty when
// that folder is not there.
QString sharedMedia(const QString &fileName);

// Runs a program to its end without a shell; its standard output and error, merged, go to
// `output`. Returns the exit code, or -1 when it could not start, crashed or timed out.
int runProgram(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
               int timeoutMs = 300000);

// A program's run with its two output streams apart.
struct ProgramRun {
    int exitCode = -1; // -1: could not start, crashed or timed out
    QByteArray out;
    QByteArray err;
};
ProgramRun runSeparated(const QString &program, const QStringList &arguments,
                        const QString &workingFolder = {}, int timeoutMs = 300000);

// Makes a test clip with ffmpeg from its test pattern (moving) and a sine tone.
// `outputOptions` are ffmpeg's output options, for example {"-c:v","mpeg4","-c:a","libmp3lame"}.
bool makeClip(const QString &path, const QStringList &outputOptions, const QString &size = "640x480",
              const QString &rate = "25", double seconds = 4.0);

struct StreamInfo {
    QString codecType; // "video" or "audio"
    QString codecName; // "mpeg4", "h264", "aac", ...
    QString profile;   // "Constrained Baseline", "LC", ...
    int width = 0;
    int height = 0;
    QString frameRate; // r_frame_rate as ffprobe prints it, such as "30000/1001"
    double fps = 0;    // the same as a number
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;
};

struct MediaInfo {
    bool readable = false;
    QString formatName;
    double duration = 0;
    QList<StreamInfo> streams;

    const StreamInfo *firstOf(const QString &codecType) const;
};

// What ffprobe says of a file.
MediaInfo probe(const QString &file);

// What a converted file should hold; 0 or empty: any.
struct ExpectedMedia {
    QString videoCodec;
    QString videoProfile;
    int width = 0;
    int height = 0;
    double fps = 0;
    QString audioCodec;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0; // within half a second
};

// Empty when the file holds what is expected; otherwise what differs, for the failure message.
QString mediaMismatch(const QString &file, const ExpectedMedia &expected);

// The state letter of a process ("R", "S", "T" when stopped, "Z"), empty when it is gone.
QByteArray processState(qint64 pid);
// The process exists and is not a zombie.
bool processAlive(qint64 pid);

// Every process of the tool's group is held by a stop signal. A shell caught between vfork and
// exec shows "D" while its stopped child holds it, so that counts as held too.
bool groupStopped(qint64 pgid);
// No process of the group is stopped (and the group still exists).
bool groupRunning(qint64 pgid);

// Makes this process the one that inherits orphans: a tool whose parent ended without ending it
// becomes our child, where childProcesses() finds it.
bool becomeChildSubreaper();

struct ChildProcess {
    qint64 pid = 0;
    QByteArray name;  // the command name, as /proc gives it
    QByteArray state; // "Z" for one that has ended and was not reaped
};
// The children of this process; ended ones are reaped on the way. Call it only while none of the
// test's own programs runs: one that just ended would otherwise lose its exit status.
QList<ChildProcess> childProcesses();
// The process id of a running child with this command name, or 0; reaps nothing.
qint64 runningChild(const QByteArray &name);

// Decodes every stream of the file; true when the decoder reports no error. `errors` gets what it said.
bool decodesCleanly(const QString &file, QByteArray *errors = nullptr);

// The number of different pictures among the first `frames` video frames.
int distinctPictures(const QString &file, int frames);

} // namespace TestSupport

// Like QTEST_GUILESS_MAIN / QTEST_MAIN, with the user's folders pointed at a temporary folder.
#define ZEPORA_TEST_MAIN_IMPL(TestObject, AppClass)           \
    int main(int argc, char *argv[])                          \
    {                                                         \
        auto userFolders = TestSupport::isolateUserFolders(); \
        AppClass app(argc, argv);                             \
        app.setAttribute(Qt::AA_Use96Dpi, true);              \
        TestObject tc;                                        \
        QTEST_SET_MAIN_SOURCE_PATH                            \
        return QTest::qExec(&tc, argc, argv);                 \
    }
#define ZEPORA_TEST_MAIN(TestObject) ZEPORA_TEST_MAIN_IMPL(TestObject, QCoreApplication)
