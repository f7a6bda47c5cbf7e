#include "controls/xpgroupbox.h"
#include "testsupport.h"

#include <QApplication>

namespace {

const QColor kFrame(0, 0, 160);
const QColor kTitleText(220, 0, 0);
const QColor kTitleBk(255, 255, 160);
const QColor kClientBk(160, 255, 255);
const QString kTitle = QStringLiteral("高级设置");

// The columns where the title's text left marks, or an empty range.
std::pair<int, int> inkColumns(const QImage &image, int top, int bottom)
{
    int first = image.width(), last = -1;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() > 150 && pixel.green() < 120 && pixel.blue() < 120) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    return {first, last};
}

} // namespace

class TstXPGroupBox : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void titleTakenOnceFromTheWindowText();
    void setTitleNeedsTheWindow();
    void frameStyleLineRunsThroughTheTitle_data();
    void frameStyleLineRunsThroughTheTitle();
    void windowStyleTitleBandAndClientArea_data();
    void windowStyleTitleBandAndClientArea();
    void titleAlignment_data();
    void titleAlignment();
    void titleFontSettings();

private:
    QImage shot() { return m_box->grab().toImage(); }

    std::unique_ptr<QWidget> m_window;
    CXPGroupBox *m_box = nullptr;
};

void TstXPGroupBox::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(300, 160);
    m_box = new CXPGroupBox(kTitle, m_window.get());
    m_box->setGeometry(10, 10, 240, 100);
    m_box->SetFrameColor(kFrame).SetTitleColor(kTitleText).SetFillColors(kTitleBk, kClientBk);
}

void TstXPGroupBox::cleanup() { m_window.reset(); }

void TstXPGroupBox::titleTakenOnceFromTheWindowText()
{
    QCOMPARE(m_box->drawnTitle(), QString());
    shot();
    QCOMPARE(m_box->drawnTitle(), " " + kTitle + " ");
    m_box->setTitle(QStringLiteral("其他"));
    shot();
    QCOMPARE(m_box->drawnTitle(), " " + kTitle + " ");
}

void TstXPGroupBox::setTitleNeedsTheWindow()
{
    m_box->SetTitle(QStringLiteral("早"));
    QCOMPARE(m_box->drawnTitle(), QString());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_box->SetTitle(QStringLiteral("晚"));
    QCOMPARE(m_box->drawnTitle(), QStringLiteral(" 晚 "));
    shot();
    QCOMPARE(m_box->drawnTitle(), QStringLiteral(" 晚 "));
}

void TstXPGroupBox::frameStyleLineRunsThroughTheTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("with a title") << kTitle;
    QTest::newRow("without a title") << QString();
}

void TstXPGroupBox::frameStyleLineRunsThroughTheTitle()
{
    QFETCH(QString, title);
    m_box->setTitle(title);
    const QImage image = shot();
    const int th = title.isEmpty() ? 0 : QFontMetrics(m_box->titleFont()).height();
    const int line = 1 + th / 2;
    // The top line, clear of the corners and the title, and the other three sides.
    QCOMPARE(image.pixelColor(200, line), kFrame);
    QCOMPARE(image.pixelColor(1, 60), kFrame);
    QCOMPARE(image.pixelColor(238, 60), kFrame);
    QCOMPARE(image.pixelColor(120, 98), kFrame);
    // Inside the frame nothing is filled: the window's own background stays.
    QVERIFY(image.pixelColor(120, 60) != kClientBk && image.pixelColor(120, 60) != kTitleBk);
    if (title.isEmpty())
        return;
    // Behind the title the line is cleared with the title's background, ten pixels in from the left.
    const QRect t = m_box->titleRect(
        QSize(QFontMetrics(m_box->titleFont()).horizontalAdvance(m_box->drawnTitle()), th));
    QCOMPARE(t.left(), 11);
    QCOMPARE(image.pixelColor(t.left(), line), kTitleBk);
    QCOMPARE(image.pixelColor(t.left() - 1, line), kFrame);
    QCOMPARE(image.pixelColor(t.right() + 1, line), kFrame);
}

void TstXPGroupBox::windowStyleTitleBandAndClientArea_data() { frameStyleLineRunsThroughTheTitle_data(); }

