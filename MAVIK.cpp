// MAVIK: converts S12 call-record files; this is the window program.

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "Main.h"
#include "QtPlatform.h"
#include "QtTranslations.h"

namespace {

int terminationPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the window as the user would, so that the
// program ends through its normal path rather than being cut off.
void CloseOnTerminationSignals(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(terminationPipe[0], &byte, 1);
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The title names the program on the task bar and captions the error
    // box; it is not appended to the window's own caption "MAVIK".
    QApplication::setApplicationName(kApplicationTitle);
    InstallRussian(application);

    QtPlatform platform;
    TMAVIKForm MAVIKForm(platform);
    CloseOnTerminationSignals(MAVIKForm);
    MAVIKForm.show();
    return application.exec();
}
