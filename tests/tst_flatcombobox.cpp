#include "controls/flatcombobox.h"
#include "platform/syscolors.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {

const QStringList kSizes = {QStringLiteral("320x240"), QStringLiteral("176x144"),
                            QStringLiteral("1280x720"), QStringLiteral("QCIF")};

// The box's geometry in the test window, and where the pixels worth looking at lie in it.
const QRect kBoxRect(20, 20, 120, 24);
constexpr int kW = 120;
constexpr int kH = 24;
constexpr int kMidX = 50; // clear of the drop-down button
constexpr int kMidY = kH / 2;
constexpr int kButtonX = kW - 10; // inside the drop-down button

constexpr int kFlat = CCJFlatComboBox::LOOK_FLAT;
constexpr int kRaised = CCJFlatComboBox::LOOK_RAISED;
constexpr int kPressed = CCJFlatComboBox::LOOK_PRESSED;

// A colour of its own for every role the box or its classic style paints with, so that a pixel
// tells which of them drew it.
QPalette distinctPalette()
{
    QPalette palette = QApplication::palette();
    const struct {
        QPalette::ColorRole role;
        QColor colour;
    } kColours[] = {
        {QPalette::Button, {200, 180, 160}}, {QPalette::Light, {250, 240, 220}},
        {QPalette::Dark, {120, 100, 80}},    {QPalette::Shadow, {20, 30, 40}},
        {QPalette::Mid, {150, 140, 130}},    {QPalette::Midlight, {225, 205, 190}},
        {QPalette::Base, {255, 255, 235}},   {QPalette::Window, {210, 220, 230}},
    };
    for (const auto &entry : kColours)
        palette.setColor(entry.role, entry.colour);
    return palette;
}

QColor face() { return GetSysColor(SysColor::BtnFace); }
QColor shadow() { return GetSysColor(SysColor::BtnShadow); }
QColor highlight() { return GetSysColor(SysColor::BtnHighlight); }

using Probes = QList<QPair<QPoint, QColor>>;

void moveCursor(const QPoint &global)
{
    QCursor::setPos(global);
    QCoreApplication::processEvents();
}

} // namespace

class TstFlatComboBox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void frameAndButtonPixels_data();
    void frameAndButtonPixels();
    void coloursFollowTheDesktopPalette();
    void hoverRaisesAndLeavingFlattens();
    void focusKeepsTheRaisedLook();
    void pressShowsPressedOnTheNextStep_data();
    void pressShowsPressedOnTheNextStep();
    void altWithACharacterDoesNothing_data();
    void altWithACharacterDoesNothing();
    void altDownStillOpensTheList();
    void completion_data();
    void completion();

private:
    bool showWindow();
    // A click through the window system, as the user makes it: while the list is open, it gets the button-up.
    void pressLeft(const QPoint &inBox);
    void releaseLeft();
    QPoint overBox(int x = kMidX) const { return m_box->mapToGlobal(QPoint(x, kMidY)); }
    QPoint awayFromBox() const { return m_window->mapToGlobal(QPoint(250, 100)); }
    // What the window shows of the box, as it was painted there.
    QImage shownBox() const
    {
        return m_window->screen()
            ->grabWindow(m_window->winId(), kBoxRect.x(), kBoxRect.y(), kBoxRect.width(),
                         kBoxRect.height())
            .toImage();
    }

    std::unique_ptr<QWidget> m_window;
    QPushButton *m_button = nullptr;
    CCJFlatComboBox *m_box = nullptr;
    bool m_leftDown = false;
};

void TstFlatComboBox::initTestCase() { QApplication::setPalette(distinctPalette()); }

void TstFlatComboBox::init()
{
    moveCursor(QPoint(5, 5));
    m_window = std::make_unique<QWidget>();
    m_window->setGeometry(100, 100, 300, 200);
    // First in the tab order, so the button and not the box has the focus when the window opens.
    m_button = new QPushButton(QStringLiteral("&Go"), m_window.get());
    m_button->setGeometry(20, 150, 80, 30);
    m_box = new CCJFlatComboBox(m_window.get());
    m_box->setGeometry(kBoxRect);
    m_box->addItems(kSizes);
}

void TstFlatComboBox::cleanup()
{
    // Left down would spoil the clicks of the tests after a failed one.
    if (m_leftDown)
        releaseLeft();
    m_window.reset();
    QApplication::setPalette(distinctPalette());
}

