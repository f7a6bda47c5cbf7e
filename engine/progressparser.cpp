#include "engine/progressparser.h"

#include <algorithm>

namespace {

constexpr QByteArrayView kPercentEnd = "%)";
constexpr qsizetype kMaxDigits = 3;
constexpr int kFullBar = 100;

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
    m_lines.append(chunk);
    const std::optional<int> percent = ParseProgress(m_lines.held());
    m_lines.dropWholeLines();
    return percent;
}
