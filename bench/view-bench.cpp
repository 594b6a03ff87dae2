// mavik-view-bench: the viewers' figures for bench/run-viewers. Not a test.
//
//   mavik-view-bench first-screen FILE   ms from opening each viewer to its first painted screen
//   mavik-view-bench index FILE          indexing the lines: seconds, GB/s, index memory
//   mavik-view-bench find FILE TEXT      finding TEXT from the start (case and no case): GB/s
//
// Run on the offscreen platform; prints "name value unit" lines. The first
// screen counts until the view has painted rows, through the event loop as
// a user would see it (a file with nothing to show never gets there).

#include <QApplication>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <thread>

#include "Job.h"
#include "ByteRowsView.h"
#include "ByteViewerWindow.h"
#include "FileSource.h"
#include "LineIndexJob.h"
#include "TextSearch.h"
#include "TextRowsView.h"
#include "TextViewerWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Processor seconds of the whole process: on a shared machine, what the
// work cost, whoever else had the processors meanwhile.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// ms from opening the file to a painted screen, as a user waits for it.
template <typename Viewer>
double OpenAndPaint(const std::function<Viewer*()>& open, const std::function<bool(Viewer*)>& painted) {
    const auto start = Clock::now();
    Viewer* viewer = open();
    viewer->show();
    while (!painted(viewer) && Seconds(start) < 10)
        QCoreApplication::processEvents();
    const double ms = Seconds(start) * 1e3;
    delete viewer;
    return ms;
}

int FirstScreen(int argc, char* argv[], const char* file) {
    QApplication application(argc, argv);
    const QString path = QString::fromLocal8Bit(file);
    const auto bytes = [&] { return ByteViewerWindow::Open(path, {ByteDecoding::Input::Ascii, nullptr}); };
    const auto bytesPainted = [](ByteViewerWindow* v) { return !v->View()->ShownRows().empty(); };
    const auto text = [&] { return TextViewerWindow::Open(path); };
    const auto textPainted = [](TextViewerWindow* v) { return !v->View()->ShownLines().empty(); };
    // The first window of the process also loads fonts and the style: the
    // program's start, not the file's opening. Shown apart as "cold".
    std::printf("cold-first-window %.2f ms\n", OpenAndPaint<ByteViewerWindow>(bytes, bytesPainted));
    std::printf("byte-viewer-first-screen %.2f ms\n", OpenAndPaint<ByteViewerWindow>(bytes, bytesPainted));
    std::printf("text-viewer-first-screen %.2f ms\n", OpenAndPaint<TextViewerWindow>(text, textPainted));
    return 0;
}

int Index(const char* file) {
    FileSource source(file);
    const auto start = Clock::now();
    const double cpu0 = CpuSeconds();
    LineIndexJob job(source);
    while (!job.Finished())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double s = Seconds(start);
    const double cpu = CpuSeconds() - cpu0;
    const auto index = job.Snapshot();
    std::printf("index-seconds %.3f s\n", s);
    std::printf("index-speed %.2f GB/s\n", static_cast<double>(source.Size()) / s / 1e9);
    std::printf("index-speed-cpu %.2f GB/s (per processor second)\n", static_cast<double>(source.Size()) / cpu / 1e9);
    std::printf("index-lines %llu lines\n", static_cast<unsigned long long>(index->LineCount()));
    std::printf("index-checkpoints %zu checkpoints\n", index->Checkpoints.size());
    std::printf("index-memory %.1f KiB (%zu bytes)\n",
                static_cast<double>(index->Checkpoints.size() * sizeof(LineCheckpoint)) / 1024,
                index->Checkpoints.size() * sizeof(LineCheckpoint));
    return 0;
}

int Find(const char* file, const char* text) {
    FileSource source(file);
    for (bool matchCase : {true, false}) {
        JobProgress control;
        const auto start = Clock::now();
        const double cpu0 = CpuSeconds();
        const auto hit = FindInFile(source, {text, matchCase, Charset::Windows1251}, 0, false, control);
        const double s = Seconds(start);
        const double cpu = CpuSeconds() - cpu0;
        const std::uint64_t scanned = hit ? *hit : source.Size();
        std::printf("find-%s %.2f GB/s (%.3f s, %s)\n", matchCase ? "case" : "nocase",
                    static_cast<double>(scanned) / s / 1e9, s, hit ? "found" : "not found");
        std::printf("find-%s-cpu %.2f GB/s (per processor second)\n", matchCase ? "case" : "nocase",
                    static_cast<double>(scanned) / cpu / 1e9);
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "first-screen") == 0)
            return FirstScreen(argc, argv, argv[2]);
        if (argc == 3 && std::strcmp(argv[1], "index") == 0)
            return Index(argv[2]);
        if (argc == 4 && std::strcmp(argv[1], "find") == 0)
            return Find(argv[2], argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mavik-view-bench: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: mavik-view-bench first-screen FILE | index FILE | find FILE TEXT\n");
    return 2;
}
