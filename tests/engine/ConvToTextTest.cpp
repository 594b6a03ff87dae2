#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "ConvToText.h"
#include "TestFiles.h"

namespace {

// Plays the window: the test's own thread serves the hand-offs, as the
// window's thread does, while the run waits for each.
class FakeWindow : public ConvToTextWindow {
public:
    std::atomic<int> mode{10};
    std::atomic<std::int64_t> blockCount{3};
    std::atomic<bool> formatBox1{true};

    // Called on the serving thread inside each gauge hand-off.
    std::function<void(ConvToText&, int)> onGauge;
    std::vector<int> gauge;
    std::vector<bool> terminations;
    bool wrongThread = false;

    int ConversionMode() const override { return mode; }
    std::int64_t BlockCount() const override { return blockCount; }
    bool FormatBox1() const override { return formatBox1; }

    void UpdateGauge(ConvToText& run, int progress) override {
        HandOff([&] {
            gauge.push_back(progress);
            if (onGauge)
                onGauge(run, progress);
        });
    }
    void ConvTerminate(ConvToText&, bool failed) override {
        HandOff([&] { terminations.push_back(failed); });
    }
    void RunEnded(ConvToText& run) override {
        if (!run.Finished())
            endedEarly = true;
        ++ended;
    }
    std::atomic<int> ended{0};
    std::atomic<bool> endedEarly{false};

    // Serves hand-offs until the run has finished.
    void ServeUntilFinished(const ConvToText& run) {
        std::unique_lock lock(mutex_);
        while (!run.Finished()) {
            if (queue_.empty()) {
                cv_.wait_for(lock, std::chrono::milliseconds(5));
                continue;
            }
            auto task = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            task();
            lock.lock();
            ++served_;
            cv_.notify_all();
        }
    }

private:
    void HandOff(const std::function<void()>& f) {
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() == server_)
            wrongThread = true;
        const long ticket = ++posted_;
        queue_.push_back(f);
        cv_.notify_all();
        cv_.wait(lock, [&] { return served_ >= ticket; });
    }

    const std::thread::id server_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
    long posted_ = 0;
    long served_ = 0;
};

Bytes ThreeBlocks() {
    Bytes bytes;
    for (int k = 0; k < 3; ++k) {
        const Bytes b = BlockBytes(ExampleBlock());
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

// Polls for a state another thread brings about, for at most ten seconds.
bool WaitUntil(const std::function<bool()>& reached) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!reached()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Serves a run's hand-offs on a thread of its own, so that the test's
// thread can act as the user while the run is parked.
class BackgroundServer {
public:
    BackgroundServer(FakeWindow& window, const ConvToText& run)
        : run_(run), thread_([&window, &run] { window.ServeUntilFinished(run); }) {}
    // A run that never wakes from its pause can be neither joined nor freed:
    // the test program ends here with a failure rather than hang.
    ~BackgroundServer() {
        if (!WaitUntil([this] { return run_.Finished(); })) {
            std::fprintf(stderr, "FAILED: the run never woke from its pause\n");
            std::_Exit(1);
        }
        thread_.join();
    }

private:
    const ConvToText& run_;
    std::thread thread_;
};

class ConvToTextTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(dir / "in", ThreeBlocks()); }
    ConvToTextStart Start(int mode = 10) { return {dir / "in", dir / "out", "*", false, mode}; }
    TempDir dir;
    FakeWindow window;
};

constexpr std::size_t kBlockOfFormattedLines = 34 * 86;
constexpr std::size_t kBlockOfRawLines = 34 * 75;

}  // namespace

