#include "app/ModelWiring.h"

#include "cat/CatOverlay.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"
#include "platform/StoredDate.h"
#include "reminders/Reminders.h"

namespace ModelWiring {

void connect(CatOverlay& cats, FocusLog& focusLog, Reminders& reminders, Pomodoro& pomodoro) {
    CatOverlay* cat = &cats;
    focusLog.onCheer = [cat](const QString& text) {
        cat->setCheer(text, cat->now() + cheerSeconds);
    };
    focusLog.onReport = [cat](const Letter& letter) { cat->deliver(letter); };
    reminders.onDue = [cat](const Reminder& reminder) {
        cat->deliver(Letter{reminder.text, std::nullopt, false});
    };
    pomodoro.onChange = [cat](const Pomodoro::Phase& phase) {
        const CatFocus told = catFocus(phase);
        cat->setPomodoro(told.focus, told.breakUntil);
    };
}

void disconnect(FocusLog& focusLog, Reminders& reminders, Pomodoro& pomodoro) {
    focusLog.onCheer = [](const QString&) {};
    focusLog.onReport = [](const Letter&) {};
    reminders.onDue = [](const Reminder&) {};
    pomodoro.onChange = [](const Pomodoro::Phase&) {};
}

CatFocus catFocus(const Pomodoro::Phase& phase) {
    switch (phase.kind) {
    case Pomodoro::Phase::Kind::work:
        return {true, std::nullopt};
    case Pomodoro::Phase::Kind::rest:
        return {false, StoredDate::toSeconds(phase.until)};
    case Pomodoro::Phase::Kind::off:
        break;
    }
    return {false, std::nullopt};
}

} // namespace ModelWiring
