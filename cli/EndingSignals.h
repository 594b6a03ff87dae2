#pragma once

#include <functional>

// How the process ends when told to from outside, the one place that knows
// the system's signals. On Linux SIGINT, SIGTERM, SIGHUP and SIGPIPE end it
// as they would by default, but every temporary output is removed first; on
// Windows Ctrl-C, Ctrl-Break and closing the console do the same.

// Call before any thread starts: on Linux the signals are blocked in every
// thread and taken by one thread of their own, which may take the locks a
// signal handler could not. lastWords runs just before the end.
void EndTidilyOnSignals(std::function<void()> lastWords);

// The reader of the output went away (| head): removes every temporary and
// ends quietly, as a pipeline expects; on Linux through SIGPIPE, so that the
// exit status is 141.
[[noreturn]] void EndForBrokenPipe();

// Whether standard error is a terminal, where a progress line can be redrawn.
bool StandardErrorIsATerminal();
