#include "CatHarness.h"
#include "strings/Strings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QThread>

using K = Activity::Kind;

namespace {

class EatingTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
    }
    static QList<QUrl> files(std::initializer_list<const char*> paths) {
        QList<QUrl> urls;
        for (const char* p : paths)
            urls.append(QUrl::fromLocalFile(QString::fromUtf8(p)));
        return urls;
    }
    // The file thread's answers arrive as posted events.
    template <class Done> static void await(Done done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 5000) {
            QCoreApplication::sendPostedEvents();
            QThread::msleep(1);
        }
    }
    void undo() {
        ASSERT_NE(cat->state.eaten(), nullptr);
        const auto action = cat->state.eaten()->undo;
        action();
        await([this] { return !cat->stillPuttingBack(); });
    }
    bool feedAll(const QList<QUrl>& urls) {
        const bool taken = cat->feed(urls);
        await([this] { return !cat->stillEating(); });
        return taken;
    }
};

TEST_F(EatingTest, TheEatingTimeline) {
    ASSERT_TRUE(cat->feed(files({"/home/u/a.txt"})));
    ASSERT_EQ(kind(), K::eating);
    ASSERT_NE(cat->state.eaten(), nullptr);
    EXPECT_EQ(cat->state.eaten()->names, QStringList{"a.txt"});
    EXPECT_TRUE(trash.holds("/trash/a.txt"));

    const struct {
        double at;
        CatSprite sprite;
    } frames[] = {{0.2, CatSprite::gulp},      {0.6, CatSprite::snackEat2},
                  {0.9, CatSprite::snackEat4}, {1.2, CatSprite::snackEat2},
                  {1.5, CatSprite::snackEat4}, {2.0, CatSprite::happy}};
    double t = 0;
    for (const auto& f : frames) {
        tickAfter(f.at - t);
        t = f.at;
        EXPECT_EQ(cat->state.sprite(), f.sprite) << "at " << f.at;
    }
    tickAfter(0.3);
    EXPECT_EQ(kind(), K::eating);
    tickAfter(0.2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 1.0);
    // The bubble stays eight seconds from the drop.
    tickAfter(8 - 2.5 - 0.05);
    EXPECT_NE(cat->state.eaten(), nullptr);
    tickAfter(0.1);
    EXPECT_EQ(cat->state.eaten(), nullptr);

    // In bed the same timing has the bed frames, and the phone goes.
    restartInBed();
    takeUpThePhone();
    ASSERT_TRUE(cat->feed(files({"/home/u/b.txt"})));
    EXPECT_EQ(cat->bedLife().hold(), CatSprite::Hold::nothing);
    tickAfter(0.2);
    EXPECT_EQ(cat->state.sprite(), CatSprite::bedYawn11);
    tickAfter(0.4);
    EXPECT_EQ(cat->state.sprite(), CatSprite::bedSausage43);
    tickAfter(0.3);
    EXPECT_EQ(cat->state.sprite(), CatSprite::bedSausage44);
    tickAfter(1.1);
    EXPECT_EQ(cat->state.sprite(), CatSprite::bedLook1);
}

TEST_F(EatingTest, ALockedFileAmongThreeIsSkippedAndLogged) {
    trash.locked = {"/home/u/b.txt"};
    LogCapture log;
    ASSERT_TRUE(feedAll(files({"/home/u/a.txt", "/home/u/b.txt", "/home/u/c.txt"})));
    EXPECT_EQ(cat->state.eaten()->names, (QStringList{"a.txt", "c.txt"}));
    const QStringList refusals = log.messages().filter("cannot trash");
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains("Permission denied"));
    EXPECT_FALSE(refusals[0].contains("b.txt")) << "paths are private";

    // A second drop within the eight seconds replaces the bubble and restarts them.
    tickAfter(5);
    ASSERT_TRUE(cat->feed(files({"/home/u/d.txt"})));
    EXPECT_EQ(cat->state.eaten()->names, QStringList{"d.txt"});
    EXPECT_DOUBLE_EQ(cat->fileFeeder().bubbleClosesAt().value_or(0), now() + 8);
}

