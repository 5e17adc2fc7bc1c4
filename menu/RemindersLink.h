#pragma once

#include "kit/LinkCard.h"

#include <QDateTime>

class Clock;
class Reminders;

// The reminders link: how many are waiting, and the next one.
class RemindersLink : public LinkCard {
    Q_OBJECT
  public:
    RemindersLink(Reminders& reminders, Clock& clock, QWidget* parent = nullptr);

    void refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Reminders& reminders_;
    Clock& clock_;
};
