#pragma once

#include "cat/Activity.h"
#include "cat/BedClipPlayer.h"
#include "cat/BedLife.h"
#include "cat/BedPlace.h"
#include "cat/CaptionBoard.h"
#include "cat/CatState.h"
#include "cat/Climbing.h"
#include "cat/Desktop.h"
#include "cat/DesktopWindow.h"
#include "cat/FileFeeder.h"
#include "cat/FocusPhase.h"
#include "cat/Holding.h"
#include "cat/Hunting.h"
#include "cat/LetterQueue.h"
#include "cat/SystemSignals.h"
#include "focus/Letter.h"
#include "platform/Geometry.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QVarLengthArray>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

class Clock;
class Devices;
class InputIdle;
class Panel;
class Pointer;
class Random;
class Screens;
class Ticker;
class Trash;
class WindowList;

class CatOverlay;

// Everything the engine needs from the system, handed in at construction. The references must
// outlive the overlay.
struct CatServices {
    Screens& screens;
    WindowList& windowList;
    Pointer& pointer;
    InputIdle& inputIdle;
    Devices& devices;
    Trash& trash;
    Clock& clock;
    Random& random;
    // The settings the engine reads and writes (the bed's spot, where the cat lives).
    Settings& settings;
    // Creates the cat panel (the gui wires its input to the overlay's handlers). Called once
    // by enter(); the overlay owns the result.
    std::function<std::unique_ptr<Panel>(CatOverlay&)> makeCatPanel;
    // Creates the bed panel; may be empty (no bed).
    std::function<std::unique_ptr<Panel>(CatOverlay&)> makeBedPanel;
    qint64 ownPid = QCoreApplication::applicationPid();
    // Tests and benchmarks drive tick() by hand.
    bool frameClock = true;
};

// The behaviour engine of the desktop cat. One instance, main thread only. Dates are seconds
// since 2001-01-01 UTC read once per operation from the injected clock; coordinates are y-up
// global points. Each behaviour lives in its own source file.
class CatOverlay : public QObject {
    Q_OBJECT
  public:
    explicit CatOverlay(const CatServices& services, QObject* parent = nullptr);
    ~CatOverlay() override;

    // The observable picture the cat view draws.
    CatState state;
    // Called when the user accepts an update letter.
    std::function<void()> onUpdate = [] {};

    // Puts the cat on the screen: walks in from the left (or starts in its bed) and starts the
    // frame clock. Called once at start-up, and when a letter arrives while the cat is not shown.
    void enter(bool carrying);
    // One frame step; the frame clock calls it once per display refresh.
    void tick();
    // The screen or its work area changed (a new mode, a dock, a window manager's new area).
    // Called by the app after the platform dropped its cached frames: puts the cat on the new
    // floor and inside the new visible frame, and moves its panel even when the cat is still.
    void screenParametersChanged();
    // Seconds after now that the frame clock may sleep: zero unless the cat is still, else
    // until the earliest moment something is due (at most the next system poll).
    double restFor(double now);
    // Something from outside may have changed the cat's world: back to the display rate. Every
    // entry point that other objects call between frames (input, letters, the focus timer)
    // calls it, so a resting clock never misses them.
    void wake();
    // The current engine date.
    double now() const;

    // What a test or the automation interface wants to know.
    struct Snapshot {
        double x = 0;
        double feetY = 0;
        Activity activity;
        Platform platform = Platform::floor();
        CatSprite sprite = CatSprite::sit;
        std::optional<Rect> panelFrame;
        bool lying = false;
        bool inCall = false;
        bool musicPlaying = false;
        bool typing = false;
        bool focusing = false;
        QPointF bedSpot;
        std::optional<Rect> bedFrame; // the empty bed's panel while it shows
        std::optional<double> breakUntil;
        bool carrying = false; // holds the first letter in its mouth
    };
    Snapshot snapshot() const;
    // Makes one of the cat's own timers due now, so a test need not wait for it.
    enum class Due { wander, snack, climb, yawn, hunt };
    void makeDue(Due which);
    // Pushes every own-initiative timer back and ends a nap, so the cat sits still (tests and
    // benchmarks).
    void postponeAll(double seconds);
    // Sets the cat down idle on the floor at x, at once (tests and benchmarks).
    void setDown(double x);

