#include "mp4writer.h"

#include <new>

namespace mp4creator {

namespace {

// Keeps the source's fourcc only when MP4 knows it for the same codec (e.g. hvc1 vs hev1);
// otherwise the muxer picks its default.
unsigned int mp4Tag(const AVOutputFormat *format, const AVCodecParameters *parameters)
{
    const AVCodecTag *const *tags = format->codec_tag;
    if (parameters->codec_tag && tags &&
        av_codec_get_id(tags, parameters->codec_tag) == parameters->codec_id)
        return parameters->codec_tag;
    return 0;
}

} // namespace

Mp4Writer::Mp4Writer(const std::string &path) : m_path(path)
{
    AVFormatContext *raw = nullptr;
    // The file name is a temporary one without .mp4, so name the format.
    check(avformat_alloc_output_context2(&raw, nullptr, "mp4", path.c_str()), "cannot set up MP4 output");
    m_output.reset(raw);
}

int Mp4Writer::addTrack(const AVCodecParameters *parameters, AVRational timeBase)
{
    // Found out here, the reason can be named; the muxer would only say "invalid argument".
    if (avformat_query_codec(m_output->oformat, parameters->codec_id, FF_COMPLIANCE_NORMAL) != 1)
        throw Failure(std::string("a ") + avcodec_get_name(parameters->codec_id) +
                      " track cannot go into an MP4 file");
    AVStream *stream = avformat_new_stream(m_output.get(), nullptr);
    if (!stream)
        throw std::bad_alloc();
    check(avcodec_parameters_copy(stream->codecpar, parameters), "cannot set up a track");
    stream->codecpar->codec_tag = mp4Tag(m_output->oformat, parameters);
    // Only a hint: the muxer picks its own timescale from it.
    stream->time_base = timeBase;
    return stream->index;
}

int Mp4Writer::copyTrack(const AVStream *source)
{
    const int index = addTrack(source->codecpar, source->time_base);
    AVStream *stream = m_output->streams[index];
    stream->disposition = source->disposition;
    stream->avg_frame_rate = source->avg_frame_rate;
    stream->sample_aspect_ratio = source->sample_aspect_ratio;
    check(av_dict_copy(&stream->metadata, source->metadata, 0), "cannot copy track tags");
    return index;
}

void Mp4Writer::copyFileTags(const AVDictionary *tags)
{
    check(av_dict_copy(&m_output->metadata, tags, 0), "cannot copy file tags");
}

void Mp4Writer::start()
{
    check(avio_open(&m_output->pb, m_path.c_str(), AVIO_FLAG_WRITE), "cannot write " + m_path);
    AVDictionary *options = nullptr;
    av_dict_set(&options, "movflags", "faststart", 0);
    const int result = avformat_write_header(m_output.get(), &options);
    av_dict_free(&options);
    check(result, "cannot start the MP4 file");
}

void Mp4Writer::write(AVPacket *packet, AVRational timeBase, int track)
{
    av_packet_rescale_ts(packet, timeBase, m_output->streams[track]->time_base);
    packet->stream_index = track;
    packet->pos = -1;
    check(av_interleaved_write_frame(m_output.get(), packet), "cannot write the MP4 file");
}

void Mp4Writer::finish()
{
    check(av_write_trailer(m_output.get()), "cannot complete the MP4 file");
    check(avio_closep(&m_output->pb), "cannot complete the MP4 file");
}

} // namespace mp4creator
