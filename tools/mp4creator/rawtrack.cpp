#include "rawtrack.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace mp4creator {

namespace {

// AAC frames always hold 1024 samples per channel at the core rate.
constexpr std::int64_t aacFrameSamples = 1024;

std::string lowerExtension(const std::string &path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

const AVInputFormat *demuxerFor(RawKind kind)
{
    switch (kind) {
    case RawKind::Mpeg4Video: return av_find_input_format("m4v");
    case RawKind::H264Video: return av_find_input_format("h264");
    case RawKind::AdtsAudio: return av_find_input_format("aac");
    }
    return nullptr;
}

AVCodecID codecFor(RawKind kind)
{
    switch (kind) {
    case RawKind::Mpeg4Video: return AV_CODEC_ID_MPEG4;
    case RawKind::H264Video: return AV_CODEC_ID_H264;
    case RawKind::AdtsAudio: return AV_CODEC_ID_AAC;
    }
    return AV_CODEC_ID_NONE;
}

RawKind requireKind(const std::string &path)
{
    const std::optional<RawKind> kind = rawKindOf(path);
    if (!kind)
        throw Failure(path + ": unknown raw stream type (expected .m4v, .264, .h264 or .aac)");
    return *kind;
}

bool profileHasNoBFrames(const AVCodecParameters *p)
{
    switch (p->codec_id) {
    case AV_CODEC_ID_H264:
        return p->profile == FF_PROFILE_H264_BASELINE ||
               p->profile == FF_PROFILE_H264_CONSTRAINED_BASELINE;
    case AV_CODEC_ID_MPEG4: return p->profile == FF_PROFILE_MPEG4_SIMPLE;
    default: return false;
    }
}

bool isVideo(RawKind kind) { return kind != RawKind::AdtsAudio; }

} // namespace

std::optional<RawKind> rawKindOf(const std::string &path)
{
    const std::string extension = lowerExtension(path);
    if (extension == ".m4v")
        return RawKind::Mpeg4Video;
    if (extension == ".264" || extension == ".h264")
        return RawKind::H264Video;
    if (extension == ".aac")
        return RawKind::AdtsAudio;
    return std::nullopt;
}

RawTrack::RawTrack(const std::string &path, AVRational frameRate) : m_path(path), m_kind(requireKind(path))
{
    openStream();
    checkStream();
    if (isVideo(m_kind))
        setUpVideo(frameRate);
    else
        setUpAudio();
}

const AVCodecParameters *RawTrack::parameters() const { return m_input->streams[0]->codecpar; }

void RawTrack::openStream()
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(m_path, error))
        throw Failure(m_path + ": no such file");
    if (std::filesystem::file_size(m_path, error) == 0)
        throw Failure(m_path + ": file is empty");
    m_input = openInput(m_path, demuxerFor(m_kind));
    check(avformat_find_stream_info(m_input.get(), nullptr), m_path + ": unreadable stream");
}

// A raw demuxer accepts any bytes, so what it made of them decides whether the file is usable.
void RawTrack::checkStream() const
{
    if (m_input->nb_streams != 1 || parameters()->codec_id != codecFor(m_kind))
        throw Failure(m_path + ": not the stream its name claims");
    const AVCodecParameters *p = parameters();
    const bool usable = isVideo(m_kind) ? p->width > 0 && p->height > 0
                                        : p->sample_rate > 0 && p->ch_layout.nb_channels > 0;
    if (!usable)
        throw Failure(m_path + ": no valid " + (isVideo(m_kind) ? "video" : "audio") + " frames found");
}

void RawTrack::setUpVideo(AVRational frameRate)
{
    m_timeBase = av_inv_q(frameRate);
    if (needsDisplayOrder())
        m_order = findDisplayOrder(m_path, demuxerFor(m_kind), parameters());
}

// A frame is 1024 samples for plain AAC. The probe's frame size and rate come from the same
// decoder, so should it report another pair (SBR doubles both), their ratio still holds.
void RawTrack::setUpAudio()
{
    const AVCodecParameters *p = parameters();
    m_timeBase = AVRational{1, p->sample_rate};
    m_samplesPerFrame = p->frame_size > 0 ? p->frame_size : aacFrameSamples;
}

// The probe reports a reorder delay only when the headers declare one or the first few frames
// show it, and neither H.264 nor MPEG-4 must declare it. So unless the profile rules B-frames
// out, the stream gets the decoding pass; it costs a fraction of the encode that made it.
bool RawTrack::needsDisplayOrder() const
{
    const AVCodecParameters *p = parameters();
    return p->video_delay > 0 || !profileHasNoBFrames(p);
}

bool RawTrack::read(AVPacket *packet)
{
    if (!readWantedPacket(m_input.get(), packet, m_path,
                          [](const AVPacket &read) { return read.stream_index == 0 && read.size > 0; }))
        return false;
    if (isVideo(m_kind))
        stampVideo(packet);
    else
        stampAudio(packet);
    ++m_index;
    return true;
}

void RawTrack::stampVideo(AVPacket *packet) const
{
    std::int64_t shown = m_index;
    std::int64_t delay = 0;
    if (m_order) {
        // Both passes read the same file with the same parser, so the counts match.
        if (m_index >= std::int64_t(m_order->position.size()))
            throw Failure(m_path + ": stream changed while reading it");
        shown = m_order->position[m_index];
        delay = m_order->delay;
    }
    packet->pts = shown;
    packet->dts = m_index - delay;
    packet->duration = 1;
}

void RawTrack::stampAudio(AVPacket *packet) const
{
    packet->pts = packet->dts = m_index * m_samplesPerFrame;
    packet->duration = m_samplesPerFrame;
}

} // namespace mp4creator