    // Cat panel input, in global points. Each checks the activity itself, so the panel may
    // call it at any time.
    void stroke(double dx);              // pointer moved over the cat without a button
    bool onDragHover(bool hovering);     // files dragged over the cat: would it take them
    bool feed(const QList<QUrl>& files); // files dropped on the cat: were they eaten
    bool pickUp(QPointF at);             // the press began a drag: is the cat held now
    void onCarry(QPointF to);            // drag event while carrying
    void drop();                         // release after carrying
    bool onGrabBed(QPointF at);          // press on the cat: does it grab the bed
    void onMoveBed(QPointF to);          // drag event while the bed is grabbed
    void placeBed();                     // release after dragging the bed
    void bedPanelMoved();                // the user dragged the empty bed's panel
    // The moves run off the main thread; true until the last file of the drop is answered.
    bool stillEating() const { return feeder.stillEating(); }
    bool stillPuttingBack() const { return feeder.stillPuttingBack(); }
    // The dropped files, the eaten bubble and their way back.
    const FileFeeder& fileFeeder() const { return feeder; }
    // Cat view actions.
    void tapCat();
    void markRead();
    void acceptUpdate(); // markRead, then onUpdate
    // The pointer is over the cat's drawn body (grown by 4 points).
    bool cursorOnCat() const;

    // Models talking to the cat.
    void deliver(const Letter& letter);
    void setPomodoro(bool focus, std::optional<double> breakUntil);
    void setCheer(const QString& text, double until);
    // The bed clip playing.
    const BedClipPlayer& bedClipPlayer() const { return bedClips; }
    // The bed where it stands, and the cat's life in it.
    const BedPlace& bedPlace() const { return bedPlace_; }
    const BedLife& bedLife() const { return bedLife_; }
    // What the cat's life in bed is judged by now.
    BedLife::Situation bedSituation() const;
    // What the system tells the cat.
    const SystemSignals& systemSignals() const { return systemSignals_; }
    // The caption over the cat.
    const CaptionBoard& captions() const { return captionBoard; }
    // The letters waiting, the one in the cat's mouth and the one open.
    const LetterQueue& letterQueue() const { return letterQueue_; }
    // The focus timer's phase and the break news the cat brings.
    const FocusPhase& focusPhase() const { return focusPhase_; }
    // The cat in the user's hand: the pendulum, strokes, the happy face, the pop, the shake.
    const Holding& holding() const { return holding_; }
    // The cat's way around the windows: targets, landings, the window it falls past, the
    // climb timer.
    const Climbing& climbing() const { return climbing_; }
    // The pointer as prey, the hunt timer, the caught pointer.
    const Hunting& hunting() const { return hunting_; }

    // The monitors, the last window poll and the geometry over them.
    const Desktop& desktop() const { return desktop_; }
    // Desktop geometry where the cat is: the visible frame and floor of the monitor it is on.
    Rect screenFrame() const;
    double floorY() const;
    // The monitor whose floor run the cat is on (or walked out from).
    int floorMonitor() const;
    Span floorRun() const;
    // Which end of its floor the cat leaves by: the nearer one no lower monitor shows.
    bool exitLeft() const;
    double offscreenX(bool left) const;
    double entrySpot(bool left);
    bool catOnScreen() const;
    Pieces visibleTop(const DesktopWindow& w) const;
    const std::vector<DesktopWindow>& polledWindows() const { return desktop_.windows(); }
    const std::vector<Letter>& letters() const { return letterQueue_.letters(); }
    std::optional<Span> visibleSpan(const DesktopWindow& w, double x) const;
    std::optional<double> standingSpot(const DesktopWindow& w, std::optional<double> near) const;
    std::optional<double> randomSpot();
    // The window server's list filtered to what the cat can stand on, front-most first.
    std::vector<DesktopWindow> desktopWindows() const;

    // The view's closed bubble is still shrinking away: the panel keeps the bubble's room
    // until it is gone.
    void setBubbleLeaving(bool leaving);
    // Frames per second of the frame clock (0 before the cat enters).
    double frameClockRate() const;

    static constexpr double distantPast = -63114076800.0; // year 1, as engine seconds
    // The window list is read at most this often: moving windows change it every frame.
    static constexpr double windowPollSeconds = 0.05;
    struct Gait {
        const std::vector<CatSprite>& (*loop)();
        double fps;
        double speed; // points per second
    };
    static const Gait plainWalk;
    static const Gait letterWalk;
    const Gait& gait() const; // the one walked now: with a letter, or without
    static double snackDuration();
    static double sitHeadroom();
    static double bedHeadroom();

  private:
    friend class CatOverlayProbe; // tests and benchmarks that set up a moment directly
    // Between monitors: a wander onto a neighbour's floor, the step off a floor's end while
    // walking, and the jump up a step.
    bool wanderAcross(double t);
    void stepOffFloor(double t);
    void jumpStep(double to, double t);

    // The core steps: begin an activity, choose the next one, finish a walk, pick the frame,
    // place the panel.
    void start(const Activity& a, double now);
    void decide(double now);
    void arrive(const Arrival& arrival, double now);
    void updateSprite(double now);
    void layout();

