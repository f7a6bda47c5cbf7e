#include "libav.h"

#include <new>

namespace mp4creator {

std::string errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void check(int code, const std::string &what)
{
    if (code < 0)
        throw Failure(what + ": " + errorText(code));
}

bool readWantedPacket(AVFormatContext *input, AVPacket *packet, const std::string &path,
                      const std::function<bool(const AVPacket &)> &wanted)
{
    for (;;) {
        const int result = av_read_frame(input, packet);
        if (result == AVERROR_EOF)
            return false;
        check(result, path + ": read error");
        if (wanted(*packet))
            return true;
        av_packet_unref(packet);
    }
}

Packet makePacket()
{
    Packet packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    return packet;
}

Frame makeFrame()
{
    Frame frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    return frame;
}

InputContext openInput(const std::string &path, const AVInputFormat *format)
{
    AVFormatContext *raw = nullptr;
    // avformat_open_input frees the context itself when it fails.
    check(avformat_open_input(&raw, path.c_str(), format, nullptr), "cannot open " + path);
    return InputContext(raw);
}

} // namespace mp4creator
