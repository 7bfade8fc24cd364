#pragma once

#include <QString>

// What a target the program is asked to write really names: the regular file
// replaced, a missing one made, or a device written to directly.
namespace fileCommit::detail {

struct Resolved
{
    enum
    {
        Regular,
        Missing,
        Device
    } kind;
    QString path;
    int fd = -1;       // a device's, open for writing
    unsigned mode = 0; // a regular file's permissions, where the system keeps them in a mode
};

// Follows the target's links to what would really be written, refusing what
// may not be replaced; a device is opened.
Resolved resolve(const QString& target);
// A file of the program's own: its folder may be reached through links (the
// operator chose it), its name may not.
Resolved resolveOwn(const QString& target);

// Raises for a target that names no file: no name, or a folder's.
void checkNamesFile(const QString& target);
// The part of resolve() after checkNamesFile(): this system's walk.
Resolved followLinks(const QString& target);
// The part of identity() for a named target other than the standard output.
QString identityOfFile(const QString& target);
// The identity of the standard output as it is now.
QString standardOutputIdentity();
// Whether the name itself is a symbolic link (or, on Windows, a junction).
bool namesLink(const QString& path);

} // namespace fileCommit::detail
