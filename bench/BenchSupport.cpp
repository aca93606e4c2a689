#include "BenchSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::bench {

void growingSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(KiB)->Arg(MiB)->Arg(10 * MiB)->Arg(40 * MiB);
}

std::int64_t monotonicNs()
{
    // steady_clock is CLOCK_MONOTONIC in libstdc++ on Linux.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "velmora_bench: %s\n", qPrintable(message));
    std::exit(1);
}

// Deterministic word stream (a fixed linear congruential generator).
class Words {
public:
    // Returns a word; accented words use marker characters that the callers
    // turn into the encoding's bytes: '\x01' for é, '\x02'/'\x03' for the
    // opening/closing typographic double quote.
    const char *next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        const unsigned r = unsigned(m_state >> 33);
        static constexpr std::array<const char *, 40> plain = {
            "the", "program", "reads", "a", "file", "and", "writes", "its", "readme", "in",
            "one", "fixed", "layout", "with", "lines", "of", "text", "for", "every", "user",
            "version", "install", "run", "setup", "folder", "window", "menu", "button", "press",
            "open", "save", "help", "options", "features", "new", "additions", "system",
            "needs", "works", "Windows",
        };
        static constexpr std::array<const char *, 4> accented = {
            "caf\x01", "r\x01sum\x01", "\x02quoted\x03", "d\x01j\x01",
        };
        if (r % 20 == 0)
            return accented[(r / 20) % accented.size()];
        return plain[r % plain.size()];
    }

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ULL;
};

// Prose with markers, in lines of at most 70 units (a marker counts as one
// unit, as é is one character), CR LF after each, exactly `units` long.
std::string markedProse(std::int64_t units)
{
    std::string out;
    out.reserve(std::size_t(units));
    Words words;
    std::int64_t lineLength = 0;
    std::int64_t total = 0;
    while (total < units) {
        const std::string word = words.next();
        const std::int64_t length = std::int64_t(word.size());
        if (lineLength > 0 && lineLength + 1 + length > 70) {
            if (total + 2 > units)
                break;
            out += "\r\n";
            total += 2;
            lineLength = 0;
            continue;
        }
        const std::int64_t need = length + (lineLength > 0 ? 1 : 0);
        if (total + need > units)
            break;
        if (lineLength > 0)
            out += ' ';
        out += word;
        total += need;
        lineLength += need;
    }
    out.append(std::size_t(units - total), '.');  // exact size
    return out;
}

}  // namespace

QString proseText(std::int64_t size)
{
    const std::string marked = markedProse(size);
    QString text(qsizetype(marked.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : marked) {
        switch (c) {
        case '\x01': *out++ = QChar(0x00E9); break;
        case '\x02': *out++ = QChar(0x201C); break;
        case '\x03': *out++ = QChar(0x201D); break;
        default: *out++ = QLatin1Char(c); break;
        }
    }
    return text;
}

QByteArray proseBytes(std::int64_t size, Encoding encoding)
{
    const std::string marked = markedProse(size);
    QByteArray bytes;
    bytes.reserve(qsizetype(size));
    const bool utf8 = encoding == Encoding::Utf8;
    for (const char c : marked) {
        const char *piece = nullptr;
        char single[2] = {c, 0};
        switch (c) {
        case '\x01': piece = utf8 ? "\xC3\xA9" : "\xE9"; break;
        case '\x02': piece = utf8 ? "\xE2\x80\x9C" : "\x93"; break;
        case '\x03': piece = utf8 ? "\xE2\x80\x9D" : "\x94"; break;
        default: piece = single; break;
        }
        const qsizetype length = qsizetype(std::strlen(piece));
        if (bytes.size() + length > size)
            break;  // only whole characters, so UTF-8 stays valid
        bytes.append(piece, length);
    }
    bytes.append(QByteArray(qsizetype(size) - bytes.size(), '.'));  // exact size
    return bytes;
}

QString workFolder()
{
    static QTemporaryDir *dir = [] {
        auto *d = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/velmora-bench-XXXXXX"));
        if (!d->isValid())
            die(QStringLiteral("cannot create a folder under %1").arg(QDir::tempPath()));
        std::atexit([] { delete dir; });
        return d;
    }();
    return dir->path();
}

QString workPath(const QString &name)
{
    return workFolder() + u'/' + name;
}

void writeFileOrDie(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        die(QStringLiteral("cannot write %1").arg(path));
}

void plainWrite(const QString &path, const QByteArray &bytes, bool dataSync)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        die(QStringLiteral("cannot open %1").arg(path));
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {  // one write() unless the kernel takes less
        const ssize_t n = ::write(fd, p, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            die(QStringLiteral("cannot write %1").arg(path));
        p += n;
        left -= n;
    }
    if (dataSync && ::fdatasync(fd) != 0)
        die(QStringLiteral("fdatasync failed on %1").arg(path));
    ::close(fd);
}

std::int64_t plainRead(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        die(QStringLiteral("cannot open %1").arg(path));
    struct stat st{};
    ::fstat(fd, &st);
    std::unique_ptr<char[]> buffer(new char[std::size_t(st.st_size) + 1]);
    std::int64_t done = 0;
    for (;;) {  // one read() for a regular file, then the 0 of the end
        const ssize_t n = ::read(fd, buffer.get() + done, std::size_t(st.st_size + 1 - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            die(QStringLiteral("cannot read %1").arg(path));
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    benchmark::DoNotOptimize(buffer.get());
    benchmark::ClobberMemory();
    return done;
}

void Paired::report(benchmark::State &state) const
{
    const double iterations = double(state.iterations());
    if (iterations <= 0 || limitNs <= 0)
        return;
    state.counters["limit_s"] = benchmark::Counter(seconds(limitNs) / iterations);
    state.counters["ratio"] = benchmark::Counter(double(productNs) / double(limitNs));
}

}  // namespace velmora::bench
