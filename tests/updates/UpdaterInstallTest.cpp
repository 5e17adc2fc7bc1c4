#include "ReleaseKit.h"
#include "fakes/Fakes.h"
#include "fakes/LogCapture.h"
#include "updates/ReleaseArchive.h"
#include "updates/Updater.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

class UpdaterInstall : public ::testing::Test {
  public:
    void SetUp() override {
        QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app.debug=true"));
        tmp = root.path() + "/tmp";
        QDir().mkpath(tmp);
        previousTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.toLocal8Bit());
        apps = root.path() + "/apps";
        app = apps + "/Purrlox";
        kit::makeInstall(app, "1.4", "A");
        outside = root.path() + "/outside";
        QDir().mkpath(outside);
        b = root.path() + "/b";
        kit::makeInstall(b + "/Purrlox", "2.0", "B");
        release = root.path() + "/release.tar.gz";
    }
    void TearDown() override {
        qputenv("TMPDIR", previousTmp);
        QLoggingCategory::setFilterRules(QString());
    }

    void pack() {
        kit::TarWriter tar(release);
        tar.addFolder(b, "Purrlox");
    }

    std::unique_ptr<Updater> make() {
        Updater::Setup setup{QUrl("http://127.0.0.1:1/"), kit::testKeys().publicKey, app,
                             root.path() + "/cache",      24 * 3600 * 1000,          1000};
        auto updater = std::make_unique<Updater>(*defaults, setup);
        updater->onFailed = [this] { ++failed; };
        updater->relaunch = [this](const QString& program, const QString& removing, QString*) {
            relaunched = {program, removing};
            return true;
        };
        updater->quit = [this] { ++quits; };
        updater->ready = Updater::Ready{"2.0", release};
        return updater;
    }

    // What an install must never touch on failure: everything but the temporary folder.
    QByteArray world() const { return *FileList::of(apps) + "--\n" + *FileList::of(outside); }

    QTemporaryDir root;
    QByteArray previousTmp;
    QString tmp, apps, app, outside, b, release;
    TempSettingsStore defaults;
    LogCapture log;
    int failed = 0, quits = 0;
    QStringList relaunched;
};

TEST_F(UpdaterInstall, SwapsTheFoldersAndRelaunchesTheNewOne) {
    pack();
    auto updater = make();
    updater->install();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(kit::read(app + "/VERSION"), "2.0\n");
    EXPECT_EQ(relaunched, (QStringList{app + "/bin/purrlox", apps + "/.Purrlox-update"}));
    EXPECT_EQ(kit::read(apps + "/.Purrlox-update/VERSION"), "1.4\n"); // the old one, to remove
    EXPECT_NO_THROW(updater->checkSignature(app));
    EXPECT_TRUE(log.messages().contains("updates: 2.0 is in place, relaunching"));
    EXPECT_TRUE(QDir(tmp).isEmpty());
}

struct Hostile {
    const char* what;
    std::function<void(UpdaterInstall&)> make;
};

TEST_F(UpdaterInstall, HostileReleasesAreRefusedAndTouchNothing) {
    const auto entries = [](std::vector<kit::Entry> list) {
        return [list](UpdaterInstall& t) {
            kit::TarWriter tar(t.release);
            tar.addFolder(t.b, "Purrlox");
            for (const kit::Entry& e : list)
                tar.add(e);
        };
    };
    using E = kit::Entry;
    const QString out = root.path() + "/outside";
    const std::vector<Hostile> cases{
        {"absolute path", entries({{E::file, out + "/evil", "x"}})},
        {"dot-dot", entries({{E::file, "Purrlox/../../outside/evil", "x"}})},
        {"link leaving", entries({{E::symlink, "Purrlox/up", {}, "../../outside", 0777},
                                  {E::file, "Purrlox/up/evil", "x"}})},
        {"absolute link",
         entries({{E::symlink, "Purrlox/abs", {}, out, 0777}, {E::file, "Purrlox/abs/evil", "x"}})},
        {"hard link", entries({{E::hardlink, "Purrlox/hard", {}, "Purrlox/VERSION"}})},
        {"device", entries({{E::device, "Purrlox/null"}})},
        {"fifo", entries({{E::fifo, "Purrlox/pipe"}})},
        {"truncated gzip",
         [](UpdaterInstall& t) {
             t.pack();
             const QByteArray whole = kit::read(t.release);
             kit::write(t.release, whole.left(whole.size() / 2));
         }},
        {"signed by another key",
         [](UpdaterInstall& t) {
             kit::signFolder(t.b + "/Purrlox", kit::otherKeys().secret);
             t.pack();
         }},
        {"list omits a file",
         [](UpdaterInstall& t) {
             kit::write(t.b + "/Purrlox/bin/extra", "#!/bin/sh\n", 0755);
             t.pack();
         }},
        {"list adds a file",
         [](UpdaterInstall& t) {
             QFile::remove(t.b + "/Purrlox/share/applications/app.purrlox.Purrlox.desktop");
             t.pack();
         }},
        {"tampered program",
         [](UpdaterInstall& t) {
             kit::write(t.b + "/Purrlox/bin/purrlox", "#!/bin/sh\necho evil\n", 0755);
             t.pack();
         }},
        {"no signed list",
         [](UpdaterInstall& t) {
             QFile::remove(t.b + "/Purrlox/FILES.sig");
             t.pack();
         }},
        {"another folder",
         [](UpdaterInstall& t) {
             QDir().rename(t.b + "/Purrlox", t.b + "/Other");
             kit::TarWriter tar(t.release);
             tar.addFolder(t.b, "Other");
         }},
        {"1 GB of zeros",
         [](UpdaterInstall& t) {
             kit::TarWriter tar(t.release);
             tar.addFolder(t.b, "Purrlox");
             tar.addZeros("Purrlox/zeros", 1LL << 30);
         }},
    };
    for (const Hostile& hostile : cases) {
        SCOPED_TRACE(hostile.what);
        ReleaseArchive::removeTree(b);
        kit::makeInstall(b + "/Purrlox", "2.0", "B");
        hostile.make(*this);
        const QByteArray before = world();
        failed = quits = 0;
        const qsizetype logged = log.messages().size();
        make()->install();
        EXPECT_EQ(failed, 1);
        EXPECT_EQ(quits, 0);
        EXPECT_EQ(world(), before);
        EXPECT_EQ(QDir(apps).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"Purrlox"});
        EXPECT_TRUE(QDir(tmp).isEmpty()) << qPrintable(QDir(tmp).entryList().join(" "));
        const QStringList lines = log.messages().mid(logged);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.last().startsWith("updates: install failed: "))
            << qPrintable(lines.last());
    }
}

