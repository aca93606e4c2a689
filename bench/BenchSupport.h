#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace velmora::bench {

constexpr std::int64_t KiB = 1024;
constexpr std::int64_t MiB = 1024 * KiB;

// The sizes that show how cost grows: 1 KiB, 1 MiB, 10 MiB, and 40 MiB,
// against which 10 MiB is judged linear (per byte at most 2x; from 1 MiB to
// 10 MiB the data leaves the caches, which raises the cost per byte alone).
void growingSizes(benchmark::internal::Benchmark *b);

inline std::int64_t monotonicNs()
{
    // steady_clock is CLOCK_MONOTONIC in libstdc++ on Linux.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
inline double seconds(std::int64_t ns) { return double(ns) / 1e9; }

// Readme-like prose, the same every run: words in lines of at most 70
// characters, each line ended by CR LF, exactly `size` characters (or
// bytes) long. About one word in twenty is accented (é, and the typographic
// quotes that Windows-1252 holds at 0x93/0x94). As bytes: Windows-1252 (é is
// 0xE9, so not valid UTF-8) or UTF-8 (é is C3 A9).
QString proseText(std::int64_t size);
enum class Encoding { Windows1252, Utf8 };
QByteArray proseBytes(std::int64_t size, Encoding encoding);

// The control of type T on a screen that a screen reader names name (a
// button by its caption), or null.
template <class T>
T *named(QWidget *screen, const QString &name)
{
    for (T *w : screen->findChildren<T *>()) {
        const QString spoken = w->accessibleName().isEmpty() ? w->property("text").toString().remove(u'&')
                                                             : w->accessibleName();
        if (spoken == name)
            return w;
    }
    return nullptr;
}

// A folder of the run, under $TMPDIR, removed at exit.
QString workFolder();
QString workPath(const QString &name);
void writeFileOrDie(const QString &path, const QByteArray &bytes);

// The machine's limits, as plain POSIX calls on one buffer.
// open(O_TRUNC), write(), fdatasync() when asked, close().
void plainWrite(const QString &path, const QByteArray &bytes, bool dataSync);
// open(), fstat(), read() into one new buffer of the file's size, close().
std::int64_t plainRead(const QString &path);

// Runs the product's step and the limit once each per iteration, taking
// turns at going first, so both see the same state of a busy machine. The
// product's time is the benchmark's (manual) time; the counters "limit_s"
// (the limit's mean time) and "ratio" (product over limit) sit beside it.
template <class Product, class Limit>
void runPaired(benchmark::State &state, Product product, Limit limit)
{
    std::int64_t productNs = 0, limitNs = 0;
    bool limitFirst = false;
    for (auto _ : state) {
        const std::int64_t t0 = monotonicNs();
        limitFirst ? limit() : product();
        const std::int64_t t1 = monotonicNs();
        limitFirst ? product() : limit();
        const std::int64_t t2 = monotonicNs();
        const std::int64_t p = limitFirst ? t2 - t1 : t1 - t0;
        productNs += p;
        limitNs += (t2 - t0) - p;
        limitFirst = !limitFirst;
        state.SetIterationTime(seconds(p));
    }
    if (state.iterations() > 0 && limitNs > 0) {
        state.counters["limit_s"] = seconds(limitNs) / double(state.iterations());
        state.counters["ratio"] = double(productNs) / double(limitNs);
    }
}

}  // namespace velmora::bench
