#pragma once

#include "engine/toolcommand.h"
#include "profiles/outputprofile.h"

#include <span>

// A change that today's encoder needs in a type's option text: `original` is replaced by
// `replacement` in the option text of every type in `types`.
struct EncoderOptionFix {
    std::span<const OutputType> types;
    const char *original;
    const char *replacement;
    const char *reason;
};
std::span<const EncoderOptionFix> EncoderOptionFixes();

// The option block of a type as it was written for the encoder builds of its time, and as it is
// used today, with {width}, {height}, {bitrate} and {fps} still to be filled in. RM has none.
QString OriginalEncoderOptions(OutputType type);
QString EncoderOptions(OutputType type);

// The encoder's whole command for one source: the tool, the type's options with the selection's
// texts filled in, the quoted source, "-o" and the quoted output.
ToolCommand BuildEncoderCommand(const QString &toolDir, const OutputSelection &selection,
                                const QString &sourceFile, const QString &outputFile);
