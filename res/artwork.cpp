#include "res/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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
