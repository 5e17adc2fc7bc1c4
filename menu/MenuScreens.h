#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;
struct MenuModels;
struct Reminder;

// The sub-screens the main page links to, built fresh each time one is opened. Each gets the
// models and a `back` action that returns to the main page; the menu window owns the widget
// while it is shown. A screen that is not built yet answers nullptr and its link stays put.
namespace MenuScreens {

using Back = std::function<void()>;

QWidget* stats(MenuModels& models, Back back);
QWidget* reminders(MenuModels& models, Back back);

// The short time description of a reminder: "17:30" today, "tomorrow 9:00", "12 Dec 9:00".
QString when(const Reminder& reminder, const QDateTime& now);

} // namespace MenuScreens
