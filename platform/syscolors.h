#pragma once

#include <QColor>

// The system's colours that the skinned controls take their shades from. On this desktop they come
// from the application palette, which follows the desktop's colour scheme; a change of scheme
// reaches the widgets as a palette change.
enum class SysColor { BtnFace, BtnShadow, BtnHighlight, BtnText, WindowText };

QColor GetSysColor(SysColor role);
