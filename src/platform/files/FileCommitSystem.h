#pragma once

#include <QString>

#include <cstddef>

// What each system does its own way under the complete-or-nothing writes;
// the writes themselves are the same everywhere.
namespace fileCommit::detail {

// The mode createTemporary() gives a new file: what the operator's umask leaves.
constexpr int NewFileMode = -1;

// "<folder>/.<stem>-<tail>.part": a temporary beside the file it becomes.
QString temporaryName(const QString& folder, const QString& stem, const QString& tail);
// Six letters or digits, for a name nobody else chose.
QString randomTail();

// A new, empty file in `folder`, open for reading and writing, with `mode`'s
// permissions where the system has modes. Where the file system allows, it
// has no name until it is placed (`anonymous`; `path` reopens it), so nothing
// is left behind whatever ends the process; otherwise it is named in `path`
// and remembered in `slot` for the stop handler. Raises when it cannot be made.
int createTemporary(const QString& folder, const QString& stem, int mode, QString& path,
                    bool& anonymous, int& slot);
// A file of the program's own made in `folder` becomes as writable by the
// folder's users as the folder itself is.
void shareWithFolder(int fd, const QString& folder);
// A copy of one of this process's descriptors, for writing; raises when it
// is closed (the standard output the program was started without).
int copyDescriptor(int fd, const QString& target);
// Writes all of `size` bytes; 0, or the error as an errno value.
int writeAll(int fd, const char* data, std::size_t size);
// Makes what was written durable on the disk; raises naming `target`.
void flushToDisk(int fd, const QString& target);
// 0, or the errno value of a close that lost what was written.
int closeDescriptor(int fd);
void removeFile(const QString& path);
// Puts the complete temporary in the place of `resolved` in one step.
void replaceWith(const QString& temporary, bool anonymous, const QString& resolved,
                 const QString& target);
// Gives the complete temporary the name `name`, never replacing a file: false
// when the name is taken.
bool placeAs(const QString& temporary, bool anonymous, const QString& name);

} // namespace fileCommit::detail
