#pragma once

#include <QColor>
#include <QRect>

class QPainter;

// The few drawing operations the skinned controls are made of, with the pixel coverage of the
// classic window drawing calls: a rectangle (left, top, right, bottom) covers the columns left to
// right - 1 and the rows top to bottom - 1.
struct Edges {
    int left, top, right, bottom;

    static Edges of(const QRect &rect)
    {
        return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    }
    Edges shrunk(int by) const { return {left + by, top + by, right - by, bottom - by}; }
    Edges moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
};

// Top and left lines in `topLeft`, bottom and right lines in `bottomRight`; the top-right and
// bottom-left corner pixels belong to the bottom-right colour.
void Draw3dRect(QPainter &painter, const Edges &r, const QColor &topLeft, const QColor &bottomRight);

// A fill whose colour runs from `top` on the first row towards `bottom`, one colour per row.
void FillVerticalGradient(QPainter &painter, const Edges &r, const QColor &top, const QColor &bottom);

// A rectangle whose corners are quarters of an ellipse `ellipseWidth` x `ellipseHeight`, outlined
// one pixel wide in `pen`, and filled inside the outline with `fill` unless that is invalid.
void DrawRoundRect(QPainter &painter, const Edges &r, int ellipseWidth, int ellipseHeight,
                   const QColor &pen, const QColor &fill = QColor());

// The dotted focus frame: every other pixel of the rectangle's outline, inverted.
void DrawFocusRect(QPainter &painter, const Edges &r);
