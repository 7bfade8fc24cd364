#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <memory>

class RuntimeError;

// Every file the program writes goes through here, so a full disk, a file the
// operator may not write or a device behave the same on every route:
//   - a regular file is written complete under a temporary name in its final
//     folder (write, flush, sync and close checked) and put in place in one
//     step; until then, and whenever anything failed, the earlier file stays;
//   - a file the operator may not write, or one marked read-only (no write
//     permission for anyone, which root's own checks would pass), is refused;
//   - a device, a pipe or an open descriptor (/dev/null, /dev/stdout) is
//     written to directly, never replaced by a regular file;
//   - a symbolic link is kept: the file it names is written; but the
//     program's own files (OwnFile) are never written through one, since any
//     user may plant one in a shared program folder;
//   - a new file gets the mode the operator's umask gives, a replaced one
//     keeps its mode;
//   - the temporary file, where the file system allows, has no name until
//     it is complete, so not even SIGKILL leaves it behind; where it has a
//     name, SIGTERM, SIGINT and SIGHUP remove it (removeTemporariesOnSignals).
// Failures raise RuntimeError naming the file and the reason in words.
namespace fileCommit {

// Why a file operation failed, in the operator's words ("no queda espacio en
// el disco"), for an errno value.
QString reason(int error);

// Call once at start-up: a standard stream the program was started without
// is pointed at /dev/null, so no file the program opens takes its number and
// gets what was meant for it; writing to such a standard output is refused.
void protectStandardStreams();

// Call once at start-up: SIGTERM, SIGINT and SIGHUP remove the temporary
// files that have a name, write the interruption note (if any) on standard
// error and end the process by the same signal, as its parent expects.
void removeTemporariesOnSignals();
// Ends the run at once from any thread, as a stop signal does (the named
// temporary files and scratch folders go, complete files stay), with `line`
// on standard error and `status`: for a run whose work is stuck where no
// signal or cancel reaches it (a server that stopped answering).
[[noreturn]] void abandonRun(const QString& line, int status);
// The line's end after "interrumpido por la señal SIGTERM", naming what was
// being done and what was complete; empty, a signal says nothing.
void setInterruptionNote(const QString& note);

// What a target would really write: two targets with the same identity write
// the same file, device or pipe (the same path, through a link or a hard
// link, a descriptor's name, "-" for standard output). Empty for the null
// device, which outputs may share.
QString identity(const QString& target);

// Appends to a file of the program's own (the error log), creating it when
// missing; never through a symbolic link, never into anything but a regular
// file. Raises like Output.
void appendToOwnFile(const QString& path, const QByteArray& bytes);

// True for the refusal of a file of the program's own whose name is a link.
bool refusedLink(const RuntimeError& error);
// Raises that refusal when `path` is a symbolic link: for a file of the
// program's own that something else writes (the demonstration database).
void refuseLink(const QString& path);

// A scratch file in `folder` for data a run keeps aside (a sheet's rows),
// open for reading and writing, that goes when it is closed and when the
// process ends, however it ends; null when it cannot be made, with the reason
// in `why`.
std::unique_ptr<QFile> scratchFile(const QString& folder, const QString& stem, QString& why);

// The process's standard output, written to directly.
struct StandardOutput
{
};
// A file of the program's own in its folder (settings, INI file, lookup
// file, demonstration copy): replaced like any other, but refused when its
// name is a symbolic link, and created in the folder itself.
struct OwnFile
{
    QString path;
};
// A new file in `folder` under the first of "stem.ext", "stem-2.ext" ... that
// is free when committed; no file is ever replaced.
// A private scratch folder for a library that makes and unlinks files of its
// own while it works (the workbook writer): made in `parent` (so its files
// use the result's disk), removed as a whole when this ends and by the stop
// signals' handler, whatever the library left in it. One left by a run that
// was killed outright (SIGKILL, a power cut) is removed by the next run that
// makes one in the same folder. path() is empty when it could not be made.
class ScratchFolder
{
public:
    explicit ScratchFolder(const QString& parent);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    int m_slot = -1;
};

struct NewFileIn
{
    QString folder, stem, extension;
};

class Output : public QIODevice
{
public:
    // A file that replaces `target` (or is written into it, for a device).
    explicit Output(QString target);
    explicit Output(StandardOutput);
    explicit Output(NewFileIn where);
    explicit Output(OwnFile own);
    ~Output() override;

    // Checks the target and opens what is written (the temporary file, or the
    // device); raises when the target is refused or cannot be written.
    void begin();
    // For a writer that opens files by name: the file it writes instead of
    // writing through this device. Valid after begin().
    QString writePath();
    // Everything written goes into place; returns the file's path. Raises,
    // leaving the earlier file, if any write failed or nothing was written.
    QString commit();
    // Raises now what commit would raise for a write that has already
    // failed: a writer that goes on for long (page after page) stops when the
    // disk fills, not at its end.
    void check() const;
    // The folder of the temporary file: where a writer's own scratch files
    // go, on the disk the result needs.
    QString temporaryFolder() const;
    // Bytes written so far through the device.
    qint64 written() const { return m_written; }
    const QString& target() const { return m_target; }

    bool isSequential() const override { return true; }
    void close() override;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    enum class Kind
    {
        Replace,
        New,
        Direct,
        Unknown
    };
    void flushBuffer();
    QString placeNew();
    void replaceTarget();
    [[noreturn]] void failWriting(int error) const;

    QString m_target;
    QString m_resolved; // the regular file replaced, or the folder of a new one
    QString m_stem, m_extension;
    Kind m_kind = Kind::Unknown;
    int m_fd = -1;
    bool m_standardOutput = false;
    QString m_temporary; // under the final folder, or a staging copy for a device
    QString m_staging;
    int m_stagingFd = -1;
    int m_slot = -1, m_stagingSlot = -1; // named temporaries, for the signal handler
    bool m_own = false;
    bool m_anonymous = false; // m_temporary is /proc/self/fd/N of a file without a name
    bool m_stagingAnonymous = false;
    QByteArray m_buffer;
    qint64 m_written = 0;
    int m_error = 0; // the first failed write
    bool m_committed = false;
};

} // namespace fileCommit
