#include "menu/RemindersLink.h"

#include "platform/Clock.h"
#include "reminders/ReminderEntry.h"
#include "reminders/Reminders.h"
#include "strings/Strings.h"

RemindersLink::RemindersLink(Reminders& reminders, Clock& clock, QWidget* parent)
    : LinkCard(S().reminders(), parent), reminders_(reminders), clock_(clock) {
    connect(&reminders, &Reminders::listChanged, this, &RemindersLink::refresh);
    refresh();
}

void RemindersLink::refresh() {
    const QList<Reminder>& list = reminders_.list();
    if (list.isEmpty()) {
        setBadge(std::nullopt);
        setSubtitle(S().noReminders());
        return;
    }
    setBadge(int(list.size()));
    setSubtitle(
        S().nextReminder(ReminderEntry::when(list.first(), clock_.now()), list.first().text));
}

void RemindersLink::showEvent(QShowEvent* event) {
    LinkCard::showEvent(event);
    refresh(); // "tomorrow 9:00" becomes "9:00" after midnight
}
