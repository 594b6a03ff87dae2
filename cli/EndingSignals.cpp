#include "EndingSignals.h"

#include <cstdio>
#include <cstdlib>

#include "TemporaryFiles.h"

#ifdef _WIN32

#include <io.h>
#include <windows.h>

namespace {
std::function<void()> lastWordsOnce;

BOOL WINAPI OnConsoleEvent(DWORD) {
    TemporaryFiles::RemoveAll();
    if (lastWordsOnce)
        lastWordsOnce();
    return FALSE;  // the default handler ends the process
}
}  // namespace

void EndTidilyOnSignals(std::function<void()> lastWords) {
    lastWordsOnce = std::move(lastWords);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void EndForBrokenPipe() {
    TemporaryFiles::RemoveAll();
    std::_Exit(1);
}

bool StandardErrorIsATerminal() { return _isatty(_fileno(stderr)) != 0; }

#else

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

namespace {

// A signal that the process was started ignoring stays ignored: nohup's
// SIGHUP, or SIGINT of a command run in the background of a script.
sigset_t EndingSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction now {};
        if (::sigaction(sig, nullptr, &now) == 0 && now.sa_handler == SIG_IGN)
            continue;
        sigaddset(&set, sig);
    }
    return set;
}

// Removes every temporary and ends the process through signal sig, so that
// its parent sees it killed by sig (exit status 128 + sig in a shell).
[[noreturn]] void EndThroughSignal(int sig) {
    TemporaryFiles::RemoveAll();
    ::signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);  // not reached: the signal's default action ends the process
}

}  // namespace

void EndTidilyOnSignals(std::function<void()> lastWords) {
    const sigset_t set = EndingSet();
    // Blocked here, before any thread exists, so every later thread inherits
    // it. A write into a closed pipe then fails with EPIPE, which the run
    // reports, instead of killing the process before the tidying.
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, lastWords = std::move(lastWords)] {
        int sig = 0;
        while (::sigwait(&set, &sig) != 0) {
        }
        TemporaryFiles::RemoveAll();
        if (lastWords)
            lastWords();
        EndThroughSignal(sig);
    }).detach();
}

void EndForBrokenPipe() { EndThroughSignal(SIGPIPE); }

bool StandardErrorIsATerminal() { return ::isatty(STDERR_FILENO) != 0; }

#endif