    using Surface = Climbing::Surface;

    double r(double a, double b); // uniform seconds in [a, b]
    bool chance(double p);        // a uniform draw in [0, 1) below p
    int hourOfDay(double now);    // local hour, cached per minute
    void makePanel();
    bool stillAt(double now) const;
    bool quietAt(double now) const; // nothing animates beyond the cat's own picture
    double walkRestFor() const;
    bool calm() const; // nothing on the cat's mind: no focus, call, break, nap or news
    double bedRestFor(double now) const;
    // News from the system: poll it at the next frame, waking the clock.
    void systemNews();
    // When the once-a-second system poll is next needed by a resting clock.
    double nextSystemPoll() const;
    void pollWindows();
    // The frame clock runs at the refresh rate of the monitor under the cat.
    double rateOfMonitorUnderCat();
    void followMonitorRate();
    // After a layout change: a cat over no monitor goes to the primary's floor.
    void rescueOntoPrimary(double now);
    bool walk(activity::Walking w, double now, double dt);
    void retarget(activity::Walking& walking, const Rect& oldVisible, double lo, double hi,
                  double now);
    void followShiftedWindows(double shift);
    void stepActivity(double now, double dt, double elapsed);
    const DesktopWindow* findWindow(quint32 id) const;

    // Climbing, jumping and falling.
    void checkPlatform(double now);
    const DesktopWindow* heldFace() const;  // the window whose face the cat holds on to, if any
    void letGo(quint32 window, double now); // falls, past that window's top
    void getDown(const DesktopWindow& from, double now);
    void arriveTransfer(const DesktopWindow& to, double now);
    void stepClimbing(double now, double dt, double elapsed);
    void landJump(const activity::Jumping& jump, double now);
    // Holding.
    void landInBed(double now);
    // Letters and captions.
    void openLetter(double now);
    // The bed.
    void makeBedPanel();
    void keepBedOnScreen();
    std::optional<DesktopWindow> bedWindow() const;
    double surfaceUnderBed() const; // the top of bedWindow, else the floor
    void settleBed();               // after the user let go of the bed
    void goToBed(double now);
    void headToBed(double now);
    void getIntoBed(double now);
    void leaveBed(double now);
    std::optional<double> bedBelow(const Surface& surface) const;
    void stepInBed(double now, double elapsed);
    void nextInBed(double now);
    void playBedClip(int clip, bool open, double now);
    // System signals and hunting.
    void pollSystem(double now);
    void goingToSleep();
    void systemWoke();
    bool huntIfPrey(double now);
    void holdCursor();
    void stepHunt(double now, double dt, double elapsed);

    CatServices sys;

    std::unique_ptr<Panel> panel;
    std::unique_ptr<Ticker> frameClock;
    bool entered = false;
    Rect placedScreen;     // the screen frame the cat was last placed on
    Rect placedVisible;    // and its visible frame
    int clockMonitor = -1; // the monitor whose refresh rate the frame clock runs at
    double x = 0;
    double feetY = 0;
    Platform platform = Platform::floor();
    Activity activity;
    double activityStart = 0;
    double stepPhase = 0;
    // A walk's panel stands where its shown picture was drawn: the gait step (of stepPhase)
    // that picture is, none before the walk's first step, and how far the walk went since.
    std::optional<double> shownStep;
    double sinceShown = 0;
    double lastTick = 0;
    double lastWindowPoll = distantPast;
    double blinkUntil = distantPast;
    double nextBlink = 0;
    double nextWander = 0;
    double nextSnack = 0;
    double nextYawn = 0;
    bool bubbleLeaving = false; // see setBubbleLeaving
    Desktop desktop_{sys.screens, sys.windowList, sys.ownPid};
    CaptionBoard captionBoard{state};
    LetterQueue letterQueue_{state};
    FocusPhase focusPhase_;
    SystemSignals systemSignals_{sys.devices, sys.inputIdle};
    BedClipPlayer bedClips{sys.random};
    BedPlace bedPlace_{desktop_, sys.settings};
    BedLife bedLife_{sys.settings};
    Holding holding_{sys.random};
    Climbing climbing_{*this, sys.random};
    Hunting hunting_{desktop_, sys.pointer, sys.inputIdle, sys.random};
    double lastSystemPoll = distantPast;

    // Caches that keep the frame step free of allocation and system calls.
    double hourValidFrom = 0;
    double hourValidUntil = -1;
    int hour = 0;

    // Last, so it goes first: no answer from the file thread reaches a half-destroyed cat.
    FileFeeder feeder{sys.trash, sys.clock, state};
};
