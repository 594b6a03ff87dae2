#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ConvToText.h"

class FormThread;

// The lifetimes of one window's conversion runs: the run started last, the
// stopped runs still finishing their block, the hand-offs the window's
// thread is serving, and the wait for all of them when the window goes. It
// lives on the window's thread; HandOff and RunEnded are called on runs'
// threads. Its owner calls StopAndWait before the thread goes.
class RunLifetimes {
public:
    using Serial = std::uint64_t;

    explicit RunLifetimes(FormThread& thread) : thread_(thread) {}
    RunLifetimes(const RunLifetimes&) = delete;
    RunLifetimes& operator=(const RunLifetimes&) = delete;

    // Starts a run reporting to window. The run started before is held
    // until it has ended.
    void Start(ConvToTextWindow& window, ConvToTextStart start);
    // The run started last, held also after it has ended, until the next
    // Start or StopAndWait frees it; nullptr when there is none.
    ConvToText* Current() const;
    Serial CurrentSerial() const;
    // The run of that serial while it is held; nullptr once it was freed.
    // Whoever waited in a nested event loop finds out this way whether the
    // run it knew about still exists.
    ConvToText* Find(Serial serial) const;
    std::size_t HeldCount() const { return runs_.size(); }
    // True from the first StopAndWait on: the window is going.
    bool Stopping() const { return stopping_; }

    // For a run's thread: runs work on the window's thread and returns once
    // it has run there.
    void HandOff(ConvToText& run, const std::function<void()>& work);
    // For a run's thread, once the run has finished: frees it from the
    // window's thread and wakes StopAndWait. Does not wait.
    void RunEnded();

    // Stops every run and serves their hand-offs until each has ended, then
    // frees them. A run whose hand-off this thread is serving further up the
    // stack cannot end before that returns; it stays held for a later call.
    void StopAndWait();

private:
    struct Held {
        Serial serial;
        std::unique_ptr<ConvToText> run;
    };
    bool Served(const ConvToText* run) const;
    // Frees the runs that have ended, other than the current one.
    void ReleaseEnded();

    FormThread& thread_;
    std::vector<Held> runs_;  // the current run last
    std::vector<const ConvToText*> served_;  // innermost last
    Serial lastSerial_ = 0;
    bool stopping_ = false;
};
