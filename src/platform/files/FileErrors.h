#pragma once

#include "platform/text/RuntimeError.h"

#include <QString>

// How the complete-or-nothing writes say what went wrong: the operator reads
// the file's name and the reason in words, never a bare system number.
namespace fileCommit::detail {

inline const QString Origin = QStringLiteral("Archivo");
// The origin of a refused program's own file named by a link, which
// refusedLink() recognises.
inline const QString LinkOrigin = QStringLiteral("Archivo propio");

// "<what> «<path>»: <why>"; an empty path is the standard output.
[[noreturn]] void fail(const QString& what, const QString& path, const QString& why,
                       int number = ErrorNumber::FileAccess, const QString& origin = Origin);
[[noreturn]] void failErrno(const QString& what, const QString& path, int error);
// The run-time error's number for an errno value: a full disk, a refusal, or
// any other failure to reach the file.
int errorNumberFor(int error);

// Each system's own words, where its reasons differ from the ones shared:
// empty when the shared words hold.
QString wordsOfThisSystem(int error);
// Whether `error` means the disk (or the user's share of it) is full.
bool outOfRoom(int error);
// Why a program's own file named by a link is refused, naming what links
// this system has.
QString ownLinkRefused();

} // namespace fileCommit::detail
