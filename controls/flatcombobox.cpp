#include "controls/flatcombobox.h"

#include "controls/gdipaint.h"
#include "platform/syscolors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionComboBox>

namespace {

constexpr int kHoverTimerPeriodMs = 10;

// The classic look the frame is drawn over: a sunken two-pixel edge and a raised drop-down button.
// One style serves every box and lives as long as the application.
QStyle *ClassicStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(QCoreApplication::instance());
    }
    return style.data();
}

// Alt with a key that types a character: it would reach the window's mnemonics and shortcuts, which
// the box keeps to itself.
bool IsSystemCharacter(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) && !key.text().isEmpty() &&
           key.text().at(0).isPrint();
}

} // namespace

CCJFlatComboBox::CCJFlatComboBox(QWidget *parent) : QComboBox(parent)
{
    if (QStyle *classic = ClassicStyle())
        setStyle(classic);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    m_cxDropButton =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).width();
    LoadSysColors();

    setMouseTracking(true);
    // A value typed into the box is a value, not a new entry of the list.
    setInsertPolicy(QComboBox::NoInsert);
    // While the list is open it has the mouse, so the button-up of a click that opened it goes there.
    view()->window()->installEventFilter(this);
    view()->viewport()->installEventFilter(this);

    m_hoverTimer.setInterval(kHoverTimerPeriodMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CCJFlatComboBox::OnHoverStep);
    WatchLineEdit();
}

CCJFlatComboBox::~CCJFlatComboBox()
{
    // The edit field outlives this part of the box: it goes with the base class.
    if (m_watchedEdit) {
        disconnect(m_watchedEdit, nullptr, this, nullptr);
        m_watchedEdit->removeEventFilter(this);
    }
}

void CCJFlatComboBox::LoadSysColors()
{
    m_clrHighlight = GetSysColor(SysColor::BtnHighlight);
    m_clrShadow = GetSysColor(SysColor::BtnShadow);
    m_clrFace = GetSysColor(SysColor::BtnFace);
}

// An editable box gets a new edit field whenever it is made editable; the box takes it in hand at
// its next event, before the user can reach the field.
void CCJFlatComboBox::WatchLineEdit()
{
    QLineEdit *edit = lineEdit();
    if (edit == m_watchedEdit)
        return;
    if (m_watchedEdit) {
        disconnect(m_watchedEdit, nullptr, this, nullptr);
        m_watchedEdit->removeEventFilter(this);
    }
    m_watchedEdit = edit;
    if (!edit)
        return;
    setCompleter(nullptr);
    edit->setMouseTracking(true);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, &CCJFlatComboBox::OnEditUpdate);
    connect(edit, &QLineEdit::textChanged, this, &CCJFlatComboBox::RememberKeptLength);
    connect(edit, &QLineEdit::selectionChanged, this, &CCJFlatComboBox::RememberKeptLength);
    connect(edit, &QLineEdit::cursorPositionChanged, this, &CCJFlatComboBox::RememberKeptLength);
    RememberKeptLength();
}

bool CCJFlatComboBox::event(QEvent *event)
{
    WatchLineEdit();
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        if (IsSystemCharacter(*static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange: {
        const bool handled = QComboBox::event(event);
        LoadSysColors();
        update();
        return handled;
    }
    default: break;
    }
    return QComboBox::event(event);
}

bool CCJFlatComboBox::eventFilter(QObject *watched, QEvent *event)
{
    const bool fromEdit = watched == m_watchedEdit;
    switch (event->type()) {
    case QEvent::MouseMove:
        if (fromEdit)
            OnMouseMove();
        break;
    case QEvent::MouseButtonPress:
        if (fromEdit && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_bButtonDown = true;
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            OnButtonUp();
        break;
    default: break;
    }
    return QComboBox::eventFilter(watched, event);
}

void CCJFlatComboBox::mouseMoveEvent(QMouseEvent *event)
{
    OnMouseMove();
    QComboBox::mouseMoveEvent(event);
}

void CCJFlatComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_bButtonDown = true;
    QComboBox::mousePressEvent(event);
}

void CCJFlatComboBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OnButtonUp();
    QComboBox::mouseReleaseEvent(event);
}

void CCJFlatComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    m_bFocused = true;
    PaintFrame(LOOK_RAISED, m_clrShadow, m_clrHighlight);
}

void CCJFlatComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Opening the list takes the focus into it, first as a popup, then for its view; the classic box
    // kept the focus while its list was open, so neither is a loss.
    const QWidget *focus = QApplication::focusWidget();
    if (event->reason() == Qt::PopupFocusReason || (focus && focus->window() == view()->window()))
        return;
    m_bFocused = false;
    PaintFrame(LOOK_FLAT, m_clrFace, m_clrFace);
}

void CCJFlatComboBox::OnMouseMove()
{
    m_hoverTimer.start();
    OnHoverStep();
}

void CCJFlatComboBox::OnButtonUp()
{
    m_bButtonDown = false;
    // A repaint from scratch, which picks flat or raised by itself.
    m_nPendingLook = 0;
    update();
}

