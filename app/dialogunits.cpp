#include "app/dialogunits.h"

#include <QFontMetrics>
#include <QAbstractButton>
#include <QLabel>
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
                                 QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(kDialogFontPixels);
    return font;
}

void PlaceControl(QWidget *control, const QRect &templateRect, int rightLimit)
{
    QRect place = templateRect;
    auto *label = qobject_cast<QLabel *>(control);
    const bool caption = label ||
                         (qobject_cast<QAbstractButton *>(control) && control->inherits("QCheckBox")) ||
                         control->inherits("QRadioButton");
    if (label && label->wordWrap()) {
        place.setHeight(std::max(place.height(), label->heightForWidth(place.width())));
    } else if (caption) {
        const int wanted = control->sizeHint().width();
        if (wanted > place.width())
            place.setWidth(std::min(wanted, std::max(place.width(), rightLimit - place.left())));
    }
    control->setGeometry(place);
}
