#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Every file the program writes goes through here, so a full disk, a file the
// operator may not write or a device behave the same on every route:
//   - a regular file is written complete under a temporary name in its final
//     folder (write, flush, sync and close checked) and put in place in one
//     step; until then, and whenever anything failed, the earlier file stays;
//   - a file the operator may not write, or one marked read-only (no write
//     permission for anyone, which root's own checks would pass), is refused;
//   - a device, a pipe or an open descriptor (/dev/null, /dev/stdout) is
//     written to directly, never replaced by a regular file;
//   - a symbolic link is kept: the file it names is written.
// Failures raise RuntimeError naming the file and the reason in words.
namespace fileCommit {

// Why a file operation failed, in the operator's words ("no queda espacio en
// el disco"), for an errno value.
QString reason(int error);

// Call once at start-up: a standard stream the program was started without
// is pointed at /dev/null, so no file the program opens takes its number and
// gets what was meant for it; writing to such a standard output is refused.
void protectStandardStreams();

// The process's standard output, written to directly.
struct StandardOutput
{
};
// A new file in `folder` under the first of "stem.ext", "stem-2.ext" ... that
// is free when committed; no file is ever replaced.
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
    [[noreturn]] void failWriting(int error);

    QString m_target;
    QString m_resolved; // the regular file replaced, or the folder of a new one
    QString m_stem, m_extension;
    Kind m_kind = Kind::Unknown;
    int m_fd = -1;
    bool m_standardOutput = false;
    QString m_temporary; // under the final folder, or a staging copy for a device
    QString m_staging;
    QByteArray m_buffer;
    qint64 m_written = 0;
    int m_error = 0; // the first failed write
    bool m_committed = false;
};

} // namespace fileCommit
