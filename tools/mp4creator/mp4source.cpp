#include "mp4source.h"

#include <algorithm>
#include <cstring>

namespace mp4creator {

namespace {

// Where the last byte of sample data the index points to lies. A file cut short (a copy that
// did not finish) still has its whole index at the front, but reading it would just stop early
// and we would silently write a shorter track.
std::int64_t endOfSamples(AVFormatContext *input)
{
    std::int64_t end = 0;
    for (unsigned int i = 0; i < input->nb_streams; ++i) {
        AVStream *stream = input->streams[i];
        const int count = avformat_index_get_entries_count(stream);
        for (int k = 0; k < count; ++k) {
            const AVIndexEntry *entry = avformat_index_get_entry(stream, k);
            end = std::max(end, entry->pos + entry->size);
        }
    }
    return end;
}

} // namespace

Mp4Source::Mp4Source(const std::string &path) : m_path(path), m_input(openInput(path, nullptr))
{
    if (!std::strstr(m_input->iformat->name, "mp4"))
        throw Failure(path + ": exists but is not an MP4 file");
    check(avformat_find_stream_info(m_input.get(), nullptr), path + ": unreadable MP4 file");
    if (endOfSamples(m_input.get()) > avio_size(m_input->pb))
        throw Failure(path + ": MP4 file is incomplete");
}

bool Mp4Source::isCopied(int stream) const
{
    const AVMediaType type = m_input->streams[stream]->codecpar->codec_type;
    return type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE;
}

bool Mp4Source::read(AVPacket *packet)
{
    return readWantedPacket(m_input.get(), packet, m_path,
                            [this](const AVPacket &read) { return isCopied(read.stream_index); });
}

AVRational Mp4Source::timeBase(const AVPacket *packet) const
{
    return m_input->streams[packet->stream_index]->time_base;
}

} // namespace mp4creator
