#pragma once

#include "kit/LinkCard.h"

#include <QDateTime>

class Clock;
class FocusLog;

// The statistics link: today's focus time and the streak.
class StatsLink : public LinkCard {
    Q_OBJECT
  public:
    StatsLink(FocusLog& log, Clock& clock, QWidget* parent = nullptr);

    // "today 1 h 5 min · 🔥 3 days": minutes rounded to the nearest, never wrapping.
    static QString subtitleFor(const FocusLog& log, const QDateTime& now);
    void refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    FocusLog& log_;
    Clock& clock_;
};
