#include "platform/wayland/IpcChannel.h"

#include "base/Log.h"

#include <QLocalSocket>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int kFirstPauseMs = 250;
constexpr int kLongestPauseMs = 8000;
// Read in bounded pieces: a message being skipped is never held whole.
constexpr qint64 kReadPiece = 64 << 10;

} // namespace

IpcChannel::IpcChannel(QString streamPath, QString absentWhy, QString closedWhy)
    : path_(std::move(streamPath)), absentWhy_(std::move(absentWhy)),
      closedWhy_(std::move(closedWhy)) {
    retry_ = new QTimer(this);
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, &IpcChannel::connectNow);
    floatingCheck_ = new QTimer(this);
    floatingCheck_->setSingleShot(true);
    connect(floatingCheck_, &QTimer::timeout, this, &IpcChannel::reread);
}

IpcChannel::~IpcChannel() {
    if (socket_) socket_->disconnect(this);
}

void IpcChannel::start() {
    connectNow();
}

// Only floating windows move unannounced; everything else comes with an event.
void IpcChannel::refresh() {
    if (live_ && floatingShown_) reread();
}

void IpcChannel::userActive(bool active) {
    if (active == userActive_) return;
    userActive_ = active;
    // Idle: one last look, for where a drag or a key binding left the window; then nothing
    // until input or an event. Active again: a look at once, and the timer from its answer.
    if (live_ && floatingShown_) reread();
}

SocketPath::Verdict IpcChannel::verdict() const {
    return SocketPath::check(path_);
}

void IpcChannel::connectNow() {
    if (refused_) return;
    const SocketPath::Verdict v = verdict();
    if (v == SocketPath::Verdict::absent) {
        closed(absentWhy_);
        return;
    }
    if (v != SocketPath::Verdict::ours) {
        refused_ = true;
        Log::error(QStringLiteral("%1; the cat walks on the floor only").arg(refusal(v)));
        return;
    }
    if (socket_) socket_->deleteLater();
    socket_ = new QLocalSocket(this);
    connect(socket_, &QLocalSocket::connected, this, &IpcChannel::opened);
    connect(socket_, &QLocalSocket::readyRead, this, &IpcChannel::readStream);
    connect(socket_, &QLocalSocket::disconnected, this, [this] { closed(closedWhy_); });
    connect(socket_, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError) {
        if (socket_->state() != QLocalSocket::ConnectedState) closed(socket_->errorString());
    });
    pending_.clear();
    skipping_ = 0;
    socket_->connectToServer(path_);
}

void IpcChannel::closed(const QString& why) {
    if (retry_->isActive()) return;
    floatingCheck_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    pending_.clear();
    // The first failure of a live channel is the one worth telling; the retries are quiet.
    if ((live_ || pauseMs_ == 0) && onLost) onLost(why);
    live_ = false;
    pauseMs_ = pauseMs_ == 0 ? kFirstPauseMs : std::min(pauseMs_ * 2, kLongestPauseMs);
    retry_->start(pauseMs_);
}

void IpcChannel::write(const QByteArray& bytes) {
    if (socket_) socket_->write(bytes);
}

void IpcChannel::readStream() {
    while (socket_) {
        if (skipping_ > 0) {
            const qint64 n = std::min(skipping_, socket_->bytesAvailable());
            if (n <= 0) break;
            socket_->skip(n);
            skipping_ -= n;
            continue;
        }
        const QByteArray piece = socket_->read(kReadPiece);
        if (piece.isEmpty()) break;
        pending_ += piece;
        qsizetype at = 0;
        while (at < pending_.size()) {
            const QByteArrayView front = QByteArrayView(pending_).sliced(at);
            const Cut c = cut(front);
            if (!socket_ || c.kind == Cut::more) break;
            const qsizetype whole = c.head + c.body + c.tail;
            if (c.kind == Cut::skip) {
                skipping_ = std::max<qint64>(0, whole - front.size());
                at += std::min(whole, front.size());
                continue;
            }
            const QByteArray head = front.first(c.head).toByteArray();
            QByteArray body = pending_.mid(at + c.head, c.body);
            at += whole;
            message(head, std::move(body));
            if (!socket_) break;
        }
        if (!socket_) break; // closing dropped what was pending
        pending_.remove(0, at);
    }
    drained();
}

void IpcChannel::reread() {
    if (asked_) {
        stale_ = true;
        return;
    }
    asked_ = true;
    stale_ = false;
    floatingCheck_->stop();
    ask();
}

void IpcChannel::forgetAsked() {
    asked_ = stale_ = false;
}

void IpcChannel::answered(std::optional<CompositorWindows> list, bool floatingShown) {
    asked_ = false;
    if (list) floatingShown_ = floatingShown;
    if (stale_)
        reread();
    else if (list && floatingShown && socket_ && userActive_)
        floatingCheck_->start(kFloatingCheckMs);
    if (!list || !socket_) return;
    complained_ = false;
    // A check that found nothing new tells nobody.
    if (live_ && *list == last_) return;
    live_ = true;
    pauseMs_ = 0;
    last_ = *list;
    if (onWindows) onWindows(std::move(*list));
}

void IpcChannel::complain(const QString& what) {
    if (complained_) return;
    complained_ = true;
    Log::error(QStringLiteral("%1 sent %2; the cat keeps the windows it knew").arg(name(), what));
}
