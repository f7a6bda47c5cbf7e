#include "controls/xpgroupbox.h"

#include "controls/gdipaint.h"
#include "platform/syscolors.h"

#include <QPainter>

namespace {

constexpr int kFaceNameLimit = 31; // a face name longer than this is cut
constexpr int kCornerEllipse = 10;
constexpr int kFrameTitleIndent = 10;
constexpr int kWindowTitleIndent = 2;
constexpr int kTitleBandPadding = 4; // the window style's title band is the title's height plus this

QString padded(const QString &title) { return QLatin1Char(' ') + title + QLatin1Char(' '); }

} // namespace

CXPGroupBox::CXPGroupBox(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_clrFrame(GetSysColor(SysColor::BtnShadow)),
      m_clrTitleBk(GetSysColor(SysColor::BtnFace)), m_clrClientBk(GetSysColor(SysColor::BtnFace)),
      m_clrTitleText(GetSysColor(SysColor::WindowText)), m_lfTitle(font())
{
    RecreateTitleFont();
}

CXPGroupBox &CXPGroupBox::SetFrameColor(const QColor &colour)
{
    m_clrFrame = colour;
    RefreshGroup();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleColor(const QColor &colour)
{
    m_clrTitleText = colour;
    RefreshGroup();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetFillColors(const QColor &title, const QColor &client)
{
    m_clrTitleBk = title;
    m_clrClientBk = client;
    RefreshGroup();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetFillColor(const QColor &colour) { return SetFillColors(colour, colour); }

CXPGroupBox &CXPGroupBox::SetGroupStyle(int style)
{
    m_nGroupStyle = style;
    RefreshGroup();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitle(const QString &title)
{
    if (testAttribute(Qt::WA_WState_Created)) {
        m_strTitle = padded(title);
        RefreshGroup();
    }
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleBold(bool bold)
{
    m_lfTitle.setWeight(bold ? QFont::Bold : QFont::Normal);
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleFace(const QString &face, int charSet)
{
    m_nTitleCharSet = charSet;
    m_lfTitle.setFamilies({face.left(kFaceNameLimit)});
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleUnderline(bool underline)
{
    m_lfTitle.setUnderline(underline);
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleItalic(bool italic)
{
    m_lfTitle.setItalic(italic);
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitlePointSize(int points)
{
    m_lfTitle.setPointSize(points);
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleFont(const QFont &font)
{
    m_lfTitle = font;
    RecreateTitleFont();
    return *this;
}

CXPGroupBox &CXPGroupBox::SetTitleAlign(int align)
{
    m_nTitleAlign = (align == GBA_CENTER || align == GBA_RIGHT) ? align : GBA_LEFT;
    RefreshGroup();
    return *this;
}

void CXPGroupBox::RecreateTitleFont()
{
    m_fontTitle = m_lfTitle;
    RefreshGroup();
}

void CXPGroupBox::RefreshGroup()
{
    update();
    if (QWidget *parent = parentWidget())
        parent->update(geometry());
}

QRect CXPGroupBox::titleRect(QSize textSize) const
{
    const Edges r = Edges::of(rect()).shrunk(1);
    const int tw = textSize.width();
    const bool frame = m_nGroupStyle == GBS_FRAME;
    const int indent = frame ? kFrameTitleIndent : kWindowTitleIndent;
    const int top = frame ? r.top : r.top + 2;
    int left = r.left + indent;
    if (m_nTitleAlign == GBA_CENTER)
        left = r.left + (r.right - r.left - tw) / 2;
    else if (m_nTitleAlign == GBA_RIGHT)
        left = r.right - indent - tw;
    return QRect(left, top, tw, textSize.height());
}

void CXPGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Edges r = Edges::of(rect()).shrunk(1);
    painter.setFont(m_fontTitle);
    if (m_strTitle.isEmpty() && !title().isEmpty())
        m_strTitle = padded(title());
    const QFontMetrics metrics(m_fontTitle);
    const QSize textSize = m_strTitle.isEmpty()
                               ? QSize(0, 0)
                               : QSize(metrics.horizontalAdvance(m_strTitle), metrics.height());
    const int th = textSize.height();
    const QRect t = titleRect(textSize);

    if (m_nGroupStyle == GBS_FRAME) {
        // The top line runs through the middle of the title; the title's background clears it there.
        DrawRoundRect(painter, {r.left, r.top + th / 2, r.right, r.bottom}, kCornerEllipse, kCornerEllipse,
                      m_clrFrame);
        painter.setClipRect(t);
        painter.fillRect(t, m_clrTitleBk);
    } else {
        DrawRoundRect(painter, r, kCornerEllipse, kCornerEllipse, m_clrFrame, m_clrTitleBk);
        DrawRoundRect(painter, {r.left, r.top + th + kTitleBandPadding, r.right, r.bottom}, 0, 0,
                      m_clrFrame, m_clrClientBk);
    }
    if (m_strTitle.isEmpty())
        return;
    painter.setPen(m_clrTitleText);
    painter.drawText(t, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                     m_strTitle);
}
