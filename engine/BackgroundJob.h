#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// Work on a thread of its own with a stop flag and a progress counter that
// any thread may read. The owner never waits for it, except when it goes
// away: the destructor stops the work and joins.
class BackgroundJob {
public:
    struct Control {
        std::atomic<bool> Stop{false};
        std::atomic<std::uint64_t> Done{0};   // units of work done, e.g. bytes
        std::atomic<std::uint64_t> Total{0};  // units of work in all
        bool Stopped() const { return Stop.load(std::memory_order_relaxed); }
    };

    explicit BackgroundJob(std::function<void(Control&)> work);
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    void Cancel() { control_.Stop = true; }
    // True once the work has returned; what it wrote before is then visible.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    std::uint64_t Done() const { return control_.Done.load(std::memory_order_relaxed); }
    std::uint64_t Total() const { return control_.Total.load(std::memory_order_relaxed); }
    // Whole percent of the work, 0 to 100.
    int Percent() const;

private:
    Control control_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
