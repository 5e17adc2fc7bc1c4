#include "sprites/BubbleTransition.h"

#include <QPainter>
#include <QVariantList>
#include <algorithm>

BubbleTransition::BubbleTransition(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    since_.start();
    frames_.reserve(256); // no allocation while a transition runs
    connect(&timer_, &QTimer::timeout, this, &BubbleTransition::step);
}

void BubbleTransition::captionShown(bool shown) {
    if (shown) {
        frameNow_ = clock();
        captionIn_ = Spring{0, 1, stackResponse, frameNow_};
        if (!timer_.isActive()) timer_.start();
    } else {
        captionIn_ = Spring{1, 1, stackResponse, 0};
    }
}

void BubbleTransition::opening() {
    const double now = clock();
    frameNow_ = now;
    shown_ = true;
    placed_ = false;
    lift_ = Spring{0, 0, stackResponse, 0};
    open_ = Spring{leaving_ ? open_.at(now) : 0.0, 1, openResponse, now};
}

bool BubbleTransition::opened(const QPixmap& picture, QRect at) {
    picture_ = picture;
    pictureAt_ = at;
    const bool turnedBack = std::exchange(leaving_, false);
    start("open");
    return turnedBack;
}

bool BubbleTransition::closing(const QPixmap& picture, QRect at) {
    const double now = clock();
    frameNow_ = now;
    shown_ = false;
    if (!picture.isNull()) {
        picture_ = picture;
        pictureAt_ = at;
    }
    open_ = Spring{open_.at(now), 0, openResponse, now};
    lift_ = Spring{lift_.at(now), lift_.at(now), stackResponse, 0};
    const bool started = !std::exchange(leaving_, true);
    start("close");
    return started;
}

double BubbleTransition::place(double top, bool overCaption) {
    if (placed_ && hadCaption_ != overCaption) {
        const double now = clock();
        frameNow_ = now;
        lift_ = Spring{restingTop_ + lift_.at(now) - top, 0, stackResponse, now};
        start("stack");
    }
    placed_ = true;
    hadCaption_ = overCaption;
    restingTop_ = top;
    return top + lift_.at(frameNow_);
}

void BubbleTransition::start(const char* kind) {
    kind_ = kind;
    kindStarted_ = frameNow_;
    frames_.clear();
    record();
    emit changed();
    if (!timer_.isActive()) timer_.start();
}

void BubbleTransition::step() {
    frameNow_ = clock();
    emit placing();
    if (leaving_ && open_.settled(frameNow_)) {
        leaving_ = false;
        picture_ = QPixmap();
        emit left();
    }
    record();
    emit changed();
    if (open_.settled(frameNow_) && lift_.settled(frameNow_) && captionIn_.settled(frameNow_))
        timer_.stop();
}

void BubbleTransition::record() {
    if (frames_.size() < frames_.capacity())
        frames_.push_back({frameNow_ - kindStarted_, scale(), opacity(), -lift_.at(frameNow_)});
}

double BubbleTransition::scale() const {
    return grownFrom + (1 - grownFrom) * open_.at(frameNow_);
}

double BubbleTransition::opacity() const {
    if (!shown_ && !leaving_) return 0;
    return std::clamp(open_.at(frameNow_), 0.0, 1.0);
}

void BubbleTransition::paint(QPainter& p) const {
    if (picture_.isNull()) return;
    // Scaled about the bottom centre of the bubble with its tail.
    const double s = scale();
    const QPointF anchor(pictureAt_.center().x() + 0.5, pictureAt_.bottom() + 1);
    p.save();
    p.setOpacity(opacity());
    p.translate(anchor);
    p.scale(s, s);
    p.translate(-anchor);
    p.drawPixmap(QRectF(pictureAt_), picture_, QRectF(picture_.rect()));
    p.restore();
}

QVariantMap BubbleTransition::automation() const {
    QVariantList frames;
    for (const Frame& f : frames_)
        frames.append(QVariant(QVariantList{f.t, f.scale, f.opacity, f.lift}));
    return {{"bubbleScale", scale()},
            {"bubbleOpacity", opacity()},
            {"transition", QString::fromLatin1(kind_)},
            {"transitioning", timer_.isActive()},
            {"frames", frames}};
}
