// Times the start-up of the program and of the minimal Qt program from the
// outside, as the X server sees it; neither program carries a hook.
//
// CLOCK_MONOTONIC is read right before fork(), so a run includes fork, exec,
// the dynamic loader and all of Qt's start. The launcher is itself an X
// client: SubstructureNotify on the root window shows every top-level window
// the child creates and maps; on each one it sets up a DAMAGE object, so
// the first DamageNotify after the MapNotify is the moment the first pixels
// of the window reach the screen. "Shown" in the table is that moment.
//
// Alternate runs (which program goes first changes every run), medians,
// resident memory 500 ms after the last window is shown, and, on one more
// run of the program, the CPU time it uses while idle on the main screen.
//
// usage: velmora_startup <velmora> <minimal window> [runs=9] [idle seconds=10]

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::int64_t nowNs()
{
    // steady_clock is CLOCK_MONOTONIC in libstdc++ on Linux.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "velmora_startup: %s\n", message.c_str());
    std::exit(1);
}

struct Window {
    int width = 0, height = 0;
    std::uint32_t watchedFrom = 0;  // sequence number of our DamageCreate
    std::int64_t mapped = -1, shown = -1;
};

class Display {
public:
    Display()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            die("cannot connect to the X server (DISPLAY)");
        fcntl(xcb_get_file_descriptor(m_c), F_SETFD, FD_CLOEXEC);  // not the child's
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const xcb_query_extension_reply_t *ext = xcb_get_extension_data(m_c, &xcb_damage_id);
        if (!ext || !ext->present)
            die("the X server has no DAMAGE extension");
        m_damageNotify = ext->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr));
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
    }
    ~Display() { xcb_disconnect(m_c); }

    // Top-level windows of the current child, in the order they were mapped.
    std::vector<Window> mappedWindows() const
    {
        std::vector<Window> out;
        for (xcb_window_t id : m_mapOrder)
            out.push_back(m_windows.at(id));
        return out;
    }
    int lateWatches() const { return m_late; }

    // Forgets the last child: a round trip, then every event still queued
    // (window ids are reused from one client to the next).
    void reset()
    {
        free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c))
            free(event);
        m_windows.clear();
        m_mapOrder.clear();
    }

    // Handles events until `done` holds or the timeout passes.
    template <class Done>
    void waitUntil(Done done, pid_t child, int timeoutMs = 20000)
    {
        const std::int64_t deadline = nowNs() + std::int64_t(timeoutMs) * 1000000;
        while (!done(mappedWindows())) {
            if (waitpid(child, nullptr, WNOHANG) == child)
                die("the program ended before its window was shown");
            if (nowNs() > deadline)
                die("no window was shown within " + std::to_string(timeoutMs) + " ms");
            pollfd p{xcb_get_file_descriptor(m_c), POLLIN, 0};
            poll(&p, 1, 100);
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
                handle(event, nowNs());
                free(event);
            }
            if (xcb_connection_has_error(m_c))
                die("lost the X server");
        }
    }

private:
    void handle(xcb_generic_event_t *event, std::int64_t at)
    {
        const int type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (e->parent != m_root)
                return;
            Window &w = m_windows[e->window];
            w.width = e->width;
            w.height = e->height;
            // Errors (an input-only window has no contents) arrive as events
            // and are ignored.
            w.watchedFrom = xcb_damage_create(m_c, xcb_generate_id(m_c), e->window,
                                              XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES)
                                .sequence;
            xcb_flush(m_c);
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            auto *e = reinterpret_cast<xcb_configure_notify_event_t *>(event);
            if (const auto it = m_windows.find(e->window); it != m_windows.end()) {
                it->second.width = e->width;
                it->second.height = e->height;
            }
        } else if (type == XCB_MAP_NOTIFY) {
            auto *e = reinterpret_cast<xcb_map_notify_event_t *>(event);
            const auto it = m_windows.find(e->window);
            if (it == m_windows.end() || it->second.mapped >= 0)
                return;
            it->second.mapped = at;
            m_mapOrder.push_back(e->window);
            // The server reports the last of our requests it had handled:
            // if our DamageCreate came after the map, a first frame drawn
            // in between could be missed.
            if (event->full_sequence < it->second.watchedFrom)
                ++m_late;
        } else if (type == m_damageNotify) {
            auto *e = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            const auto it = m_windows.find(e->drawable);
            if (it != m_windows.end() && it->second.mapped >= 0 && it->second.shown < 0)
                it->second.shown = at;
        }
    }

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    int m_damageNotify = 0;
    int m_late = 0;
    std::map<xcb_window_t, Window> m_windows;
    std::vector<xcb_window_t> m_mapOrder;
};

