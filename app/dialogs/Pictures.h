// The program's own pictures, drawn in code: the splash picture (its $808080
// pixels are the see-through colour of the splash window) and the small
// picture of the about box.
#pragma once

#include <QPixmap>

QPixmap SplashPicture();  // 400 x 240
QPixmap AboutPicture();   // 65 x 59
