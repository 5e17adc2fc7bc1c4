#include "LocalHttp.h"
#include "ReleaseKit.h"
#include "fakes/Fakes.h"
#include "fakes/LogCapture.h"
#include "fakes/Wait.h"
#include "updates/UpdateChecks.h"
#include "updates/UpdateVerify.h"
#include "updates/Updater.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <csignal>
#include <random>
#include <sys/resource.h>

namespace {

class UpdaterCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app.debug=true"));
        app = root.path() + "/apps/Purrlox";
        cache = root.path() + "/cache/Update";
        kit::makeInstall(app, "1.4", "A");
        release = root.path() + "/release.tar.gz";
        kit::makeInstall(root.path() + "/b/Purrlox", "1.10", "B");
        {
            kit::TarWriter tar(release);
            tar.addFolder(root.path() + "/b", "Purrlox");
        }
        http.set("/update/Purrlox.tar.gz", {200, kit::read(release)});
    }

    std::unique_ptr<Updater> make(int timeoutMs = 5000) {
        Updater::Setup setup{http.base(), kit::testKeys().publicKey, app, cache, 3600 * 1000,
                             timeoutMs};
        auto updater = std::make_unique<Updater>(*defaults, setup);
        updater->onReady = [this](const QString& version) { offered.append(version); };
        updater->onFailed = [this] { ++failed; };
        return updater;
    }

    void TearDown() override { QLoggingCategory::setFilterRules(QString()); }

    void serveManifest(const QString& text) { http.set("/update/linux", {200, text.toUtf8()}); }
    QString releaseDigest() const { return *UpdateVerify::sha256(release); }

    bool check(Updater& updater) {
        updater.check();
        return waitFor([&] { return !updater.checking; }, 10000);
    }

    // The updater's own lines, without the one that says where it runs from.
    QStringList lines() const {
        QStringList out;
        for (const QString& line : log.messages().mid(mark))
            if (line.startsWith("updates: ") && !line.startsWith("updates: version "))
                out.append(line);
        return out;
    }

    void forget() { mark = log.messages().size(); }

    qsizetype mark = 0;
    QTemporaryDir root;
    QString app, cache, release;
    TempSettingsStore defaults;
    LocalHttp http;
    LogCapture log;
    QStringList offered;
    int failed = 0;
};

TEST_F(UpdaterCheck, ManifestsThatDoNotVerifyEndTheCheckQuietly) {
    const QString good = releaseDigest();
    QJsonObject wrongOs = kit::offer("1.10", good);
    wrongOs["os"] = "mac";
    QJsonObject v2 = kit::offer("1.10", good);
    v2["v"] = 2;
    QJsonObject noVersion = kit::offer("1.10", good);
    noVersion.remove("version");
    QJsonObject numberVersion = kit::offer("1.10", good);
    numberVersion["version"] = 1.10;
    QJsonObject numberDigest = kit::offer("1.10", good);
    numberDigest["sha256"] = 5;
    QJsonObject climbing = kit::offer("../../x", good);
    // Signed over other text: the payload of one manifest, the signature of another.
    const QString signedA = kit::manifest(kit::offer("1.10", good));
    const QString signedB = kit::manifest(kit::offer("9.0", good));
    const QString swapped = signedB.section('.', 0, 0) + "." + signedA.section('.', 1, 1);

    const QStringList bad{swapped,
                          kit::manifest(wrongOs),
                          kit::manifest(v2),
                          kit::manifest(noVersion),
                          kit::manifest(numberVersion),
                          kit::manifest(numberDigest),
                          kit::manifest(climbing),
                          kit::manifest(kit::offer("1.10", good), kit::otherKeys().secret),
                          signedA + ".x",
                          ""};
    for (const QString& text : bad) {
        SCOPED_TRACE(text.toStdString());
        forget();
        serveManifest(text);
        auto updater = make();
        ASSERT_TRUE(check(*updater));
        EXPECT_EQ(lines(), QStringList{"updates: a manifest that does not verify"});
        EXPECT_FALSE(updater->ready);
        EXPECT_TRUE(offered.isEmpty());
    }
    EXPECT_EQ(http.requests("/update/Purrlox.tar.gz"), 0);
    EXPECT_FALSE(QFileInfo::exists(cache));
}

