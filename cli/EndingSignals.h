#pragma once

#include <functional>

// SIGINT, SIGTERM, SIGHUP and SIGPIPE end the process as they would by
// default, but every temporary output is removed first. Call before any
// thread starts: the signals are blocked in every thread and taken by one
// thread of their own, which may take the locks a signal handler could not.
// lastWords runs on that thread just before the end.
void EndTidilyOnSignals(std::function<void()> lastWords);

// Removes every temporary and ends the process through signal sig, so that
// its parent sees it killed by sig (exit status 128 + sig in a shell).
[[noreturn]] void EndThroughSignal(int sig);
