#pragma once

// The new MP4 is written next to the target under a unique name and only renamed over it once
// it is complete, so a failed or interrupted run never leaves a half-written or damaged MP4.

#include <string>

namespace mp4creator {

class TempFile {
public:
    // Creates an empty file beside `target`, with the permissions the target has (or would get).
    explicit TempFile(const std::string &target);
    // Removes the file unless commit() succeeded.
    ~TempFile();

    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const std::string &path() const { return m_path; }

    // Puts the file in the target's place. Throws Failure when that is not possible.
    void commit();

private:
    std::string m_target;
    std::string m_path;
    bool m_committed = false;
};

} // namespace mp4creator
