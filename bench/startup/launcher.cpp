// The start-up probe's launcher. Starts velmora_probe and
// velmora_minimal_window one after the other, several runs each, and reads
// what the timing hook (StartupProbe.h) reports through a pipe:
//
//  - process start to first window shown: CLOCK_MONOTONIC is read right
//    before fork(); the hook stamps the window's first Expose and the moment
//    its first frame was painted with the same clock;
//  - splash shown to frmMain shown (velmora only);
//  - resident memory (VmRSS) a moment after the last window was shown;
//  - on one extra velmora run, the CPU time used while idle on frmMain.
//
// Needs DISPLAY (scripts/bench starts Xvfb). Writes JSON to stdout.
//
// usage: velmora_startup <velmora_probe> <velmora_minimal_window>
//                        [runs=9] [idle seconds=10] [settle ms=500]

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::int64_t monotonicNs()
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

struct Stamp {
    std::int64_t exposed = -1;
    std::int64_t painted = -1;
};

class Child {
public:
    // startNs is read immediately before fork(), so the measured time
    // includes fork, exec, the dynamic loader and everything Qt does.
    explicit Child(const std::string &program)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            die("pipe2 failed");
        m_read = fds[0];
        const int writeEnd = fds[1];
        const std::string fdText = std::to_string(writeEnd);
        setenv("VELMORA_PROBE_FD", fdText.c_str(), 1);
        startNs = monotonicNs();
        m_pid = fork();
        if (m_pid < 0)
            die("fork failed");
        if (m_pid == 0) {
            fcntl(writeEnd, F_SETFD, 0);  // the hook's end survives exec
            const int devnull = open("/dev/null", O_WRONLY);
            if (devnull >= 0) {  // Qt's warnings would only slow a terminal down
                dup2(devnull, STDOUT_FILENO);
                dup2(devnull, STDERR_FILENO);
            }
            execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        close(writeEnd);
        unsetenv("VELMORA_PROBE_FD");
    }

    ~Child() { stop(); }

    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    pid_t pid() const { return m_pid; }

    // Reads the hook's lines until the window class has been painted.
    Stamp waitFor(const std::string &windowClass, int timeoutMs = 20000)
    {
        const std::int64_t deadline = monotonicNs() + std::int64_t(timeoutMs) * 1000000;
        for (;;) {
            const auto it = m_stamps.find(windowClass);
            if (it != m_stamps.end() && it->second.painted >= 0)
                return it->second;
            const std::int64_t left = (deadline - monotonicNs()) / 1000000;
            if (left <= 0)
                die("no window of class " + windowClass + " was shown within "
                    + std::to_string(timeoutMs) + " ms");
            pollfd p{m_read, POLLIN, 0};
            const int r = poll(&p, 1, int(left));
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(m_read, buffer, sizeof buffer);
            if (n <= 0)
                die("the program ended before a window of class " + windowClass + " was shown");
            m_pending.append(buffer, std::size_t(n));
            parseLines();
        }
    }

    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
        if (m_read >= 0) {
            close(m_read);
            m_read = -1;
        }
    }

    std::int64_t startNs = 0;

private:
    void parseLines()
    {
        std::size_t end;
        while ((end = m_pending.find('\n')) != std::string::npos) {
            const std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            char what[32], name[200];
            long long ns = 0;
            if (std::sscanf(line.c_str(), "%31s %199s %lld", what, name, &ns) != 3)
                continue;
            Stamp &s = m_stamps[name];
            if (std::strcmp(what, "exposed") == 0)
                s.exposed = ns;
            else if (std::strcmp(what, "painted") == 0)
                s.painted = ns;
        }
    }

    pid_t m_pid = -1;
    int m_read = -1;
    std::string m_pending;
    std::map<std::string, Stamp> m_stamps;
};

