#include "updates/Updater.h"

#include "base/Config.h"
#include "base/Log.h"
#include "platform/Settings.h"
#include "updates/ReleaseArchive.h"
#include "updates/UpdateChecks.h"
#include "updates/UpdateDownload.h"
#include "updates/UpdateKey.h"
#include "updates/UpdateSchedule.h"
#include "updates/UpdateStage.h"
#include "updates/UpdateSwap.h"
#include "updates/UpdateVerify.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <unistd.h>

namespace {

constexpr qint64 manifestCap = 64 * 1024;

// The process-wide cache folder, without a QCoreApplication name in between.
QString cacheHome() {
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    return QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.cache");
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

std::unique_ptr<Updates> Updater::standard(Settings& defaults) {
    return std::make_unique<Updater>(defaults, Setup::standard());
}

Updater::Updater(Settings& defaults, Setup setup, QObject* parent)
    : QObject(parent), defaults_(defaults), setup_(std::move(setup)) {
    QFile version(setup_.app + "/VERSION");
    if (!setup_.app.isEmpty() && version.open(QIODevice::ReadOnly))
        current_ = QString::fromUtf8(version.read(256)).trimmed();
    if (current_.isEmpty()) current_ = QStringLiteral("0");
    Log::notice(QStringLiteral("updates: version %1 runs from %2")
                    .arg(current_, setup_.app.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : setup_.app));

    relaunch = &UpdateSwap::relaunchWhenGone;
    quit = [] { QCoreApplication::quit(); };
    download_ = std::make_unique<UpdateDownload>(setup_.base, setup_.timeoutMs);
    schedule_ =
        std::make_unique<UpdateSchedule>(defaults_, setup_.firstCheckMs, [this] { check(); });
}

Updater::~Updater() = default;

void Updater::hourly() {
    schedule_->hourly();
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

void Updater::check() {
    if (checking) return;
    checking = true;
    // The user's "Check for updates" switch: while it is off, no request at all.
    if (!UpdateChecks::enabled(defaults_)) {
        Log::info(QStringLiteral("updates: checking is switched off"));
        finish();
        return;
    }
    schedule_->started();
    if (!replaceable()) {
        const QString running =
            setup_.app.isEmpty() ? QCoreApplication::applicationDirPath() : setup_.app;
        Log::info(QStringLiteral("updates: %1 can't be replaced, not checking").arg(running));
        finish();
        return;
    }
    auto body = std::make_shared<QByteArray>();
    download_->fetch(
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
    const auto offered =
        UpdateVerify::readManifest(QString::fromUtf8(body).trimmed(), setup_.publicKey);
    if (!offered) {
        Log::error(QStringLiteral("updates: a manifest that does not verify"));
        return finish();
    }
    const QString version = offered->version;
    if (!UpdateVerify::newer(version, current_)) {
        ReleaseArchive::removeTree(setup_.folder);
        return finish();
    }
    const QString archive = setup_.folder + "/Purrlox-" + version + ".tar.gz";
    if (UpdateVerify::sha256(archive) == offered->sha256) return offer(version);
    download_->release(setup_.folder, archive, offered->sha256, setup_.releaseDeadlineMs,
                       setup_.releaseCap, [this, version](bool ok) {
                           if (ok) return offer(version);
                           finish();
                       });
}

void Updater::offer(const QString& version) {
    const QString archive = setup_.folder + "/Purrlox-" + version + ".tar.gz";
    Log::info(QStringLiteral("updates: %1 is ready for %2").arg(version, archive));
    ready = Ready{version, archive};
    onReady(version);
    finish();
}

void Updater::finish() {
    checking = false;
    emit checked();
}

void Updater::checkSignature(const QString& folder) const {
    UpdateVerify::signedFolder(folder, setup_.publicKey);
}

QString Updater::stage(const QString& archive, const QString& app) const {
    return UpdateStage::stage(archive, app, setup_.publicKey);
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
        UpdateSwap::swap(staged, *app);
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
