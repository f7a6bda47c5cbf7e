#include "engine/progressparser.h"

#include <algorithm>

namespace {

constexpr QByteArrayView kPercentEnd = "%)";
constexpr qsizetype kMaxDigits = 3;
constexpr int kFullBar = 100;
// A tool that never ends its line must not make the kept text grow without bound.
constexpr qsizetype kMaxUnfinishedLine = 4096;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<int> ParseProgress(QByteArrayView chunk)
{
    const qsizetype end = chunk.indexOf(kPercentEnd);
    if (end < 0)
        return std::nullopt;
    qsizetype begin = end;
    while (begin > 0 && end - begin < kMaxDigits && isDigit(chunk.at(begin - 1)))
        --begin;
    int percent = 0;
    for (qsizetype i = begin; i < end; ++i)
        percent = percent * 10 + (chunk.at(i) - '0');
    return std::min(percent, kFullBar);
}

std::optional<int> ProgressReader::feed(QByteArrayView chunk)
{
    m_unfinishedLine.append(chunk.data(), chunk.size());
    const std::optional<int> percent = ParseProgress(m_unfinishedLine);

    const qsizetype lastBreak =
        std::max(m_unfinishedLine.lastIndexOf('\r'), m_unfinishedLine.lastIndexOf('\n'));
    if (lastBreak >= 0)
        m_unfinishedLine.remove(0, lastBreak + 1);
    if (m_unfinishedLine.size() > kMaxUnfinishedLine)
        m_unfinishedLine.remove(0, m_unfinishedLine.size() - kMaxUnfinishedLine);
    return percent;
}
