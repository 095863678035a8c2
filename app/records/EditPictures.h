// Pictures of the editors' text commands (16 x 16, drawn in code in the
// family of the main window's pictures).
#pragma once

#include <QIcon>

enum class EditPic { DateStamp, Cut, Copy, Paste, Undo, Accept };

QIcon EditPicture(EditPic pic);
