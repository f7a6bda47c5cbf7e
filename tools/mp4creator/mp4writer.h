#pragma once

// Writes an MP4 with its index (moov) at the front, so players can start before the end arrives.

#include "libav.h"

#include <string>

namespace mp4creator {

class Mp4Writer {
public:
    explicit Mp4Writer(const std::string &path);

    // A new track for packets whose timestamps count in `timeBase`. Returns its index.
    int addTrack(const AVCodecParameters *parameters, AVRational timeBase);
    // A track that carries over `source` from another file, with its settings and tags.
    int copyTrack(const AVStream *source);
    void copyFileTags(const AVDictionary *tags);

    void start();
    // Writes `packet` (timestamps in `timeBase`) to track `track`; the packet is emptied.
    void write(AVPacket *packet, AVRational timeBase, int track);
    // Completes the file: the index is moved to the front and the file closed.
    void finish();

private:
    std::string m_path;
    OutputContext m_output;
};

} // namespace mp4creator
