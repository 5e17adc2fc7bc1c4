#pragma once

#include <QString>

// The last step of an install: the staged folder and the install trade places in one rename,
// and the new version starts once this process has gone, removing the old one first.
namespace UpdateSwap {

// Exchanges the two folders atomically (renameat2 RENAME_EXCHANGE); throws UpdateFailure.
void swap(const QString& staged, const QString& app);

// Starts program with this process's options again (not the purrlox:// links this start
// already handled) once we have exited, removing `removing` first; false with the reason in
// error when it cannot be started.
bool relaunchWhenGone(const QString& program, const QString& removing, QString* error);

} // namespace UpdateSwap
