#include "controls/smartbutton.h"

#include "controls/gdipaint.h"
#include "platform/syscolors.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kIconGap = 3; // between the left edge and an icon that has a caption beside it
constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

CSmartButton::CSmartButton(const QString &text, QWidget *parent)
    : QPushButton(text, parent), m_clrHotBk(GetSysColor(SysColor::BtnFace)),
      m_clrHotText(GetSysColor(SysColor::BtnText)), m_clrNormalBk(GetSysColor(SysColor::BtnFace)),
      m_clrNormalText(GetSysColor(SysColor::BtnText)), m_clrFocusBk(GetSysColor(SysColor::BtnFace)),
      m_clrFocusText(GetSysColor(SysColor::BtnText))
{
    setMouseTracking(true);
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

void CSmartButton::SetIcon(const QIcon &iconIn, const QIcon &, QSize size)
{
    m_hCaptionIcon = iconIn;
    m_cxIcon = iconIn.isNull() ? 0 : size.width() / 2 * 2;
    m_cyIcon = iconIn.isNull() ? 0 : size.height() / 2 * 2;
    update();
}

bool CSmartButton::OnClicked()
{
    setFocus(Qt::MouseFocusReason);
    return false;
}

void CSmartButton::DrawBackground(QPainter &painter, const QRect &rect)
{
    const QColor fill = (m_bHover || m_bPressed) ? m_clrHotBk : m_bFocused ? m_clrFocusBk : m_clrNormalBk;
    painter.fillRect(rect, fill);
}

void CSmartButton::DrawBorder(QPainter &painter, const QRect &rect)
{
    const QColor shadow = GetSysColor(SysColor::BtnShadow);
    const QColor highlight = GetSysColor(SysColor::BtnHighlight);
    const Edges r = Edges::of(rect);
    if (m_bPressed)
        Draw3dRect(painter, r, shadow, highlight);
    else
        Draw3dRect(painter, r, highlight, shadow);
}

QRect CSmartButton::iconRect(const QRect &item) const
{
    if (m_hCaptionIcon.isNull())
        return {};
    const int left =
        text().isEmpty() ? item.left() + (item.width() - m_cxIcon) / 2 : item.left() + kIconGap;
    const int top = item.top() + (item.height() - m_cyIcon) / 2;
    return QRect(left, top, m_cxIcon, m_cyIcon);
}

QRect CSmartButton::captionRect(const QRect &item) const
{
    QRect centre = item;
    if (!m_hCaptionIcon.isNull() && !text().isEmpty())
        centre.setLeft(centre.left() + m_cxIcon + kIconGap);
    // Measured from the free space's top-left corner, then centred in it as a block.
    const QSize used = fontMetrics().boundingRect(centre, kCaptionFlags, text()).size();
    QRect caption(centre.topLeft(), used);
    caption.translate((centre.width() - used.width()) / 2, (centre.height() - used.height()) / 2);
    return caption;
}

void CSmartButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_bPressed = isDown();
    m_bFocused = hasFocus();
    m_bDisabled = !isEnabled();
    // The dialog moves the default mark with the focus, as the classic dialog manager did.
    m_bDefault = isDefault();
    const QRect item = rect();
    DrawBackground(painter, item);
    if (m_bPressed || m_bHover)
        DrawBorder(painter, item);

    if (!m_hCaptionIcon.isNull()) {
        const QRect place = iconRect(item);
        const QPixmap picture = m_hCaptionIcon.pixmap(place.size(), devicePixelRatioF(),
                                                      m_bDisabled ? QIcon::Disabled : QIcon::Normal);
        painter.drawPixmap(place, picture);
    }
    const QString caption = text();
    if (caption.isEmpty())
        return;
    const QRect place = captionRect(item);
    painter.setFont(font());
    if (m_bDisabled) {
        // Embossed: a light copy one pixel down and right, the shadow colour on top.
        painter.setPen(GetSysColor(SysColor::BtnHighlight));
        painter.drawText(place.translated(1, 1), kCaptionFlags, caption);
        painter.setPen(GetSysColor(SysColor::BtnShadow));
        painter.drawText(place, kCaptionFlags, caption);
        return;
    }
    painter.setPen((m_bHover || m_bPressed) ? m_clrHotText : m_clrNormalText);
    painter.drawText(place, kCaptionFlags, caption);
}

void CSmartButton::mouseMoveEvent(QMouseEvent *event)
{
    QPushButton::mouseMoveEvent(event);
    // A press that started elsewhere never turns the hover look on.
    if ((event->buttons() & Qt::LeftButton) && !m_bHover)
        return;
    if (rect().contains(event->position().toPoint())) {
        if (!m_bHover) {
            m_bHover = true;
            update();
        }
    } else {
        CancelHover();
    }
}

void CSmartButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    CancelHover();
}

void CSmartButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    CancelHover();
}

void CSmartButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        CancelHover();
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        moveFocusOn();
        CancelHover();
    }
}

void CSmartButton::moveFocusOn()
{
    // The next tab stop of the parent after this button takes the focus, whether or not this button
    // had it; with none, the parent itself.
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    for (QWidget *next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if (parent->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isEnabled() &&
            next->isVisibleTo(parent)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    parent->setFocus(Qt::OtherFocusReason);
}

void CSmartButton::CancelHover()
{
    if (!m_bHover)
        return;
    m_bHover = false;
    update();
}
