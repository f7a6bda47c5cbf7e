#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn here: the application icon and the two banners (860 x 100).
QIcon ApplicationIcon();
QPixmap BannerPixmap(int banner); // 129 or 185
// The small pictures by their resource ids (132 to 174): button glyphs and the type badges beside
// the output radios. A null icon for an id that has none.
QIcon ResourceIcon(int id);