std::string readFile(const std::string &path)
{
    std::string text;
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

long vmRssKb(pid_t pid)
{
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("VmRSS:");
    if (at == std::string::npos)
        die("no VmRSS for pid " + std::to_string(pid));
    return std::strtol(status.c_str() + at + 6, nullptr, 10);
}

struct CpuTime {
    double utimeStimeMs = 0;  // /proc/<pid>/stat, in clock ticks
    double runtimeMs = 0;     // sum of /proc/<pid>/task/*/schedstat, in ns
};

CpuTime cpuTime(pid_t pid)
{
    CpuTime t;
    const std::string base = "/proc/" + std::to_string(pid);
    const std::string stat = readFile(base + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        die("cannot read " + base + "/stat");
    // After "pid (comm)": field 3 is the state; utime and stime are 14 and 15.
    std::vector<std::string> fields;
    std::size_t pos = close + 2;
    while (pos < stat.size()) {
        std::size_t next = stat.find(' ', pos);
        if (next == std::string::npos)
            next = stat.size();
        fields.push_back(stat.substr(pos, next - pos));
        pos = next + 1;
    }
    if (fields.size() < 13)
        die("short " + base + "/stat");
    const double tick = double(sysconf(_SC_CLK_TCK));
    t.utimeStimeMs = (std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr))
                     * 1000.0 / tick;
    if (DIR *dir = opendir((base + "/task").c_str())) {
        while (dirent *entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            const std::string sched = readFile(base + "/task/" + entry->d_name + "/schedstat");
            t.runtimeMs += std::strtod(sched.c_str(), nullptr) / 1e6;
        }
        closedir(dir);
    }
    return t;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double ms(std::int64_t ns)
{
    return double(ns) / 1e6;
}

std::string list(const std::vector<double> &values)
{
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        char number[64];
        std::snprintf(number, sizeof number, "%s%.3f", i ? ", " : "", values[i]);
        out += number;
    }
    return out + "]";
}

const std::string splashClass = "velmora::frmSplash";
const std::string mainClass = "velmora::frmMain";
const std::string minimalClass = "QWidget";

struct VelmoraRun {
    double toSplashExposed, toSplashPainted, splashToMain, splashExposedToMainExposed;
    long rssKb;
};

VelmoraRun runVelmora(const std::string &program, int settleMs, CpuTime *idle, int idleSeconds)
{
    Child child(program);
    const Stamp splash = child.waitFor(splashClass);
    const Stamp main = child.waitFor(mainClass);
    VelmoraRun r{};
    r.toSplashExposed = ms(splash.exposed - child.startNs);
    r.toSplashPainted = ms(splash.painted - child.startNs);
    r.splashToMain = ms(main.painted - splash.painted);
    r.splashExposedToMainExposed = ms(main.exposed - splash.exposed);
    sleepMs(settleMs);
    r.rssKb = vmRssKb(child.pid());
    if (idle) {
        const CpuTime before = cpuTime(child.pid());
        sleepMs(idleSeconds * 1000);
        const CpuTime after = cpuTime(child.pid());
        idle->utimeStimeMs = after.utimeStimeMs - before.utimeStimeMs;
        idle->runtimeMs = after.runtimeMs - before.runtimeMs;
    }
    return r;
}

struct MinimalRun {
    double toExposed, toPainted;
    long rssKb;
};

MinimalRun runMinimal(const std::string &program, int settleMs)
{
    Child child(program);
    const Stamp window = child.waitFor(minimalClass);
    MinimalRun r{};
    r.toExposed = ms(window.exposed - child.startNs);
    r.toPainted = ms(window.painted - child.startNs);
    sleepMs(settleMs);
    r.rssKb = vmRssKb(child.pid());
    return r;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s <velmora_probe> <velmora_minimal_window> [runs=9] "
                     "[idle seconds=10] [settle ms=500]\n",
                     argv[0]);
        return 2;
    }
    const std::string velmora = argv[1];
    const std::string minimal = argv[2];
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;
    const int idleSeconds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 10;
    const int settleMs = argc > 5 ? std::max(0, std::atoi(argv[5])) : 500;
    if (!std::getenv("DISPLAY"))
        die("DISPLAY is not set (scripts/bench starts Xvfb)");
    std::signal(SIGPIPE, SIG_IGN);

    // One unrecorded run of each, so that both start from a warm page cache.
    runMinimal(minimal, 0);
    runVelmora(velmora, 0, nullptr, 0);

    std::vector<double> vSplashExposed, vSplashPainted, vToMain, vToMainExposed, vRss;
    std::vector<double> mExposed, mPainted, mRss;
    for (int i = 0; i < runs; ++i) {
        // Alternate which program goes first, so neither always follows the other.
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == (i % 2 == 0)) {
                const VelmoraRun v = runVelmora(velmora, settleMs, nullptr, 0);
                vSplashExposed.push_back(v.toSplashExposed);
                vSplashPainted.push_back(v.toSplashPainted);
                vToMain.push_back(v.splashToMain);
                vToMainExposed.push_back(v.splashExposedToMainExposed);
                vRss.push_back(double(v.rssKb));
            } else {
                const MinimalRun m = runMinimal(minimal, settleMs);
                mExposed.push_back(m.toExposed);
                mPainted.push_back(m.toPainted);
                mRss.push_back(double(m.rssKb));
            }
        }
    }

    CpuTime idle;
    runVelmora(velmora, settleMs, &idle, idleSeconds);

    std::printf("{\n");
    std::printf("  \"runs\": %d,\n  \"settle_ms\": %d,\n", runs, settleMs);
    std::printf("  \"velmora\": {\n");
    std::printf("    \"start_to_splash_exposed_ms\": %s,\n", list(vSplashExposed).c_str());
    std::printf("    \"start_to_splash_painted_ms\": %s,\n", list(vSplashPainted).c_str());
    std::printf("    \"splash_to_main_painted_ms\": %s,\n", list(vToMain).c_str());
    std::printf("    \"splash_to_main_exposed_ms\": %s,\n", list(vToMainExposed).c_str());
    std::printf("    \"rss_kb\": %s\n  },\n", list(vRss).c_str());
    std::printf("  \"minimal\": {\n");
    std::printf("    \"start_to_window_exposed_ms\": %s,\n", list(mExposed).c_str());
    std::printf("    \"start_to_window_painted_ms\": %s,\n", list(mPainted).c_str());
    std::printf("    \"rss_kb\": %s\n  },\n", list(mRss).c_str());
    std::printf("  \"idle\": {\"seconds\": %d, \"utime_stime_ms\": %.3f, \"runtime_ms\": %.3f}\n",
                idleSeconds, idle.utimeStimeMs, idle.runtimeMs);
    std::printf("}\n");
    return 0;
}
