#pragma once

#include <QString>
#include <optional>

class CatState;

// The caption over the cat: a cheer from the focus log, the break's countdown, "back to work"
// when a focus phase begins, and notices of our own (a file that could not go). The timed
// captions win over a notice; a notice stays eight seconds; a caption that other code set is
// left alone.
class CaptionBoard {
  public:
    explicit CaptionBoard(CatState& state) : state(state) {}

    struct Cheer {
        QString text;
        double until;
    };
    void setCheer(const QString& text, double until) { cheer_ = Cheer{text, until}; }
    const std::optional<Cheer>& cheer() const { return cheer_; }
    // "Back to work" shows until then; cleared when the focus phase ends.
    void showBackToWork(double until) { backToWorkUntil = until; }
    void clearBackToWork();
    // An untimed caption that goes eight seconds after now.
    void notice(const QString& text, double now);
    // Once per frame: which caption shows now. breakUntil is the running break's end.
    void refresh(double now, std::optional<double> breakUntil);

    // A caption of this board shows or is due: the frame clock keeps the display rate.
    bool busy(double now) const {
        return (cheer_ && now < cheer_->until) || byTimer || now < backToWorkUntil;
    }
    // The shown caption is a notice (it names a file: the panel is wider).
    bool showsNotice() const;

  private:
    // Which timed caption shows, so each is formatted only when its text changes.
    enum class Timed { none, cheer, countdown, backToWork };
    void showTimed(const QString& text);

    CatState& state;
    std::optional<Cheer> cheer_;
    double backToWorkUntil = -63114076800.0; // year 1: long past
    bool byTimer = false;                    // the shown caption is a timed one
    Timed timed = Timed::none;
    qint64 countdownShown = -1;        // the break seconds the caption shows
    std::optional<double> noticeUntil; // when an untimed notice caption goes
};
