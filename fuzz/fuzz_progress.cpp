// The encoder's percentage out of console output, and the reader that carries a half-read line
// over to the next read.
//
// Input: the console text, then (taken from the end by FuzzedDataProvider) where a read ends.

#include "engine/progressparser.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {

// The reader may trim a very long unfinished line. A status line is about eighty characters, so
// the split is only compared while the cut line is shorter than this.
constexpr qsizetype kLongestComparedLine = 1024;

qsizetype lastBreak(QByteArrayView text)
{
    return std::max(text.lastIndexOf('\r'), text.lastIndexOf('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const size_t cutChoice = provider.ConsumeIntegral<uint16_t>();
    const std::string bytes = provider.ConsumeRemainingBytesAsString();
    const QByteArrayView text(bytes.data(), qsizetype(bytes.size()));

    const std::optional<int> whole = ParseProgress(text);
    FUZZ_CHECK(whole.has_value() == text.contains("%)"));
    FUZZ_CHECK(!whole || (*whole >= 0 && *whole <= 100));
    // Nothing before the three characters in front of the first "%)" counts.
    if (whole) {
        const qsizetype from = std::max<qsizetype>(0, text.indexOf("%)") - 3);
        FUZZ_CHECK(ParseProgress(text.sliced(from)) == whole);
    }

    // One read of a whole text on a fresh reader is the text's percentage.
    FUZZ_CHECK(ProgressReader().feed(text) == whole);

    // A read that ends inside a line: the reader must answer, once the rest has come, as though
    // the read had ended where that line begins and the line had come in one piece. With no line
    // break before the cut this is the whole text read at once.
    const qsizetype cut = qsizetype(cutChoice % (bytes.size() + 1));
    const QByteArrayView before = text.first(cut);
    const QByteArrayView after = text.sliced(cut);
    const qsizetype lineStart = lastBreak(before) + 1;
    if (cut - lineStart > kLongestComparedLine)
        return 0;

    ProgressReader split;
    const std::optional<int> firstPart = split.feed(before);
    FUZZ_CHECK(!firstPart || (*firstPart >= 0 && *firstPart <= 100));
    const std::optional<int> splitResult = split.feed(after);

    ProgressReader atLineStart;
    if (lineStart > 0)
        atLineStart.feed(before.first(lineStart));
    const QByteArray cutLineAndRest = before.sliced(lineStart).toByteArray() + after.toByteArray();
    FUZZ_CHECK(splitResult == atLineStart.feed(cutLineAndRest));
    if (lineStart == 0)
        FUZZ_CHECK(splitResult == whole);
    return 0;
}
