#include "updates/Updater.h"

#include "base/Config.h"
#include "base/Log.h"
#include "platform/Defaults.h"
#include "system/FileList.h"
#include "system/Relaunch.h"
#include "system/Signed.h"
#include "updates/ReleaseArchive.h"
#include "updates/UpdateChecks.h"
#include "updates/UpdateKey.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUuid>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 manifestCap = 64 * 1024;
// Bytes Qt may hold for us before the network thread stops reading: the rest waits in the
// socket, so a fast server cannot fill memory faster than the disk takes it.
constexpr qint64 readBuffer = 64 * 1024;
constexpr qint64 trimAfter = 16LL << 20;
constexpr int maxRedirects = 5;
constexpr const char* checkedKey = "updateCheckedAt";
const QString stagingName = QStringLiteral(".Purrlox-update");

void reach(const char* point) {
    if (Updater::reached) Updater::reached(point);
}

// The process-wide cache folder, without a QCoreApplication name in between.
QString cacheHome() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    return QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.cache");
}

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

Updater::Setup Updater::Setup::standard() {
    Setup s;
    s.base = Config::shop();
    s.publicKey = pinnedUpdateKey;
    const QDir bin(QCoreApplication::applicationDirPath());
    if (bin.dirName() == QLatin1String("bin")) s.app = QFileInfo(bin.absolutePath()).absolutePath();
    s.folder = cacheHome() + "/" + Config::bundleId + "/Update";
    bool ok = false;
    const double delay = qEnvironmentVariable("PURRLOX_UPDATE_DELAY").toDouble(&ok);
    if (ok && delay >= 0 && delay < 86400) s.firstCheckMs = int(delay * 1000);
    return s;
}

Updater::Updater(Defaults& defaults, Setup setup, QObject* parent)
    : QObject(parent), defaults_(defaults), setup_(std::move(setup)) {
    QFile version(setup_.app + "/VERSION");
    if (!setup_.app.isEmpty() && version.open(QIODevice::ReadOnly))
        current_ = QString::fromUtf8(version.read(256)).trimmed();
    if (current_.isEmpty()) current_ = QStringLiteral("0");
    Log::notice(QStringLiteral("updates: version %1 runs from %2")
                    .arg(current_, setup_.app.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : setup_.app));

    relaunch = [](const QString& program, const QString& removing, QString* error) {
        // The same options again, but not the links this start already handled.
        QStringList arguments = QCoreApplication::arguments().mid(1);
        arguments.removeIf(
            [](const QString& a) { return a.startsWith(QLatin1String("purrlox:")); });
        return Relaunch::whenGone(program, removing, arguments, error);
    };
    quit = [] { QCoreApplication::quit(); };
    network_.setAutoDeleteReplies(false);
    network_.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);

    timer_.setInterval(3600 * 1000);
    connect(&timer_, &QTimer::timeout, this, &Updater::hourly);
    timer_.start();
    QTimer::singleShot(setup_.firstCheckMs, this, &Updater::check);
}

Updater::~Updater() {
    // Its handlers capture this updater: cut them before the reply goes with network_.
    if (QNetworkReply* reply = inFlight_) {
        disconnect(reply, nullptr, nullptr, nullptr);
        reply->abort();
        delete reply;
    }
}

void Updater::hourly() {
    const auto last = defaults_.date(checkedKey);
    if (!last || last->secsTo(QDateTime::currentDateTimeUtc()) >= 86400)
        QTimer::singleShot(0, this, &Updater::check);
}

std::optional<QString> Updater::replaceable() const {
    if (setup_.app.isEmpty()) return std::nullopt;
    const QFileInfo app(setup_.app);
    const QString path = app.canonicalFilePath();
    if (path.isEmpty() || !app.isDir()) return std::nullopt;
    if (!QFileInfo(path + "/bin/purrlox").isExecutable() || !QFileInfo::exists(path + "/VERSION"))
        return std::nullopt;
    if (path.startsWith(QLatin1String("/usr/"))) return std::nullopt;
    const QString parent = QFileInfo(path).absolutePath();
    if (::access(QFile::encodeName(parent).constData(), W_OK | X_OK) != 0 ||
        ::access(QFile::encodeName(path).constData(), W_OK | X_OK) != 0)
        return std::nullopt;
    return path;
}

bool Updater::newer(const QString& a, const QString& than) {
    const auto numbers = [](const QString& text) {
        QList<qulonglong> list;
        for (const QString& part : text.split(QLatin1Char('.'), Qt::SkipEmptyParts))
            list.append(part.toULongLong()); // not a number: 0
        return list;
    };
    const QList<qulonglong> x = numbers(a), y = numbers(than);
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        const qulonglong p = i < x.size() ? x[i] : 0, q = i < y.size() ? y[i] : 0;
        if (p != q) return p > q;
    }
    return false;
}

std::optional<QString> Updater::sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return QString::fromLatin1(hash.result().toHex());
}

