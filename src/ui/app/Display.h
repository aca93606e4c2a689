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

// Whether an X server answers at display (a DISPLAY value), and whether a
// Wayland compositor listens at waylandDisplay (a WAYLAND_DISPLAY value: a
// socket name in runtimeFolder, or an absolute path).
bool xDisplayAnswers(const char *display);
bool waylandDisplayAnswers(const char *waylandDisplay, const char *runtimeFolder);

// Qt ends the program with an abort (and a core file) when none of the
// platform plug-ins in QT_QPA_PLATFORM can reach its display. Checks, before
// QApplication is made, the displays of the plug-ins that QT_QPA_PLATFORM
// names (as it stands once the choice is applied), in Qt's order: an empty
// string when one of them answers, or a plug-in is not one of a display
// server (offscreen, vnc ...), or nothing is named; otherwise the one line
// to print, naming each display that did not answer.
std::string unreachableDisplay();

}  // namespace velmora
