#include "tempfile.h"

#include "libav.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mp4creator {

namespace {

// Zepora stops a conversion with SIGTERM; the handler may only use what is async-signal-safe,
// so the file to remove lives in a fixed buffer rather than a std::string.
std::array<char, 4096> pendingPath{};

extern "C" void removePendingAndDie(int signalNumber)
{
    if (pendingPath[0] != '\0')
        unlink(pendingPath.data());
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void removeOnSignals(const std::string &path)
{
    if (path.size() >= pendingPath.size())
        return;
    std::memcpy(pendingPath.data(), path.c_str(), path.size() + 1);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, removePendingAndDie);
}

void forgetOnSignals() { pendingPath[0] = '\0'; }

mode_t modeFor(const std::string &target)
{
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string systemError(const std::string &what) { return what + ": " + std::strerror(errno); }

} // namespace

TempFile::TempFile(const std::string &target) : m_target(target)
{
    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0)
        throw Failure(systemError("cannot create a file beside " + target));
    m_path = name.data();
    removeOnSignals(m_path);
    // mkstemp makes the file private; the result should look like any other file the user makes.
    const bool chmodOk = fchmod(fd, modeFor(target)) == 0;
    const int chmodError = errno;
    close(fd);
    if (!chmodOk) {
        // The destructor will not run for an object that never finished construction.
        std::remove(m_path.c_str());
        forgetOnSignals();
        errno = chmodError;
        throw Failure(systemError("cannot set permissions of " + m_path));
    }
}

TempFile::~TempFile()
{
    if (!m_committed)
        std::remove(m_path.c_str());
    forgetOnSignals();
}

void TempFile::commit()
{
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0)
        throw Failure(systemError("cannot replace " + m_target));
    m_committed = true;
    forgetOnSignals();
}

} // namespace mp4creator
