// The lifetimes of a window's runs: hand-offs served on the window's
// thread, runs held until they end, and the wait for them when the window goes.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

#include "ConversionMode.h"
#include "ConversionRuns.h"

class ConversionRunsTest : public QObject {
    Q_OBJECT

private slots:
    void HandOffs_RunOnTheOwnersThreadAndTheRunIsHeldAfterItEnds();
    void StopAndWait_EndsARunWaitingInItsHandOffAndFreesIt();
    void StopAndWait_EndsAParkedRun();
    void StopAndWait_LeavesARunWhoseHandOffIsBeingServed();
    void Start_HoldsTheStoppedRunUntilItHasEnded();
};

namespace {

// The window side of runs that report to runs: the hand-offs go through it,
// as the main window's do.
class RunWindow final : public ConvToTextWindow {
public:
    explicit RunWindow(ConversionRuns& runs) : runs(runs) {}
    int ConversionMode() const override { return kAsciiToText; }
    std::int64_t BlockCount() const override { return 100; }
    bool FormatBox1() const override { return false; }
    void UpdateGauge(ConvToText& run, int progress) override {
        runs.HandOff(run, [&] {
            if (QThread::currentThread() != owner)
                wrongThread = true;
            gauge << progress;
            if (onGauge)
                onGauge(run, progress);
        });
    }
    void ConvTerminate(ConvToText& run, bool) override {
        runs.HandOff(run, [this] { ++terminations; });
    }
    void RunEnded(ConvToText&) override { runs.RunEnded(); }

    ConversionRuns& runs;
    QThread* const owner = QThread::currentThread();
    std::function<void(ConvToText&, int)> onGauge;
    QList<int> gauge;
    int terminations = 0;
    bool wrongThread = false;
};

// An input of 100 blocks in a fresh folder.
struct Files {
    Files() {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(100 * 2048, '1')) != 100 * 2048)
            qWarning("cannot write %s", qPrintable(input));
    }
    ConvToTextStart Start(const QString& output = QStringLiteral("out.txt")) const {
        return {input.toStdString(), folder.filePath(output).toStdString(), "*", false, kAsciiToText};
    }
    QTemporaryDir folder;
    QString input = folder.filePath(QStringLiteral("in.cdr"));
};

// StopAndWait runs an event loop that only the word of a run's end wakes;
// should it never come, the test fails here instead of hanging.
class Watchdog {
public:
    Watchdog() {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [] { qFatal("the wait was never woken"); });
        timer.start(20000);
    }

private:
    QTimer timer;
};

}  // namespace

void ConversionRunsTest::HandOffs_RunOnTheOwnersThreadAndTheRunIsHeldAfterItEnds() {
    ConversionRuns runs;
    RunWindow window(runs);
    Files files;
    runs.Start(window, files.Start());
    ConvToText* run = runs.Current();
    QVERIFY(run);
    QTRY_COMPARE_WITH_TIMEOUT(window.terminations, 1, 20000);
    QTRY_VERIFY(run->Finished());
    QCOMPARE(window.gauge.first(), 0);
    QCOMPARE(window.gauge.last(), 100);
    QVERIFY(!window.wrongThread);
    // Held after its end, until the next start or the window goes.
    QCOMPARE(runs.Current(), run);
    QCOMPARE(runs.Find(runs.CurrentSerial()), run);
}

void ConversionRunsTest::StopAndWait_EndsARunWaitingInItsHandOffAndFreesIt() {
    ConversionRuns runs;
    RunWindow window(runs);
    Files files;
    runs.Start(window, files.Start());
    const ConversionRuns::Serial serial = runs.CurrentSerial();
    // The run's first hand-off waits for this thread, which has not served it.
    Watchdog watchdog;
    runs.StopAndWait();
    QVERIFY(!runs.Find(serial));
    QVERIFY(!runs.Current());
    QCOMPARE(runs.HeldCount(), std::size_t{0});
    QVERIFY(runs.Stopping());
    QCOMPARE(window.terminations, 1);
    // Stopped at a block boundary after at most its first block.
    QVERIFY(QFile(files.folder.filePath("out.txt")).size() <= 34 * 75);
}

void ConversionRunsTest::StopAndWait_EndsAParkedRun() {
    ConversionRuns runs;
    RunWindow window(runs);
    Files files;
    window.onGauge = [](ConvToText& run, int progress) {
        if (progress == 10)
            run.Pause();
    };
    runs.Start(window, files.Start());
    ConvToText* run = runs.Current();
    QTRY_VERIFY_WITH_TIMEOUT(run->IsParked(), 20000);
    Watchdog watchdog;
    runs.StopAndWait();
    QCOMPARE(runs.HeldCount(), std::size_t{0});
    QCOMPARE(window.gauge.last(), 10);
    QCOMPARE(QFile(files.folder.filePath("out.txt")).size(), 10 * 34 * 75);
}

void ConversionRunsTest::StopAndWait_LeavesARunWhoseHandOffIsBeingServed() {
    auto runs = std::make_unique<ConversionRuns>();
    RunWindow window(*runs);
    Files files;
    bool heldInside = false;
    window.onGauge = [&](ConvToText& run, int progress) {
        if (progress != 10)
            return;
        // A close while a notice of this run is open: the run cannot end
        // before this hand-off returns, so waiting for it would never end.
        runs->StopAndWait();
        heldInside = runs->Current() == &run;
    };
    runs->Start(window, files.Start());
    QTRY_VERIFY_WITH_TIMEOUT(heldInside, 20000);
    // The destructor waits for it, now that nothing serves it up the stack.
    Watchdog watchdog;
    runs.reset();
    QCOMPARE(window.gauge.last(), 10);
    QCOMPARE(QFile(files.folder.filePath("out.txt")).size(), 10 * 34 * 75);
}

void ConversionRunsTest::Start_HoldsTheStoppedRunUntilItHasEnded() {
    ConversionRuns runs;
    RunWindow window(runs);
    Files files;
    bool started = false;
    bool heldBoth = false;
    ConversionRuns::Serial first = 0;
    window.onGauge = [&](ConvToText& run, int progress) {
        if (progress != 10 || first)
            return;
        // The first run stops and a second starts while the first still
        // waits here for its hand-off.
        first = runs.CurrentSerial();
        run.Stop();
        runs.Start(window, files.Start(QStringLiteral("second.txt")));
        heldBoth = runs.Find(first) == &run && runs.Current() != &run && runs.HeldCount() == 2;
        started = true;
    };
    runs.Start(window, files.Start());
    QTRY_VERIFY_WITH_TIMEOUT(started, 20000);
    QVERIFY(heldBoth);
    // Freed on the word of its end, while the second is still held.
    QTRY_VERIFY_WITH_TIMEOUT(!runs.Find(first), 20000);
    QVERIFY(runs.Current());
    QTRY_VERIFY_WITH_TIMEOUT(runs.Current()->Finished(), 20000);
    QCOMPARE(QFile(files.folder.filePath("second.txt")).size(), 100 * 34 * 75);
    QCOMPARE(window.terminations, 2);
}

QTEST_MAIN(ConversionRunsTest)
#include "ConversionRunsTest.moc"
