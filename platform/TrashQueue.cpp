#include "platform/TrashQueue.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

struct TrashQueue::Job {
    bool toTrash = true;
    QString path; // to trash, or the former path to put back at
    TrashedItem item;
    Done done; // the owner's thread only
    std::atomic<bool> cancelled{false};
    bool finished = false;  // under Shared::mutex
    Outcome outcome;        // written before finished is set
    bool handedOut = false; // the owner's thread only
};

struct TrashQueue::Shared {
    explicit Shared(Trash& t) : trash(t) {}
    Trash& trash;
    std::mutex mutex;
    std::condition_variable work; // a job came, or the queue goes
    std::condition_variable done; // a job ended, or the thread did
    std::deque<Ticket> pending;
    TrashQueue* owner = nullptr; // cleared, under the mutex, before the queue goes
    bool stopping = false;
    bool exited = false;
};

TrashQueue::TrashQueue(Trash& trash, QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>(trash)) {
    shared_->owner = this;
    worker_ = std::thread(&TrashQueue::work, shared_);
}

TrashQueue::~TrashQueue() {
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->owner = nullptr;
    shared_->pending.clear();
    shared_->work.notify_all();
    const bool ended =
        shared_->done.wait_for(lock, std::chrono::seconds(2), [this] { return shared_->exited; });
    lock.unlock();
    // A move stuck on a hung disk must not hold up the quit; the thread keeps only the shared
    // state alive and ends with the process.
    if (ended)
        worker_.join();
    else
        worker_.detach();
}

void TrashQueue::work(std::shared_ptr<Shared> shared) {
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->work.wait(lock, [&] { return shared->stopping || !shared->pending.empty(); });
        if (shared->stopping) break;
        const Ticket job = shared->pending.front();
        shared->pending.pop_front();
        lock.unlock();

        Outcome outcome;
        if (job->cancelled) {
            outcome.skipped = true;
        } else if (job->toTrash) {
            outcome.item = shared->trash.moveToTrash(job->path, outcome.error);
            outcome.ok = outcome.item.has_value();
        } else {
            outcome.ok = shared->trash.putBack(job->item, job->path, outcome.error);
        }

        lock.lock();
        job->outcome = std::move(outcome);
        job->finished = true;
        shared->done.notify_all();
        if (shared->owner)
            QMetaObject::invokeMethod(shared->owner, &TrashQueue::handOut, Qt::QueuedConnection);
    }
    shared->exited = true;
    shared->done.notify_all();
}

TrashQueue::Ticket TrashQueue::add(Ticket job) {
    answers_.push_back(job);
    std::lock_guard lock(shared_->mutex);
    shared_->pending.push_back(job);
    shared_->work.notify_one();
    return job;
}

TrashQueue::Ticket TrashQueue::toTrash(const QString& path, Done done) {
    auto job = std::make_shared<Job>();
    job->path = path;
    job->done = std::move(done);
    return add(std::move(job));
}

TrashQueue::Ticket TrashQueue::putBack(const TrashedItem& item, const QString& originalPath,
                                       Done done) {
    auto job = std::make_shared<Job>();
    job->toTrash = false;
    job->item = item;
    job->path = originalPath;
    job->done = std::move(done);
    return add(std::move(job));
}

void TrashQueue::cancel(const Ticket& job) {
    if (job) job->cancelled = true;
}

bool TrashQueue::settle(const Ticket& job, int ms) {
    {
        std::unique_lock lock(shared_->mutex);
        shared_->done.wait_for(lock, std::chrono::milliseconds(std::max(ms, 0)),
                               [&] { return job->finished; });
    }
    handOut();
    return job->handedOut;
}

void TrashQueue::handOut() {
    QPointer<TrashQueue> self(this);
    // A few milliseconds of answers at a time: the frame clock gets its turn between batches.
    QElapsedTimer batch;
    batch.start();
    while (!answers_.empty()) {
        if (batch.nsecsElapsed() > 4'000'000) {
            QMetaObject::invokeMethod(this, &TrashQueue::handOut, Qt::QueuedConnection);
            return;
        }
        const Ticket job = answers_.front();
        {
            std::lock_guard lock(shared_->mutex);
            if (!job->finished) return;
        }
        answers_.pop_front();
        job->handedOut = true;
        if (job->done) job->done(job->outcome);
        if (!self) return; // the answer's receiver ended the queue
    }
}
