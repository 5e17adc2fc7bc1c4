#pragma once

#include <QString>
#include <QStringList>

// Starts the program again once this process has exited, optionally removing a path first: a
// detached shell polls for our process id, then execs the program.
namespace Relaunch {

// Answers false (with the reason in error) when the shell cannot be started; the caller
// quits right after a success.
bool whenGone(const QString& program, const QString& removing = {},
              const QStringList& arguments = {}, QString* error = nullptr);

} // namespace Relaunch