bool TstFlatComboBox::showWindow()
{
    m_window->show();
    m_window->activateWindow();
    return QTest::qWaitForWindowActive(m_window.get());
}

void TstFlatComboBox::pressLeft(const QPoint &inBox)
{
    QTest::mousePress(m_window->windowHandle(), Qt::LeftButton, {}, m_box->mapTo(m_window.get(), inBox));
    m_leftDown = true;
}

// Where the cursor is.
void TstFlatComboBox::releaseLeft()
{
    QWindow *window = m_window->windowHandle();
    QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(QCursor::pos()));
    m_leftDown = false;
}

void TstFlatComboBox::frameAndButtonPixels_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("cursorOver");
    QTest::addColumn<bool>("press");
    QTest::addColumn<int>("look");
    QTest::addColumn<QColor>("outerTopLeft");
    QTest::addColumn<QColor>("outerBottomRight");
    QTest::addColumn<QColor>("secondRing");
    QTest::addColumn<Probes>("button");

    const QPoint left(kW - 18, kMidY), left2(kW - 17, kMidY), left3(kW - 16, kMidY);
    const QPoint right2(kW - 4, kMidY), right(kW - 3, kMidY);
    const QPoint top(kButtonX, 2), top2(kButtonX, 3), bottom2(kButtonX, kH - 3), bottom(kButtonX, kH - 2);

    QTest::newRow("flat") << true << false << false << kFlat << face() << face() << face()
                          << Probes{{left, highlight()},    {left2, highlight()}, {right2, highlight()},
                                    {right, face()},        {top, highlight()},   {top2, face()},
                                    {bottom2, highlight()}, {bottom, face()}};
    QTest::newRow("raised") << true << true << false << kRaised << shadow() << highlight() << face()
                            << Probes{{left, face()},      {left2, highlight()}, {right2, shadow()},
                                      {right, face()},     {top, highlight()},   {top2, face()},
                                      {bottom2, shadow()}, {bottom, face()}};
    // One pixel to the right and down, over the second ring at the bottom.
    QTest::newRow("pressed") << true << true << true << kPressed << shadow() << highlight() << face()
                             << Probes{{left, face()},       {left2, face()},      {left3, shadow()},
                                       {right, highlight()}, {top, face()},        {top2, shadow()},
                                       {bottom2, face()},    {bottom, highlight()}};
    const Probes noButtonLook{{left, face()}, {left2, face()}, {right2, face()},  {right, face()},
                              {top, face()},  {top2, face()},  {bottom2, face()}, {bottom, highlight()}};
    QTest::newRow("disabled") << false << false << false << kFlat << face() << face() << highlight()
                              << noButtonLook;
    QTest::newRow("disabled under the cursor")
        << false << true << false << kRaised << shadow() << highlight() << highlight() << noButtonLook;
}

