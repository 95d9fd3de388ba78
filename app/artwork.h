// Korvex's pictures, drawn in code so no image plugin or binary file is needed: the
// logo (a page under a magnifying glass), the window icon and the name banner of the
// about box. The desktop icon in desktop/ is the same design as a vector file.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace korvex {

QPixmap KorvexLogo(int size);
QIcon KorvexIcon();
QPixmap KorvexNameBanner(int height);

}  // namespace korvex
