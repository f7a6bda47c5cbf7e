#include "controls/bufferedpaint.h"

#include <QPagedPaintDevice>

namespace {

bool isPaged(const QPainter &painter)
{
    return dynamic_cast<const QPagedPaintDevice *>(painter.device()) != nullptr;
}

} // namespace

CBufferedDC::CBufferedDC(QPainter &target, const QRect &clipBox)
    : m_target(target), m_clipBox(clipBox), m_buffered(!isPaged(target) && !clipBox.isEmpty())
{
    if (!m_buffered) {
        m_target.save();
        return;
    }
    m_buffer = QImage(clipBox.size(), QImage::Format_ARGB32_Premultiplied);
    m_buffer.fill(Qt::transparent);
    m_bufferPainter.begin(&m_buffer);
    m_bufferPainter.setFont(target.font());
    m_bufferPainter.translate(-clipBox.topLeft());
}

CBufferedDC::~CBufferedDC()
{
    if (!m_buffered) {
        m_target.restore();
        return;
    }
    m_bufferPainter.end();
    m_target.drawImage(m_clipBox.topLeft(), m_buffer);
}