TEST_F(UpdaterCheck, HttpStatusAndTimeOut) {
    auto updater = make(400);
    http.set("/update/linux", {404, "gone"});
    ASSERT_TRUE(check(*updater));
    EXPECT_TRUE(lines().isEmpty()); // 404: silence

    http.set("/update/linux", {500, "oops"});
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(lines(), QStringList{"updates: HTTP 500"});

    forget();
    http.set("/update/linux", {200, {}, true});
    ASSERT_TRUE(check(*updater));
    ASSERT_EQ(lines().size(), 1);
    EXPECT_NE(lines()[0], "updates: HTTP 0");
    EXPECT_FALSE(updater->ready);

    forget();
    Updater::Setup nowhere{
        QUrl("http://127.0.0.1:1/"), kit::testKeys().publicKey, app, cache, 3600 * 1000, 2000};
    Updater closed(*defaults, nowhere);
    ASSERT_TRUE(check(closed));
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].contains("refused", Qt::CaseInsensitive)) << qPrintable(lines()[0]);
}

TEST_F(UpdaterCheck, NothingNewCostsOneRequestAndDeletesTheFolder) {
    kit::write(cache + "/Purrlox-1.3.tar.gz", "old");
    const QString settings = defaults->settingsPath();
    serveManifest(kit::manifest(kit::offer("1.4.0", releaseDigest())));
    auto updater = make();
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(http.requests(), 1);
    EXPECT_FALSE(QFileInfo::exists(cache));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(offered.isEmpty());
    const auto stamp = defaults.reopened()->date("updateCheckedAt");
    ASSERT_TRUE(stamp);
    EXPECT_LT(stamp->secsTo(QDateTime::currentDateTimeUtc()), 60);
}

