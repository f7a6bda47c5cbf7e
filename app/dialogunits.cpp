#include "app/dialogunits.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr int kDialogFontPixels = 12; // 9 points at 96 dots per inch
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

} // namespace

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    if (font.pixelSize() > 0) {
        // The Song face's Latin letters are half an em wide and its cell is one em high, which
        // gives the templates their proportions (573 units across: 860 pixels, the banner's width).
        m_baseX = font.pixelSize() / 2;
        m_baseY = font.pixelSize();
    } else {
        // The average width of the 52 letters, rounded, as the dialog manager takes it.
        m_baseX = (metrics.horizontalAdvance(QLatin1String(kAlphabet)) / 26 + 1) / 2;
        m_baseY = metrics.height();
    }
}

QRect DialogUnits::rect(int x, int y, int width, int height) const
{
    return QRect(this->x(x), this->y(y), this->x(width), this->y(height));
}

QFont DialogFont()
{
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("SimSun"), QStringLiteral("宋体"),
                                 QStringLiteral("Noto Serif CJK SC"),
                                 QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(kDialogFontPixels);
    return font;
}
