#include "ui/app/Display.h"

#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace velmora {

namespace {

bool set(const char *value)
{
    return value && *value;
}

std::string valueOf(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
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

bool xDisplayAnswers(const char *display)
{
    if (!set(display))
        return false;
    xcb_connection_t *connection = xcb_connect(display, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

bool waylandDisplayAnswers(const char *waylandDisplay, const char *runtimeFolder)
{
    if (!set(waylandDisplay))
        return false;
    std::string path = waylandDisplay;
    if (path.front() != '/') {
        if (!set(runtimeFolder))
            return false;
        path = std::string(runtimeFolder) + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

std::string unreachableDisplay()
{
    const std::string platforms = valueOf("QT_QPA_PLATFORM");
    if (platforms.empty())
        return {};
    std::string unanswered;
    std::size_t start = 0;
    while (start <= platforms.size()) {
        std::size_t end = platforms.find(';', start);
        if (end == std::string::npos)
            end = platforms.size();
        // A plug-in's options follow a colon: "xcb:nograb".
        const std::string entry = platforms.substr(start, end - start);
        const std::string plugin = entry.substr(0, entry.find(':'));
        start = end + 1;
        std::string display;
        if (plugin == "xcb") {
            if (xDisplayAnswers(std::getenv("DISPLAY")))
                return {};
            display = environmentSet("DISPLAY") ? "the X display \"" + valueOf("DISPLAY") + '"'
                                                : std::string("the X display (DISPLAY is not set)");
        } else if (plugin.rfind("wayland", 0) == 0) {
            // As the Wayland library does: a socket handed over by the
            // compositor is its answer, and no name means "wayland-0".
            const std::string name = environmentSet("WAYLAND_DISPLAY") ? valueOf("WAYLAND_DISPLAY") : "wayland-0";
            if (environmentSet("WAYLAND_SOCKET")
                || waylandDisplayAnswers(name.c_str(), std::getenv("XDG_RUNTIME_DIR")))
                return {};
            display = "the Wayland display \"" + name + '"';
        } else if (!plugin.empty()) {
            return {};  // offscreen, vnc and the like need no display server
        } else {
            continue;
        }
        if (unanswered.find(display) == std::string::npos)
            unanswered += (unanswered.empty() ? "" : " or ") + display;
    }
    if (unanswered.empty())
        return {};
    return "Velmora cannot show its windows: nothing answers at " + unanswered + ".\n";
}

}  // namespace velmora
