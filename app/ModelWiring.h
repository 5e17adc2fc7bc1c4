#pragma once

#include "focus/Pomodoro.h"

#include <optional>

class CatOverlay;
class FocusLog;
class Reminders;

// The callbacks between the focus models and the desktop cat, set once by the composition
// root before the cat enters, so a report or reminder due during start-up already reaches it.
// Each closure holds its target for the life of the process.
namespace ModelWiring {

void connect(CatOverlay& cats, FocusLog& focusLog, Reminders& reminders, Pomodoro& pomodoro);
// Cuts those callbacks again: the models then call nothing, so the cat may go before them.
void disconnect(FocusLog& focusLog, Reminders& reminders, Pomodoro& pomodoro);

// How long a cheer stays as the cat's caption.
inline constexpr double cheerSeconds = 5;

// What the cat is told of a pomodoro phase: focus while working; the end of the break (an
// engine date) while resting; neither when off.
struct CatFocus {
    bool focus = false;
    std::optional<double> breakUntil;
    bool operator==(const CatFocus&) const = default;
};
CatFocus catFocus(const Pomodoro::Phase& phase);

} // namespace ModelWiring