std::optional<Updater::Offer> Updater::readManifest(const QString& text, const QByteArray& key) {
    const auto manifest = Signed::payload(text, key);
    if (!manifest) return std::nullopt;
    // The version names a file and the digest is compared as text: both must have their form.
    static const QRegularExpression versionForm(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9}){0,7}$"));
    static const QRegularExpression digestForm(QStringLiteral("^[0-9a-f]{64}$"));
    const QJsonValue v = manifest->value("v"), os = manifest->value("os"),
                     version = manifest->value("version"), digest = manifest->value("sha256");
    if (!v.isDouble() || v.toDouble() != 1.0 || !os.isString() || os.toString() != "linux" ||
        !version.isString() || !digest.isString() ||
        !versionForm.match(version.toString()).hasMatch() ||
        !digestForm.match(digest.toString()).hasMatch())
        return std::nullopt;
    return Offer{version.toString(), digest.toString()};
}

void Updater::check() {
    if (checking) return;
    checking = true;
    // The user's "Check for updates" switch: while it is off, no request at all.
    if (!UpdateChecks::enabled(defaults_)) {
        Log::info(QStringLiteral("updates: checking is switched off"));
        finish();
        return;
    }
    defaults_.setDate(checkedKey, QDateTime::currentDateTimeUtc());
    if (!replaceable()) {
        const QString running =
            setup_.app.isEmpty() ? QCoreApplication::applicationDirPath() : setup_.app;
        Log::info(QStringLiteral("updates: %1 can't be replaced, not checking").arg(running));
        finish();
        return;
    }
    auto body = std::make_shared<QByteArray>();
    fetch(
        QStringLiteral("update/linux"), QStringLiteral("the manifest"), setup_.manifestDeadlineMs,
        manifestCap,
        [body](QByteArrayView chunk) {
            body->append(chunk);
            return QString();
        },
        [this, body](QNetworkReply* reply, const QString& failure) {
            manifestArrived(reply, *body, failure);
        });
}

