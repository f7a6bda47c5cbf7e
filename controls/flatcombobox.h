#pragma once

#include <QColor>
#include <QComboBox>
#include <QPointer>
#include <QTimer>

class QLineEdit;
class QPainter;

// A combo box that looks flat while the mouse is elsewhere and shows a thin sunken frame with a
// raised drop-down button while the mouse is over it or it has the focus. An editable box completes
// what is typed from its list.
class CCJFlatComboBox : public QComboBox {
    Q_OBJECT
public:
    enum { LOOK_FLAT = 1, LOOK_RAISED = 2, LOOK_PRESSED = 3 };

    explicit CCJFlatComboBox(QWidget *parent = nullptr);
    ~CCJFlatComboBox() override;

    // The look the last paint drew over the box, 0 before the first paint.
    int lastPaintedLook() const { return m_nLastPaintedLook; }
    bool isHoverTimerActive() const { return m_hoverTimer.isActive(); }

protected:
    // Draws the frame in `look` over the box's own painting; it shows with the next paint.
    void PaintFrame(int look, const QColor &topLeft, const QColor &bottomRight);

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    int m_cxDropButton = 0;
    bool m_bButtonDown = false;
    bool m_bShownRaised = false;
    bool m_bFocused = false;
    bool m_bAutoComplete = true;
    QColor m_clrHighlight;
    QColor m_clrShadow;
    QColor m_clrFace;

private:
    void LoadSysColors();
    void WatchLineEdit();
    void OnMouseMove();
    void OnButtonUp();
    void OnHoverStep();
    bool IsCursorOver() const;
    void OnEditUpdate();
    void RememberKeptLength();
    void DrawFrame(QPainter &painter, int look, const QColor &topLeft, const QColor &bottomRight);

    // The first item that starts with `text`, ignoring case, becomes the current one; -1 when none does.
    int SelectString(const QString &text);
    void GetEditSel(int *start, int *end) const;
    // An `end` of -1 selects to the end of the text.
    void SetEditSel(int start, int end);

    QTimer m_hoverTimer;
    QPointer<QLineEdit> m_watchedEdit;
    // The length of the edit field's text without its selected part, as it was before the latest edit.
    int m_nKeptLength = 0;
    int m_nPendingLook = 0;
    QColor m_clrPendingTopLeft;
    QColor m_clrPendingBottomRight;
    int m_nLastPaintedLook = 0;
};
