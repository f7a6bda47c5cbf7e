#include "engine/conversionplan.h"

#include "deploy/toolnames.h"
#include "engine/encodercommand.h"

namespace {

constexpr int kFallbackAacBitrate = 128;

ToolCommandBuilder tool(const QString &toolDir, const char *name)
{
    return ToolCommandBuilder(toolDir + QLatin1String(name));
}

BatchStep passStep(const ToolCommand &command, const QString &output)
{
    BatchStep step;
    step.statusText = kExportingText;
    step.command = command;
    step.output = output;
    return step;
}

// The encoder copies one stream of the intermediate file out into a raw file.
BatchStep exportStep(const QString &toolDir, const QString &options, const QString &input,
                     const QString &raw)
{
    return passStep(tool(toolDir, kEncoderTool).options(options).path(raw).path(input).command(), raw);
}

} // namespace

OutputNow OutputNowOf(const OutputPanel &panel)
{
    return {panel.type, CurrentOutputFlags(), panel.frameSizeLabel, panel.frameRateLabel};
}

QString BaseOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? path.left(dot) : path;
}

QList<BatchStep> MuxToMp4Steps(const QString &toolDir, const QString &input, bool h264Video,
                               const QString &frameRate, int aacBitrate)
{
    const QString base = BaseOf(input);
    const QString rawVideo = base + (h264Video ? QStringLiteral(".264") : QStringLiteral(".m4v"));
    const QString rawMp3 = base + QStringLiteral(".mp3");
    const QString rawAac = base + QStringLiteral(".aac");
    const QString final = base + QStringLiteral(".mp4");
    const QString bitrate = QString::number(aacBitrate);

    BatchStep exportVideo =
        exportStep(toolDir, QStringLiteral("-ovc copy -nosound -of rawvideo -o"), input, rawVideo);
    BatchStep exportAudio =
        exportStep(toolDir, QStringLiteral("-ovc frameno -oac copy -of rawaudio -o"), input, rawMp3);
    // A source without sound makes an MP4 without sound rather than a failure.
    exportAudio.outputMayBeEmpty = true;
    // Today's encoder makes no AAC: the second encoder turns the MP3 into ADTS AAC-LC.
    BatchStep makeAac = passStep(tool(toolDir, kSecondEncoderTool)
                                     .options(QStringLiteral("-y -i"))
                                     .path(rawMp3)
                                     .options(QStringLiteral("-vn -acodec aac -ab {bitrate}k -f adts"),
                                              {{QStringLiteral("{bitrate}"), bitrate}})
                                     .path(rawAac)
                                     .command(),
                                 rawAac);
    makeAac.skippedWithout = rawMp3;
    BatchStep muxVideo =
        passStep(tool(toolDir, kMuxerTool)
                     .options(QStringLiteral("-c"))
                     .path(rawVideo)
                     .options(QStringLiteral("-rate={fps}"), {{QStringLiteral("{fps}"), frameRate}})
                     .path(final)
                     .command(),
                 final);
    BatchStep muxAudio = passStep(
        tool(toolDir, kMuxerTool).options(QStringLiteral("-c")).path(rawAac).path(final).command(), final);
    muxAudio.skippedWithout = rawAac;

    exportVideo.reads = exportAudio.reads = QStringList{input};
    makeAac.reads = QStringList{rawMp3};
    muxVideo.reads = QStringList{rawVideo};
    muxAudio.reads = QStringList{rawAac, final};
    return {exportVideo, exportAudio, makeAac, muxVideo, muxAudio};
}

BatchStep ThreeGpPassStep(const QString &toolDir, const QString &output, const QString &frameSize,
                          const QString &frameRate)
{
    const QString final = BaseOf(output) + QStringLiteral(".3gp");
    return passStep(tool(toolDir, kSecondEncoderTool)
                        .options(QStringLiteral("-y -i"))
                        .path(output)
                        .options(QStringLiteral("-vcodec h263 -acodec libopencore_amrnb -s {size}"
                                                " -b:v 64k -r {fps} -ac 1 -ar 8000 -ab 12.2k"),
                                 {{QStringLiteral("{size}"), frameSize},
                                  {QStringLiteral("{fps}"), frameRate}})
                        .path(final)
                        .command(),
                    final);
}

BatchStep PspAudioStep(const QString &toolDir, const QString &output, int aacBitrate)
{
    const QString withAac = BaseOf(output) + QStringLiteral("-aac.mp4");
    BatchStep step =
        passStep(tool(toolDir, kSecondEncoderTool)
                     .options(QStringLiteral("-y -i"))
                     .path(output)
                     .options(QStringLiteral("-vcodec copy -acodec aac -ab {bitrate}k -ar 24000 -f psp"),
                              {{QStringLiteral("{bitrate}"), QString::number(aacBitrate)}})
                     .path(withAac)
                     .command(),
                 withAac);
    step.replaces = output;
    return step;
}

BatchStep PspThumbnailStep(const QString &toolDir, const QString &output)
{
    BatchStep step;
    step.command = tool(toolDir, kSecondEncoderTool)
                       .options(QStringLiteral("-y -i"))
                       .path(output)
                       .options(QStringLiteral("-f image2 -ss 5 -vframes 1 -s 160x120 -an"))
                       .path(BaseOf(output) + QStringLiteral(".THM"))
                       .command();
    step.waited = false;
    return step;
}

ConversionPlan PlanConversion(const QString &toolDir, const OutputNow &now,
                              const OutputSelection &captured, const QString &sourceFile,
                              const QString &outputFile)
{
    ConversionPlan plan;
    if (!ProfileOf(now.type).selectable)
        return plan;

    OutputSelection selection = captured;
    selection.type = now.type;
    BatchStep encoder;
    encoder.statusText = kConvertingText;
    encoder.command = BuildEncoderCommand(toolDir, selection, sourceFile, outputFile);
    encoder.priority = ToolPriority::Idle;
    encoder.reportsProgress = true;
    encoder.output = outputFile;
    plan.steps << encoder;
    plan.finalFile = outputFile;

    // The output flags may stay on from the type chosen before, which need not make AAC.
    const int aacBitrate =
        ProfileOf(now.type).aacBitrate > 0 ? ProfileOf(now.type).aacBitrate : kFallbackAacBitrate;
    const QString base = BaseOf(outputFile);
    if (now.flags.mp4Mux) {
        plan.steps << MuxToMp4Steps(toolDir, outputFile, now.flags.h264Video, captured.strFrameRate,
                                    aacBitrate);
        plan.finalFile = base + QStringLiteral(".mp4");
        plan.intermediates << outputFile;
        for (const char *raw : {".m4v", ".264", ".mp3", ".aac"})
            plan.scratch << base + QLatin1String(raw);
    }
    if (now.flags.pspThumb) {
        const BatchStep audio = PspAudioStep(toolDir, outputFile, aacBitrate);
        plan.steps << audio << PspThumbnailStep(toolDir, outputFile);
        plan.scratch << audio.output;
    }
    if (now.flags.threeGpPass) {
        const BatchStep pass = ThreeGpPassStep(toolDir, outputFile, now.frameSize, now.frameRate);
        plan.steps << pass;
        plan.finalFile = pass.output;
        plan.intermediates << outputFile;
    }
    return plan;
}
