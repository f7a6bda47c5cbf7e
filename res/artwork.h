#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn here: the application icon and the two banners (860 x 100).
QIcon ApplicationIcon();
QPixmap BannerPixmap(int banner); // 129 or 185
