#pragma once

#include <QSettings>
#include <QString>
#include <functional>

namespace fileCommit {

// Changes a settings file of the program's own (INI format) the way every
// other file of its own is written (FileCommit.h): never through a symbolic
// link, never over a file marked read-only, complete or not at all, its mode
// kept. `change` sets the values on the settings as they stand; two
// processes saving at once take turns, so neither loses the other's values.
// Raises RuntimeError naming the file and the reason.
void changeOwnSettings(const QString& path, const std::function<void(QSettings&)>& change);

// Reads a settings file of the program's own through `read`, from a private
// copy of its bytes: nothing happens when it does not exist, and a pipe or a
// folder in its place is refused (RuntimeError naming it) instead of waited on.
void readOwnSettings(const QString& path, const std::function<void(QSettings&)>& read);

} // namespace fileCommit
