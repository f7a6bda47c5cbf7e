#include "controls/xpstylebutton.h"

#include "controls/bufferedpaint.h"
#include "controls/gdipaint.h"

#include <QPainter>

namespace {

const XPFaceColours kFaces[] = {
    // Normal
    {{255, 255, 255}, {226, 223, 214}, {252, 252, 251}, {236, 235, 230}, {122, 149, 168}, {0, 60, 116}},
    // Focused or default
    {{206, 231, 255}, {105, 130, 238}, {252, 252, 251}, {236, 235, 230}, {122, 149, 168}, {0, 60, 116}},
    // Hovered
    {{255, 240, 207}, {229, 151, 0}, {252, 252, 251}, {236, 235, 230}, {122, 149, 168}, {0, 60, 116}},
    // Pressed
    {{209, 204, 193}, {242, 241, 238}, {229, 228, 221}, {226, 226, 218}, {122, 149, 168}, {0, 60, 116}},
    // Disabled
    {{245, 244, 234}, {245, 244, 234}, {245, 244, 234}, {245, 244, 234}, {216, 213, 199}, {201, 199, 186}},
};

} // namespace

const XPFaceColours &XPFaceColoursOf(CXPStyleButton::Look look) { return kFaces[static_cast<int>(look)]; }

CXPStyleButton::Look CXPStyleButton::currentLook() const
{
    if (m_bDisabled)
        return Look::Disabled;
    if (m_bPressed)
        return Look::Pressed;
    if (m_bHover)
        return Look::Hovered;
    if (m_bFocused || m_bDefault)
        return Look::FocusedOrDefault;
    return Look::Normal;
}

void CXPStyleButton::DrawBackground(QPainter &target, const QRect &rect)
{
    // The buffer starts transparent: where the face leaves a pixel untouched, as at the rounded
    // corners, the window under the button shows through.
    CBufferedDC buffered(target, rect);
    QPainter &painter = buffered.painter();
    const Edges r = Edges::of(rect);
    const Look look = currentLook();
    const XPFaceColours &colours = XPFaceColoursOf(look);

    if (look != Look::Disabled) {
        painter.fillRect(QRect(r.left, r.top + 1, 1, r.height() - 2), kXPLeftShadow);
        painter.fillRect(QRect(r.left + 2, r.bottom - 1, r.width() - 3, 1), kXPBottomShadow);
        FillVerticalGradient(painter, {r.left + 1, r.top, r.right, r.bottom - 1}, kXPOuterShadowTop,
                             kXPOuterShadowBottom);
    }
    // Outside the normal look the face leaves two pixels of the band showing on its left as well.
    const Edges f = look == Look::Normal ? r : Edges{r.left + 2, r.top, r.right, r.bottom};
    FillVerticalGradient(painter, {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, colours.bandTop,
                         colours.bandBottom);
    FillVerticalGradient(painter, {f.left + 2, f.top + 4, f.right - 4, f.bottom - 4}, colours.faceTop,
                         colours.faceBottom);
    if (m_bFocused)
        DrawFocusRect(painter, r.shrunk(3));
    // The light outline shows only where its tighter corners lie outside the dark one's.
    DrawRoundRect(painter, r.shrunk(1), 4, 4, colours.outlineLight);
    DrawRoundRect(painter, r.shrunk(1), 6, 6, colours.outlineDark);
    if (buffered.isBuffered()) {
        // The top-right pixel keeps what the window had there.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(r.right - 1, r.top, 1, 1), Qt::transparent);
    }
}

void CXPStyleButton::DrawBorder(QPainter &, const QRect &) {}
