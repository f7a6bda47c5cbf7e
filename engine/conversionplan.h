#pragma once

#include "engine/toolcommand.h"
#include "platform/toolprocess.h"
#include "profiles/outputprofile.h"

#include <QList>
#include <QString>
#include <QStringList>

// The status line while the encoder runs, and while a pass exports or packs streams.
inline const QString kConvertingText = QStringLiteral("转换中...");
inline const QString kExportingText = QStringLiteral("导出视频流");

// One tool run in the conversion of one file.
struct BatchStep {
    QString statusText;
    ToolCommand command;
    ToolPriority priority = ToolPriority::Normal;
    bool reportsProgress = false;  // the encoder's percentage moves the bar
    QString output;                // must exist and hold something once the tool has ended
    QString replaces;              // after success the output takes this name, replacing its file
    bool outputMayBeEmpty = false; // a source without sound has no sound to export
    QString skippedWithout;        // the step is left out when this file holds nothing
    bool waited = true;            // false: runs beside the rest of the batch (the thumbnail)
    // The files the step reads. It starts as soon as every earlier step that writes one of them
    // has ended, beside any other step that is running; a step that names none waits for every
    // earlier step.
    QStringList reads;

    bool writes(const QString &path) const { return output == path || replaces == path; }
};

// Everything one file's conversion runs and leaves.
struct ConversionPlan {
    QList<BatchStep> steps;
    QString finalFile;
    QStringList intermediates; // deleted once the final file exists and is not empty
    QStringList scratch;       // raw streams and temporary files, deleted whatever happens
};

// What the output panel says when a file's conversion begins: the type and flags are read anew for
// every file, and the 3GP pass takes the panel's current frame size and frame rate.
struct OutputNow {
    OutputType type = OUT_MP4;
    OutputFlags flags;
    QString frameSize;
    QString frameRate;
};

// The panel as it stands, with the output flags the last applied profile set.
OutputNow OutputNowOf(const OutputPanel &panel);

// Every character before the last "." of the file name; the whole path when the name has none.
QString BaseOf(const QString &path);

// The MP4 packaging pass: raw video and MP3 audio out of the encoder's AVI, the audio made AAC,
// then the video track and the audio track into the MP4. The two exports run side by side, and so
// do the AAC step and the video track's mux.
QList<BatchStep> MuxToMp4Steps(const QString &toolDir, const QString &input, bool h264Video,
                               const QString &frameRate, int aacBitrate);
// The 3GP pass: H.263 and AMR narrow-band from the encoder's AVI.
BatchStep ThreeGpPassStep(const QString &toolDir, const QString &output, const QString &frameSize,
                          const QString &frameRate);
// The PSP file's audio made AAC at the type's bitrate (64 kbit/s), 24000 Hz, its video copied.
BatchStep PspAudioStep(const QString &toolDir, const QString &output, int aacBitrate);
// One picture five seconds in, 160x120, beside the PSP file.
BatchStep PspThumbnailStep(const QString &toolDir, const QString &output);

// The encoder, then the passes the flags ask for. RM gets no steps: nothing encodes it.
ConversionPlan PlanConversion(const QString &toolDir, const OutputNow &now,
                              const OutputSelection &captured, const QString &sourceFile,
                              const QString &outputFile);
