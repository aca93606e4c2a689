#pragma once

#include <string>

namespace velmora {

// True when the environment variable is set to something (not empty).
bool environmentSet(const char *name);

// Whether there is a desktop to show windows on: a Qt platform the user
// chose, an X display or a Wayland display.
bool displayNamed();

// The Qt platform plug-ins Velmora asks for, given the environment's
// QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY (null or empty: not set), or
// an empty string to leave the choice to Qt. The screens are placed and
// framed by the program itself, which only X11 allows, so an X display
// (XWayland on a Wayland desktop) is preferred; Wayland stays the fallback
// when both are there. A platform the user set always wins.
std::string chooseQtPlatform(const char *qtQpaPlatform, const char *display, const char *waylandDisplay);

// Puts the choice into the environment; call before QApplication is made.
void applyQtPlatformChoice();

}  // namespace velmora