void Updater::fetch(const QString& path, const QString& what, int deadlineMs, qint64 cap,
                    std::function<QString(QByteArrayView)> take,
                    std::function<void(QNetworkReply*, const QString&)> done) {
    QNetworkRequest request(setup_.base.resolved(QUrl(path)));
    request.setTransferTimeout(setup_.timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setMaximumRedirectsAllowed(maxRedirects);
    QNetworkReply* reply = network_.get(request);
    reply->setReadBufferSize(readBuffer);
    inFlight_ = reply;

    struct Run {
        QString failure;
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
    const QUrl base = setup_.base;
    connect(reply, &QNetworkReply::redirected, reply, [reply, stop, base](const QUrl& to) {
        if (!sameOrigin(to, base))
            return stop(QStringLiteral("refused a redirect to %1").arg(shown(to)));
        Log::info(QStringLiteral("updates: redirected to %1").arg(shown(to)));
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
    connect(reply, &QNetworkReply::finished, this, [this, reply, run, pump, deadline, done] {
        deadline->stop();
        reply->deleteLater();
        if (inFlight_ == reply) inFlight_ = nullptr;
        pump(); // what came with the end
        done(reply, run->failure);
    });
}

void Updater::manifestArrived(QNetworkReply* reply, const QByteArray& body,
                              const QString& failure) {
    if (!failure.isEmpty()) {
        Log::error(QStringLiteral("updates: %1").arg(failure));
        return finish();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0 && reply->error() != QNetworkReply::NoError) {
        Log::error(QStringLiteral("updates: %1").arg(reply->errorString()));
        return finish();
    }
    if (status == 404) return finish();
    if (status != 200) {
        Log::error(QStringLiteral("updates: HTTP %1").arg(status));
        return finish();
    }
    const auto offer = readManifest(QString::fromUtf8(body).trimmed(), setup_.publicKey);
    if (!offer) {
        Log::error(QStringLiteral("updates: a manifest that does not verify"));
        return finish();
    }
    const QString& version = offer->version;
    const QString& digest = offer->sha256;
    if (!newer(version, current_)) {
        ReleaseArchive::removeTree(setup_.folder);
        return finish();
    }
    const QString archive = setup_.folder + "/Purrlox-" + version + ".tar.gz";
    if (sha256(archive) == digest) {
        Log::info(QStringLiteral("updates: %1 is ready for %2").arg(version, archive));
        ready = Ready{version, archive};
        onReady(version);
        return finish();
    }
    download(version, digest, archive);
}

void Updater::download(const QString& version, const QString& digest, const QString& archive) {
    QFile::remove(archive);
    if (!QDir().mkpath(setup_.folder)) {
        Log::error(QStringLiteral("updates: cannot create %1").arg(setup_.folder));
        return finish();
    }
    auto file = std::make_shared<QTemporaryFile>(setup_.folder + "/.download-XXXXXX");
    if (!file->open()) {
        Log::error(QStringLiteral("updates: %1").arg(file->errorString()));
        return finish();
    }
    // Written and hashed as it arrives: the release is never held in memory.
    auto hash = std::make_shared<QCryptographicHash>(QCryptographicHash::Sha256);
    fetch(
        QStringLiteral("update/Purrlox.tar.gz"), QStringLiteral("the release"),
        setup_.releaseDeadlineMs, setup_.releaseCap,
        [file, hash](QByteArrayView chunk) {
            if (file->write(chunk.data(), chunk.size()) != chunk.size()) return file->errorString();
            hash->addData(chunk);
            return QString();
        },
        [this, file, hash, version, digest, archive](QNetworkReply* reply, const QString& failure) {
            QString why = failure;
            if (why.isEmpty() && reply->error() != QNetworkReply::NoError)
                why = reply->errorString();
            if (why.isEmpty() && !file->flush()) why = file->errorString();
            if (!why.isEmpty()) {
                Log::error(QStringLiteral("updates: %1").arg(why));
                file->remove();
                return finish();
            }
            if (QString::fromLatin1(hash->result().toHex()) != digest) {
                file->remove();
                Log::error(QStringLiteral("updates: the downloaded tarball is not the signed one"));
                return finish();
            }
            if (!file->rename(archive)) {
                Log::error(QStringLiteral("updates: %1").arg(file->errorString()));
                file->remove();
                return finish();
            }
            file->setAutoRemove(false);
            file->close();
            Log::info(QStringLiteral("updates: %1 is ready for %2").arg(version, archive));
            ready = Ready{version, archive};
            onReady(version);
            finish();
        });
}

void Updater::finish() {
    checking = false;
    emit checked();
}

void Updater::checkSignature(const QString& folder) const {
    QFile list(folder + "/" + FileList::listName);
    QFile signature(folder + "/" + FileList::signatureName);
    if (!list.open(QIODevice::ReadOnly) || !signature.open(QIODevice::ReadOnly))
        throw Failure(folder + " carries no signed file list");
    const QByteArray listed = list.readAll();
    const auto raw = QByteArray::fromBase64Encoding(signature.read(1024).trimmed(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    if (!raw || !Signed::verify(listed, raw.decoded, setup_.publicKey))
        throw Failure(folder + " is not signed by our key");
    QString error;
    const auto actual = FileList::of(folder, &error);
    if (!actual) throw Failure(folder + ": " + error);
    if (*actual != listed) throw Failure(folder + " does not match its signed file list");
    if (!QFileInfo(folder + "/bin/purrlox").isExecutable())
        throw Failure(folder + " holds no bin/purrlox");
}

QString Updater::stage(const QString& archive, const QString& app) const {
    const QString mount = QDir::tempPath() + "/purrlox-update-" +
                          QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    if (::mkdir(QFile::encodeName(mount).constData(), 0700) != 0)
        throw Failure(QStringLiteral("cannot create %1: %2").arg(mount, qt_error_string(errno)));
    struct Remove {
        QString path;
        ~Remove() { ReleaseArchive::removeTree(path); }
    } unpacked{mount};

    ReleaseArchive::unpack(archive, mount);
    reach("unpacked");
    const QString name = QFileInfo(app).fileName();
    const QString candidate = mount + "/" + name;
    if (!QFileInfo(candidate).isDir()) throw Failure("the release holds no folder " + name);
    checkSignature(candidate);

    const QString staged = QFileInfo(app).absolutePath() + "/" + stagingName;
    ReleaseArchive::removeTree(staged);
    try {
        ReleaseArchive::copyTree(candidate, staged);
        reach("copied");
        checkSignature(staged);
    } catch (const Failure&) {
        ReleaseArchive::removeTree(staged);
        throw;
    }
    // The copy is on disk before it takes the install's place.
    const int fd = ::open(QFile::encodeName(staged).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
    return staged;
}

void Updater::install() {
    const auto app = replaceable();
    if (!ready || !app) {
        Log::error(QStringLiteral("updates: install failed: %1")
                       .arg(ready ? QStringLiteral("this install can't be replaced")
                                  : QStringLiteral("no update is ready")));
        onFailed();
        return;
    }
    try {
        const QString staged = stage(ready->archive, *app);
        if (::renameat2(AT_FDCWD, QFile::encodeName(staged).constData(), AT_FDCWD,
                        QFile::encodeName(*app).constData(), RENAME_EXCHANGE) != 0)
            throw Failure("swapping the bundles: " + qt_error_string(errno));
        reach("swapped");
        Log::info(QStringLiteral("updates: %1 is in place, relaunching").arg(ready->version));
        QString error;
        if (!relaunch(*app + "/bin/purrlox", staged, &error))
            throw Failure("relaunching: " + error);
        quit();
    } catch (const Failure& failure) {
        Log::error(QStringLiteral("updates: install failed: %1").arg(failure.description));
        onFailed();
    }
}
