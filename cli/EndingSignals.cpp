#include "EndingSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "TemporaryFiles.h"

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

}  // namespace

void EndThroughSignal(int sig) {
    TemporaryFiles::RemoveAll();
    ::signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
    ::_exit(128 + sig);  // not reached: the signal's default action ends the process
}

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
