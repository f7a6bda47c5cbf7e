#pragma once

#include "engine/outputlines.h"

#include <QByteArrayView>

#include <optional>

// The encoder's status line reads "Pos: 12.3s 308f (42%) 61.2fps Trem: 0min 1mb A-V:0.000 [512:128]"
// and ends in a carriage return. The percentage is the up to three digits right before the first
// "%)" of the text; no digit there reads as 0. The encoder prints 101 near the end: that is 100.
// No "%)" at all: nullopt, the bar stays where it is.
std::optional<int> ParseProgress(QByteArrayView chunk);

// Reads the encoder's output chunk by chunk. A read can end inside a status line; the unfinished
// line is kept and read again together with the next chunk, so that "(4" + "2%)" gives 42, never 2.
class ProgressReader {
public:
    std::optional<int> feed(QByteArrayView chunk);

private:
    OutputLines m_lines;
};