TEST_F(EatingTest, NothingEatenMeansRefusedAndTheCaptionSaysSo) {
    trash.failing = true;
    LogCapture log;
    EXPECT_FALSE(cat->feed(files({"/home/u/a.txt", "/home/u/b.txt"})));
    EXPECT_EQ(log.messages().filter("cannot trash").size(), 2);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->state.eaten(), nullptr);
    // The last file that could not go is named; the notice goes after a while.
    EXPECT_EQ(cat->state.caption(), S().cantTrash("b.txt"));
    tickAfter(8.1);
    EXPECT_EQ(cat->state.caption(), std::nullopt);
    EXPECT_FALSE(cat->feed({}));
    // A long name gives way in the middle, so the caption fits over the cat.
    EXPECT_FALSE(cat->feed(files({"/home/u/a very long name of a quarterly report.pdf"})));
    EXPECT_EQ(cat->state.caption(), S().cantTrash(QStringLiteral("a very lo…port.pdf")));
    tickAfter(8.1);

    // Links that are not local files, and names that text cannot carry, are not eaten.
    trash.failing = false;
    log.clear();
    const QList<QUrl> odd{QUrl("https://example.com/a.txt"),
                          QUrl::fromEncoded("file:///home/u/caf%E9.txt")};
    EXPECT_FALSE(cat->feed(odd));
    EXPECT_EQ(log.messages().filter("cannot trash").size(), 2);
    EXPECT_EQ(cat->state.eaten(), nullptr);

    // Odd but valid names are eaten, a folder's trailing slash aside.
    ASSERT_TRUE(feedAll({QUrl::fromLocalFile("/home/u/-rf two\nlines ✨.txt"),
                         QUrl::fromLocalFile("/home/u/photos/")}));
    EXPECT_EQ(cat->state.eaten()->names, (QStringList{"-rf two\nlines ✨.txt", "photos"}));
}

TEST_F(EatingTest, BusyCatsRefuseHoversAndDrops) {
    for (const Activity& busy : {Activity::held(), Activity::falling(0), Activity::reading(),
                                 Activity::climbingUp({}), Activity::eating()}) {
        probe().start(busy, now());
        EXPECT_FALSE(cat->onDragHover(true));
        EXPECT_FALSE(cat->holding().dragHover());
        EXPECT_FALSE(cat->feed(files({"/home/u/a.txt"})));
        EXPECT_EQ(kind(), busy.kind());
    }
    EXPECT_FALSE(trash.holds("/trash/a.txt"));
}

TEST_F(EatingTest, HoverStopsAWalkAndOpensTheMouthDropWakesASleeper) {
    probe().start(Activity::walking(900, Arrival::rest()), now());
    EXPECT_TRUE(cat->onDragHover(true));
    EXPECT_EQ(kind(), K::idle);
    cat->tick();
    EXPECT_EQ(cat->state.sprite(), CatSprite::gulp);
    // An idle cat under a hovering drag does not decide anything.
    probe().nextWander() = now();
    tickAfter(0.1);
    EXPECT_EQ(kind(), K::idle);
    probe().nextWander() = now() + 1e6;
    EXPECT_FALSE(cat->onDragHover(false));
    tickAfter(0.1);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sit);

    probe().start(Activity::sleeping(), now());
    EXPECT_TRUE(cat->feed(files({"/home/u/a.txt"})));
    EXPECT_EQ(kind(), K::eating);
}

TEST_F(EatingTest, PutBackRestoresAndReportsWhatCannotGoHome) {
    ASSERT_TRUE(feedAll(files({"/home/u/a.txt", "/home/u/b.txt"})));
    undo();
    EXPECT_FALSE(trash.holds("/trash/a.txt"));
    EXPECT_FALSE(trash.holds("/trash/b.txt"));
    EXPECT_EQ(cat->state.eaten(), nullptr);
    EXPECT_EQ(cat->state.caption(), std::nullopt);

    // Files that cannot go home: the caption names the last one, and the bubble closes.
    tickAfter(3);
    ASSERT_TRUE(feedAll(files({"/home/u/a.txt", "/home/u/gone/b.txt"})));
    trash.failing = true;
    LogCapture log;
    undo();
    EXPECT_EQ(cat->state.eaten(), nullptr);
    EXPECT_EQ(cat->state.caption(), S().cantPutBack("b.txt"));
    EXPECT_EQ(log.messages().filter("cannot put back").size(), 2);
    // Not a timed caption: the timer leaves it for a while, then it goes.
    tickAfter(4);
    EXPECT_EQ(cat->state.caption(), S().cantPutBack("b.txt"));
    tickAfter(4.1);
    EXPECT_EQ(cat->state.caption(), std::nullopt);
}

} // namespace

