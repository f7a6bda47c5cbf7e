#pragma once

#include "controls/smartbutton.h"

// The command button of every dialog: a light, rounded face with a dark blue outline, an orange band
// while the mouse is over it and a blue band while it has the focus or is the default button. It
// draws with fixed colours, whatever the desktop's theme.
class CXPStyleButton : public CSmartButton {
    Q_OBJECT
public:
    using CSmartButton::CSmartButton;

    enum class Look { Normal, FocusedOrDefault, Hovered, Pressed, Disabled };
    // The look the button has now; a state further down the list wins over those above it.
    Look currentLook() const;

protected:
    void DrawBackground(QPainter &painter, const QRect &rect) override;
    void DrawBorder(QPainter &painter, const QRect &rect) override;
};

struct XPFaceColours {
    QColor bandTop, bandBottom, faceTop, faceBottom, outlineLight, outlineDark;
};
const XPFaceColours &XPFaceColoursOf(CXPStyleButton::Look look);

// The colours around the face, the same in every look.
inline const QColor kXPOuterShadowTop{220, 214, 194};
inline const QColor kXPOuterShadowBottom{245, 244, 235};
inline const QColor kXPLeftShadow{226, 222, 203};
inline const QColor kXPBottomShadow{248, 247, 242};
