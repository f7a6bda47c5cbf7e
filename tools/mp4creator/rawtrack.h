#pragma once

// A raw elementary stream file (.m4v, .264/.h264, .aac) read as packets with proper timestamps.

#include "displayorder.h"
#include "libav.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mp4creator {

enum class RawKind { Mpeg4Video, H264Video, AdtsAudio };

// What the file name says the stream is; nullopt for names we do not handle.
std::optional<RawKind> rawKindOf(const std::string &path);

class RawTrack {
public:
    // Opens and checks the stream; `frameRate` is used for video only. Throws Failure when the
    // file is missing, of an unknown kind, not the stream its name claims, or holds no frame.
    RawTrack(const std::string &path, AVRational frameRate);

    const AVCodecParameters *parameters() const;
    // The unit of the timestamps read() hands out: one frame for video, one sample for audio.
    AVRational timeBase() const { return m_timeBase; }

    // The next packet with pts, dts and duration set; false at the end.
    bool read(AVPacket *packet);

private:
    void openStream();
    void checkStream() const;
    void setUpVideo(AVRational frameRate);
    void setUpAudio();
    bool needsDisplayOrder() const;
    void stampVideo(AVPacket *packet) const;
    void stampAudio(AVPacket *packet) const;

    std::string m_path;
    RawKind m_kind;
    InputContext m_input;
    AVRational m_timeBase{1, 1};
    std::int64_t m_samplesPerFrame = 0;
    std::optional<DisplayOrder> m_order; // set when frames are shown out of decode order
    std::int64_t m_index = 0;            // decode index of the next packet
};

} // namespace mp4creator
