#pragma once
// The four skins of the configuration window: Qt style sheets compiled into
// the program (resources/skins/skinN.qss), index 0 to 3.

#include <QIcon>
#include <QString>

namespace zavrio {

inline constexpr int SkinCount = 4;

bool IsSkinIndex(int index);

// The style sheet of skin index (one of 0..SkinCount-1).
QString SkinStyleSheet(int index);

// The program's own icon, in every size it is drawn at.
QIcon ProgramIcon();

} // namespace zavrio
