// Google Benchmark's main, with the QApplication the viewer's box needs.
// Runs headless: QT_QPA_PLATFORM defaults to offscreen here.
#include "ui/toolkit/Fonts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <malloc.h>

// Google Benchmark's own main(), under another name, runs inside ours once
// the QApplication exists.
#define main googleBenchmarkMain
BENCHMARK_MAIN();
#undef main

int main(int argc, char *argv[])
{
    // Every block of 128 KiB or more comes fresh from the kernel, whatever
    // its size, as it does the first time the program needs it. Left alone,
    // glibc raises this threshold after each free (up to 32 MiB), so that
    // a 10 MiB file's buffers are reused from one iteration to the next
    // while a 40 MiB file's never are: sizes would not be compared alike.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // leaves the --benchmark_ flags alone
    velmora::look::loadFonts();     // as the program does before any screen
    return googleBenchmarkMain(argc, argv);
}
