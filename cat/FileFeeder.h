#pragma once

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

class CatState;
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
    // has not answered yet); false when nothing could go or the last drop is still going down.
    bool feed(const QList<QUrl>& files);
    // The moves run off the main thread; true until the last file of the drop is answered.
    bool stillEating() const { return mealLeft > 0; }
    bool stillPuttingBack() const { return returning != nullptr; }
    // Once per frame: the bubble closes when its offer ends.
    void tick(double now);
    // When the open bubble closes; none while no bubble shows.
    std::optional<double> bubbleClosesAt() const;

    // A file the cat ate: where it was, and where it lies in the trash.
    struct Moved {
        QString original;
        TrashedItem trashed;
    };

  private:
    using MovedList = std::shared_ptr<std::vector<Moved>>;
    // The eaten bubble's undo: every file home off the main thread, a notice for each that
    // cannot go, then the bubble closes.
    void startPuttingBack(const MovedList& list);
    void sendHome(const Moved& file);
    void cameHome(const Moved& file, bool ok, const QString& why);
    void finishPuttingBack();
    // The answer for one dropped file: in the trash (the bubble grows), or a notice and a log
    // line.
    void swallowed(const MovedList& list, const QString& original, bool skipped,
                   const std::optional<TrashedItem>& item, const QString& why);
    void cannotTrash(const QString& what, const QString& why);
    void showEaten(const MovedList& list);
    TrashQueue& trashQueue();

    Trash& trash;
    Clock& clock;
    CatState& state;
    double eatenUntil = 0;                // the bubble's offer stands until then
    std::vector<TrashQueue::Ticket> meal; // the drop's moves
    qsizetype mealLeft = 0;               // how many are not answered yet
    bool bubbleDue = false;               // a bubble update is posted
    MovedList eatenFiles;                 // what it put in the trash so far
    MovedList returning;                  // files being put back
    qsizetype returnLeft = 0;             // moves home not answered yet

    // Last, so it goes first: no answer from the file thread reaches a half-destroyed feeder.
    std::unique_ptr<TrashQueue> files;
};
