#pragma once
// The pictures compiled into the program (resources/): the four skins of the
// configuration window as Qt style sheets (skins/skinN.qss, index 0 to 3),
// the program's icon and the preview pane's picture.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace zavrio {

inline constexpr int SkinCount = 4;

bool IsSkinIndex(int index);

// The style sheet of skin index (one of 0..SkinCount-1).
QString SkinStyleSheet(int index);

// The program's own icon, in every size it is drawn at.
QIcon ProgramIcon();

// The preview pane's picture, 153 x 112.
QPixmap PreviewPicture();

} // namespace zavrio
