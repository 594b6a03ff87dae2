#pragma once

#include <functional>

// The window's thread as runs reach it: each window gives its own event
// loop's way of taking work from another thread.
class FormThread {
public:
    // From a run's thread: work runs on the window's thread, also while one
    // of its message boxes is open; returns once it has run.
    virtual void Call(const std::function<void()>& work) = 0;
    // From a run's thread: work runs on the window's thread later; does not wait.
    virtual void Post(std::function<void()> work) = 0;
    // On the window's thread: takes Calls and Posts, but no user input,
    // until done() holds. done is asked again after every Post has run.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;

protected:
    ~FormThread() = default;
};
