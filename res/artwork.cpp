#include "res/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr QSize kBannerSize(860, 100);

struct BannerLook {
    int id;
    QColor from;
    QColor to;
    const char *line;
};

const BannerLook kBanners[] = {
    {129, QColor(0x1d, 0x4e, 0x89), QColor(0x3f, 0x9b, 0xd6), "手机 · MP4 · 3GP · PSP · iPhone 视频转换"},
    {185, QColor(0x0f, 0x5e, 0x4a), QColor(0x4c, 0xb8, 0x8f), "拖拽添加 · 一键转换 · 批量处理"},
};

void drawFilmStrip(QPainter &painter, const QRectF &area)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 60));
    painter.drawRoundedRect(area, 6, 6);
    painter.setBrush(QColor(255, 255, 255, 150));
    for (qreal x = area.left() + 6; x < area.right() - 8; x += 14) {
        painter.drawRect(QRectF(x, area.top() + 4, 7, 6));
        painter.drawRect(QRectF(x, area.bottom() - 10, 7, 6));
    }
}

} // namespace

QPixmap BannerPixmap(int banner)
{
    const BannerLook &look = banner == kBanners[1].id ? kBanners[1] : kBanners[0];
    QPixmap pixmap(kBannerSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, kBannerSize.width(), kBannerSize.height());
    gradient.setColorAt(0, look.from);
    gradient.setColorAt(1, look.to);
    painter.fillRect(pixmap.rect(), gradient);
    drawFilmStrip(painter, QRectF(620, 22, 210, 56));

    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(40);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 8, 400, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zepora"));
    QFont line(QStringLiteral("Noto Sans CJK SC"));
    line.setPixelSize(16);
    painter.setFont(line);
    painter.setPen(QColor(255, 255, 255, 220));
    painter.drawText(QRect(30, 60, 580, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(look.line));
    return pixmap;
}

namespace {

enum class Glyph { Plus, Minus, Play, Pause, Stop, Folder, Gear, Question, Check, Cross, Star, Badge };

struct IconLook {
    int id;
    Glyph glyph;
    QColor color;
    const char *badge; // the type's short name, for badges
};

// One look for all: a rounded tile in the glyph's colour with a white mark.
const IconLook kIcons[] = {
    {132, Glyph::Minus, QColor(0xc0, 0x39, 0x2b), nullptr},    // remove, cancel
    {133, Glyph::Check, QColor(0x27, 0xae, 0x60), nullptr},    // save
    {134, Glyph::Question, QColor(0x29, 0x80, 0xb9), nullptr}, // help
    {136, Glyph::Play, QColor(0x27, 0xae, 0x60), nullptr},     // start
    {137, Glyph::Play, QColor(0xe6, 0x7e, 0x22), nullptr},     // continue, shut down now
    {138, Glyph::Pause, QColor(0xe6, 0x7e, 0x22), nullptr},    // pause
    {142, Glyph::Star, QColor(0xf3, 0x9c, 0x12), nullptr},     // smart mode, forum
    {143, Glyph::Plus, QColor(0x29, 0x80, 0xb9), nullptr},     // add, OK
    {144, Glyph::Stop, QColor(0xc0, 0x39, 0x2b), nullptr},     // stop
    {145, Glyph::Gear, QColor(0x7f, 0x8c, 0x8d), nullptr},     // settings, advanced mode
    {146, Glyph::Badge, QColor(0x2c, 0x3e, 0x50), "PS3"},
    {147, Glyph::Badge, QColor(0x34, 0x49, 0x5e), "PSP"},
    {149, Glyph::Badge, QColor(0xc0, 0x39, 0x2b), "FLV"},
    {150, Glyph::Badge, QColor(0x29, 0x80, 0xb9), "MP4"},
    {152, Glyph::Badge, QColor(0x8e, 0x44, 0xad), "Nano"},
    {153, Glyph::Badge, QColor(0x7f, 0x8c, 0x8d), "iPh"},
    {154, Glyph::Badge, QColor(0x95, 0xa5, 0xa6), "RM"},
    {155, Glyph::Badge, QColor(0x16, 0xa0, 0x85), "3GP"},
    {157, Glyph::Badge, QColor(0xd3, 0x54, 0x00), "MPG"},
    {158, Glyph::Badge, QColor(0x27, 0xae, 0x60), "AVI"},
    {172, Glyph::Star, QColor(0x29, 0x80, 0xb9), nullptr},   // home page
    {174, Glyph::Folder, QColor(0xf3, 0x9c, 0x12), nullptr}, // output folder, choose again
};

void drawGlyph(QPainter &p, Glyph glyph, const char *badge)
{
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    switch (glyph) {
    case Glyph::Plus:
        p.drawLine(16, 9, 16, 23);
        p.drawLine(9, 16, 23, 16);
        break;
    case Glyph::Minus: p.drawLine(9, 16, 23, 16); break;
    case Glyph::Play: p.drawPolygon(QPolygonF({QPointF(12, 9), QPointF(23, 16), QPointF(12, 23)})); break;
    case Glyph::Pause:
        p.drawRect(QRectF(11, 10, 3, 12));
        p.drawRect(QRectF(18, 10, 3, 12));
        break;
    case Glyph::Stop: p.drawRect(QRectF(11, 11, 10, 10)); break;
    case Glyph::Check:
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(9, 17), QPointF(14, 22), QPointF(23, 10)}));
        break;
    case Glyph::Cross:
        p.drawLine(10, 10, 22, 22);
        p.drawLine(22, 10, 10, 22);
        break;
    case Glyph::Question: {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(20);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Star: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 ? 4.5 : 10;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(16 + radius * std::cos(angle), 16.5 + radius * std::sin(angle));
        }
        p.setPen(Qt::NoPen);
        p.drawPolygon(star);
        break;
    }
    case Glyph::Gear:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 5, 5);
        for (int i = 0; i < 8; ++i) {
            const qreal angle = i * M_PI / 4;
            p.drawLine(QPointF(16 + 7 * std::cos(angle), 16 + 7 * std::sin(angle)),
                       QPointF(16 + 10 * std::cos(angle), 16 + 10 * std::sin(angle)));
        }
        break;
    case Glyph::Folder:
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(7, 11, 18, 13), 2, 2);
        p.drawRoundedRect(QRectF(7, 8, 8, 5), 1.5, 1.5);
        break;
    case Glyph::Badge: {
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPixelSize(QByteArrayView(badge).size() > 3 ? 9 : 11);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString::fromLatin1(badge));
        break;
    }
    }
}

} // namespace

QIcon ResourceIcon(int id)
{
    const auto look = std::find_if(std::begin(kIcons), std::end(kIcons),
                                   [id](const IconLook &icon) { return icon.id == id; });
    if (look == std::end(kIcons))
        return {};
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look->color);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    drawGlyph(painter, look->glyph, look->badge);
    return QIcon(pixmap);
}

QIcon ApplicationIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 64, 64);
    gradient.setColorAt(0, QColor(0x3f, 0x9b, 0xd6));
    gradient.setColorAt(1, QColor(0x1d, 0x4e, 0x89));
    painter.setBrush(gradient);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // A play mark turned into a "Z".
    QPainterPath zed;
    zed.moveTo(18, 18);
    zed.lineTo(46, 18);
    zed.lineTo(22, 46);
    zed.lineTo(46, 46);
    painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(zed);
    return QIcon(pixmap);
}