void TstFlatComboBox::frameAndButtonPixels()
{
    QFETCH(bool, enabled);
    QFETCH(bool, cursorOver);
    QFETCH(bool, press);
    QFETCH(int, look);
    QFETCH(QColor, outerTopLeft);
    QFETCH(QColor, outerBottomRight);
    QFETCH(QColor, secondRing);
    QFETCH(Probes, button);

    m_box->setEnabled(enabled);
    // The window opens under the cursor: a disabled box would hear of no move.
    if (cursorOver)
        moveCursor(overBox());
    QVERIFY(showWindow());
    if (press) {
        moveCursor(overBox(kMidX + 1));
        QTRY_VERIFY(m_box->isHoverTimerActive());
        pressLeft(QPoint(kButtonX, kMidY));
    }
    QTRY_COMPARE(m_box->lastPaintedLook(), look);

    const QImage image = shownBox();
    const auto check = [&image](const QPoint &at, const QColor &expected) {
        const QColor actual = image.pixelColor(at);
        return actual == expected ? QString()
                                  : QStringLiteral("(%1,%2) is %3, not %4")
                                        .arg(at.x())
                                        .arg(at.y())
                                        .arg(actual.name(), expected.name());
    };
    Probes frame{{{0, kMidY}, outerTopLeft},
                 {{kMidX, 0}, outerTopLeft},
                 {{kW - 1, kMidY}, outerBottomRight},
                 {{kMidX, kH - 1}, outerBottomRight},
                 {{1, kMidY}, secondRing},
                 {{kMidX, 1}, secondRing},
                 {{kW - 2, kMidY}, secondRing},
                 {{kMidX, kH - 2}, secondRing}};
    for (const auto &[at, expected] : frame + button) {
        const QString wrong = check(at, expected);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
}

void TstFlatComboBox::coloursFollowTheDesktopPalette()
{
    QVERIFY(showWindow());
    QTRY_COMPARE(m_box->lastPaintedLook(), kFlat);
    QPalette palette = QApplication::palette();
    const QColor newFace(90, 160, 90);
    palette.setColor(QPalette::Button, newFace);
    QApplication::setPalette(palette);
    QTRY_COMPARE(shownBox().pixelColor(0, kMidY), newFace);
    QCOMPARE(shownBox().pixelColor(kW - 3, kMidY), newFace);
}

void TstFlatComboBox::hoverRaisesAndLeavingFlattens()
{
    QVERIFY(showWindow());
    QTRY_COMPARE(m_box->lastPaintedLook(), kFlat);
    QVERIFY(!m_box->isHoverTimerActive());

    moveCursor(overBox());
    QTRY_COMPARE(m_box->lastPaintedLook(), kRaised);
    QVERIFY(m_box->isHoverTimerActive());

    // The box hears nothing of this move; its timer finds the cursor gone.
    moveCursor(awayFromBox());
    QTRY_COMPARE(m_box->lastPaintedLook(), kFlat);
    QTRY_VERIFY(!m_box->isHoverTimerActive());
}

void TstFlatComboBox::focusKeepsTheRaisedLook()
{
    QVERIFY(showWindow());
    m_box->setFocus();
    QTRY_COMPARE(m_box->lastPaintedLook(), kRaised);

    moveCursor(overBox());
    moveCursor(awayFromBox());
    QTest::qWait(100);
    QCOMPARE(m_box->lastPaintedLook(), kRaised);
    QVERIFY(m_box->isHoverTimerActive());

    // The open list takes the focus for a while; the box keeps its look.
    m_box->showPopup();
    QTRY_VERIFY(m_box->view()->isVisible());
    QTest::qWait(100);
    QCOMPARE(m_box->lastPaintedLook(), kRaised);
    QVERIFY(m_box->isHoverTimerActive());
    m_box->hidePopup();

    m_button->setFocus();
    QTRY_COMPARE(m_box->lastPaintedLook(), kFlat);
    QTRY_VERIFY(!m_box->isHoverTimerActive());
}

void TstFlatComboBox::pressShowsPressedOnTheNextStep_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<bool>("takesFocus");
    QTest::addColumn<bool>("releaseAway");
    QTest::addColumn<int>("lookAfterRelease");

    QTest::newRow("in the edit field") << true << true << false << kRaised;
    // The click opens the list, which gets the button-up.
    QTest::newRow("on the drop-down button") << false << true << false << kRaised;
    QTest::newRow("on the drop-down button, no focus, released elsewhere")
        << false << false << true << kFlat;
}

void TstFlatComboBox::pressShowsPressedOnTheNextStep()
{
    QFETCH(bool, editable);
    QFETCH(bool, takesFocus);
    QFETCH(bool, releaseAway);
    QFETCH(int, lookAfterRelease);

    m_box->setEditable(editable);
    if (!takesFocus)
        m_box->setFocusPolicy(Qt::NoFocus);
    QVERIFY(showWindow());
    const QPoint pressAt(editable ? 30 : kButtonX, kMidY);
    moveCursor(m_box->mapToGlobal(pressAt));
    QTRY_COMPARE(m_box->lastPaintedLook(), kRaised);
    QVERIFY(m_box->isHoverTimerActive());

    pressLeft(pressAt);
    QTRY_COMPARE(m_box->lastPaintedLook(), kPressed);
    QVERIFY(!m_box->isHoverTimerActive());
    QCOMPARE(m_box->view()->isVisible(), !editable);

    if (releaseAway)
        moveCursor(awayFromBox());
    releaseLeft();
    QTRY_COMPARE(m_box->lastPaintedLook(), lookAfterRelease);

    // The button is up again: a move over the box shows the raised look and keeps the timer going.
    m_box->hidePopup();
    moveCursor(overBox(kMidX + 5));
    QVERIFY(m_box->isHoverTimerActive());
    QTRY_COMPARE(m_box->lastPaintedLook(), kRaised);
}

