#pragma once

#include <QDir>
#include <QString>

#include <string>
#include <windows.h>

// The Windows files' common ground: paths as the wide API takes them, and the
// system's errors in the words the shared messages use.
namespace fileCommit::detail {

inline std::wstring wide(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// The system's error as the errno value the shared messages know; 0 for one
// they do not.
int errnoFor(DWORD error);
// The reason in words: the shared ones where known, else the system's own.
QString systemReason(DWORD error);
[[noreturn]] void failSystem(const QString& what, const QString& path, DWORD error);

} // namespace fileCommit::detail
