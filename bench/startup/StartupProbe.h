#pragma once

class QApplication;

namespace velmora::startupProbe {

// Timing hook of the start-up probe builds (velmora_probe and
// velmora_minimal_window); the program velmora never contains it.
//
// When the environment names a file descriptor in VELMORA_PROBE_FD, installs
// an application-wide event filter that writes one line per top-level
// widget class the first time a window of that class is exposed:
//
//     exposed <class name> <CLOCK_MONOTONIC nanoseconds>
//     painted <class name> <CLOCK_MONOTONIC nanoseconds>
//
// "exposed" is taken when the window's first Expose event arrives (the X
// server has mapped it); "painted" when control is back in the event loop
// after that event was handled, that is after Qt painted the window and
// handed the first frame to the display. The filter only watches: it
// never consumes an event. Without the variable nothing is installed.
void install(QApplication &app);

}  // namespace velmora::startupProbe
