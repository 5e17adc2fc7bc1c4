#pragma once

#include "sprites/Spring.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QTimer>
#include <QVariantMap>
#include <vector>

class QPainter;

// How the cat's open bubble comes and goes: it grows from 0.6 at its bottom centre and fades in
// as it opens (a spring of 0.35 s), and shrinks and fades as it goes; when a caption comes or
// goes under it, it moves to its new place on a spring of 0.3 s, and a new caption fades in as
// the stack makes room. While the bubble grows or shrinks the view paints a picture of it,
// scaled and faded. The clock runs only while one of these does.
class BubbleTransition : public QObject {
    Q_OBJECT
  public:
    static constexpr double openResponse = 0.35;
    static constexpr double stackResponse = 0.3;
    static constexpr double grownFrom = 0.6;

    explicit BubbleTransition(QObject* parent = nullptr);
    void setInterval(int milliseconds) { timer_.setInterval(milliseconds); }

    // A caption now shows (it fades in) or no longer does.
    void captionShown(bool shown);
    // A fresh bubble is about to be placed: it will grow from nothing, or turn back from where
    // a bubble still shrinking was.
    void opening();
    // The fresh bubble has been placed at `at`, looking like `picture`: it starts to grow.
    // Answers whether a shrinking bubble was turned back.
    bool opened(const QPixmap& picture, QRect at);
    // The bubble closes: it shrinks and fades from where it is now, drawn from `picture` (null
    // when it never showed: the picture it was growing from stays). Answers whether it started
    // leaving now.
    bool closing(const QPixmap& picture, QRect at);
    // Where the bubble shows whose resting top is `top`: a caption that came or went under it
    // springs it there from where it showed.
    double place(double top, bool overCaption);
    // The growing bubble's picture follows the bubble's place.
    void pictureAt(QRect at) { pictureAt_ = at; }
    // Grown (or gone): the view shows the bubble itself and drops the picture.
    bool grown() const { return open_.settled(frameNow_); }
    void dropPicture() { picture_ = QPixmap(); }
    bool hasPicture() const { return !picture_.isNull(); }

    bool running() const { return timer_.isActive(); }
    bool leaving() const { return leaving_; }
    double scale() const;
    double opacity() const;
    double captionOpacity() const { return captionIn_.at(frameNow_); }
    // The growing or shrinking bubble's picture.
    void paint(QPainter& p) const;
    // The scale, opacity and lift (points above its resting place) at each frame of the latest
    // transition, with the seconds since it began, and what it was ("open", "close", "stack").
    QVariantMap automation() const;

  signals:
    // A transition frame is due: the view places the bubble again ...
    void placing();
    // ... and paints.
    void changed();
    // A shrinking bubble is gone.
    void left();

  private:
    double clock() const { return since_.elapsed() / 1000.0; }
    void start(const char* kind);
    void step();
    void record();

    QTimer timer_;
    QElapsedTimer since_;
    Spring open_{1, 1, openResponse, 0};  // 0 gone … 1 open
    Spring lift_{0, 0, stackResponse, 0}; // points above the bubble's resting place
    Spring captionIn_{1, 1, stackResponse, 0};
    QPixmap picture_; // the bubble while it grows or shrinks
    QRect pictureAt_; // where that picture lies (unscaled), view coordinates
    bool leaving_ = false;
    bool shown_ = false;      // a bubble is open (growing, grown or moving)
    bool hadCaption_ = false; // whether the bubble was last placed over a caption
    bool placed_ = false;     // whether it was placed since it opened
    double restingTop_ = 0;   // where the bubble was last placed, without lift
    double frameNow_ = 0;     // the transition clock at the frame being drawn
    double kindStarted_ = 0;
    struct Frame {
        double t, scale, opacity, lift;
    };
    std::vector<Frame> frames_;
    const char* kind_ = "none";
};
