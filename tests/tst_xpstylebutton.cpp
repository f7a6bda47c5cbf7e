#include "controls/xpstylebutton.h"
#include "platform/syscolors.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "controls/bufferedpaint.h"

using Look = CXPStyleButton::Look;

namespace {

const QColor kWindowColour(10, 200, 30); // the parent's background, unlike anything the button draws
const QRect kPlace(10, 10, 80, 30);

bool near(QColor actual, QColor expected, int tolerance = 0)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QColor inverted(QColor colour)
{
    return QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue());
}

QIcon solidIcon(QColor colour, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TstXPStyleButton : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void looksByStateAndTheirPrecedence_data();
    void looksByStateAndTheirPrecedence();
    void faceBandOutlineAndShadowPixels_data();
    void faceBandOutlineAndShadowPixels();
    void focusRectangleOnlyWithTheFocus();
    void disabledButtonIsFlatWithAnEmbossedCaption();
    void iconAndCaptionLayout_data();
    void iconAndCaptionLayout();
    void hoverFollowsTheMouse();
    void pressStartedOutsideShowsNoHover();
    void disablingMovesTheFocusOn();
    void doubleClickGivesTwoClicks();
    void pagedDeviceIsDrawnDirectly();

private:
    // Puts the button in a state; the names are those of the data tables.
    void apply(const QString &state);
    // The cursor may already be at the point from an earlier case, where a move would be no move.
    void hover()
    {
        QTest::mouseMove(m_edit, QPoint(5, 5));
        QTest::mouseMove(m_button, QPoint(40, 15));
    }
    QImage shot() { return m_window->grab().toImage(); }
    QColor at(const QImage &image, int x, int y)
    {
        return image.pixelColor(kPlace.topLeft() + QPoint(x, y));
    }

    std::unique_ptr<QWidget> m_window;
    CXPStyleButton *m_button = nullptr;
    QLineEdit *m_edit = nullptr;
};

void TstXPStyleButton::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(200, 100);
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, kWindowColour);
    m_window->setPalette(palette);
    m_window->setAutoFillBackground(true);
    m_button = new CXPStyleButton(QStringLiteral("开始"), m_window.get());
    m_button->setGeometry(kPlace);
    m_edit = new QLineEdit(m_window.get());
    m_edit->setGeometry(100, 10, 80, 20);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_edit->setFocus();
}

void TstXPStyleButton::cleanup() { m_window.reset(); }

void TstXPStyleButton::apply(const QString &state)
{
    for (const QString &part : state.split('+', Qt::SkipEmptyParts)) {
        if (part == "focused")
            m_button->setFocus();
        else if (part == "default")
            m_button->setDefault(true);
        else if (part == "hovered")
            hover();
        else if (part == "pressed")
            m_button->setDown(true);
        else if (part == "disabled")
            m_button->setEnabled(false);
        else
            QFAIL(qPrintable("unknown state " + part));
    }
}

void TstXPStyleButton::looksByStateAndTheirPrecedence_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<Look>("look");
    QTest::newRow("normal") << "" << Look::Normal;
    QTest::newRow("focused") << "focused" << Look::FocusedOrDefault;
    QTest::newRow("default without focus") << "default" << Look::FocusedOrDefault;
    QTest::newRow("hovered") << "hovered" << Look::Hovered;
    QTest::newRow("hover over focus") << "focused+hovered" << Look::Hovered;
    QTest::newRow("pressed while hovered") << "hovered+pressed" << Look::Pressed;
    QTest::newRow("pressed over default") << "default+pressed" << Look::Pressed;
    QTest::newRow("disabled over pressed") << "pressed+disabled" << Look::Disabled;
    QTest::newRow("disabled default") << "default+disabled" << Look::Disabled;
}

void TstXPStyleButton::looksByStateAndTheirPrecedence()
{
    QFETCH(QString, state);
    QFETCH(Look, look);
    apply(state);
    const QImage image = shot();
    QCOMPARE(m_button->currentLook(), look);
    // The band's first row and the face's first row carry the look's top colours.
    QCOMPARE(at(image, 40, 2), XPFaceColoursOf(look).bandTop);
    QCOMPARE(at(image, 40, 4), XPFaceColoursOf(look).faceTop);
}

void TstXPStyleButton::faceBandOutlineAndShadowPixels_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<Look>("look");
    QTest::newRow("normal") << "" << Look::Normal;
    QTest::newRow("focused") << "focused" << Look::FocusedOrDefault;
    QTest::newRow("hovered") << "hovered" << Look::Hovered;
    QTest::newRow("pressed") << "pressed" << Look::Pressed;
}

