// Starts of Purrlox in processes of their own: however they race, whatever their runtime
// folder, and after an instance was killed, exactly one of them is the instance.
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>

namespace {

struct Starts : ::testing::Test {
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;

    QString socketIn(const QString& runtime) {
        QDir().mkpath(dir.path() + "/" + runtime);
        return dir.path() + "/" + runtime + "/app.purrlox.Purrlox.instance";
    }
    // A start with the given socket, sharing this test's data folder; at a moment if given.
    QProcess& start(const QString& socket, qint64 at = 0, const QStringList& links = {}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PURRLOX_DATA_HOME", dir.path() + "/data");
        p->setProcessEnvironment(env);
        QStringList args{socket};
        if (at) args << "--at" << QString::number(at);
        p->start(INSTANCE_PROBE, args + links);
        processes.push_back(std::move(p));
        return *processes.back();
    }
    static QString line(QProcess& p, int ms = 10000) {
        while (!p.canReadLine())
            if (!p.waitForReadyRead(ms)) return "(no answer: " + p.readAllStandardError() + ")";
        return QString::fromUtf8(p.readLine()).trimmed();
    }
    void stopAll() {
        for (auto& p : processes) {
            p->kill();
            p->waitForFinished();
        }
        processes.clear();
    }
    void TearDown() override { stopAll(); }
};

TEST_F(Starts, ThreeAtTheSameMomentLeaveExactlyOneInstance) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString socket = socketIn("run");
        const qint64 at = QDateTime::currentMSecsSinceEpoch() + 400;
        QList<QProcess*> starts{&start(socket, at), &start(socket, at), &start(socket, at)};
        QStringList said;
        QProcess* instance = nullptr;
        for (QProcess* p : starts) {
            said << line(*p);
            if (said.last() == "instance") instance = p;
        }
        said.sort();
        ASSERT_EQ(said, QStringList({"instance", "not instance", "not instance"}))
            << "attempt " << attempt;
        // The other starts reached it.
        EXPECT_EQ(line(*instance), "again") << "attempt " << attempt;
        EXPECT_EQ(line(*instance), "again") << "attempt " << attempt;
        stopAll();
    }
}

TEST_F(Starts, DifferentRuntimeFoldersStillFindTheOneInstance) {
    QProcess& first = start(socketIn("session"));
    ASSERT_EQ(line(first), "instance");
    // An ssh login or a start without the session's environment has another runtime folder.
    QProcess& second = start(socketIn("ssh"), 0, {"purrlox://a", "purrlox://b"});
    EXPECT_EQ(line(second), "not instance");
    EXPECT_EQ(line(first), "links 2");
    EXPECT_TRUE(second.waitForFinished(5000));
}

TEST_F(Starts, AKilledInstancesLockIsTakenOverAtOnce) {
    QProcess& killed = start(socketIn("session"));
    ASSERT_EQ(line(killed), "instance");
    ::kill(pid_t(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(5000));

    // Its socket file is left behind; the next start, with another runtime folder, takes over.
    QProcess& next = start(socketIn("ssh"));
    EXPECT_EQ(line(next, 3000), "instance");
    // A start in the dead instance's session reaches the new one, not the dead socket.
    QProcess& third = start(socketIn("session"));
    EXPECT_EQ(line(third), "not instance");
    EXPECT_EQ(line(next), "again");
}

TEST_F(Starts, AnInstanceThatCannotListenIsStillTheOnlyOne) {
    // Too long for a local socket's address: listen() fails.
    const QString tooLong = socketIn(QString(120, 'x'));
    QProcess& first = start(tooLong);
    ASSERT_EQ(line(first), "instance");
    QProcess& second = start(tooLong, 0, {"purrlox://lost"});
    EXPECT_EQ(line(second), "not instance");
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 1); // its link reached no one: not a success
    EXPECT_EQ(first.state(), QProcess::Running);
}

} // namespace