TEST_F(ConvToTextTest, RunsToTheEndHandingOffOnTheWindowThread) {
    ConvToText run(window, Start());
    window.ServeUntilFinished(run);
    EXPECT_EQ(window.gauge, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(window.terminations, std::vector<bool>{false});
    EXPECT_FALSE(window.wrongThread);
    EXPECT_EQ(run.Progress(), 100);
    EXPECT_EQ(ReadFile(dir / "out").size(), 3 * kBlockOfFormattedLines);
}

TEST_F(ConvToTextTest, FailureReachesTheNoticeAsFailed) {
    ConvToTextStart start = Start();
    start.InputPath = dir / "missing";
    ConvToText run(window, start);
    window.ServeUntilFinished(run);
    EXPECT_EQ(window.terminations, std::vector<bool>{true});
    EXPECT_EQ(window.gauge, std::vector<int>{0});
    EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

TEST_F(ConvToTextTest, StopEndsTheRunAfterTheCurrentBlock) {
    window.onGauge = [](ConvToText& run, int progress) {
        if (progress == 33)
            run.Stop();
    };
    ConvToText run(window, Start());
    window.ServeUntilFinished(run);
    EXPECT_EQ(ReadFile(dir / "out").size(), kBlockOfFormattedLines);
    EXPECT_FALSE(run.IsConverting());
    EXPECT_EQ(window.terminations, std::vector<bool>{false});
}

TEST_F(ConvToTextTest, PauseAnsweredNoLeavesTheOutputAsAnUninterruptedRun) {
    {
        ConvToText plain(window, Start());
        window.ServeUntilFinished(plain);
    }
    const Bytes uninterrupted = ReadFile(dir / "out");
    window.onGauge = [](ConvToText& run, int progress) {
        if (progress == 33)
            run.Pause();
    };
    ConvToText run(window, Start());
    {
        BackgroundServer server(window, run);
        // The answer comes only once the run waits at its gate, as a user's does.
        ASSERT_TRUE(WaitUntil([&] { return run.IsParked(); }));
        EXPECT_FALSE(run.Finished());
        run.Resume();
    }
    EXPECT_EQ(ReadFile(dir / "out"), uninterrupted);
    EXPECT_EQ(window.terminations, (std::vector<bool>{false, false}));
}

TEST_F(ConvToTextTest, PausedRunWaitsAtTheBlockBoundaryUntilToldToStop) {
    window.onGauge = [&](ConvToText& run, int progress) {
        if (progress == 33)
            run.Pause();
    };
    ConvToText run(window, Start());
    {
        BackgroundServer server(window, run);
        ASSERT_TRUE(WaitUntil([&] { return run.IsParked(); }));
        run.Stop();
        run.Resume();
    }
    EXPECT_FALSE(run.IsParked());
    EXPECT_EQ(ReadFile(dir / "out").size(), kBlockOfFormattedLines);
    EXPECT_EQ(window.gauge, (std::vector<int>{0, 33}));
}

TEST_F(ConvToTextTest, AbortReleasesAPausedRun) {
    window.onGauge = [](ConvToText& run, int progress) {
        if (progress == 66)
            run.Pause();
    };
    ConvToText run(window, Start());
    {
        BackgroundServer server(window, run);
        ASSERT_TRUE(WaitUntil([&] { return run.IsParked(); }));
        run.Abort();
    }
    EXPECT_EQ(ReadFile(dir / "out").size(), 2 * kBlockOfFormattedLines);
    EXPECT_EQ(window.terminations, std::vector<bool>{false});
    // Told once, after the run had finished.
    EXPECT_EQ(window.ended, 1);
    EXPECT_FALSE(window.endedEarly);
}

TEST_F(ConvToTextTest, WindowValuesChangedDuringTheRunApplyFromTheNextBlock) {
    window.onGauge = [this](ConvToText&, int progress) {
        if (progress == 33)
            window.formatBox1 = false;
    };
    ConvToTextStart start = Start();
    start.SeparatorText = "ignored";
    start.TabBox1 = true;  // TAB wins over the text
    ConvToText run(window, start);
    window.ServeUntilFinished(run);
    const Bytes out = ReadFile(dir / "out");
    ASSERT_EQ(out.size(), kBlockOfFormattedLines + 2 * kBlockOfRawLines);
    EXPECT_EQ(out[1], '\t');
}

TEST_F(ConvToTextTest, BinaryModeFixesAnEmptySeparator) {
    window.mode = 11;
    ConvToTextStart start = Start(11);
    start.Tables.AsciiToEbcdic.emplace().fill(0x40);
    ConvToText run(window, start);
    window.ServeUntilFinished(run);
    const Bytes out = ReadFile(dir / "out");
    ASSERT_EQ(out.size(), 3 * 2048u);
    EXPECT_EQ(out[0], 0x40);
}
