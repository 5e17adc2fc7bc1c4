#pragma once

#include <QJsonObject>

class CatOverlay;

// What the automation socket can ask of the cat:
//   {"cmd":"state"}                  -> x, feetY, activity, kind, platform, sprite, panel,
//                                       unread, carrying, reading, caption, hearts, eaten
//   {"cmd":"deliver","text":"…"}     -> hands the cat a plain letter; with "report":
//       {"title","rows":[[name,time]],"notes":[…],"bars":[7 seconds]} a focus report letter
//   {"cmd":"due","what":"wander"}    -> makes wander / snack / climb / yawn / hunt due now
//   {"cmd":"letters"}                -> the letters the cat carries: text, update
//   {"cmd":"update"}                 -> accepts the update offer, as the letter's button does
QJsonObject answerCatRequest(CatOverlay& cats, const QJsonObject& request);
