// mp4creator: puts a raw elementary stream (.m4v, .264/.h264, .aac) into an MP4 file, either a
// new one or next to the tracks of an existing one.
//
//   mp4creator -c RAWFILE [-rate=R] MP4FILE

#include "libav.h"
#include "mp4source.h"
#include "mp4writer.h"
#include "options.h"
#include "rawtrack.h"
#include "tempfile.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

namespace mp4creator {

namespace {

// A zero-length file is a placeholder, not an MP4 with tracks to keep.
bool hasContent(const std::string &path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) && std::filesystem::file_size(path, error) > 0;
}

// Output track of every copied source track (-1: not copied).
std::vector<int> copyTracks(const Mp4Source &source, Mp4Writer &writer)
{
    const AVFormatContext *input = source.context();
    std::vector<int> tracks(input->nb_streams, -1);
    for (unsigned int i = 0; i < input->nb_streams; ++i)
        if (source.isCopied(int(i)))
            tracks[i] = writer.copyTrack(input->streams[i]);
    writer.copyFileTags(input->metadata);
    return tracks;
}

// Whether packet `a` (in `aBase`) should be written before `b` (in `bBase`). Going by decode time
// keeps both sources in step, so neither the muxer nor we hold more than a moment of either.
bool goesFirst(const AVPacket *a, AVRational aBase, const AVPacket *b, AVRational bBase)
{
    if (a->dts == AV_NOPTS_VALUE || b->dts == AV_NOPTS_VALUE)
        return a->dts == AV_NOPTS_VALUE;
    return av_compare_ts(a->dts, aBase, b->dts, bBase) <= 0;
}

// Writes the raw track and, when there is one, the existing file's tracks, interleaved.
void writeTracks(RawTrack &raw, int rawTrack, Mp4Source *existing, const std::vector<int> &copied,
                 Mp4Writer &writer)
{
    Packet rawPacket = makePacket();
    Packet oldPacket = makePacket();
    bool haveRaw = raw.read(rawPacket.get());
    if (!haveRaw)
        throw Failure("the raw stream holds no frames");
    bool haveOld = existing && existing->read(oldPacket.get());

    while (haveRaw || haveOld) {
        if (haveRaw && (!haveOld || goesFirst(rawPacket.get(), raw.timeBase(), oldPacket.get(),
                                              existing->timeBase(oldPacket.get())))) {
            writer.write(rawPacket.get(), raw.timeBase(), rawTrack);
            haveRaw = raw.read(rawPacket.get());
        } else {
            const AVRational base = existing->timeBase(oldPacket.get());
            writer.write(oldPacket.get(), base, copied[oldPacket->stream_index]);
            haveOld = existing->read(oldPacket.get());
        }
    }
}

void run(const Options &options)
{
    RawTrack raw(options.rawFile, options.frameRate);
    std::optional<Mp4Source> existing;
    if (hasContent(options.mp4File))
        existing.emplace(options.mp4File);

    TempFile temp(options.mp4File);
    {
        Mp4Writer writer(temp.path());
        std::vector<int> copied;
        if (existing)
            copied = copyTracks(*existing, writer);
        const int rawTrack = writer.addTrack(raw.parameters(), raw.timeBase());
        writer.start();
        writeTracks(raw, rawTrack, existing ? &*existing : nullptr, copied, writer);
        writer.finish();
    }
    temp.commit();
}

} // namespace

} // namespace mp4creator

int main(int argc, char **argv)
{
    // libav's own messages would be noise to whoever reads our output; we report failures ourselves.
    av_log_set_level(AV_LOG_QUIET);
    try {
        mp4creator::run(mp4creator::parseOptions(argc, argv));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "mp4creator: %s\n", error.what());
        return 1;
    }
    return 0;
}
