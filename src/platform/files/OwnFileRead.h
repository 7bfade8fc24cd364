#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fileCommit {

// The bytes of a file of the program's own (the INI file, the lookup file,
// the settings); nothing when it does not exist. Raises RuntimeError, naming
// the file and what it is, when it exists but is not a regular file (a pipe
// anyone may plant in a shared program folder would otherwise hold every run
// waiting for a writer) or cannot be read: a file that cannot be read must
// never be written over.
std::optional<QByteArray> readOwnFile(const QString& path);

// The refusal both systems' readers raise: the file and why it was not read.
[[noreturn]] void refuseOwnRead(const QString& path, const QString& why);

} // namespace fileCommit
