#pragma once

#include "cat/CatState.h"
#include "platform/Trash.h"
#include "platform/TrashQueue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Clock;

// Files dropped on the cat: they go to the trash off the main thread, the eaten bubble names
// them for eight seconds after the last one went in and offers to put them back. Main thread
// only; the answers of the file thread come back between frames.
class FileFeeder : public QObject {
    Q_OBJECT
  public:
    // The trash, the clock and the state must outlive the feeder.
    FileFeeder(Trash& trash, Clock& clock, CatState& state);
    ~FileFeeder() override;

    // A line for the caption (a file that could not go or come back).
    std::function<void(const QString&)> onNotice = [](const QString&) {};
    // Something changed between frames: the bubble, its end, a notice.
    std::function<void()> onWake = [] {};
    // A slow drop ended with nothing eaten after all: the cat stops chewing on air.
    std::function<void()> onNothingEaten = [] {};

    // Files dropped on the cat: true when the cat takes the drop (something went, or the disk
    // has not answered yet); false when nothing could go. A drop while the last one still goes
    // down queues behind it and takes the bubble.
    bool feed(const QList<QUrl>& files);
    // The moves run off the main thread; true until the last file of the drop is answered.
    bool stillEating() const { return movesLeft > 0; }
    bool stillPuttingBack() const { return returningDrops > 0; }
    // Once per frame: the bubble closes when its offer ends.
    void tick(double now) {
        if (state.eaten() && now >= eatenUntil) state.setEaten(std::nullopt);
    }
    // When the open bubble closes; none while no bubble shows.
    std::optional<double> bubbleClosesAt() const;

    // A file the cat ate: where it was, and where it lies in the trash.
    struct Moved {
        QString original;
        TrashedItem trashed;
    };

  private:
    // One drop: its moves, what went in, and its way back.
    struct Drop {
        std::vector<TrashQueue::Ticket> moves;
        std::vector<Moved> eaten; // in drop order
        qsizetype left = 0;       // moves not answered yet
        bool returning = false;   // being put back
        qsizetype homeLeft = 0;   // moves home not answered yet
    };
    using DropPtr = std::shared_ptr<Drop>;
    // The eaten bubble's undo: every file home off the main thread, a notice for each that
    // cannot go, then the bubble closes.
    void startPuttingBack(const DropPtr& drop);
    void sendHome(const DropPtr& drop, const Moved& file);
    void cameHome(const DropPtr& drop, const Moved& file, bool ok, const QString& why);
    void finishPuttingBack(const DropPtr& drop);
    // The answer for one dropped file: in the trash (the bubble grows), or a notice and a log
    // line.
    void swallowed(const DropPtr& drop, const QString& original, bool skipped,
                   const std::optional<TrashedItem>& item, const QString& why);
    void cannotTrash(const QString& what, const QString& why);
    void showEaten(const DropPtr& drop);
    TrashQueue& trashQueue();

    Trash& trash;
    Clock& clock;
    CatState& state;
    double eatenUntil = 0;        // the bubble's offer stands until then
    DropPtr current;              // the newest drop
    DropPtr shown;                // the drop the bubble names
    bool bubbleDue = false;       // a bubble update is posted
    qsizetype movesLeft = 0;      // moves to the trash not answered yet, over every drop
    qsizetype returningDrops = 0; // drops being put back

    // Last, so it goes first: no answer from the file thread reaches a half-destroyed feeder.
    std::unique_ptr<TrashQueue> files;
};
