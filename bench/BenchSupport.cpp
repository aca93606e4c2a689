#include "BenchSupport.h"

#include "core/text/Win1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::bench {

namespace {

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "velmora_bench: %s\n", qPrintable(message));
    std::exit(1);
}

}  // namespace

void growingSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(KiB)->Arg(MiB)->Arg(10 * MiB)->Arg(40 * MiB);
}

QString proseText(std::int64_t size)
{
    static const QStringList words = QStringLiteral(
        "the program reads a file and writes its readme in one fixed layout with lines of text "
        "for every user version install run setup folder window menu button press open save "
        "help options features new additions system needs works Windows "
        "caf\u00E9 r\u00E9sum\u00E9 \u201Cquoted\u201D d\u00E9j\u00E0")
                                         .split(u' ');
    QString out;
    out.reserve(qsizetype(size));
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;  // a fixed linear congruential generator
    qsizetype lineLength = 0;
    for (;;) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const unsigned r = unsigned(state >> 33);
        const QString &word = r % 20 == 0 ? words[40 + (r / 20) % 4] : words[r % 40];
        if (lineLength > 0 && lineLength + 1 + word.size() > 70) {
            if (out.size() + 2 > size)
                break;
            out += QStringLiteral("\r\n");
            lineLength = 0;
            continue;
        }
        const qsizetype need = word.size() + (lineLength > 0 ? 1 : 0);
        if (out.size() + need > size)
            break;
        if (lineLength > 0)
            out += u' ';
        out += word;
        lineLength += need;
    }
    return out + QString(qsizetype(size) - out.size(), u'.');  // exact size
}

QByteArray proseBytes(std::int64_t size, Encoding encoding)
{
    const QString text = proseText(size);
    if (encoding == Encoding::Windows1252)
        return toWindows1252(text);
    QByteArray bytes = text.toUtf8();
    qsizetype end = qsizetype(size);  // cut at a whole character, so it stays valid
    while (end < bytes.size() && end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes + QByteArray(qsizetype(size) - end, '.');
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
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        die(QStringLiteral("cannot open %1").arg(path));
    for (qsizetype done = 0; done < bytes.size();) {  // one write() unless the kernel takes less
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n <= 0 && errno != EINTR)
            die(QStringLiteral("cannot write %1").arg(path));
        done += n > 0 ? n : 0;
    }
    if (dataSync && ::fdatasync(fd) != 0)
        die(QStringLiteral("fdatasync failed on %1").arg(path));
    ::close(fd);
}

std::int64_t plainRead(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st{};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        die(QStringLiteral("cannot open %1").arg(path));
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

}  // namespace velmora::bench
