#pragma once

// The command line: mp4creator -c RAWFILE [-rate=R] MP4FILE

#include <string>
#include <string_view>

extern "C" {
#include <libavutil/rational.h>
}

namespace mp4creator {

struct Options {
    std::string rawFile;
    std::string mp4File;
    AVRational frameRate{25, 1}; // raw video carries no rate of its own; 25 is what we assume
};

// Throws Failure with a usage hint when the arguments do not fit.
Options parseOptions(int argc, char **argv);

// "25" -> 25/1, "12.5" -> 25/2, "29.970" -> 30000/1001, "24000/1001" -> 24000/1001.
// Throws Failure for anything that is not a sensible positive rate.
AVRational parseFrameRate(std::string_view text);

} // namespace mp4creator
