#include "app/Display.h"

#include <cstdlib>

namespace velmora {

namespace {

bool set(const char *value)
{
    return value && *value;
}

}  // namespace

bool environmentSet(const char *name)
{
    return set(std::getenv(name));
}

bool displayNamed()
{
    return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY")
           || environmentSet("WAYLAND_DISPLAY");
}

std::string chooseQtPlatform(const char *qtQpaPlatform, const char *display, const char *waylandDisplay)
{
    if (set(qtQpaPlatform) || !set(display))
        return {};
    // Qt tries the plug-ins in turn: a DISPLAY left over from an X server
    // that is gone falls back to Wayland instead of ending the program.
    return set(waylandDisplay) ? "xcb;wayland" : "xcb";
}

void applyQtPlatformChoice()
{
    const std::string choice =
        chooseQtPlatform(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (!choice.empty())
        ::setenv("QT_QPA_PLATFORM", choice.c_str(), 1);
}

}  // namespace velmora
