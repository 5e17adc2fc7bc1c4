#pragma once

#include <optional>

// The focus timer as the cat knows it: a focus phase, or a running break and its end; the news
// of a new break that the cat still has to bring the user; and, once it has, when it goes to
// bed for the rest of the break.
class FocusPhase {
  public:
    // The timer's phase: focusing, or a break until then (neither: no break). A second report of
    // a running break is not news; with the break over, its news and bed time go with it.
    void set(bool focus, std::optional<double> breakUntil);
    // The cat told the user at `now`: it goes to bed after a third of the break left, at most
    // 45 s later.
    void announced(double now);

    bool focusing() const { return focusing_; }
    std::optional<double> breakUntil() const { return breakUntil_; }
    // A new break the cat has not announced yet.
    bool hasNews() const { return news; }
    // When the cat goes to bed for the break; none before it announced one.
    std::optional<double> breakBedAt() const { return bedAt; }
    bool breakBedtime(double now) const { return bedAt && now >= *bedAt; }

  private:
    bool focusing_ = false;
    std::optional<double> breakUntil_;
    bool news = false;
    std::optional<double> bedAt;
};