TEST_F(UpdaterCheck, NewerReleaseIsDownloadedOnceAndReported) {
    serveManifest(kit::manifest(kit::offer("1.10", releaseDigest())));
    auto updater = make();
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(offered, QStringList{"1.10"});
    ASSERT_TRUE(updater->ready);
    EXPECT_EQ(updater->ready->archive, cache + "/Purrlox-1.10.tar.gz");
    EXPECT_EQ(kit::read(updater->ready->archive), kit::read(release));
    EXPECT_EQ(lines(), QStringList{"updates: 1.10 is ready for " + cache + "/Purrlox-1.10.tar.gz"});
    EXPECT_EQ(QDir(cache).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Purrlox-1.10.tar.gz"});

    // A later start finds it already here: no second download.
    auto again = make();
    ASSERT_TRUE(check(*again));
    EXPECT_EQ(http.requests("/update/Purrlox.tar.gz"), 1);
    EXPECT_EQ(http.requests("/update/linux"), 2);
    EXPECT_EQ(offered, (QStringList{"1.10", "1.10"}));
}

TEST_F(UpdaterCheck, DownloadWithAnotherDigestIsDeleted) {
    serveManifest(kit::manifest(kit::offer("1.10", QString(64, 'a'))));
    auto updater = make();
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(lines(), QStringList{"updates: the downloaded tarball is not the signed one"});
    EXPECT_FALSE(updater->ready);
    EXPECT_TRUE(QDir(cache).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(UpdaterCheck, TwoChecksAtOnceMakeOne) {
    serveManifest(kit::manifest(kit::offer("1.10", releaseDigest())));
    auto updater = make();
    updater->check();
    updater->check();
    ASSERT_TRUE(waitFor([&] { return !updater->checking; }, 10000));
    EXPECT_EQ(http.requests("/update/linux"), 1);
    EXPECT_EQ(offered, QStringList{"1.10"});
}

TEST_F(UpdaterCheck, FullDiskDuringTheDownloadLeavesNothingBehind) {
    // Writes past the file-size limit fail as on a full disk.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    QByteArray big(4 << 20, 'x');
    http.set("/update/Purrlox.tar.gz", {200, big});
    serveManifest(kit::manifest(kit::offer("1.10", *UpdateVerify::sha256(release))));
    auto updater = make();
    rlimit small = old;
    small.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool done = check(*updater);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    ASSERT_TRUE(done);
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].startsWith("updates: ")) << qPrintable(lines()[0]);
    EXPECT_NE(lines()[0], "updates: the downloaded tarball is not the signed one");
    EXPECT_FALSE(updater->ready);
    EXPECT_TRUE(QDir(cache).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// Resident memory of this process, from the kernel's own count.
qint64 residentBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

TEST_F(UpdaterCheck, AHugeReleaseIsRefusedAtTheCapWhileMemoryStaysLow) {
    constexpr qint64 huge = 2'000'000'000;
    FarHttp far;
    far.set("/update/linux", {200, kit::manifest(kit::offer("1.10", releaseDigest())).toUtf8()});
    Updater::Setup setup{far.base(), kit::testKeys().publicKey, app, cache, 3600 * 1000, 5000};
    {
        // Declared in advance: not waited for.
        Updater updater(*defaults, setup);
        far.set("/update/Purrlox.tar.gz", LocalHttp::huge(huge, true));
        ASSERT_TRUE(check(updater));
        EXPECT_EQ(lines(), QStringList{"updates: the release is larger than 1073741824 bytes"});
    }

    // Not declared: counted as it arrives, on its way to the disk, and stopped at the cap (a
    // smaller one, so that the test takes seconds; what it may hold in memory does not grow
    // with the cap).
    forget();
    setup.releaseCap = 300 << 20;
    Updater updater(*defaults, setup);
    far.set("/update/Purrlox.tar.gz", LocalHttp::huge(huge, false));
    qint64 peak = residentBytes();
    ASSERT_GT(peak, 0);
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] { peak = std::max(peak, residentBytes()); });
    sample.start(20);
    QEventLoop loop;
    QObject::connect(&updater, &Updater::checked, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    updater.check();
    loop.exec();
    sample.stop();
    peak = std::max(peak, residentBytes());
    ASSERT_FALSE(updater.checking);
    EXPECT_EQ(lines(), QStringList{"updates: the release is larger than 314572800 bytes"});
    EXPECT_LT(peak, 150LL << 20) << "peak resident bytes " << peak;
    EXPECT_FALSE(updater.ready);
    EXPECT_TRUE(QDir(cache).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(UpdaterCheck, ATrickleEndsAtTheDeadline) {
    // One byte every 100 ms keeps the idle time-out (one second) from ever running out.
    Updater::Setup setup{
        http.base(), kit::testKeys().publicKey, app, cache, 3600 * 1000, 1000, 1500, 1500};
    Updater updater(*defaults, setup);
    const QByteArray manifest = kit::manifest(kit::offer("1.10", releaseDigest())).toUtf8();
    http.set("/update/linux", LocalHttp::trickle(manifest, 100));
    ASSERT_TRUE(check(updater));
    EXPECT_EQ(lines(), QStringList{"updates: the manifest took longer than 1.5 s"});

    forget();
    serveManifest(QString::fromUtf8(manifest));
    http.set("/update/Purrlox.tar.gz", LocalHttp::trickle(kit::read(release), 100));
    ASSERT_TRUE(check(updater));
    EXPECT_EQ(lines(), QStringList{"updates: the release took longer than 1.5 s"});
    EXPECT_FALSE(updater.ready);
    EXPECT_TRUE(QDir(cache).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(UpdaterCheck, RedirectsStayWithTheConfiguredServer) {
    const QByteArray port = QByteArray::number(http.base().port());
    const QByteArray elsewhere[] = {
        "http://localhost:" + port + "/update/linux",  // another host (the same server)
        "https://127.0.0.1:" + port + "/update/linux", // another scheme
        "http://127.0.0.1:" + QByteArray::number(http.base().port() + 1) + "/update/linux"};
    auto updater = make();
    for (const QByteArray& to : elsewhere) {
        SCOPED_TRACE(to.toStdString());
        forget();
        const int before = http.requests();
        http.set("/update/linux", LocalHttp::redirect(302, to));
        ASSERT_TRUE(check(*updater));
        EXPECT_EQ(lines(),
                  QStringList{"updates: refused a redirect to " + QString::fromLatin1(to)});
        EXPECT_EQ(http.requests(), before + 1);
    }

    // Within the server: followed, each one logged.
    forget();
    http.set("/update/linux", LocalHttp::redirect(301, "/moved/linux"));
    http.set("/moved/linux", {200, kit::manifest(kit::offer("1.10", releaseDigest())).toUtf8()});
    http.set("/update/Purrlox.tar.gz", LocalHttp::redirect(307, "/files/Purrlox.tar.gz"));
    http.set("/files/Purrlox.tar.gz", {200, kit::read(release)});
    ASSERT_TRUE(check(*updater));
    const QString base = http.base().toString();
    EXPECT_EQ(lines(),
              (QStringList{"updates: redirected to " + base + "moved/linux",
                           "updates: redirected to " + base + "files/Purrlox.tar.gz",
                           "updates: 1.10 is ready for " + cache + "/Purrlox-1.10.tar.gz"}));
    EXPECT_EQ(offered, QStringList{"1.10"});

    // A loop within the server ends the check, and the last line names where it went round.
    forget();
    http.set("/update/linux", LocalHttp::redirect(302, "/loop/a"));
    http.set("/loop/a", LocalHttp::redirect(302, "/loop/b"));
    http.set("/loop/b", LocalHttp::redirect(302, "/loop/a"));
    ASSERT_TRUE(check(*updater));
    const QStringList said = lines();
    ASSERT_FALSE(said.isEmpty());
    // Where Qt stops following depends on its timing; the line names a hop of the loop.
    const QString ended =
        "updates: the manifest went round too many redirects, the last to " + base;
    EXPECT_TRUE(said.back() == ended + "loop/a" || said.back() == ended + "loop/b")
        << said.back().toStdString();
    EXPECT_EQ(said.filter("updates: redirected to ").size(), said.size() - 1);
    EXPECT_EQ(offered, QStringList{"1.10"}); // nothing more was offered
}

TEST_F(UpdaterCheck, AnInstallThatCannotBeReplacedNeverAsks) {
    QFile::remove(app + "/VERSION"); // a build folder, not an installed form
    serveManifest(kit::manifest(kit::offer("1.10", releaseDigest())));
    auto updater = make();
    EXPECT_EQ(updater->current(), "0");
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(lines(), QStringList{"updates: " + app + " can't be replaced, not checking"});
    EXPECT_EQ(http.requests(), 0);
    updater->install();
    EXPECT_EQ(failed, 1);
}

// "Check for updates" off: not one request, until the user turns it on again.
TEST_F(UpdaterCheck, SwitchedOffByTheUserSendsNothing) {
    serveManifest(kit::manifest(kit::offer("1.10", releaseDigest())));
    UpdateChecks::setEnabled(*defaults, false);
    auto updater = make();
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(http.requests(), 0);
    EXPECT_TRUE(offered.isEmpty());
    EXPECT_EQ(lines().value(0), "updates: checking is switched off");

    UpdateChecks::setEnabled(*defaults, true);
    ASSERT_TRUE(check(*updater));
    EXPECT_EQ(http.requests(), 2); // the manifest, then the release
    EXPECT_EQ(offered, QStringList{"1.10"});
}

TEST_F(UpdaterCheck, InstallWithNothingReadyFails) {
    auto updater = make();
    updater->install();
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(kit::read(app + "/VERSION"), "1.4\n");
}

TEST_F(UpdaterCheck, FirstCheckAfterTheDelayThenOncePerDay) {
    serveManifest(kit::manifest(kit::offer("1.4", releaseDigest())));
    Updater::Setup setup{http.base(), kit::testKeys().publicKey, app, cache, 100, 5000};
    Updater updater(*defaults, setup);
    EXPECT_EQ(http.requests(), 0);
    ASSERT_TRUE(waitFor([&] { return http.requests() == 1 && !updater.checking; }, 5000));

    // The hourly tick: a check started under a day ago is enough.
    defaults->setDate("updateCheckedAt", QDateTime::currentDateTimeUtc().addSecs(-86000));
    updater.hourly();
    waitFor([] { return false; }, 200);
    EXPECT_EQ(http.requests(), 1);
    defaults->setDate("updateCheckedAt", QDateTime::currentDateTimeUtc().addSecs(-86401));
    updater.hourly();
    ASSERT_TRUE(waitFor([&] { return http.requests() == 2 && !updater.checking; }, 5000));
    defaults->setText("updateCheckedAt", "not a date");
    updater.hourly();
    ASSERT_TRUE(waitFor([&] { return http.requests() == 3 && !updater.checking; }, 5000));

    qputenv("PURRLOX_UPDATE_DELAY", "2.5");
    EXPECT_EQ(Updater::Setup::standard().firstCheckMs, 2500);
    qputenv("PURRLOX_UPDATE_DELAY", "soon");
    EXPECT_EQ(Updater::Setup::standard().firstCheckMs, 60000);
    qunsetenv("PURRLOX_UPDATE_DELAY");
}

TEST(UpdaterRules, Versions) {
    EXPECT_TRUE(UpdateVerify::newer("1.10", "1.9"));
    EXPECT_TRUE(UpdateVerify::newer("1.10", "1.4"));
    EXPECT_FALSE(UpdateVerify::newer("1.4.0", "1.4"));
    EXPECT_FALSE(UpdateVerify::newer("1.2", "1.2.0"));
    EXPECT_TRUE(UpdateVerify::newer("1.2.1", "1.2"));
    EXPECT_FALSE(UpdateVerify::newer("1.x", "1.0"));
    EXPECT_TRUE(UpdateVerify::newer("2", "1.99.99"));
    EXPECT_FALSE(UpdateVerify::newer("1.9", "1.10"));
}

TEST(UpdaterRules, Sha256OfAFile) {
    QTemporaryDir dir;
    kit::write(dir.path() + "/abc", "abc");
    EXPECT_EQ(UpdateVerify::sha256(dir.path() + "/abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_FALSE(UpdateVerify::sha256(dir.path() + "/missing"));
}

// Random bytes, truncations and bit flips of a valid manifest: none is accepted, none crashes.
TEST(UpdaterRules, MutatedManifestsAreNeverAccepted) {
    const QString valid = kit::manifest(kit::offer("2.0", QString(64, 'b')));
    const QByteArray& key = kit::testKeys().publicKey;
    ASSERT_TRUE(UpdateVerify::readManifest(valid, key));
    std::mt19937 random(20261208);
    int tried = 0;
    const QByteArray bytes = valid.toLatin1();
    for (qsizetype cut = 0; cut < bytes.size(); ++cut, ++tried)
        EXPECT_FALSE(UpdateVerify::readManifest(QString::fromLatin1(bytes.left(cut)), key)) << cut;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        for (int bit = 0; bit < 8; ++bit, ++tried) {
            QByteArray flipped = bytes;
            flipped[i] = char(flipped[i] ^ (1 << bit));
            EXPECT_FALSE(UpdateVerify::readManifest(QString::fromUtf8(flipped).trimmed(), key))
                << i << " " << bit;
        }
    for (int n = 0; n < 1500; ++n, ++tried) {
        QByteArray noise(random() % 400, '\0');
        for (char& c : noise)
            c = char(random());
        if (n % 3 == 0) noise = bytes.left(random() % bytes.size()) + noise; // a valid start
        EXPECT_FALSE(UpdateVerify::readManifest(QString::fromUtf8(noise).trimmed(), key));
    }
    EXPECT_GT(tried, 3000);
}

} // namespace
