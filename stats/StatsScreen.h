#pragma once

#include <QWidget>
#include <functional>

class ChunkyButton;
class Clock;
class FocusLog;
class QScrollArea;
class Screens;
class StreakCard;
class TodayCard;
class WeekCard;

// The statistics screen of the menu window: the streak, today against the goal and the week,
// in a scroll area as tall as the cards but never taller than the work area allows, and the
// two exports once the week holds a minute of focus. It follows the log live.
class StatsScreen final : public QWidget {
    Q_OBJECT
  public:
    StatsScreen(FocusLog& log, Clock& clock, const Screens& screens, std::function<void()> back,
                QWidget* parent = nullptr);

    // Recomputes every number from the log at the clock's now.
    void refresh();

    // The tallest the cards may show before they scroll: the work area's height minus 150,
    // or 650 without a screen.
    static double scrollLimit(const Screens& screens);

    StreakCard* streakCard() const { return streak_; }
    TodayCard* todayCard() const { return today_; }
    WeekCard* weekCard() const { return week_; }
    QScrollArea* scrollArea() const { return scroll_; }
    QWidget* exportRow() const { return exports_; }
    ChunkyButton* storyButton() const { return story_; }
    ChunkyButton* pdfButton() const { return pdf_; }
    double cardsHeight() const { return cardsHeight_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void fitScrollArea();

    FocusLog& log_;
    Clock& clock_;
    const Screens& screens_;
    QScrollArea* scroll_;
    QWidget* cards_;
    StreakCard* streak_;
    TodayCard* today_;
    WeekCard* week_;
    QWidget* exports_;
    ChunkyButton* story_;
    ChunkyButton* pdf_;
    double cardsHeight_ = 0;
};
