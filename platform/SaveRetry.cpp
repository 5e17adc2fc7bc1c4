#include "platform/SaveRetry.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <algorithm>

SaveRetry::SaveRetry(QString what, std::function<void()> retry)
    : what_(std::move(what)), retry_(std::move(retry)) {}

SaveRetry::~SaveRetry() {
    delete timer_.data();
}

void SaveRetry::failed(const QString& why) {
    ++failures_;
    pauseMs_ = failing_ ? std::min(pauseMs_ * 2, longestPauseMs) : firstPauseMs;
    if (!failing_)
        Log::error(QStringLiteral("%1 could not be saved (%2); kept in memory and tried again "
                                  "until it can be written")
                       .arg(what_, why));
    failing_ = true;
    if (!timer_) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return; // no event loop: the next save or the quit path writes it
        timer_ = new QTimer(app);
        timer_->setSingleShot(true);
        QObject::connect(timer_, &QTimer::timeout, [this] { retry_(); });
    }
    timer_->start(pauseMs_);
}

void SaveRetry::succeeded() {
    if (!failing_) return;
    Log::notice(
        QStringLiteral("%1 saved again after %2 failed attempt(s)").arg(what_).arg(failures_));
    failing_ = false;
    failures_ = 0;
    pauseMs_ = 0;
    if (timer_) timer_->stop();
}
