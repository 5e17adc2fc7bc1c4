#include "updates/UpdateDownload.h"

#include "base/Log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>
#include <malloc.h>

namespace {

// Bytes Qt may hold for us before the network thread stops reading: the rest waits in the
// socket, so a fast server cannot fill memory faster than the disk takes it.
constexpr qint64 readBuffer = 64 * 1024;
constexpr qint64 trimAfter = 16LL << 20;
constexpr int maxRedirects = 5;

// A redirect stays with the server we were configured with: same scheme (so never from https
// down to http), same host, same port.
bool sameOrigin(const QUrl& to, const QUrl& base) {
    return to.scheme().compare(base.scheme(), Qt::CaseInsensitive) == 0 &&
           to.host().compare(base.host(), Qt::CaseInsensitive) == 0 &&
           to.port(base.scheme() == QLatin1String("https") ? 443 : 80) ==
               base.port(base.scheme() == QLatin1String("https") ? 443 : 80);
}

// A server-chosen address, fit for one log line.
QString shown(const QUrl& url) {
    return url.toDisplayString(QUrl::RemoveUserInfo).left(300);
}

QString seconds(int ms) {
    return QString::number(ms / 1000.0);
}

} // namespace

UpdateDownload::UpdateDownload(QUrl base, int timeoutMs, QObject* parent)
    : QObject(parent), base_(std::move(base)), timeoutMs_(timeoutMs) {
    network_.setAutoDeleteReplies(false);
    network_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

UpdateDownload::~UpdateDownload() {
    // Its handlers capture the updater: cut them before the reply goes with network_.
    if (QNetworkReply* reply = inFlight_) {
        disconnect(reply, nullptr, nullptr, nullptr);
        reply->abort();
        delete reply;
    }
}

void UpdateDownload::fetch(const QString& path, const QString& what, int deadlineMs, qint64 cap,
                           std::function<QString(QByteArrayView)> take,
                           std::function<void(QNetworkReply*, const QString&)> done) {
    QNetworkRequest request(base_.resolved(QUrl(path)));
    request.setTransferTimeout(timeoutMs_);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Counted here, not by Qt: Qt ends a loop without an error, as if the last hop had answered.
    request.setMaximumRedirectsAllowed(maxRedirects + 1);
    QNetworkReply* reply = network_.get(request);
    reply->setReadBufferSize(readBuffer);
    inFlight_ = reply;

    struct Run {
        QString failure;
        int redirects = 0;
        QUrl lastRedirect;
        qint64 received = 0;
        QByteArray buffer;
    };
    auto run = std::make_shared<Run>();
    run->buffer.resize(readBuffer);
    const auto stop = [reply, run](const QString& why) {
        if (run->failure.isEmpty()) run->failure = why;
        reply->abort();
    };
    const QString tooLarge = QStringLiteral("%1 is larger than %2 bytes").arg(what).arg(cap);
    // Straight to take as it arrives, counted on the way.
    const auto pump = [reply, run, stop, take, cap, tooLarge] {
        while (run->failure.isEmpty() && reply->bytesAvailable() > 0) {
            const qint64 n = reply->read(run->buffer.data(), run->buffer.size());
            if (n <= 0) return;
            run->received += n;
            if (run->received > cap) return stop(tooLarge);
            const QString failed = take(QByteArrayView(run->buffer.constData(), n));
            if (!failed.isEmpty()) return stop(failed);
        }
    };
    connect(reply, &QNetworkReply::readyRead, reply, pump);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, stop, cap, tooLarge] {
        // A body announced as too large is not waited for.
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > cap) stop(tooLarge);
    });
    const QUrl base = base_;
    connect(reply, &QNetworkReply::redirected, reply,
            [reply, run, stop, base, what](const QUrl& to) {
                if (!sameOrigin(to, base))
                    return stop(QStringLiteral("refused a redirect to %1").arg(shown(to)));
                if (++run->redirects > maxRedirects)
                    return stop(QStringLiteral("%1 went round too many redirects, the last to %2")
                                    .arg(what, shown(to)));
                Log::info(QStringLiteral("updates: redirected to %1").arg(shown(to)));
                run->lastRedirect = to;
                emit reply->redirectAllowed();
            });
    // The idle time-out restarts with every byte; a trickle still ends here.
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [stop, what, deadlineMs] {
        stop(QStringLiteral("%1 took longer than %2 s").arg(what, seconds(deadlineMs)));
    });
    deadline->start(deadlineMs);
    // A large body leaves its freed buffers in the allocator's arenas, the network thread's
    // among them: they go back to the system once the reply has gone.
    connect(reply, &QObject::destroyed, [run] {
        if (run->received > trimAfter) ::malloc_trim(0);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, run, pump, deadline, done, what] {
        deadline->stop();
        reply->deleteLater();
        if (inFlight_ == reply) inFlight_ = nullptr;
        pump(); // what came with the end
        // Qt ends a loop with no error of its own and no real answer: say where it went round.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (run->failure.isEmpty() && run->redirects > 0 &&
            reply->error() == QNetworkReply::NoError && (status < 200 || status / 100 == 3))
            run->failure = QStringLiteral("%1 went round too many redirects, the last to %2")
                               .arg(what, shown(run->lastRedirect));
        done(reply, run->failure);
    });
}

void UpdateDownload::release(const QString& folder, const QString& archive, const QString& digest,
                             int deadlineMs, qint64 cap, std::function<void(bool)> done) {
    QFile::remove(archive);
    if (!QDir().mkpath(folder)) {
        Log::error(QStringLiteral("updates: cannot create %1").arg(folder));
        return done(false);
    }
    auto file = std::make_shared<QTemporaryFile>(folder + "/.download-XXXXXX");
    if (!file->open()) {
        Log::error(QStringLiteral("updates: %1").arg(file->errorString()));
        return done(false);
    }
    auto hash = std::make_shared<QCryptographicHash>(QCryptographicHash::Sha256);
    fetch(
        QStringLiteral("update/Purrlox.tar.gz"), QStringLiteral("the release"), deadlineMs, cap,
        [file, hash](QByteArrayView chunk) {
            if (file->write(chunk.data(), chunk.size()) != chunk.size()) return file->errorString();
            hash->addData(chunk);
            return QString();
        },
        [file, hash, digest, archive, done](QNetworkReply* reply, const QString& failure) {
            QString why = failure;
            if (why.isEmpty() && reply->error() != QNetworkReply::NoError)
                why = reply->errorString();
            if (why.isEmpty() && !file->flush()) why = file->errorString();
            if (!why.isEmpty()) {
                Log::error(QStringLiteral("updates: %1").arg(why));
                file->remove();
                return done(false);
            }
            if (QString::fromLatin1(hash->result().toHex()) != digest) {
                file->remove();
                Log::error(QStringLiteral("updates: the downloaded tarball is not the signed one"));
                return done(false);
            }
            if (!file->rename(archive)) {
                Log::error(QStringLiteral("updates: %1").arg(file->errorString()));
                file->remove();
                return done(false);
            }
            file->setAutoRemove(false);
            file->close();
            done(true);
        });
}