void TstXPStyleButton::faceBandOutlineAndShadowPixels()
{
    QFETCH(QString, state);
    QFETCH(Look, look);
    apply(state);
    const QImage image = shot();
    const XPFaceColours &colours = XPFaceColoursOf(look);
    const int w = kPlace.width();
    const int h = kPlace.height();
    // Outer shadow: the gradient's first row, the left line and the bottom line.
    QCOMPARE(at(image, 40, 0), kXPOuterShadowTop);
    QCOMPARE(at(image, 0, h / 2), kXPLeftShadow);
    QCOMPARE(at(image, 40, h - 1), kXPBottomShadow);
    // The dark outline one pixel in, on every side.
    for (const QPoint point : {QPoint(40, 1), QPoint(1, h / 2), QPoint(w - 2, h / 2), QPoint(40, h - 2)})
        QCOMPARE(at(image, point.x(), point.y()), colours.outlineDark);
    // The band two pixels wide at the top, right and bottom, its last row near the bottom colour.
    QCOMPARE(at(image, w - 3, h / 2), at(image, w - 4, h / 2));
    QVERIFY(at(image, w - 4, h / 2) != at(image, w - 5, h / 2));
    QVERIFY(near(at(image, 40, h - 3), colours.bandBottom, 12));
    // On the left the face reaches the band's edge only in the normal look.
    const QColor leftOfFace = at(image, 2, h / 2);
    if (look == Look::Normal)
        QCOMPARE(leftOfFace, at(image, 8, h / 2));
    else
        QVERIFY(!near(leftOfFace, at(image, 8, h / 2), 2));
    // The top-right pixel keeps the window's colour.
    QCOMPARE(at(image, w - 1, 0), kWindowColour);
}

void TstXPStyleButton::focusRectangleOnlyWithTheFocus()
{
    // The default button has the blue band and no dotted frame.
    m_button->setDefault(true);
    const QColor band = at(shot(), 5, 3);
    QVERIFY(near(band, XPFaceColoursOf(Look::FocusedOrDefault).bandTop, 12));
    QCOMPARE(at(shot(), 6, 3), band);
    // With the focus, every other pixel of the frame three pixels in is inverted.
    m_button->setFocus();
    const QImage focused = shot();
    QVERIFY(near(at(focused, 5, 3), inverted(band), 2));
    QCOMPARE(at(focused, 6, 3), band);
}

void TstXPStyleButton::disabledButtonIsFlatWithAnEmbossedCaption()
{
    QFont big = m_button->font();
    big.setPixelSize(20);
    m_button->setFont(big);
    m_button->setEnabled(false);
    const QImage image = shot();
    const XPFaceColours &colours = XPFaceColoursOf(Look::Disabled);
    // No outer shadow: the window shows where the shadow lines and gradient would be.
    QCOMPARE(at(image, 0, 15), kWindowColour);
    QCOMPARE(at(image, 40, 29), kWindowColour);
    QCOMPARE(at(image, 40, 0), kWindowColour);
    QCOMPARE(at(image, 40, 1), colours.outlineDark);
    QCOMPARE(at(image, 5, 15), colours.faceTop);
    // The caption: the shadow colour on top, the light copy showing one pixel down and right.
    const QRect caption = m_button->captionRect(m_button->rect());
    int shadow = 0, light = 0, text = 0;
    for (int y = caption.top(); y <= caption.bottom() + 1; ++y) {
        for (int x = caption.left(); x <= caption.right() + 1; ++x) {
            const QColor pixel = at(image, x, y);
            shadow += pixel.rgb() == GetSysColor(SysColor::BtnShadow).rgb();
            light += pixel.rgb() == GetSysColor(SysColor::BtnHighlight).rgb();
            text += pixel.rgb() == GetSysColor(SysColor::BtnText).rgb();
        }
    }
    QVERIFY2(shadow > 10 && light > 10, qPrintable(QString("shadow %1, light %2").arg(shadow).arg(light)));
    QCOMPARE(text, 0);
}

void TstXPStyleButton::iconAndCaptionLayout_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("iconSide");
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<int>("captionCentreX");
    // 80 x 30: an icon alone is centred; with a caption it sits 3 pixels in and the caption is
    // centred in what is left.
    QTest::newRow("icon alone") << QString() << 16 << QRect(32, 7, 16, 16) << -1;
    QTest::newRow("icon and caption")
        << QStringLiteral("开始") << 16 << QRect(3, 7, 16, 16) << (19 + 80) / 2;
    QTest::newRow("odd icon lays out even")
        << QStringLiteral("开始") << 15 << QRect(3, 8, 14, 14) << (17 + 80) / 2;
    QTest::newRow("caption alone") << QStringLiteral("开始") << 0 << QRect() << 40;
}

