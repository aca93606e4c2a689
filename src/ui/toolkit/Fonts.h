#pragma once

#include <QFont>

namespace velmora::look {

// Tahoma from Debian's fonts-wine when the system has no Tahoma of its own.
void loadFonts();
// Tahoma 8.25 pt, that is 11 pixels at 96 dpi, whatever the screen's dpi,
// so that captions fit the pixel layouts.
QFont screenFont();

}  // namespace velmora::look
