#pragma once

// Where each frame of a raw video stream is shown, found by decoding it once.
//
// Raw video files carry no timestamps, and with B-frames the order frames are stored in is not
// the order they are shown in. Only the decoder really knows the latter, so we let it tell us.

#include "libav.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mp4creator {

struct DisplayOrder {
    // position[k]: where the k-th stored frame is shown (0 = first shown).
    std::vector<std::int32_t> position;
    // How many frames the first shown frame lags behind its decoding: max(k - position[k]).
    // Decode times start this many frames early so that no frame is shown before it is decoded.
    std::int32_t delay = 0;
};

// Decodes the raw video file `path` (opened with `format`; `parameters` as probed) and records
// where each frame comes out. Throws Failure when nothing decodes.
DisplayOrder findDisplayOrder(const std::string &path, const AVInputFormat *format,
                              const AVCodecParameters *parameters);

// Turns "decode index -> output index" as the decoder reported it (-1 for frames it never
// returned) into a complete order. Frames the decoder dropped are shown after every frame
// decoded before them, which keeps every timestamp distinct.
DisplayOrder completeOrder(std::vector<std::int32_t> reported);

} // namespace mp4creator
