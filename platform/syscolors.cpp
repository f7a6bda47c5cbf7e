#include "platform/syscolors.h"

#include <QGuiApplication>
#include <QPalette>

QColor GetSysColor(SysColor role)
{
    static constexpr struct {
        SysColor role;
        QPalette::ColorRole palette;
    } kRoles[] = {
        {SysColor::BtnFace, QPalette::Button},        {SysColor::BtnShadow, QPalette::Dark},
        {SysColor::BtnHighlight, QPalette::Light},    {SysColor::BtnText, QPalette::ButtonText},
        {SysColor::WindowText, QPalette::WindowText},
    };
    const QPalette palette = QGuiApplication::palette();
    for (const auto &entry : kRoles)
        if (entry.role == role)
            return palette.color(QPalette::Active, entry.palette);
    return {};
}
