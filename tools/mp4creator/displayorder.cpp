#include "displayorder.h"

#include <algorithm>
#include <new>
#include <tuple>

namespace mp4creator {

namespace {

CodecContext openDecoder(const AVCodecParameters *parameters)
{
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        throw Failure(std::string("no decoder for ") + avcodec_get_name(parameters->codec_id));
    CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder)
        throw std::bad_alloc();
    check(avcodec_parameters_to_context(decoder.get(), parameters), "cannot set up the decoder");
    // We want every frame out, damaged or not, because we count them.
    decoder->flags |= AV_CODEC_FLAG_OUTPUT_CORRUPT;
    decoder->flags2 |= AV_CODEC_FLAG2_SHOW_ALL;
    // Without a declared reorder depth the H.264 decoder guesses and can let a frame out too
    // early; strict mode makes it wait as long as the level allows. Latency is no concern here.
    if (parameters->codec_id == AV_CODEC_ID_H264)
        decoder->strict_std_compliance = FF_COMPLIANCE_STRICT;
    // The pictures themselves are thrown away, so skip the work that only makes them pretty.
    decoder->skip_loop_filter = AVDISCARD_ALL;
    decoder->thread_count = 0;
    check(avcodec_open2(decoder.get(), codec, nullptr), "cannot open the decoder");
    return decoder;
}

// Takes every frame the decoder has ready; its pts is the decode index we gave its packet.
void collectFrames(AVCodecContext *decoder, AVFrame *frame, std::vector<std::int32_t> &reported,
                   std::int32_t &nextPosition)
{
    while (avcodec_receive_frame(decoder, frame) >= 0) {
        const std::int64_t index = frame->pts;
        av_frame_unref(frame);
        if (index < 0 || index >= std::int64_t(reported.size()) || reported[index] >= 0)
            continue;
        reported[index] = nextPosition++;
    }
}

// Feeds one packet (null: the end) and takes what comes out. A damaged packet must not end the
// count, so send errors other than "full" are ignored; the decoder resyncs on the next one.
void decodePacket(AVCodecContext *decoder, const AVPacket *packet, AVFrame *frame,
                  std::vector<std::int32_t> &reported, std::int32_t &nextPosition)
{
    const int result = avcodec_send_packet(decoder, packet);
    collectFrames(decoder, frame, reported, nextPosition);
    if (result == AVERROR(EAGAIN)) {
        avcodec_send_packet(decoder, packet);
        collectFrames(decoder, frame, reported, nextPosition);
    }
}

} // namespace

DisplayOrder completeOrder(std::vector<std::int32_t> reported)
{
    const auto count = std::int32_t(reported.size());
    // Sort key: (position shown, dropped?, k). A dropped frame takes the last position of all
    // frames decoded before it, as a frame that others do not wait for would have.
    std::vector<std::tuple<std::int32_t, bool, std::int32_t>> keys(reported.size());
    std::int32_t latestShown = -1;
    for (std::int32_t k = 0; k < count; ++k) {
        const bool dropped = reported[k] < 0;
        latestShown = std::max(latestShown, reported[k]);
        keys[k] = {dropped ? latestShown : reported[k], dropped, k};
    }
    std::sort(keys.begin(), keys.end());

    DisplayOrder order;
    order.position.resize(reported.size());
    for (std::int32_t shown = 0; shown < count; ++shown) {
        const std::int32_t k = std::get<2>(keys[shown]);
        order.position[k] = shown;
        order.delay = std::max(order.delay, k - shown);
    }
    return order;
}

DisplayOrder findDisplayOrder(const std::string &path, const AVInputFormat *format,
                              const AVCodecParameters *parameters)
{
    // A raw elementary stream file holds exactly one stream.
    constexpr int streamIndex = 0;
    InputContext input = openInput(path, format);
    const CodecContext decoder = openDecoder(parameters);
    Packet packet = makePacket();
    Frame frame = makeFrame();
    std::vector<std::int32_t> reported;
    std::int32_t nextPosition = 0;

    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex && packet->size > 0) {
            packet->pts = packet->dts = std::int64_t(reported.size());
            reported.push_back(-1);
            decodePacket(decoder.get(), packet.get(), frame.get(), reported, nextPosition);
        }
        av_packet_unref(packet.get());
    }
    decodePacket(decoder.get(), nullptr, frame.get(), reported, nextPosition);

    if (nextPosition == 0)
        throw Failure(path + ": no video frame could be decoded");
    return completeOrder(std::move(reported));
}

} // namespace mp4creator
