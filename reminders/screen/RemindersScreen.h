#pragma once

#include "reminders/Reminder.h"

#include <QTimer>
#include <QWidget>
#include <functional>

class ChunkyButton;
class Clock;
class CuteToggle;
class FieldCard;
class QLabel;
class QStackedWidget;
class QTimeEdit;
class QVBoxLayout;
class Reminders;
class TextLine;

// The reminders screen of the menu window: write a note, choose "in 25 min" or "at 09:00"
// (optionally every day), add it, and see and delete the pending ones. The editor's state
// is fresh each time the screen is made.
class RemindersScreen final : public QWidget {
    Q_OBJECT
  public:
    RemindersScreen(Reminders& reminders, Clock& clock, std::function<void()> back,
                    QWidget* parent = nullptr);

    // "09:00", "tomorrow 09:00" or "9 Dec 09:00" (also the menu's reminders link).
    static QString when(const Reminder& reminder);
    // The next full hour from now.
    static QDateTime nextHour();

    // The add button's action: inserts a reminder for the trimmed text and clears the field.
    void add();

    FieldCard* field() const { return field_; }
    bool atTime() const { return atTime_; }
    void setAtTime(bool atTime);
    int minutes() const { return minutes_; }
    QTimeEdit* timeEdit() const { return time_; }
    CuteToggle* dailyToggle() const { return daily_; }
    ChunkyButton* addButton() const { return add_; }
    ChunkyButton* fewerButton() const { return fewer_; }
    ChunkyButton* moreButton() const { return more_; }
    ChunkyButton* inButton() const { return in_; }
    ChunkyButton* atButton() const { return at_; }
    // The list card's rows, in list order (empty while the list is).
    QList<QWidget*> rows() const;
    QLabel* emptyNote() const { return empty_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setMinutes(int minutes);
    void textEdited();
    void rebuildList();

    Reminders& reminders_;
    Clock& clock_;
    bool atTime_ = false;
    int minutes_;
    FieldCard* field_;
    ChunkyButton* in_;
    ChunkyButton* at_;
    QStackedWidget* modes_;
    QTimeEdit* time_;
    CuteToggle* daily_;
    ChunkyButton* fewer_;
    TextLine* minutesText_;
    ChunkyButton* more_;
    ChunkyButton* add_;
    QWidget* listCard_;
    QVBoxLayout* list_;
    QLabel* empty_;
    QTimer midnight_; // "tomorrow 09:00" turns into "09:00" overnight
};
