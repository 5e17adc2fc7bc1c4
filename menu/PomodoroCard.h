#pragma once

#include "kit/Card.h"

class ActivityEditor;
class ChunkyButton;
class FocusLog;
class MinutesRow;
class Pomodoro;
class TextLine;

// Shows and drives the pomodoro: title and countdown, the activity, the two lengths and
// Start/Stop. Follows the model live.
class PomodoroCard : public Card {
    Q_OBJECT
  public:
    PomodoroCard(Pomodoro& pomodoro, FocusLog& log, QWidget* parent = nullptr);

    // Gives the keyboard focus to where a user starts: the activity name (all selected, so
    // typing replaces it) while off, else the Stop button.
    void focusFirst();

    // "Working · 24:59", "Break · 04:10"; empty while off.
    static QString status(const Pomodoro& pomodoro);

    ChunkyButton* startStop() const { return startStop_; }
    ActivityEditor* editor() const { return editor_; }
    MinutesRow* workRow() const { return work_; }
    MinutesRow* breakRow() const { return break_; }
    TextLine* statusLine() const { return status_; }

  private:
    void showPhase();

    Pomodoro& pomodoro_;
    TextLine* status_;
    ActivityEditor* editor_;
    TextLine* running_;
    MinutesRow* work_;
    MinutesRow* break_;
    ChunkyButton* startStop_;
};
