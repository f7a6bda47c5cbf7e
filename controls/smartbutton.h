#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>

// A push button that paints itself: a hover look that follows the mouse, an optional icon left of
// its caption and a colour table by state. The face and the border are left to DrawBackground and
// DrawBorder, which the button kinds built on it replace.
class CSmartButton : public QPushButton {
    Q_OBJECT
public:
    explicit CSmartButton(const QString &text = {}, QWidget *parent = nullptr);

    // The caption icon, laid out at `size` rounded down to even numbers. No caller gives a second
    // icon; it is accepted and not shown.
    void SetIcon(const QIcon &iconIn, const QIcon &iconOut = {}, QSize size = QSize(16, 16));
    QIcon captionIcon() const { return m_hCaptionIcon; }
    QSize iconLayoutSize() const { return QSize(m_cxIcon, m_cyIcon); }

    bool isHovered() const { return m_bHover; }

    // Where the caption and the icon go within `item`, as the paint places them.
    QRect captionRect(const QRect &item) const;
    QRect iconRect(const QRect &item) const;

protected:
    // Takes the focus on a click; the click still reaches whoever listens to clicked().
    virtual bool OnClicked();
    virtual void DrawBackground(QPainter &painter, const QRect &rect);
    virtual void DrawBorder(QPainter &painter, const QRect &rect);

    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

    bool m_bHover = false;
    bool m_bPressed = false;
    bool m_bFocused = false;
    bool m_bDisabled = false;
    bool m_bDefault = false;

    QColor m_clrHotBk;
    QColor m_clrHotText;
    QColor m_clrNormalBk;
    QColor m_clrNormalText;
    QColor m_clrFocusBk;
    QColor m_clrFocusText;

private:
    void CancelHover();
    void moveFocusOn();

    QIcon m_hCaptionIcon;
    int m_cxIcon = 0;
    int m_cyIcon = 0;
};
