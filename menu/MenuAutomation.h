#pragma once

#include <QJsonObject>

class TrayMenu;

// Answers the automation socket's "menu" requests: whether the window is open and where
// (root pixels, top-left), the screen shown, every named control with its place and text, and
// what the tray shows. {"cmd":"menu","open":true} opens the window first, as a second start does.
QJsonObject answerMenuRequest(TrayMenu& menu, const QJsonObject& request);