void TstXPStyleButton::iconAndCaptionLayout()
{
    QFETCH(QString, caption);
    QFETCH(int, iconSide);
    QFETCH(QRect, icon);
    QFETCH(int, captionCentreX);
    m_button->setText(caption);
    if (iconSide)
        m_button->SetIcon(solidIcon(Qt::red, 16), QIcon(), QSize(iconSide, iconSide));
    QCOMPARE(m_button->iconRect(m_button->rect()), icon);
    const QImage image = shot();
    if (iconSide) {
        QCOMPARE(at(image, icon.left(), icon.top()), QColor(Qt::red));
        QCOMPARE(at(image, icon.right(), icon.bottom()), QColor(Qt::red));
        QVERIFY(at(image, icon.right() + 1, icon.center().y()) != QColor(Qt::red));
    }
    if (captionCentreX >= 0) {
        const QRect place = m_button->captionRect(m_button->rect());
        QVERIFY2(std::abs(place.center().x() - captionCentreX) <= 1,
                 qPrintable(QString::number(place.center().x())));
        QVERIFY(std::abs(place.center().y() - 15) <= 1);
    }
}

void TstXPStyleButton::hoverFollowsTheMouse()
{
    hover();
    QVERIFY(m_button->isHovered());
    QCOMPARE(at(shot(), 40, 2), XPFaceColoursOf(Look::Hovered).bandTop);
    QTest::mouseMove(m_edit, QPoint(5, 5));
    QVERIFY(!m_button->isHovered());
    QCOMPARE(at(shot(), 40, 2), XPFaceColoursOf(Look::Normal).bandTop);

    // Losing the focus and the window going inactive take the hover look away as well.
    QTest::mouseMove(m_button, QPoint(40, 15));
    m_button->setFocus();
    QVERIFY(m_button->isHovered());
    m_edit->setFocus();
    QVERIFY(!m_button->isHovered());
}

void TstXPStyleButton::pressStartedOutsideShowsNoHover()
{
    QMouseEvent dragIn(QEvent::MouseMove, QPointF(40, 15), m_button->mapToGlobal(QPointF(40, 15)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &dragIn);
    QVERIFY(!m_button->isHovered());
    // Held down after the hover began, the look stays until the mouse leaves the button.
    QMouseEvent plain(QEvent::MouseMove, QPointF(40, 15), m_button->mapToGlobal(QPointF(40, 15)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &plain);
    QApplication::sendEvent(m_button, &dragIn);
    QVERIFY(m_button->isHovered());
    QMouseEvent dragOut(QEvent::MouseMove, QPointF(120, 15), m_button->mapToGlobal(QPointF(120, 15)),
                        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &dragOut);
    QVERIFY(!m_button->isHovered());
}

void TstXPStyleButton::disablingMovesTheFocusOn()
{
    auto *after = new CXPStyleButton(QStringLiteral("after"), m_window.get());
    after->setGeometry(10, 50, 80, 30);
    after->show();
    QWidget::setTabOrder(m_button, after);
    QWidget::setTabOrder(after, m_edit);
    // The focus is elsewhere, yet disabling the button hands it to the button's next tab stop.
    m_edit->setFocus();
    m_button->setEnabled(false);
    QVERIFY(after->hasFocus());
    // The last tab stop: the focus goes round to the first enabled one.
    m_edit->setEnabled(false);
    after->setEnabled(false);
    QVERIFY(!after->hasFocus() && !m_button->hasFocus());
    QCOMPARE(QApplication::focusWidget(), m_window.get());
}

void TstXPStyleButton::doubleClickGivesTwoClicks()
{
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);
    // Down, up, double click, up: the double click counts as the second press.
    const QPoint centre(40, 15);
    QTest::mouseClick(m_button, Qt::LeftButton, Qt::NoModifier, centre);
    QMouseEvent twice(QEvent::MouseButtonDblClick, centre, m_button->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_button, &twice);
    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(m_button->hasFocus()); // a click takes the focus
}

void TstXPStyleButton::pagedDeviceIsDrawnDirectly()
{
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("page.pdf"));
    QPainter onPaper(&pdf);
    QVERIFY(!CBufferedDC(onPaper, QRect(0, 0, 80, 30)).isBuffered());
    QImage screen(80, 30, QImage::Format_ARGB32_Premultiplied);
    QPainter onScreen(&screen);
    QVERIFY(CBufferedDC(onScreen, QRect(0, 0, 80, 30)).isBuffered());
}

ZEPORA_TEST_MAIN_IMPL(TstXPStyleButton, QApplication)
#include "tst_xpstylebutton.moc"
