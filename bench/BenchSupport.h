#pragma once

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace velmora::bench {

// The sizes that show how cost grows.
constexpr std::int64_t KiB = 1024;
constexpr std::int64_t MiB = 1024 * KiB;

// The sizes of every benchmark that must be linear: 1 KiB, 1 MiB, 10 MiB,
// and 40 MiB, against which 10 MiB is judged linear (from 1 MiB to 10 MiB
// the data leaves the caches and large blocks start to come fresh from the
// kernel, which raises the cost per byte without any change of algorithm).
void growingSizes(benchmark::internal::Benchmark *b);

std::int64_t monotonicNs();
inline double seconds(std::int64_t ns) { return double(ns) / 1e9; }

// Readme-like prose, the same every run: words in lines of at most 70
// characters, each line ended by CR LF, exactly `size` units long.
// Text: about one word in twenty is accented (é, and typographic quotes
// that Windows-1252 holds, at bytes 0x93/0x94).
QString proseText(std::int64_t size);
// The same prose as file bytes. Windows-1252 (é is 0xE9, so the bytes are
// not valid UTF-8) or UTF-8 (é is C3 A9).
enum class Encoding { Windows1252, Utf8 };
QByteArray proseBytes(std::int64_t size, Encoding encoding);

// A folder of the run for the files the benchmarks write; removed at exit.
// Under $TMPDIR (scripts/bench points it into build-bench/).
QString workFolder();
QString workPath(const QString &name);
void writeFileOrDie(const QString &path, const QByteArray &bytes);

// The machine's limits, as plain POSIX calls on one buffer.
// open(O_TRUNC), one write(), fdatasync() when asked, close().
void plainWrite(const QString &path, const QByteArray &bytes, bool dataSync);
// open(), fstat(), read() into one new buffer of the file's size, close().
std::int64_t plainRead(const QString &path);

// Records the paired measurement of a benchmark that runs the product's
// step and the machine's limit in the same loop: the product's time is the
// benchmark's (manual) time; the limit's mean time and the ratio become
// counters "limit_s" and "ratio".
struct Paired {
    std::int64_t productNs = 0;
    std::int64_t limitNs = 0;
    void report(benchmark::State &state) const;
};

// Runs the product's step and the limit once each per iteration, in turns
// (so that neither always follows the other), times both, and reports them
// as Paired does.
template <class Product, class Limit>
void runPaired(benchmark::State &state, Product product, Limit limit)
{
    const auto timed = [](auto &step) {
        const std::int64_t t0 = monotonicNs();
        step();
        return monotonicNs() - t0;
    };
    Paired paired;
    bool limitFirst = false;
    for (auto _ : state) {
        std::int64_t productNs = 0;
        if (limitFirst) {
            paired.limitNs += timed(limit);
            productNs = timed(product);
        } else {
            productNs = timed(product);
            paired.limitNs += timed(limit);
        }
        limitFirst = !limitFirst;
        paired.productNs += productNs;
        state.SetIterationTime(seconds(productNs));
    }
    paired.report(state);
}

}  // namespace velmora::bench