void TstXPGroupBox::windowStyleTitleBandAndClientArea()
{
    QFETCH(QString, title);
    m_box->setTitle(title);
    m_box->SetGroupStyle(CXPGroupBox::GBS_WINDOW);
    const QImage image = shot();
    const int th = title.isEmpty() ? 0 : QFontMetrics(m_box->titleFont()).height();
    const int separator = 1 + th + 4;
    QCOMPARE(image.pixelColor(120, 1), kFrame);               // the rounded box's top line
    QCOMPARE(image.pixelColor(235, separator - 1), kTitleBk); // the title band, clear of the text
    QCOMPARE(image.pixelColor(120, separator), kFrame);       // the client area's top line
    QCOMPARE(image.pixelColor(120, separator + 1), kClientBk);
    QCOMPARE(image.pixelColor(1, separator), kFrame); // square corners below the band
    QCOMPARE(image.pixelColor(1, 98), kFrame);
    QCOMPARE(image.pixelColor(120, 60), kClientBk);
}

void TstXPGroupBox::titleAlignment_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("expectedAlign");
    for (const int style : {int(CXPGroupBox::GBS_FRAME), int(CXPGroupBox::GBS_WINDOW)}) {
        const char *name = style == CXPGroupBox::GBS_FRAME ? "frame" : "window";
        QTest::addRow("%s left", name) << style << 0 << int(CXPGroupBox::GBA_LEFT);
        QTest::addRow("%s centre", name) << style << 1 << int(CXPGroupBox::GBA_CENTER);
        QTest::addRow("%s right", name) << style << 2 << int(CXPGroupBox::GBA_RIGHT);
        QTest::addRow("%s 7 is left", name) << style << 7 << int(CXPGroupBox::GBA_LEFT);
    }
}

void TstXPGroupBox::titleAlignment()
{
    QFETCH(int, style);
    QFETCH(int, align);
    QFETCH(int, expectedAlign);
    m_box->SetGroupStyle(style).SetTitleAlign(align);
    QCOMPARE(m_box->titleAlign(), expectedAlign);
    const QImage image = shot();
    const QFontMetrics metrics(m_box->titleFont());
    const int tw = metrics.horizontalAdvance(m_box->drawnTitle());
    const QRect t = m_box->titleRect(QSize(tw, metrics.height()));
    // r is the client rectangle less one pixel: columns 1 to 238 of 240.
    const int indent = style == CXPGroupBox::GBS_FRAME ? 10 : 2;
    const int expectedLeft = expectedAlign == CXPGroupBox::GBA_LEFT     ? 1 + indent
                             : expectedAlign == CXPGroupBox::GBA_CENTER ? 1 + (239 - tw - 1) / 2
                                                                        : 239 - indent - tw;
    QCOMPARE(t.left(), expectedLeft);
    QCOMPARE(t.top(), style == CXPGroupBox::GBS_FRAME ? 1 : 3);
    // The text's ink lies inside the title rectangle, after the leading blank.
    const auto [first, last] = inkColumns(image, t.top(), t.bottom());
    QVERIFY2(first > t.left() && last < t.right() + 1,
             qPrintable(QString("%1..%2 in %3..%4").arg(first).arg(last).arg(t.left()).arg(t.right())));
    QVERIFY(first - t.left() < metrics.horizontalAdvance(' ') + 3);
}

void TstXPGroupBox::titleFontSettings()
{
    const QString longFace(40, QLatin1Char('F'));
    m_box->SetTitleFace(longFace, 134);
    QCOMPARE(m_box->titleFont().families().value(0), longFace.left(31));
    QCOMPARE(m_box->titleCharSet(), 134);
    m_box->SetTitleBold(true).SetTitleItalic(true).SetTitleUnderline(true).SetTitlePointSize(14);
    const QFont font = m_box->titleFont();
    QVERIFY(font.bold() && font.italic() && font.underline());
    QCOMPARE(font.pointSize(), 14);
    m_box->SetTitleBold(false);
    QCOMPARE(m_box->titleFont().weight(), QFont::Normal);
}

ZEPORA_TEST_MAIN_IMPL(TstXPGroupBox, QApplication)
#include "tst_xpgroupbox.moc"