namespace {

TEST_F(EatingTest, ASecondDropWhileTheFirstGoesDownQueuesBehindItAndTakesTheBubble) {
    QSemaphore disk;
    trash.beforeMove = [&disk](const QString&) { disk.acquire(); };
    ASSERT_TRUE(cat->feed(files({"/home/u/a1.txt", "/home/u/a2.txt", "/home/u/a3.txt"})));
    tickAfter(2.5); // done chewing; the disk still holds the whole drop
    ASSERT_EQ(kind(), K::idle);
    ASSERT_TRUE(cat->stillEating());

    EXPECT_TRUE(cat->feed(files({"/home/u/b1.txt", "/home/u/b2.txt"})));
    EXPECT_EQ(kind(), K::eating);
    disk.release(1000);
    await([this] { return !cat->stillEating(); });
    for (const char* f : {"/trash/a1.txt", "/trash/a3.txt", "/trash/b1.txt", "/trash/b2.txt"})
        EXPECT_TRUE(trash.holds(QString::fromUtf8(f))) << f;
    ASSERT_NE(cat->state.eaten(), nullptr);
    EXPECT_EQ(cat->state.eaten()->names, (QStringList{"b1.txt", "b2.txt"}));

    // The bubble's put-back is the second drop's.
    undo();
    EXPECT_FALSE(trash.holds("/trash/b1.txt"));
    EXPECT_FALSE(trash.holds("/trash/b2.txt"));
    EXPECT_TRUE(trash.holds("/trash/a1.txt"));
    EXPECT_EQ(cat->state.eaten(), nullptr);
}

TEST_F(EatingTest, ASlowDiskNeverHoldsTheDropAndPuttingBackStopsTheRest) {
    // The disk hangs on every move until the test lets one through.
    QSemaphore disk;
    trash.beforeMove = [&disk](const QString&) { disk.acquire(); };
    QList<QUrl> hundred;
    for (int i = 0; i < 100; ++i)
        hundred.append(QUrl::fromLocalFile(QStringLiteral("/home/u/f%1.txt").arg(i)));
    trash.locked = {"/home/u/f0.txt"};
    // Answered although no file has moved yet; the cat starts chewing.
    ASSERT_TRUE(cat->feed(hundred));
    EXPECT_EQ(kind(), K::eating);
    EXPECT_EQ(cat->state.eaten(), nullptr);
    EXPECT_TRUE(cat->stillEating());

    // The locked first file is reported, the next ones fill the bubble in drop order.
    disk.release(3);
    await([this] { return cat->state.eaten() && cat->state.eaten()->names.size() == 2; });
    EXPECT_EQ(cat->state.eaten()->names, (QStringList{"f1.txt", "f2.txt"}));
    EXPECT_EQ(cat->state.caption(), S().cantTrash("f0.txt"));
    disk.release(1000);
    await([this] { return !cat->stillEating(); });
    EXPECT_EQ(cat->state.eaten()->names.size(), 99);
    EXPECT_TRUE(trash.holds("/trash/f99.txt"));

    // Put back while the disk still holds the third file: the files not yet eaten are never
    // touched, the one on its way comes back too.
    tickAfter(3);
    probe().activity() = Activity::idle();
    ASSERT_TRUE(
        cat->feed(files({"/home/u/g1.txt", "/home/u/g2.txt", "/home/u/g3.txt", "/home/u/g4.txt"})));
    disk.release(1);
    await([this] { return cat->state.eaten() && cat->state.eaten()->names.size() == 1; });
    cat->state.eaten()->undo();
    EXPECT_TRUE(cat->stillPuttingBack());
    disk.release(1000);
    await([this] { return !cat->stillPuttingBack(); });
    EXPECT_FALSE(cat->stillEating());
    for (const char* name : {"/trash/g1.txt", "/trash/g2.txt", "/trash/g3.txt", "/trash/g4.txt"})
        EXPECT_FALSE(trash.holds(name)) << name;
    EXPECT_EQ(cat->state.eaten(), nullptr);

    // A slow drop of which nothing can go: the cat stops chewing and says so.
    tickAfter(3);
    probe().activity() = Activity::idle();
    trash.failing = true;
    QSemaphore stuck;
    trash.beforeMove = [&stuck](const QString&) { stuck.acquire(); };
    ASSERT_TRUE(cat->feed(files({"/home/u/h.txt"})));
    EXPECT_EQ(kind(), K::eating);
    stuck.release(1);
    await([this] { return !cat->stillEating(); });
    EXPECT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->state.eaten(), nullptr);
    EXPECT_EQ(cat->state.caption(), S().cantTrash("h.txt"));
}

} // namespace
