// mavik-window-bench: one conversion run through the window's own code
// path (TMAVIKForm on the offscreen platform, its run thread and hand-offs),
// timed from the Convert click to the run's end. bench/run sets it against
// mavik-convert on the same file.
//
// Usage: mavik-window-bench TABLES_DIR INPUT OUTPUT [binary]
// Prints the seconds of the run on stdout, and on stderr the processor time
// the run took and the window's thread's share of it; exits 1 when the run did not end
// with the clean completion notice, 2 on a usage error.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <functional>
#include <optional>

#include "Main.h"
#include "Platform.h"
#include "RadioGroup.h"

namespace {

const QString kDone =
    QStringLiteral("Завершение преобразования !\rОшибок при преобразовании не обнаружено !");

// A run longer than this is taken as hung.
constexpr int kTimeoutMs = 10 * 60 * 1000;

// Answers the window without any dialog: the input is fixed, every box is
// recorded and accepted at once.
class BenchPlatform final : public Platform {
public:
    BenchPlatform(QString input, QString executable)
        : input_(std::move(input)), executable_(std::move(executable)) {}

    std::optional<QString> ChooseInputFile(QWidget*, const QString&) override { return input_; }
    Answer ShowMessageBox(QWidget*, const QString& text, const QString&, Icon,
                          Buttons buttons) override {
        texts.append(text);
        if (onBox)
            onBox();
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    void RunProgram(const QString&, const QString&) override {}
    bool ProgramFound(const QString&) const override { return true; }
    QString ExecutablePath() const override { return executable_; }

    QStringList texts;
    std::function<void()> onBox;

private:
    QString input_;
    QString executable_;
};

double CpuSeconds(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void PrintTexts(const QStringList& texts) {
    for (QString text : texts)
        std::fprintf(stderr, "  box: %s\n", text.replace(QLatin1Char('\r'), QLatin1Char(' ')).toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "binary") != 0)) {
        std::fputs("usage: mavik-window-bench TABLES_DIR INPUT OUTPUT [binary]\n", stderr);
        return 2;
    }
    // No display is needed or wanted; an explicit choice still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    // The window loads its code tables from the current folder, so the
    // paths are fixed before moving there.
    const QString input = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    const bool binary = argc == 5;
    if (::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "mavik-window-bench: %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }

    try {
        BenchPlatform platform(input, QString::fromLocal8Bit(argv[0]));
        TMAVIKForm form(platform);
        form.show();
        QCoreApplication::processEvents();

        if (binary) {
            auto* outputType = form.findChild<RadioGroup*>(QStringLiteral("TypeOutRadioGroup1"));
            if (!outputType) {
                std::fputs("mavik-window-bench: no TypeOutRadioGroup1 in the window\n", stderr);
                return 1;
            }
            outputType->setItemIndex(1);
        }
        form.SelFile1Click();
        auto* outputName = form.findChild<QLineEdit*>(QStringLiteral("OutFileNameEdit1"));
        if (!outputName) {
            std::fputs("mavik-window-bench: no OutFileNameEdit1 in the window\n", stderr);
            return 1;
        }
        outputName->setText(output);
        if (!platform.texts.isEmpty() || form.ConversionMode != (binary ? 1 : 0)) {
            std::fprintf(stderr, "mavik-window-bench: the window is not ready (mode %d)\n",
                         form.ConversionMode.load());
            PrintTexts(platform.texts);
            return 1;
        }

        // Nothing but the run's hand-offs wakes this thread until the
        // completion notice, as in the real window; only then is the few
        // microseconds' wait for the run's thread to finish polled, on
        // every pass of the loop so that it adds no timer granularity.
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!form.Converting && form.Worker() && form.Worker()->Finished())
                loop.quit();
        });
        // The window's thread competes with the run's two threads for the
        // cores: its processor time and wake-ups up to the notice are what
        // the window adds (the polling after it is the benchmark's own).
        int wakeUps = 0;
        bool noticeShown = false;
        double windowCpuAtNotice = 0;
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                         &loop, [&] { wakeUps += noticeShown ? 0 : 1; });
        platform.onBox = [&] {
            if (!noticeShown)
                windowCpuAtNotice = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            noticeShown = true;
            poll.start();
        };
        bool timedOut = false;
        QTimer::singleShot(kTimeoutMs, &loop, [&] {
            timedOut = true;
            loop.quit();
        });

        const double windowCpuStart = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const double processCpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto start = std::chrono::steady_clock::now();
        form.ConvBitBtn1Click();
        loop.exec();
        const auto end = std::chrono::steady_clock::now();
        const double windowCpu = windowCpuAtNotice - windowCpuStart;
        const double processCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processCpuStart;

        if (timedOut || platform.texts.size() != 1 || platform.texts.front() != kDone) {
            std::fputs(timedOut ? "mavik-window-bench: the run did not end in time\n"
                                : "mavik-window-bench: the run did not end cleanly\n",
                       stderr);
            PrintTexts(platform.texts);
            return 1;
        }
        std::printf("%.6f\n", std::chrono::duration<double>(end - start).count());
        std::fprintf(stderr,
                     "mavik-window-bench: processor time during the run %.1f ms, of it the "
                     "window's thread %.1f ms in %d wake-ups before the notice\n",
                     processCpu * 1e3, windowCpu * 1e3, wakeUps);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mavik-window-bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
