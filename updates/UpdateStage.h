#pragma once

#include <QByteArray>
#include <QString>

// Readies a downloaded release beside the install: unpacks it into a private temporary
// folder, checks its signed file list, copies it next to the install as ".Purrlox-update",
// checks the copy again and makes it durable. Nothing of the install is touched.
namespace UpdateStage {

// Answers the staged folder; throws UpdateFailure (and leaves no staged folder behind).
QString stage(const QString& archive, const QString& app, const QByteArray& key);

} // namespace UpdateStage
