#pragma once

#include "frames/CatSprite.h"

#include <optional>

class Settings;

// The cat's life in its bed: whether it lies there, whether it lives there (saved, so a restart
// finds it in bed), a nap of its own, a nap that lasts while a call, focus or a break needs it,
// the phone in its paw and the phone spells, and when the next clip is due. It answers why the
// cat belongs in bed, wants up, wants its phone, and which clip the situation asks for. Main
// thread only; the settings must outlive it.
class BedLife {
  public:
    explicit BedLife(Settings& settings);

    // What the cat's bed life is judged by, gathered by the overlay once per question.
    struct Situation {
        bool letterToFetch = false; // letters wait to be fetched
        bool inCall = false;
        bool focusing = false;
        bool breakNews = false;            // a break began and is not announced yet
        std::optional<double> breakBedAt;  // when the running break sends the cat to bed
        std::optional<double> typingSince; // since when the user types
        bool musicPlaying = false;
    };

    bool lying() const { return lying_; }
    bool livesInBed() const { return lives; }
    std::optional<double> napUntil() const { return nap; }
    // In bed for a call, focus or a break: up when that is over (unless it lives there).
    bool callNap() const { return callNap_; }
    CatSprite::Hold hold() const { return hold_; }
    std::optional<double> phoneUntil() const { return phone; }
    // Lying still until then, before the next plain clip.
    double nextClip() const { return nextClip_; }

    bool belongsInBed(double now, const Situation& s) const;
    bool wantsUp(double now, const Situation& s) const;
    bool wantsPhone(double now, const Situation& s) const;
    // The clip a mood asks for (typing, music, a call, focus), open-ended while it lasts.
    std::optional<int> moodClip(double now, const Situation& s) const;

    // Lies down holding nothing; the first plain clip no sooner than `firstClip`.
    void getIn(double firstClip);
    // Jumps out: its naps are over.
    void getOut();
    // Put into the bed by the user: it lives there from now on, with no nap of its own.
    void moveIn();
    // Picked out of the bed: it leaves for good.
    void moveOut();
    // A nap of its own until then.
    void startNap(double until) { nap = until; }
    // A nap of its own ends now.
    void endNap(double now);
    // Goes to bed for a call, focus or a break.
    void napForCall() { callNap_ = true; }
    // A call ended: a cat that lives in bed no longer naps for it.
    void callEnded();
    // Drops what it holds (a file to eat comes).
    void dropHold() { hold_ = CatSprite::Hold::nothing; }
    // A clip ended holding `hold`; the next plain clip no sooner than `next`.
    void clipEnded(CatSprite::Hold hold, double next);
    // A phone spell until then; phoneDone forgets it (a mood came).
    void phoneFor(double until) { phone = until; }
    void phoneDone() { phone.reset(); }

  private:
    void setLives(bool on);

    Settings& settings;
    bool lying_ = false;
    bool lives = false;
    std::optional<double> nap;
    bool callNap_ = false;
    CatSprite::Hold hold_ = CatSprite::Hold::nothing;
    std::optional<double> phone;
    double nextClip_ = 0;
};