TEST_F(UpdaterInstall, FullDiskDuringTheInstallLeavesTheOldOne) {
    ReleaseArchive::removeTree(b);
    kit::makeInstall(b + "/Purrlox", "2.0", "B", 1 << 20);
    pack();
    const QByteArray before = world();
    // Writes past the file-size limit fail as on a full disk.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    make()->install();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(world(), before);
    EXPECT_TRUE(QDir(tmp).isEmpty());
    EXPECT_TRUE(log.messages().last().startsWith("updates: install failed: cannot write"))
        << qPrintable(log.messages().last());
}

TEST_F(UpdaterInstall, UnpackingStopsAtTheCaps) {
    {
        kit::TarWriter tar(release);
        for (int i = 0; i < 12; ++i)
            tar.add({kit::Entry::file, QStringLiteral("Purrlox/f%1").arg(i), "1234567890"});
    }
    QTemporaryDir into;
    EXPECT_THROW(ReleaseArchive::unpack(release, into.path(), {1 << 20, 10}), UpdateFailure);
    QTemporaryDir again;
    EXPECT_THROW(ReleaseArchive::unpack(release, again.path(), {100, 100}), UpdateFailure);
    QTemporaryDir fits;
    EXPECT_NO_THROW(ReleaseArchive::unpack(release, fits.path(), {120, 13}));
    EXPECT_EQ(kit::read(fits.path() + "/Purrlox/f11"), "1234567890");
}

// A kill -9 at any moment of the install leaves the old or the new version, never neither.
TEST_F(UpdaterInstall, KilledAnywhereLeavesOneWholeVersion) {
    ReleaseArchive::removeTree(b);
    kit::makeInstall(b + "/Purrlox", "2.0", "B", 8 << 20);
    pack();
    auto checker = make();
    const auto run = [&](const QString& point, int killAfterMs) {
        QProcess probe;
        QStringList args{app, release, "2.0", QString::fromLatin1(kit::testKeys().publicKey)};
        if (!point.isEmpty()) args << point;
        probe.start(INSTALL_PROBE, args);
        EXPECT_TRUE(probe.waitForStarted());
        if (killAfterMs >= 0 && !probe.waitForFinished(killAfterMs)) probe.kill();
        probe.waitForFinished(20000);
        return probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1;
    };
    const auto whole = [&]() -> QString {
        EXPECT_NO_THROW(checker->checkSignature(app));
        QProcess program;
        program.start(app + "/bin/purrlox", {});
        program.waitForFinished(5000);
        return QString::fromLatin1(program.readAllStandardOutput()).trimmed();
    };
    const auto reset = [&] {
        ReleaseArchive::removeTree(apps);
        kit::makeInstall(app, "1.4", "A");
    };

    for (const QString point : {"unpacked", "copied", "swapped"}) {
        SCOPED_TRACE(point.toStdString());
        reset();
        EXPECT_EQ(run(point, -1), -1); // died
        EXPECT_EQ(whole(), point == "swapped" ? "B" : "A");
        // The next install clears what the killed one left behind.
        EXPECT_EQ(run({}, -1), 0);
        EXPECT_EQ(whole(), "B");
    }
    for (int ms : {0, 10, 30, 60, 100, 150, 250, 400}) {
        SCOPED_TRACE(ms);
        reset();
        const int status = run({}, ms);
        const QString version = whole();
        EXPECT_TRUE(version == "A" || version == "B") << qPrintable(version);
        if (status == 0) {
            EXPECT_EQ(version, "B");
        }
    }
}

} // namespace
