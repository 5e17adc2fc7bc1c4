// The updater's costs: a check that finds nothing new (requests sent, files written), staging
// a 30 MB release (unpack, both file-list checks, the copy beside the install), and the memory a
// release past the size cap leaves behind.
#include "platform/SettingsStore.h"
#include "system/FileList.h"
#include "system/Signed.h"
#include "updates/LocalHttp.h"
#include "updates/ReleaseArchive.h"
#include "updates/Updater.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sodium.h>
#include <sys/resource.h>

namespace {

QByteArray publicKey, secretKey;

QByteArray sign(const QByteArray& message) {
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()),
                         size_t(message.size()),
                         reinterpret_cast<const unsigned char*>(secretKey.constData()));
    return signature;
}

void put(const QString& path, const QByteArray& bytes, QFile::Permissions extra = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    file.close();
    if (extra) file.setPermissions(file.permissions() | extra);
}

void makeInstall(const QString& folder, const QString& version, qint64 payload) {
    put(folder + "/bin/purrlox", "#!/bin/sh\n", QFile::ExeOwner);
    put(folder + "/VERSION", version.toUtf8() + '\n');
    std::mt19937_64 random(7);
    QByteArray bytes(payload, '\0');
    for (qint64 i = 0; i + 8 <= payload; i += 8) {
        const quint64 r = random();
        std::memcpy(bytes.data() + i, &r, 8);
    }
    if (payload > 0) put(folder + "/lib/payload.bin", bytes);
    const QByteArray list = *FileList::of(folder);
    put(folder + "/FILES", list);
    put(folder + "/FILES.sig", sign(list).toBase64() + '\n');
}

// path -> (size, modification time) of every file under root.
QMap<QString, QPair<qint64, qint64>> snapshot(const QString& root) {
    QMap<QString, QPair<qint64, qint64>> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files[info.filePath()] = {info.size(), info.lastModified().toMSecsSinceEpoch()};
    }
    return files;
}

qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app=false"));
    if (sodium_init() < 0) return 1;
    publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                        reinterpret_cast<unsigned char*>(secretKey.data()));
    publicKey = publicKey.toBase64();

    QTemporaryDir root;
    const QString installed = root.path() + "/apps/Purrlox";
    makeInstall(installed, "1.0", 0);
    SettingsStore defaults(root.path() + "/config", root.path() + "/data");
    LocalHttp http;
    const QByteArray body = QJsonDocument(QJsonObject{{"v", 1},
                                                      {"os", "linux"},
                                                      {"version", "1.0"},
                                                      {"sha256", QString(64, 'a')}})
                                .toJson(QJsonDocument::Compact);
    const QByteArray a = Signed::toBase64Url(body);
    http.set("/update/linux", {200, a + '.' + Signed::toBase64Url(sign(a))});

    // 1. Nothing new.
    {
        Updater updater(defaults, {http.base(), publicKey, installed, root.path() + "/cache",
                                   24 * 3600 * 1000, 30000});
        const auto before = snapshot(root.path());
        QElapsedTimer timer;
        timer.start();
        updater.check();
        while (updater.checking)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double ms = timer.nsecsElapsed() / 1e6;
        const auto after = snapshot(root.path());
        QStringList written;
        for (auto it = after.begin(); it != after.end(); ++it)
            if (before.value(it.key()) != it.value())
                written << QDir(root.path()).relativeFilePath(it.key());
        std::printf("check with nothing new: %d HTTP request(s), %lld file(s) written (%s), "
                    "\"updateCheckedAt\" %s, %.1f ms\n",
                    http.requests(), qlonglong(written.size()), qPrintable(written.join(", ")),
                    defaults.date("updateCheckedAt") ? "stored" : "missing", ms);
    }

    // 2. Staging and verifying a 30 MB release.
    const QString b = root.path() + "/b";
    makeInstall(b + "/Purrlox", "2.0", 30LL << 20);
    const QString archive = root.path() + "/Purrlox.tar.gz";
    QProcess::execute("tar", {"-C", b, "-czf", archive, "Purrlox"});
    Updater updater(defaults, {http.base(), publicKey, installed, root.path() + "/cache",
                               24 * 3600 * 1000, 30000});
    QList<double> runs, cpu;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        const double cpuBefore = cpuSeconds();
        timer.start();
        const QString staged = updater.stage(archive, installed);
        runs << timer.nsecsElapsed() / 1e9;
        cpu << cpuSeconds() - cpuBefore;
        ReleaseArchive::removeTree(staged);
    }
    std::sort(runs.begin(), runs.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("staging and verifying a %.1f MB release (%.1f MB unpacked): median %.3f s, "
                "best %.3f s, worst %.3f s over %lld runs (goal under 2 s)\n",
                QFileInfo(archive).size() / 1048576.0, (30LL << 20) / 1048576.0, runs[2], runs[0],
                runs[4], qlonglong(runs.size()));
    // The machine may be shared: the process's own CPU time is the steadier figure.
    std::printf("  of which CPU time of this process (user + system): median %.3f s\n", cpu[2]);

    // 3. A release that never ends, its length unannounced: streamed to the disk and refused
    // once a gibibyte has come.
    {
        const QByteArray offer = QJsonDocument(QJsonObject{{"v", 1},
                                                           {"os", "linux"},
                                                           {"version", "2.0"},
                                                           {"sha256", QString(64, 'a')}})
                                     .toJson(QJsonDocument::Compact);
        const QByteArray signedOffer = Signed::toBase64Url(offer);
        // Served from a thread of its own, as fast as the connection takes it.
        FarHttp far;
        far.set("/update/linux", {200, signedOffer + '.' + Signed::toBase64Url(sign(signedOffer))});
        Updater big(defaults, {far.base(), publicKey, installed, root.path() + "/cache",
                               24 * 3600 * 1000, 30000});
        const auto run = [&big] {
            QEventLoop loop;
            QObject::connect(&big, &Updater::checked, &loop, &QEventLoop::quit);
            big.check();
            loop.exec();
        };
        // The app has made its requests before: a release refused by its announced size starts
        // the network thread and its connection here.
        far.set("/update/Purrlox.tar.gz", LocalHttp::huge(3LL << 30, true));
        run();
        far.set("/update/Purrlox.tar.gz", LocalHttp::huge(3LL << 30, false));
        const qint64 before = residentKiB();
        qint64 peak = before;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] { peak = std::max(peak, residentKiB()); });
        sample.start(20);
        QElapsedTimer timer;
        timer.start();
        run();
        const double s = timer.nsecsElapsed() / 1e9;
        sample.stop();
        const qint64 after = residentKiB();
        std::printf("a release past the 1 GiB cap: resident %.1f MB before, %.1f MB after "
                    "(goal: within 20 MB), %.1f MB at the peak; refused after %.1f s\n",
                    before / 1024.0, after / 1024.0, std::max(peak, after) / 1024.0, s);
    }
    return 0;
}
