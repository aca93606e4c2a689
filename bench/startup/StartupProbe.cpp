#include "StartupProbe.h"

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QSet>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace velmora::startupProbe {

namespace {

std::int64_t monotonicNs()
{
    // steady_clock is CLOCK_MONOTONIC in libstdc++ on Linux.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Probe : public QObject {
public:
    Probe(QObject *parent, int fd) : QObject(parent), m_fd(fd) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        const std::int64_t now = monotonicNs();
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || !window->isExposed())
            return false;
        const QByteArray name = classOf(window);
        if (m_seen.contains(name))
            return false;
        m_seen.insert(name);
        report("exposed", name, now);
        // Runs once the expose (and the paint it causes) has been handled.
        QMetaObject::invokeMethod(
            this, [this, name] { report("painted", name, monotonicNs()); }, Qt::QueuedConnection);
        return false;
    }

private:
    static QByteArray classOf(QWindow *window)
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() == window)
                return widget->metaObject()->className();
        }
        return window->metaObject()->className();
    }

    void report(const char *what, const QByteArray &name, std::int64_t ns)
    {
        char line[256];
        const int n = std::snprintf(line, sizeof line, "%s %s %lld\n", what, name.constData(),
                                    static_cast<long long>(ns));
        if (n <= 0)
            return;
        const char *p = line;
        std::size_t left = std::size_t(n) < sizeof line ? std::size_t(n) : sizeof line - 1;
        while (left > 0) {
            const ssize_t w = ::write(m_fd, p, left);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return;  // the launcher has gone; the program carries on
            p += w;
            left -= std::size_t(w);
        }
    }

    int m_fd;
    QSet<QByteArray> m_seen;
};

}  // namespace

void install(QApplication &app)
{
    const char *value = std::getenv("VELMORA_PROBE_FD");
    if (!value || !*value)
        return;
    char *end = nullptr;
    const long fd = std::strtol(value, &end, 10);
    if (*end != '\0' || fd < 0)
        return;
    app.installEventFilter(new Probe(&app, int(fd)));
}

}  // namespace velmora::startupProbe
