// The prober's "ID_" lines: parsed whole, and through the reader that gets them chunk by chunk.
//
// Input: the prober's output, then (taken from the end by FuzzedDataProvider) a number of seconds
// for FormatDuration and where a read ends.

#include "sources/mediaprobe.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

// The reader trims an unfinished line beyond 4 KiB; splits are only compared on shorter lines.
constexpr qsizetype kLongestComparedLine = 4096;

bool sameResult(const ProbeResult &a, const ProbeResult &b)
{
    return a.duration == b.duration && a.codec == b.codec && a.frameSize == b.frameSize &&
           a.frameRate == b.frameRate;
}

// Seconds of a "H:MM:SS" text with at least two digits of hours, or -1 when it is not one.
qint64 secondsOf(const QString &duration)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2,}):([0-5][0-9]):([0-5][0-9])$"));
    const QRegularExpressionMatch match = pattern.match(duration);
    if (!match.hasMatch() || match.capturedLength(1) > 12)
        return -1;
    return match.captured(1).toLongLong() * 3600 + match.captured(2).toLongLong() * 60 +
           match.captured(3).toInt();
}

qsizetype longestLine(QByteArrayView text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const int anySeconds = provider.ConsumeIntegralInRange<int>(0, INT_MAX);
    const size_t cutChoice = provider.ConsumeIntegral<uint16_t>();
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    const QByteArrayView output(bytes.data(), qsizetype(bytes.size()));

    // Every length that FormatDuration can be given reads back as itself.
    FUZZ_CHECK(secondsOf(FormatDuration(anySeconds)) == anySeconds);

    ProbeResult whole;
    QString probeSize;
    ParseProbeOutput(QString::fromLocal8Bit(output), whole, probeSize);

    // A duration is a length in whole seconds that fits an int, written by FormatDuration.
    if (whole.accepted()) {
        const qint64 seconds = secondsOf(whole.duration);
        FUZZ_CHECK(seconds >= 0 && seconds <= INT_MAX);
        FUZZ_CHECK(FormatDuration(int(seconds)) == whole.duration);
    }
    // Nothing is made up: each detail comes from a line holding its key.
    FUZZ_CHECK(!whole.accepted() || output.contains("ID_LENGTH"));
    FUZZ_CHECK(whole.codec.isEmpty() || output.contains("ID_VIDEO_FORMAT"));
    FUZZ_CHECK(whole.frameRate.isEmpty() || output.contains("ID_VIDEO_FPS"));
    FUZZ_CHECK(whole.frameSize.isEmpty() || output.contains("ID_VIDEO_HEIGHT"));

    // A read may end anywhere, even inside a line or a character: the result is that of the
    // whole output, as long as no line is so long that the reader trims it.
    if (longestLine(output) > kLongestComparedLine)
        return 0;
    const qsizetype cut = qsizetype(cutChoice % (bytes.size() + 1));
    ProbeOutputReader reader;
    reader.feed(output.first(cut));
    reader.feed(output.sliced(cut));
    reader.finish();
    FUZZ_CHECK(sameResult(reader.result(), whole));
    return 0;
}
