#include "sprites/CatHostingView.h"

#include "CatPictures.h"
#include "cat/CatState.h"
#include "platform/x11/X11Panel.h"
#include "sprites/CatView.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

struct Hosting : ::testing::Test {
    CatState state;
    CatView* view =
        new CatView(state, [](CatSprite s) -> const QImage& { return catPictures().image(s); });
    CatHostingView host{view};
    std::vector<QString> calls;
    bool pickUpAnswer = true;
    bool grabBedAnswer = false;

    void SetUp() override {
        host.resize(130, 150);
        host.toPoints = &X11Panel::pointFromQtGlobal; // as the cat panel hosts it
        host.onPickUp = [this](QPointF p) {
            calls.push_back(QStringLiteral("pickUp %1,%2").arg(p.x()).arg(p.y()));
            return pickUpAnswer;
        };
        host.onCarry = [this](QPointF p) {
            calls.push_back(QStringLiteral("carry %1,%2").arg(p.x()).arg(p.y()));
        };
        host.onDrop = [this] { calls.push_back("drop"); };
        host.onGrabBed = [this](QPointF) { return grabBedAnswer; };
        host.onMoveBed = [this](QPointF p) {
            calls.push_back(QStringLiteral("moveBed %1,%2").arg(p.x()).arg(p.y()));
        };
        host.onPlaceBed = [this] { calls.push_back("placeBed"); };
    }
    // A press on the cat at global point (100, 100).
    void pressOnCat() { host.pressed({65, 120}, {100, 100}); }
};

TEST_F(Hosting, ClickAndShortDragsDoNotPickTheCatUp) {
    pressOnCat();
    host.released();
    pressOnCat();
    host.dragged({104, 100}); // exactly 4 points
    host.dragged({100, 96});
    host.released();
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(host.carrying());
}

TEST_F(Hosting, FirstDragBeyondFourPointsPicksUpWhereThePressWas) {
    pressOnCat();
    host.dragged({104.5, 100});
    EXPECT_TRUE(host.carrying());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    host.dragged({120, 90});
    host.released();
    EXPECT_EQ(calls,
              (std::vector<QString>{"pickUp 100,100", "carry 104.5,100", "carry 120,90", "drop"}));
    EXPECT_FALSE(host.carrying());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Hosting, RefusedPickUpIsAskedAgainOnEveryFurtherDrag) {
    pickUpAnswer = false;
    pressOnCat();
    host.dragged({110, 100});
    host.dragged({111, 100});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    host.released();
    EXPECT_EQ(calls, (std::vector<QString>{"pickUp 100,100", "pickUp 100,100"}));
}

TEST_F(Hosting, PressOnTheBedDragsTheBedInsteadOfTheCat) {
    grabBedAnswer = true;
    pressOnCat();
    EXPECT_TRUE(host.draggingBed());
    host.dragged({101, 100});
    host.dragged({140, 100});
    host.released();
    EXPECT_EQ(calls, (std::vector<QString>{"moveBed 101,100", "moveBed 140,100", "placeBed"}));
    EXPECT_FALSE(host.draggingBed());
}

TEST_F(Hosting, PressesBesideTheCatAreIgnored) {
    host.pressed({2, 2}, {0, 0});
    EXPECT_FALSE(host.pressedAt());
    host.dragged({50, 50});
    host.released();
    EXPECT_TRUE(calls.empty());
    // The cat rectangle follows catSize and catOffset.
    host.catSize = {40, 30};
    host.catOffset = -20;
    EXPECT_EQ(host.catRect(), QRectF(25, 120, 40, 30));
}

TEST_F(Hosting, DropsHandOverOnlyFilesAndEndTheHover) {
    std::vector<bool> hovers;
    QList<QUrl> dropped{QUrl("sentinel:")};
    host.onDragHover = [&](bool h) {
        hovers.push_back(h);
        return false;
    };
    host.onDropFiles = [&](const QList<QUrl>& files) {
        dropped = files;
        return true;
    };
    EXPECT_FALSE(host.dragEntered());
    host.dragExited();
    QMimeData text;
    text.setText("not a file");
    EXPECT_TRUE(host.performDrop(&text));
    EXPECT_TRUE(dropped.isEmpty());
    QMimeData mixed;
    mixed.setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl("https://example.org/b")});
    host.performDrop(&mixed);
    EXPECT_EQ(dropped, QList<QUrl>({QUrl::fromLocalFile("/tmp/a.txt")}));
    EXPECT_EQ(hovers, (std::vector<bool>{true, false, false, false}));
}

