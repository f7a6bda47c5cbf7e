#pragma once

// Thin C++ ownership for the libav objects mp4creator uses, and the one error type it throws.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace mp4creator {

// Every failure ends the run with one line on stderr; this carries that line.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// libav's text for an AVERROR code.
std::string errorText(int code);

// Throws Failure("<what>: <libav's reason>") when a libav call returned an error.
void check(int code, const std::string &what);

struct InputCloser {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using InputContext = std::unique_ptr<AVFormatContext, InputCloser>;

// An output context owns its AVIOContext only once avio_open succeeded, so close it here too.
struct OutputCloser {
    void operator()(AVFormatContext *context) const
    {
        if (context->pb && !(context->oformat->flags & AVFMT_NOFILE))
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using OutputContext = std::unique_ptr<AVFormatContext, OutputCloser>;

struct CodecCloser {
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecCloser>;

struct PacketFreer {
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

struct FrameFreer {
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
using Frame = std::unique_ptr<AVFrame, FrameFreer>;

Packet makePacket();
Frame makeFrame();

// Opens a file for reading with the given demuxer, or by probing when `format` is null.
InputContext openInput(const std::string &path, const AVInputFormat *format);

// Reads the input's next packet that `wanted` takes, unreferencing the others. False at the end of
// the input; a read error throws Failure, since stopping quietly would make a file cut short.
bool readWantedPacket(AVFormatContext *input, AVPacket *packet, const std::string &path,
                      const std::function<bool(const AVPacket &)> &wanted);

} // namespace mp4creator
