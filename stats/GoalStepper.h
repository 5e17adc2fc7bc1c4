#pragma once

#include <QWidget>
#include <optional>

class ChunkyButton;
class FocusLog;
class TextLine;

// "−  2 h  +": steps the daily goal through FocusLog::goalChoices. A stored goal between
// two choices (45) steps to its neighbours on either side; each step is saved at once.
class GoalStepper final : public QWidget {
    Q_OBJECT
  public:
    explicit GoalStepper(FocusLog& log, QWidget* parent = nullptr);

    // The listed goals just below and just above `minutes`, if any.
    static std::optional<int> previous(int minutes);
    static std::optional<int> next(int minutes);

    void refresh();
    ChunkyButton* minus() const { return minus_; }
    ChunkyButton* plus() const { return plus_; }
    QString text() const;

  private:
    FocusLog& log_;
    ChunkyButton* minus_;
    TextLine* value_;
    ChunkyButton* plus_;
};
