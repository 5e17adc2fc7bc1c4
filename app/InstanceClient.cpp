#include "app/InstanceClient.h"

#include "app/SingleInstance.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// How long a plain command waits for its answer.
constexpr int answerMs = 5000;

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// The socket of the instance that holds the lock; nullopt when none does; empty when it said
// it could not listen.
std::optional<QString> holderSocket(const QString& lockPath) {
    Fd lock{::open(QFile::encodeName(lockPath).constData(),
                   O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK)};
    if (lock.fd < 0) return std::nullopt;
    // A lock we can share is a lock nobody holds: no instance runs.
    if (::flock(lock.fd, LOCK_SH | LOCK_NB) == 0) return std::nullopt;
    QByteArray written(4096, '\0');
    const ssize_t n = ::pread(lock.fd, written.data(), written.size(), 0);
    written.truncate(std::max<ssize_t>(n, 0));
    written = written.trimmed();
    if (written == "-") return QString();
    return written.isEmpty() ? SingleInstance::defaultPath() : QFile::decodeName(written);
}

int connectTo(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

} // namespace

InstanceClient::Result InstanceClient::ask(const QString& command, bool follow, std::FILE* out) {
    const std::optional<QString> socketPath = holderSocket(SingleInstance::defaultLockPath());
    if (!socketPath) return Result::notRunning;
    // The holder may have only just taken the lock and not listen yet.
    Fd socket;
    QElapsedTimer waited;
    waited.start();
    while (!socketPath->isEmpty() && (socket.fd = connectTo(*socketPath)) < 0 &&
           waited.elapsed() < SingleInstance::answerWaitMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (socket.fd < 0) {
        std::fprintf(stderr, "purrlox: Purrlox runs but does not answer\n");
        return Result::failed;
    }
    const QByteArray line = "!" + command.toUtf8() + "\n";
    if (::send(socket.fd, line.constData(), line.size(), MSG_NOSIGNAL) != line.size()) {
        std::fprintf(stderr, "purrlox: cannot reach the running Purrlox (%s)\n",
                     std::strerror(errno));
        return Result::failed;
    }
    QByteArray pending;
    bool answered = false;
    char buffer[4096];
    for (;;) {
        pollfd p{socket.fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, follow ? -1 : answerMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break; // no answer in time
        const ssize_t n = ::read(socket.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the instance closed the connection (or went)
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0;) {
            const QByteArray one = pending.left(end);
            pending.remove(0, end + 1);
            answered = true;
            if (one == "ok") continue;
            if (one.startsWith("error ")) {
                std::fprintf(stderr, "purrlox: the running Purrlox says: %s\n",
                             one.mid(6).constData());
                return Result::failed;
            }
            std::fwrite(one.constData(), 1, one.size(), out);
            std::fputc('\n', out);
            std::fflush(out);
        }
    }
    // A follower whose instance went: as if none ran.
    if (follow) return Result::notRunning;
    if (!answered) {
        std::fprintf(stderr, "purrlox: the running Purrlox did not answer\n");
        return Result::failed;
    }
    return Result::done;
}
