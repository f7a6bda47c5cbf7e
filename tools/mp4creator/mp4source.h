#pragma once

// The tracks of an MP4 we are adding to, read as packets in file order.

#include "libav.h"

#include <string>

namespace mp4creator {

class Mp4Source {
public:
    // Throws Failure when `path` cannot be read as an MP4 file.
    explicit Mp4Source(const std::string &path);

    const AVFormatContext *context() const { return m_input.get(); }
    // Tracks we carry over; anything else (timecode, chapters as data) cannot go into MP4 as is.
    bool isCopied(int stream) const;

    // The next packet of a copied track; false at the end.
    bool read(AVPacket *packet);
    AVRational timeBase(const AVPacket *packet) const;

private:
    std::string m_path;
    InputContext m_input;
};

} // namespace mp4creator
