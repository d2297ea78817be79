#pragma once
// The skin: one style sheet and a few pictures, applied to every window and message box.
#include <QColor>
#include <QPixmap>

namespace bootdisk {

inline const QColor kRowColour{0xFF, 0xFF, 0xFF};
inline const QColor kLineColour{0xA6, 0xCA, 0xF0};       // sky blue
inline const QColor kSelectionColour{0xA6, 0xCA, 0xF0};  // sky blue

// Sets the skin's style sheet on the application.
void ApplySkin();
// One of the skin's pictures by file name, e.g. "header.png".
QPixmap SkinPicture(const char* name);

}  // namespace bootdisk
