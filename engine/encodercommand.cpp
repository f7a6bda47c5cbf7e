#include "engine/encodercommand.h"

#include "deploy/toolnames.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr char kCommonOptions[] = "-mc 0 -af volnorm -vf scale={width}:{height}";

constexpr char kXvidMp3Options[] = ",harddup -oac mp3lame -lameopts abr:br=128 -srate 44100 -ofps {fps}"
                                   " -ovc xvid -xvidencopts bitrate={bitrate}:max_bframes=0";

// What follows the frame size for each type, in OutputType order; RM has no block at all.
constexpr const char *kTypeOptions[] = {
    /* OUT_MPG */ kXvidMp3Options,
    /* OUT_AVI */ kXvidMp3Options,
    /* OUT_RM */ nullptr,
    /* OUT_3GP */
    ",harddup -oac lavc -ovc lavc -lavcopts vcodec=mpeg4:acodec=mp2:abitrate=128 -ofps {fps}",
    /* OUT_MP4 */
    ",harddup -srate 44100 -oac faac -faacopts br=128:mpeg=4:object=2 -ovc lavc -ffourcc DIVX"
    " -lavcopts vcodec=mpeg4:mbd=2:trell:autoaspect:vbitrate={bitrate}:vhq -ofps {fps}",
    /* OUT_FLV */
    ",harddup -srate 44100 -ofps {fps} -oac mp3lame -lameopts abr:br=64 -ovc lavc -of lavf"
    " -lavfopts format=flv -lavcopts vcodec=flv:vbitrate={bitrate}:mbd=2:mv0:trell:v4mv:cbp"
    ":last_pred=3",
    /* OUT_PSP */
    ",harddup -srate 24000 -ofps {fps} -of lavf -lavfopts format=psp -oac lavc -ovc lavc"
    " -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:acodec=libfaac:vbitrate={bitrate}:abitrate=64"
    " -info name=\"1\"",
    /* OUT_PS3 */
    ",harddup -srate 48000 -ofps {fps} -sws 9 -oac faac -faacopts br=96:mpeg=4:object=2 -ovc x264"
    " -ffourcc H264 -x264encopts crf=22:level_idc=21:bframes=3:frameref=2:nopsnr:nossim",
    /* OUT_IPOD_NANO */
    ",harddup -srate 44100 -ofps {fps} -oac faac -faacopts br=64:mpeg=4:object=2 -ovc xvid"
    " -xvidencopts bitrate={bitrate}:max_bframes=0",
    /* OUT_IPHONE */
    ",harddup -srate 44100 -oac faac -faacopts br=128:mpeg=4:object=2 -ovc x264 -ffourcc H264"
    " -x264encopts bitrate={bitrate}:level_idc=13:nocabac -ofps {fps}",
};
static_assert(std::size(kTypeOptions) == kOutputTypeCount, "one block per output type");

// Every type the encoder makes: all but RM.
constexpr OutputType kEncodedTypes[] = {OUT_MPG, OUT_AVI, OUT_3GP,       OUT_MP4,   OUT_FLV,
                                        OUT_PSP, OUT_PS3, OUT_IPOD_NANO, OUT_IPHONE};
static_assert(std::size(kEncodedTypes) == kOutputTypeCount - 1, "a new type needs its fixes");
constexpr OutputType kMp4AndIphone[] = {OUT_MP4, OUT_IPHONE};
constexpr OutputType kPs3[] = {OUT_PS3};
constexpr OutputType kIpodNano[] = {OUT_IPOD_NANO};
constexpr OutputType kPsp[] = {OUT_PSP};
constexpr OutputType kFlv[] = {OUT_FLV};
constexpr OutputType k3gp[] = {OUT_3GP};
constexpr OutputType kIphone[] = {OUT_IPHONE};

constexpr char kNoFaac[] = "no AAC encoder in today's encoder; the MP4 pass makes the AAC";

const EncoderOptionFix kFixes[] = {
    {kEncodedTypes, "-mc 0", "-demuxer lavf -mc 0",
     "the encoder's own AVI reader shows only the first frame of many AVI files"},
    {kMp4AndIphone, "-oac faac -faacopts br=128:mpeg=4:object=2", "-oac mp3lame -lameopts abr:br=128",
     kNoFaac},
    {kPs3, "-oac faac -faacopts br=96:mpeg=4:object=2", "-oac mp3lame -lameopts abr:br=96", kNoFaac},
    {kIpodNano, "-oac faac -faacopts br=64:mpeg=4:object=2", "-oac mp3lame -lameopts abr:br=64", kNoFaac},
    {kPsp, "-oac lavc", "-oac mp3lame -lameopts abr:br=64",
     "no lavc audio encoder opens; a later step makes the PSP file's audio AAC"},
    {kPsp, ":acodec=libfaac", "", "no libfaac"},
    {kPsp, ":abitrate=64", "", "the audio bitrate moved to the MP3 options"},
    {kFlv, ":cbp:", ":", "removed option: the encoder exits 0 and writes nothing"},
    {kFlv,
     ":mv0:", ":o=mpv_flags=+mv0+cbp_rd:", "removed options mv0 and cbp live on as flags of mpv_flags"},
    {k3gp, "-oac lavc", "-srate 44100 -oac twolame -twolameopts br=128",
     "lavc audio fails; twolame takes no 8000 Hz phone sound, so the sound is resampled first"},
    {k3gp, ":acodec=mp2:abitrate=128", "", "the audio options moved to twolame"},
    {kIphone, "level_idc=13:nocabac", "level_idc=13:nocabac:profile=baseline",
     "today's x264 adds B-frames and 8x8 transforms unless held to the baseline profile"},
};

} // namespace

std::span<const EncoderOptionFix> EncoderOptionFixes() { return kFixes; }

QString OriginalEncoderOptions(OutputType type)
{
    const char *typeOptions = kTypeOptions[type];
    if (!typeOptions)
        return {};
    return QLatin1String(kCommonOptions) + QLatin1String(typeOptions);
}

QString EncoderOptions(OutputType type)
{
    QString options = OriginalEncoderOptions(type);
    for (const EncoderOptionFix &fix : kFixes)
        if (std::ranges::find(fix.types, type) != fix.types.end())
            options.replace(QLatin1String(fix.original), QLatin1String(fix.replacement));
    return options;
}

ToolCommand BuildEncoderCommand(const QString &toolDir, const OutputSelection &selection,
                                const QString &sourceFile, const QString &outputFile)
{
    ToolCommandBuilder builder(toolDir + QLatin1String(kEncoderTool));
    const QString options = EncoderOptions(selection.type);
    if (options.isEmpty())
        return builder.command();
    builder.options(options, {{QStringLiteral("{width}"), selection.strWidth},
                              {QStringLiteral("{height}"), selection.strHeight},
                              {QStringLiteral("{bitrate}"), selection.strBitrate},
                              {QStringLiteral("{fps}"), selection.strFrameRate}});
    builder.path(sourceFile).options(QStringLiteral("-o")).path(outputFile);
    return builder.command();
}
