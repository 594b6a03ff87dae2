#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>

// What a job and its owner share: the stop flag the work looks at, and
// counters that any thread may read while it runs.
struct JobProgress {
    std::atomic<bool> Stop{false};
    std::atomic<std::uint64_t> Done{0};   // units of work done: bytes, records
    std::atomic<std::uint64_t> Total{0};  // units of work in all
    std::atomic<std::uint64_t> Found{0};  // what it has found so far, e.g. matches
    bool Stopped() const { return Stop.load(std::memory_order_relaxed); }
    // Whole percent of the work, 0 to 100.
    int Percent(bool finished) const;
};

// A failed job's error as a person reads it: "FILE: text" for an I/O error.
std::string JobFailure(const std::exception_ptr& failure);

// Work on a thread of its own, started by the constructor: an index, a
// find, a selection, an export. The owner polls the progress and
// Finished(), and never waits for it except when it goes away: the
// destructor stops the work and joins.
template <class R>
class Job {
public:
    // work returns its result, or nothing when it stopped early; what it
    // throws ends it and becomes Error().
    using Work = std::function<std::optional<R>(JobProgress&)>;

    explicit Job(Work work)
        : thread_([this, work = std::move(work)] {
              try {
                  result_ = work(progress_);
              } catch (...) {
                  failure_ = std::current_exception();
                  error_ = JobFailure(failure_);
              }
              finished_.store(true, std::memory_order_release);
          }) {}
    ~Job() {
        Cancel();
        thread_.join();
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    void Cancel() { progress_.Stop = true; }
    // True once the work has returned; what it wrote before is then visible.
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    const JobProgress& Progress() const { return progress_; }
    int Percent() const { return progress_.Percent(Finished()); }

    // Once Finished(): the result; nothing when it stopped early or failed.
    std::optional<R>& Result() { return result_; }
    const std::optional<R>& Result() const { return result_; }
    // Once Finished(): why it failed; empty when it did not.
    const std::string& Error() const { return error_; }
    // Once Finished(): what it threw, for a caller that tells errors by kind.
    const std::exception_ptr& Failure() const { return failure_; }

private:
    JobProgress progress_;
    std::optional<R> result_;
    std::string error_;
    std::exception_ptr failure_;
    std::atomic<bool> finished_{false};
    std::thread thread_;  // last: it starts at once and uses the members above
};
