#pragma once

#include <QFont>
#include <QRect>

// The dialogs are laid out in dialog units, as their templates give them: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    int x(int units) const { return (units * m_baseX + 2) / 4; }
    int y(int units) const { return (units * m_baseY + 4) / 8; }
    QRect rect(int x, int y, int width, int height) const;

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};

class QWidget;

// Places a control at its template rectangle, and lets a caption sized for the Song face grow to
// what the face in use needs: wider up to `rightLimit` (pixels), or taller when it wraps.
void PlaceControl(QWidget *control, const QRect &templateRect, int rightLimit);

// The templates' font, "宋体" 9 point: the Song face where it is installed, else a CJK serif face,
// at 12 pixels. Its em height stands for the cell height, which for the Song face is the same; a
// face with taller line spacing would otherwise stretch every template.
QFont DialogFont();