bool CCJFlatComboBox::IsCursorOver() const
{
    return QRect(mapToGlobal(QPoint(0, 0)), size()).contains(QCursor::pos());
}

void CCJFlatComboBox::OnHoverStep()
{
    if (m_bButtonDown) {
        m_hoverTimer.stop();
        if (m_bShownRaised) {
            PaintFrame(LOOK_PRESSED, m_clrShadow, m_clrHighlight);
            m_bShownRaised = false;
        }
    } else if (IsCursorOver() || m_bFocused) {
        if (!m_bShownRaised) {
            m_bShownRaised = true;
            PaintFrame(LOOK_RAISED, m_clrShadow, m_clrHighlight);
        }
    } else {
        m_hoverTimer.stop();
        if (m_bShownRaised) {
            PaintFrame(LOOK_FLAT, m_clrFace, m_clrFace);
            m_bShownRaised = false;
        }
    }
}

void CCJFlatComboBox::PaintFrame(int look, const QColor &topLeft, const QColor &bottomRight)
{
    m_nPendingLook = look;
    m_clrPendingTopLeft = topLeft;
    m_clrPendingBottomRight = bottomRight;
    update();
}

void CCJFlatComboBox::paintEvent(QPaintEvent *event)
{
    QComboBox::paintEvent(event);
    int look = m_nPendingLook;
    QColor topLeft = m_clrPendingTopLeft;
    QColor bottomRight = m_clrPendingBottomRight;
    m_nPendingLook = 0;
    if (look == 0) {
        if (IsCursorOver() || m_bFocused) {
            look = LOOK_RAISED;
            topLeft = m_clrShadow;
            bottomRight = m_clrHighlight;
        } else {
            look = LOOK_FLAT;
            topLeft = bottomRight = m_clrFace;
        }
    }
    QPainter painter(this);
    DrawFrame(painter, look, topLeft, bottomRight);
    m_nLastPaintedLook = look;
}

void CCJFlatComboBox::DrawFrame(QPainter &painter, int look, const QColor &topLeft,
                                const QColor &bottomRight)
{
    Edges r = Edges::of(rect());
    Draw3dRect(painter, r, topLeft, bottomRight);

    // Over the box's own sunken edge.
    r = r.shrunk(1);
    const bool enabled = isEnabled();
    const QColor &edge = enabled ? m_clrFace : m_clrHighlight;
    Draw3dRect(painter, r, edge, edge);

    // The drop-down button.
    r = r.shrunk(1);
    r.left = r.right - m_cxDropButton;
    Draw3dRect(painter, r, m_clrFace, m_clrFace);
    r = r.shrunk(1);
    Draw3dRect(painter, r, m_clrFace, m_clrFace);
    if (!enabled)
        return;

    r.top -= 1;
    r.bottom += 1;
    switch (look) {
    case LOOK_FLAT:
        Draw3dRect(painter, r, m_clrHighlight, m_clrHighlight);
        r.left -= 1;
        Draw3dRect(painter, r, m_clrHighlight, m_clrHighlight);
        break;
    case LOOK_RAISED: Draw3dRect(painter, r, m_clrHighlight, m_clrShadow); break;
    case LOOK_PRESSED: Draw3dRect(painter, r.moved(1, 1), m_clrShadow, m_clrHighlight); break;
    default: break;
    }
}

void CCJFlatComboBox::RememberKeptLength()
{
    // The edit field reports textEdited before its other changes, so in OnEditUpdate this still
    // describes the text as it was before the edit.
    if (m_watchedEdit)
        m_nKeptLength = int(m_watchedEdit->text().length() - m_watchedEdit->selectedText().length());
}

void CCJFlatComboBox::OnEditUpdate()
{
    QLineEdit *edit = lineEdit();
    if (!m_bAutoComplete || !edit)
        return;
    const QString text = edit->text();
    const int n = int(text.length());
    // Only an edit that added characters completes, or Backspace and Delete could never remove a completed part.
    if (n <= m_nKeptLength)
        return;

    int start = 0;
    int end = 0;
    GetEditSel(&start, &end);
    if (SelectString(text) < 0) {
        if (edit->text() != text)
            edit->setText(text);
        SetEditSel(start, end);
    }
    if (end < n)
        SetEditSel(start, end);
    else
        SetEditSel(n, -1);
}

int CCJFlatComboBox::SelectString(const QString &text)
{
    const int index = findText(text, Qt::MatchStartsWith);
    if (index < 0)
        return -1;
    // The window takes only activated for the user's choice, and this is not one.
    setCurrentIndex(index);
    return index;
}

void CCJFlatComboBox::GetEditSel(int *start, int *end) const
{
    const QLineEdit *edit = lineEdit();
    if (edit->hasSelectedText()) {
        *start = edit->selectionStart();
        *end = edit->selectionEnd();
    } else {
        *start = *end = edit->cursorPosition();
    }
}

void CCJFlatComboBox::SetEditSel(int start, int end)
{
    QLineEdit *edit = lineEdit();
    if (end < 0)
        end = int(edit->text().length());
    if (end <= start)
        edit->setCursorPosition(start);
    else
        edit->setSelection(start, end - start);
}
