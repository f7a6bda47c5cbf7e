#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

// Flicker-free drawing: everything drawn through painter() goes into an off-screen image of the
// clip box, in the target's coordinates, and reaches the target in one copy when this ends. Pixels
// left untouched stay transparent, so the target keeps what was under them. A paged device (a
// printer or a PDF) is drawn on directly.
class CBufferedDC {
public:
    CBufferedDC(QPainter &target, const QRect &clipBox);
    ~CBufferedDC();
    CBufferedDC(const CBufferedDC &) = delete;
    CBufferedDC &operator=(const CBufferedDC &) = delete;

    QPainter &painter() { return m_buffered ? m_bufferPainter : m_target; }
    bool isBuffered() const { return m_buffered; }

private:
    QPainter &m_target;
    QRect m_clipBox;
    bool m_buffered;
    QImage m_buffer;
    QPainter m_bufferPainter;
};