void TstFlatComboBox::altWithACharacterDoesNothing_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("firesElsewhere");

    for (const bool editable : {false, true}) {
        const char *box = editable ? "editable" : "list";
        QTest::addRow("%s: a button's mnemonic", box) << editable << int(Qt::Key_G) << true;
        QTest::addRow("%s: a window shortcut", box) << editable << int(Qt::Key_X) << true;
        QTest::addRow("%s: an entry's first character", box) << editable << int(Qt::Key_1) << false;
    }
}

void TstFlatComboBox::altWithACharacterDoesNothing()
{
    QFETCH(bool, editable);
    QFETCH(int, key);
    QFETCH(bool, firesElsewhere);

    m_box->setEditable(editable);
    auto *shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_X), m_window.get());
    QSignalSpy shortcutSpy(shortcut, &QShortcut::activated);
    QSignalSpy mnemonicSpy(m_button, &QPushButton::pressed);
    QVERIFY(showWindow());
    m_box->setFocus();
    QTRY_VERIFY(m_box->hasFocus());
    const QString text = m_box->currentText();

    QTest::keyClick(m_box, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(shortcutSpy.count() + mnemonicSpy.count(), 0);
    QCOMPARE(m_box->currentText(), text);
    QCOMPARE(m_box->currentIndex(), 0);

    // The same key where the box does not have it.
    m_button->setFocus();
    QTest::keyClick(m_button, Qt::Key(key), Qt::AltModifier);
    QCOMPARE(shortcutSpy.count() + mnemonicSpy.count(), firesElsewhere ? 1 : 0);
}

void TstFlatComboBox::altDownStillOpensTheList()
{
    QVERIFY(showWindow());
    m_box->setFocus();
    QTRY_VERIFY(m_box->hasFocus());
    QTest::keyClick(m_box, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(m_box->view()->isVisible());
}

void TstFlatComboBox::completion_data()
{
    QTest::addColumn<QString>("startText");
    QTest::addColumn<int>("startCursor");
    QTest::addColumn<QString>("keys"); // \b is Backspace, \x7f Delete
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("cursor");

    // clang-format off
    // "320x240" is the current item already: its text must come back all the same.
    QTest::newRow("a beginning completes, the rest selected") << "" << 0 << "32" << "320x240" << "0x240" << 7;
    QTest::newRow("case is ignored") << "" << 0 << "qc" << "QCIF" << "IF" << 4;
    QTest::newRow("the first item that fits") << "" << 0 << "1" << "176x144" << "76x144" << 7;
    QTest::newRow("typing over the selection narrows it") << "" << 0 << "12" << "1280x720" << "80x720" << 8;
    QTest::newRow("no match keeps what was typed") << "" << 0 << "99" << "99" << "" << 2;
    QTest::newRow("typed in the middle, no match") << "1x144" << 1 << "7" << "17x144" << "" << 2;
    QTest::newRow("typed in the middle, a match") << "30x240" << 1 << "2" << "320x240" << "" << 2;
    QTest::newRow("Backspace removes the completed part") << "" << 0 << "32\b" << "32" << "" << 2;
    QTest::newRow("Delete removes the completed part") << "" << 0 << "32\x7f" << "32" << "" << 2;
    QTest::newRow("typing after Backspace completes again") << "" << 0 << "32\b0" << "320x240" << "x240" << 7;
    // clang-format on
}

void TstFlatComboBox::completion()
{
    QFETCH(QString, startText);
    QFETCH(int, startCursor);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QString, selected);
    QFETCH(int, cursor);

    m_box->setEditable(true);
    QSignalSpy activated(m_box, &QComboBox::activated);
    QVERIFY(showWindow());
    m_box->setFocus();
    QTRY_VERIFY(m_box->hasFocus());
    QLineEdit *edit = m_box->lineEdit();
    edit->setText(startText);
    edit->setCursorPosition(startCursor);

    for (const QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(m_box, Qt::Key_Backspace);
        else if (key == u'\x7f')
            QTest::keyClick(m_box, Qt::Key_Delete);
        else
            QTest::keyClick(m_box, key.toLatin1());
    }
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->selectedText(), selected);
    QCOMPARE(edit->cursorPosition(), cursor);
    QCOMPARE(activated.count(), 0);
}

ZEPORA_TEST_MAIN_IMPL(TstFlatComboBox, QApplication)
#include "tst_flatcombobox.moc"
