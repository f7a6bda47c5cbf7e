#include "controls/gdipaint.h"

#include <QPainter>

#include <cmath>
#include <vector>

void Draw3dRect(QPainter &painter, const Edges &r, const QColor &topLeft, const QColor &bottomRight)
{
    const int w = r.width();
    const int h = r.height();
    if (w <= 0 || h <= 0)
        return;
    painter.fillRect(QRect(r.left, r.top, w - 1, 1), topLeft);
    painter.fillRect(QRect(r.left, r.top, 1, h - 1), topLeft);
    painter.fillRect(QRect(r.right - 1, r.top, 1, h), bottomRight);
    painter.fillRect(QRect(r.left, r.bottom - 1, w, 1), bottomRight);
}

void FillVerticalGradient(QPainter &painter, const Edges &r, const QColor &top, const QColor &bottom)
{
    const int h = r.height();
    if (h <= 0 || r.width() <= 0)
        return;
    const auto mix = [h](int from, int to, int row) { return from + (to - from) * row / h; };
    for (int row = 0; row < h; ++row) {
        const QColor colour(mix(top.red(), bottom.red(), row), mix(top.green(), bottom.green(), row),
                            mix(top.blue(), bottom.blue(), row));
        painter.fillRect(QRect(r.left, r.top + row, r.width(), 1), colour);
    }
}

namespace {

// How far a pixel may stick out of the ellipse and still be drawn: a little, so that a 4 x 4 corner
// cuts one pixel and a 6 x 6 corner two, as the classic drawing does.
constexpr double kCornerBias = 0.25;

// For each row of the shape, the first column inside it (counted from the left edge); the shape
// is symmetric, so that also gives the last column.
std::vector<int> roundRectInsets(int width, int height, int ellipseWidth, int ellipseHeight)
{
    const double rx = std::min(ellipseWidth, width) / 2.0;
    const double ry = std::min(ellipseHeight, height) / 2.0;
    std::vector<int> insets(height, 0);
    for (int row = 0; row < height; ++row) {
        const double centreY = row + 0.5;
        const double fromEdge = std::min(centreY, height - centreY);
        if (ry <= 0 || fromEdge >= ry)
            continue;
        const double dy = (ry - fromEdge) / ry;
        const double dx = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        insets[row] = std::max(0, static_cast<int>(std::ceil(rx - dx - kCornerBias)));
    }
    return insets;
}

} // namespace

void DrawRoundRect(QPainter &painter, const Edges &r, int ellipseWidth, int ellipseHeight,
                   const QColor &pen, const QColor &fill)
{
    const int w = r.width();
    const int h = r.height();
    if (w <= 0 || h <= 0)
        return;
    const std::vector<int> insets = roundRectInsets(w, h, ellipseWidth, ellipseHeight);
    const auto inside = [&](int x, int y) {
        return y >= 0 && y < h && x >= insets[y] && x < w - insets[y];
    };
    for (int y = 0; y < h; ++y) {
        if (fill.isValid())
            painter.fillRect(QRect(r.left + insets[y], r.top + y, w - 2 * insets[y], 1), fill);
        // The outline: every pixel of the shape with a neighbour outside it.
        for (int x = insets[y]; x < w - insets[y]; ++x) {
            if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1))
                painter.fillRect(QRect(r.left + x, r.top + y, 1, 1), pen);
        }
    }
}

void DrawFocusRect(QPainter &painter, const Edges &r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const auto dot = [&painter](int x, int y) {
        if ((x + y) % 2 == 0)
            painter.fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 != r.top)
            dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 != r.left)
            dot(r.right - 1, y);
    }
    painter.restore();
}
