#pragma once

#include "platform/Trash.h"

#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

// Runs a trash's moves one at a time, in the order asked, on a thread of its own, so a slow or
// hung disk never stalls the thread that asks (the frame clock's). The answers come back on the
// queue's own thread through its event loop, in the same order.
class TrashQueue final : public QObject {
    Q_OBJECT
  public:
    struct Outcome {
        bool skipped = false;            // cancelled before it started
        std::optional<TrashedItem> item; // where a move to the trash put the item
        bool ok = false;                 // the move succeeded
        QString error;                   // why not
    };
    using Done = std::function<void(const Outcome&)>;
    struct Job;
    using Ticket = std::shared_ptr<Job>;

    // The trash must outlive the queue.
    explicit TrashQueue(Trash& trash, QObject* parent = nullptr);
    // Moves not yet started are dropped; a running one gets a moment to end, and is left to
    // itself when its disk hangs.
    ~TrashQueue() override;

    Ticket toTrash(const QString& path, Done done);
    Ticket putBack(const TrashedItem& item, const QString& originalPath, Done done);
    // A job that has not started is skipped (its answer says so).
    void cancel(const Ticket& job);
    // Waits at most `ms` milliseconds for the job to end, then hands out every answer that is
    // ready, in order. True when the job's answer has been handed out.
    bool settle(const Ticket& job, int ms);

  private:
    struct Shared;
    Ticket add(Ticket job);
    void handOut();
    static void work(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
    std::deque<Ticket> answers_; // jobs whose answers are not handed out yet, in order
    std::thread worker_;
};
