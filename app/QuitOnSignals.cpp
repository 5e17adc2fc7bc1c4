#include "app/QuitOnSignals.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> handled{SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};
struct sigaction previous[std::size(handled)];

void onSignalCaught(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitOnSignals::QuitOnSignals(QObject* parent) : QObject(parent) {
    onSignal = [](int signal) {
        Log::notice(QStringLiteral("quitting on signal %1").arg(signal));
        QCoreApplication::quit();
    };
    if (pipeFds[0] >= 0) {
        Log::error(QStringLiteral("signal handlers are already installed"));
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeFds) != 0) {
        Log::error(QStringLiteral("cannot watch for quit signals: %1").arg(strerror(errno)));
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignals::drain);
    struct sigaction action {};
    action.sa_handler = onSignalCaught;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &action, &previous[i]);
}

QuitOnSignals::~QuitOnSignals() {
    if (!notifier_) return;
    for (size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &previous[i], nullptr);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void QuitOnSignals::drain() {
    unsigned char byte = 0;
    while (::read(pipeFds[0], &byte, 1) == 1)
        if (onSignal) onSignal(byte);
}
