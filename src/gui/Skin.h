// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin: one style sheet and a few pictures, applied to every window and message box. Its
// sizes are drawn for an 11-pixel font; with a larger desktop font every size grows with it. Its
// colours come from the desktop's palette, so a dark or a high-contrast desktop keeps every text
// readable.
#include <QColor>
#include <QPixmap>
#include <QRect>

namespace bootdisk {

// The colours the list rows paint themselves; the style sheet gives the texts on them theirs.
struct TSkinColours {
    QColor page, line, selection;
};

// Sets the skin's style sheet on the application, sized for the desktop's font and coloured for
// its palette as they are now.
void ApplySkin();
const TSkinColours& SkinColours();
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
