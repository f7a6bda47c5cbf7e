#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <utility>

// A tool's console output comes in reads that may end anywhere, even inside a line. The buffer
// keeps what a read leaves unfinished until the rest of its line comes.
class OutputLines {
public:
    void append(QByteArrayView chunk) { m_held.append(chunk.data(), chunk.size()); }

    // Everything held: the whole lines not yet taken and the unfinished last line.
    QByteArrayView held() const { return m_held; }

    // Takes the whole lines, up to and including the last line break ("\r" or "\n"). What follows
    // stays, at most its last kMaxUnfinishedLine bytes: a tool that never ends its line must not
    // make the kept text grow without bound.
    QByteArray takeWholeLines()
    {
        QByteArray lines = m_held.left(wholeLinesLength());
        dropWholeLines();
        return lines;
    }

    // The same without handing the lines out, for a reader that has already seen them in held().
    void dropWholeLines()
    {
        m_held.remove(0, wholeLinesLength());
        if (m_held.size() > kMaxUnfinishedLine)
            m_held.remove(0, m_held.size() - kMaxUnfinishedLine);
    }

    // Takes what is left once the tool has ended.
    QByteArray takeRest() { return std::exchange(m_held, {}); }

    static constexpr qsizetype kMaxUnfinishedLine = 4096;

private:
    qsizetype wholeLinesLength() const
    {
        return std::max(m_held.lastIndexOf('\r'), m_held.lastIndexOf('\n')) + 1;
    }

    QByteArray m_held;
};