std::string procField(pid_t pid, const char *file, const std::string &key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0)
            return line.substr(key.size());
    return {};
}

// utime + stime from /proc/<pid>/stat, in milliseconds.
double cpuMs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::stod(field);
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct Run {
    double toFirst = 0, firstToSecond = 0, rssMiB = 0, idleCpuMs = -1;
};

// Starts the program; with `windows` 2, waits for its second window too
// (the main screen after the splash).
Run runOnce(Display &display, const std::string &program, int windows, int idleSeconds = 0)
{
    display.reset();
    const std::int64_t start = nowNs();
    const pid_t pid = fork();
    if (pid < 0)
        die("fork failed");
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);  // Qt's warnings would only slow a terminal down
        dup2(devnull, STDERR_FILENO);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    display.waitUntil(
        [windows](const std::vector<Window> &w) {
            return int(w.size()) >= windows && w[std::size_t(windows) - 1].shown >= 0
                   && w[0].shown >= 0;
        },
        pid);
    const std::vector<Window> w = display.mappedWindows();
    if (w[0].width != 431 || w[0].height != 331)
        die("the first window is " + std::to_string(w[0].width) + "x"
            + std::to_string(w[0].height) + ", not the splash's 431x331");
    Run r;
    r.toFirst = double(w[0].shown - start) / 1e6;
    if (windows > 1)
        r.firstToSecond = double(w[1].shown - w[0].shown) / 1e6;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    r.rssMiB = std::stod(procField(pid, "status", "VmRSS:")) / 1024.0;
    if (idleSeconds > 0) {
        const double before = cpuMs(pid);
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        r.idleCpuMs = cpuMs(pid) - before;
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return r;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string all(std::vector<double> v, int decimals)
{
    std::string out;
    for (double x : v) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.*f", out.empty() ? "" : " ", decimals, x);
        out += number;
    }
    return out;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 3)
        die("usage: velmora_startup <velmora> <minimal window> [runs=9] [idle seconds=10]");
    const std::string velmora = argv[1], minimal = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    const int idleSeconds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 10;
    Display display;

    // One unrecorded run of each, so that both start from a warm page cache.
    runOnce(display, minimal, 1);
    runOnce(display, velmora, 2);
    std::vector<double> vStart, vHandOver, vRss, mStart, mRss;
    for (int i = 0; i < runs; ++i) {
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == (i % 2 == 0)) {
                const Run v = runOnce(display, velmora, 2);
                vStart.push_back(v.toFirst);
                vHandOver.push_back(v.firstToSecond);
                vRss.push_back(v.rssMiB);
            } else {
                const Run m = runOnce(display, minimal, 1);
                mStart.push_back(m.toFirst);
                mRss.push_back(m.rssMiB);
            }
        }
    }
    const Run idle = runOnce(display, velmora, 2, idleSeconds);

    const double ratio = median(vStart) / median(mStart);
    const double rssRatio = median(vRss) / median(mRss);
    const auto [lo, hi] = std::minmax_element(vHandOver.begin(), vHandOver.end());
    const char *met[] = {"**missed**", "met"};
    std::printf("| start-up (%d alternate runs each) | median | ratio | target | |\n", runs);
    std::printf("|---|---|---|---|---|\n");
    std::printf("| process start to splash shown (velmora) | %.1f ms | %.2fx | <= 1.10x minimal | %s |\n",
                median(vStart), ratio, met[ratio <= 1.10]);
    std::printf("| process start to window shown (minimal Qt program) | %.1f ms | | | |\n",
                median(mStart));
    std::printf("| splash shown to GeneralInfoScreen shown | %.0f ms (min %.0f, max %.0f) | | 2000 to 2150 ms | %s |\n",
                median(vHandOver), *lo, *hi, met[*lo >= 2000 && *hi <= 2150]);
    std::printf("| resident memory after hand-over (velmora) | %.1f MiB | %.2fx | <= 1.3x minimal | %s |\n",
                median(vRss), rssRatio, met[rssRatio <= 1.3]);
    std::printf("| resident memory (minimal Qt program) | %.1f MiB | | | |\n", median(mRss));
    std::printf("| CPU while idle on GeneralInfoScreen, %d s | %.0f ms | | < 10 ms | %s |\n", idleSeconds,
                idle.idleCpuMs, met[idle.idleCpuMs < 10]);
    std::printf("\nEvery run, in order (ms): velmora %s; minimal %s; hand-over %s.\n",
                all(vStart, 1).c_str(), all(mStart, 1).c_str(), all(vHandOver, 0).c_str());
    if (display.lateWatches() > 0)
        std::printf("Warning: %d windows were mapped before the launcher watched them.\n",
                    display.lateWatches());
    return 0;
}