TEST_F(Hosting, RealMouseEventsOnTheCatViewReachTheHandlersInGlobalPoints) {
    host.show(); // lays the cat view out over the whole host
    std::vector<double> strokes;
    host.onStroke = [&](double dx) { strokes.push_back(dx); };
    const auto send = [&](QEvent::Type type, QPointF local, Qt::MouseButtons buttons) {
        const QPointF global = view->mapToGlobal(local);
        QMouseEvent e(type, local, global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    };
    send(QEvent::MouseMove, {60, 120}, Qt::NoButton);
    send(QEvent::MouseMove, {63, 120}, Qt::NoButton);
    send(QEvent::MouseMove, {61, 121}, Qt::NoButton);
    EXPECT_EQ(strokes, (std::vector<double>{3, -2}));

    int taps = 0;
    view->onTapCat = [&] { ++taps; };
    send(QEvent::MouseButtonPress, {60, 120}, Qt::LeftButton);
    ASSERT_TRUE(host.pressedAt());
    // y-up: the pointer's global point is measured from the primary screen's bottom.
    const QPoint qtGlobal = view->mapToGlobal(QPoint(60, 120));
    const double screenBottom = QGuiApplication::primaryScreen()->geometry().bottom() + 1;
    EXPECT_EQ(*host.pressedAt(), QPointF(qtGlobal.x(), screenBottom - qtGlobal.y()));
    send(QEvent::MouseMove, {80, 120}, Qt::LeftButton);
    EXPECT_TRUE(host.carrying());
    send(QEvent::MouseButtonRelease, {80, 120}, Qt::NoButton);
    EXPECT_EQ(taps, 0); // a carry is no tap
    EXPECT_EQ(calls.back(), "drop");

    // A quick second click arrives as a double click: still a press on the cat, and a tap.
    send(QEvent::MouseButtonPress, {60, 120}, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {60, 120}, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, {60, 120}, Qt::LeftButton);
    EXPECT_TRUE(host.pressedAt());
    send(QEvent::MouseButtonRelease, {60, 120}, Qt::NoButton);
    EXPECT_EQ(taps, 2);
}

} // namespace

namespace {

TEST_F(Hosting, RealDropEventsReportWhetherAnythingWasEaten) {
    bool eats = false;
    int hovers = 0;
    host.onDragHover = [&](bool h) {
        hovers += h;
        return true;
    };
    int drops = 0;
    host.onDropFiles = [&](const QList<QUrl>&) {
        ++drops;
        return eats;
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.txt")});
    QMimeData text;
    text.setText("just words");

    // A drag of text is refused without asking the cat; one of files is taken as a move.
    QDragEnterEvent enterText({65, 100}, Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(&host, &enterText);
    EXPECT_FALSE(enterText.isAccepted());
    EXPECT_EQ(hovers, 0);
    QDragEnterEvent enterFiles({65, 100}, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                               Qt::NoModifier);
    QApplication::sendEvent(&host, &enterFiles);
    EXPECT_TRUE(enterFiles.isAccepted());
    EXPECT_EQ(enterFiles.dropAction(), Qt::MoveAction);
    EXPECT_EQ(hovers, 1);

    // Nothing eaten: the source must see a refusal, never an accepted move.
    QDropEvent refused({65, 100}, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(&host, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(refused.dropAction(), Qt::IgnoreAction);

    // A new drag, which this time the cat eats.
    eats = true;
    QDragEnterEvent again({65, 100}, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&host, &again);
    QDropEvent taken({65, 100}, Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&host, &taken);
    EXPECT_EQ(drops, 2);
    EXPECT_TRUE(taken.isAccepted());
    EXPECT_EQ(taken.dropAction(), Qt::MoveAction);
}

} // namespace
