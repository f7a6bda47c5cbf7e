#pragma once

#include "engine/toolrunner.h"

#include <functional>

// Blocking runs of one tool for the tests; the program itself drives its tools through `ToolRun`'s
// signals.
namespace TestSupport {

using ChunkHandler = std::function<void(QByteArrayView chunk)>;

// Runs a tool to its end, handing every chunk of its merged output to `onChunk` as it arrives.
// False when the tool could not be started. `result`, when given, tells how it ended.
inline bool runPiped(const ToolCommand &command, ToolPriority priority, const ChunkHandler &onChunk,
                     ToolResult *result = nullptr)
{
    ToolRun run(command, priority);
    QObject::connect(&run, &ToolRun::chunkRead, [&onChunk](QByteArrayView chunk) {
        if (onChunk)
            onChunk(chunk);
    });
    const bool started = run.start();
    if (started)
        run.waitForFinished();
    if (result)
        *result = run.result();
    return started;
}

// Runs a tool to its end; its output is kept only for the result.
inline ToolResult runToEnd(const ToolCommand &command)
{
    ToolResult result;
    runPiped(command, ToolPriority::Normal, {}, &result);
    return result;
}

} // namespace TestSupport
