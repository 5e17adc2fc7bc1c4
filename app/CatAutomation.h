#pragma once

#include <QJsonObject>
#include <optional>

class CatOverlay;
class FocusLog;
class Pomodoro;

// What the automation socket can ask of the cat:
//   {"cmd":"state"}                  -> x, feetY, activity, kind, platform, sprite, panel,
//                                       unread, carrying, reading, caption, hearts, eaten
//   {"cmd":"deliver","text":"…"}     -> hands the cat a plain letter; with "report":
//       {"title","rows":[[name,time]],"notes":[…],"bars":[7 seconds]} a focus report letter
//   {"cmd":"due","what":"wander"}    -> makes wander / snack / climb / yawn / hunt due now
//   {"cmd":"letters"}                -> the letters the cat carries: text, update
//   {"cmd":"update"}                 -> accepts the update offer, as the letter's button does
QJsonObject answerCatRequest(CatOverlay& cats, const QJsonObject& request);

// What it can ask of the stores, so tests can make the app save at will (none: not a store
// request):
//   {"cmd":"book","activity":"A","seconds":60} -> a stopped stretch of that many seconds ends
//       now and the activity becomes the pomodoro's: the focus log and the settings are saved
//       before the answer {"ok":true,"stretches":N}; with "wait":false the answer comes at once,
//       while the focus log's worker still writes
std::optional<QJsonObject> answerStoreRequest(FocusLog& log, Pomodoro& pomodoro,
                                              const QJsonObject& request);
