// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin: one style sheet and a few pictures, applied to every window and message box. Its
// sizes are drawn for an 11-pixel font; with a larger desktop font every size grows with it.
#include <QColor>
#include <QPixmap>
#include <QRect>

namespace bootdisk {

inline const QColor kRowColour{0xFF, 0xFF, 0xFF};
inline const QColor kLineColour{0xA6, 0xCA, 0xF0};       // sky blue
inline const QColor kSelectionColour{0xA6, 0xCA, 0xF0};  // sky blue

// Sets the skin's style sheet on the application, sized for the desktop's font as it is now.
void ApplySkin();
// How much larger than drawn the skin is: the desktop's font size over 11 pixels, at least 1.
double SkinScale();
// A size of the skin's drawing at the skin's scale; one-pixel lines stay one pixel.
int Scaled(int pixels);
QSize Scaled(QSize size);
QRect Scaled(QRect rect);
// One of the skin's pictures by file name, e.g. "header.png"; drawn at twice the size where the
// screen or the scale needs more pixels.
QPixmap SkinPicture(const char* name);

}  // namespace bootdisk
