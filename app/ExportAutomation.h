#pragma once

#include <QJsonObject>
#include <optional>

class Clock;
class FocusLog;

// The automation socket's export request, so tests need not drive the save dialog:
//   {"cmd":"export","png":"PATH","pdf":"PATH"} -> {"ok":true} or {"error":"..."}
// writes the current week's story card and PDF (either key may be left out) exactly as the
// dialog would. Answers none for every other command.
std::optional<QJsonObject> answerExportRequest(const FocusLog& log, const Clock& clock,
                                               const QJsonObject& request);
