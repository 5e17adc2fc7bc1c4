#pragma once

#include <QJsonObject>
#include <optional>

// The automation socket's look at the app's own windows, so tests can aim the real pointer:
//   {"cmd":"widget","class":"StatsLink"}, optionally with "text":"📸 For stories"
//     -> {"x","y","width","height"} of the first visible widget of that class (showing that
//        text), in X11 pixels
//        of the root window, and "texts": every line of text shown inside it
//     -> {"error":"..."} when none is visible
// Answers none for every other command.
std::optional<QJsonObject> answerWidgetRequest(const QJsonObject& request);
