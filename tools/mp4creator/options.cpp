#include "options.h"

#include "libav.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace mp4creator {

namespace {

constexpr std::string_view usage = "usage: mp4creator -c RAWFILE [-rate=R] MP4FILE";
constexpr double maxFrameRate = 1000;

[[noreturn]] void badArguments(const std::string &why)
{
    throw Failure(why + " (" + std::string(usage) + ")");
}

// from_chars rather than strtod: the result must not depend on the caller's locale.
std::optional<double> parseNumber(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<AVRational> parseFraction(std::string_view text)
{
    const auto slash = text.find('/');
    int num = 0;
    int den = 0;
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    const auto first = std::from_chars(begin, begin + slash, num);
    const auto second = std::from_chars(begin + slash + 1, end, den);
    if (first.ec != std::errc() || first.ptr != begin + slash || second.ec != std::errc() ||
        second.ptr != end || num <= 0 || den <= 0)
        return std::nullopt;
    return av_make_q(num, den);
}

// People write NTSC rates rounded (29.97, 23.976, 14.985); the real rate is N*1000/1001.
std::optional<AVRational> ntscRate(double value)
{
    const double scaled = value * 1.001;
    const double whole = std::round(scaled);
    if (value == std::floor(value) || std::fabs(scaled - whole) > 0.01)
        return std::nullopt;
    return av_make_q(int(whole) * 1000, 1001);
}

} // namespace

AVRational parseFrameRate(std::string_view text)
{
    std::optional<AVRational> rate;
    if (text.find('/') != std::string_view::npos) {
        rate = parseFraction(text);
    } else if (const auto value = parseNumber(text); value && *value > 0) {
        rate = ntscRate(*value);
        if (!rate)
            rate = av_d2q(*value, 1000000);
    }
    if (!rate || rate->num <= 0 || rate->den <= 0 || av_q2d(*rate) > maxFrameRate)
        throw Failure("bad frame rate '" + std::string(text) + "'");
    return *rate;
}

Options parseOptions(int argc, char **argv)
{
    Options options;
    bool create = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-c") {
            if (create || i + 1 >= argc)
                badArguments(create ? "-c given twice" : "-c needs a raw file");
            create = true;
            options.rawFile = argv[++i];
        } else if (argument.starts_with("-rate=")) {
            options.frameRate = parseFrameRate(argument.substr(6));
        } else if (argument.starts_with("-") && argument.size() > 1) {
            badArguments("unknown option '" + std::string(argument) + "'");
        } else if (options.mp4File.empty()) {
            options.mp4File = argument;
        } else {
            badArguments("more than one MP4 file given");
        }
    }
    if (!create || options.rawFile.empty())
        badArguments("no raw file given");
    if (options.mp4File.empty())
        badArguments("no MP4 file given");
    return options;
}

} // namespace mp4creator
