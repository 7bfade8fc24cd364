#include "platform/files/FileCommit.h"

#include "platform/files/FileCommitSystem.h"
#include "platform/files/FileErrors.h"
#include "platform/files/PathResolution.h"
#include "platform/files/StopSignals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>

namespace fileCommit {

using namespace detail;

namespace {

constexpr qsizetype BufferSize = 1 << 16;
const QString SaveWhat = QStringLiteral("No se puede guardar el archivo");

} // namespace

QString detail::temporaryName(const QString& folder, const QString& stem, const QString& tail)
{
    return QDir(folder).filePath(QStringLiteral(".%1-%2.part").arg(stem.left(100), tail));
}

QString detail::randomTail()
{
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString tail;
    for (int i = 0; i < 6; ++i)
        tail += letters.at(QRandomGenerator::global()->bounded(int(letters.size())));
    return tail;
}

Output::Output(QString target) : m_target(std::move(target)), m_kind(Kind::Replace) {}

Output::Output(OwnFile own) : m_target(std::move(own.path)), m_kind(Kind::Replace), m_own(true) {}

Output::Output(StandardOutput) : m_kind(Kind::Direct), m_standardOutput(true) {}

Output::Output(NewFileIn where)
    : m_target(QDir(where.folder).filePath(where.stem + u'.' + where.extension)),
      m_resolved(std::move(where.folder)), m_stem(std::move(where.stem)),
      m_extension(std::move(where.extension)), m_kind(Kind::New)
{
}

Output::~Output()
{
    if (m_fd >= 0)
        closeDescriptor(m_fd);
    if (m_stagingFd >= 0)
        closeDescriptor(m_stagingFd);
    if (!m_committed && !m_temporary.isEmpty() && !m_anonymous)
        removeFile(m_temporary);
    if (!m_staging.isEmpty() && !m_stagingAnonymous)
        removeFile(m_staging);
    forgetTemporary(m_slot);
    forgetTemporary(m_stagingSlot);
}

void Output::begin()
{
    if (m_standardOutput) {
        std::fflush(stdout);
        m_fd = copyDescriptor(1, m_target);
    } else if (m_kind == Kind::New) {
        if (!QFileInfo(m_resolved).isDir())
            fail(SaveWhat, m_target, QStringLiteral("la carpeta no existe"));
        m_fd = createTemporary(m_resolved, m_stem, NewFileMode, m_temporary, m_anonymous, m_slot);
    } else {
        const Resolved r = m_own ? resolveOwn(m_target) : resolve(m_target);
        m_resolved = r.path;
        if (r.kind == Resolved::Device) {
            m_kind = Kind::Direct;
            m_fd = r.fd;
        } else {
            const QFileInfo info(r.path);
            // A replaced file keeps its permissions; a new one gets the user's usual ones.
            m_fd = createTemporary(info.path(), info.completeBaseName(),
                                   r.kind == Resolved::Missing ? NewFileMode : int(r.mode & 07777),
                                   m_temporary, m_anonymous, m_slot);
            if (m_own && r.kind == Resolved::Missing)
                shareWithFolder(m_fd, info.path());
        }
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString Output::writePath()
{
    if (m_kind != Kind::Direct)
        return m_temporary;
    if (m_staging.isEmpty()) {
        // A writer that opens a file by name may seek back in it, which a
        // device or a pipe does not allow: it writes here, then the bytes go over.
        m_stagingFd = createTemporary(QDir::tempPath(), QStringLiteral("rp_oproduccion"), 0600,
                                      m_staging, m_stagingAnonymous, m_stagingSlot);
    }
    return m_staging;
}

QString Output::temporaryFolder() const
{
    if (m_kind == Kind::Direct)
        return QDir::tempPath();
    return m_kind == Kind::New ? m_resolved : QFileInfo(m_resolved).path();
}

qint64 Output::writeData(const char* data, qint64 size)
{
    if (m_error)
        return -1;
    m_buffer.append(data, size);
    m_written += size;
    if (m_buffer.size() >= BufferSize)
        flushBuffer();
    return m_error ? -1 : size;
}

void Output::flushBuffer()
{
    if (m_buffer.isEmpty() || m_error || m_fd < 0)
        return;
    m_error = writeAll(m_fd, m_buffer.constData(), static_cast<size_t>(m_buffer.size()));
    m_buffer.clear();
}

void Output::close()
{
    flushBuffer();
    QIODevice::close();
}

void Output::failWriting(int error) const
{
    failErrno(QStringLiteral("No se pudo escribir en"), m_target, error);
}

void Output::check() const
{
    if (m_error)
        failWriting(m_error);
}

QString Output::commit()
{
    const QString final = m_standardOutput         ? QStringLiteral("-")
                          : m_kind == Kind::Direct ? m_target
                                                   : m_resolved;
    if (m_committed)
        return final;
    if (m_fd < 0)
        fail(QStringLiteral("No se pudo escribir en"), m_target,
             QStringLiteral("el archivo no se abrió"));
    close();
    if (m_error)
        failWriting(m_error);
    if (!m_staging.isEmpty()) {
        QFile staged(m_staging);
        if (!staged.open(QIODevice::ReadOnly))
            failWriting(EIO);
        while (!staged.atEnd() && !m_error) {
            m_buffer = staged.read(BufferSize);
            flushBuffer();
        }
        if (m_error)
            failWriting(m_error);
    }
    // A device or a pipe has nothing to make durable.
    if (m_kind != Kind::Direct)
        flushToDisk(m_fd, m_target);
    // A file without a name lives only while it is open: it is closed once
    // it has one (its bytes are already on the disk).
    if (!m_anonymous) {
        const int fd = m_fd;
        m_fd = -1;
        if (const int error = closeDescriptor(fd))
            failWriting(error);
    }
    QString placed = final;
    if (m_kind == Kind::Replace)
        replaceTarget();
    else if (m_kind == Kind::New)
        placed = placeNew();
    m_committed = true;
    forgetTemporary(m_slot);
    if (m_fd >= 0) {
        closeDescriptor(m_fd);
        m_fd = -1;
    }
    return placed;
}

void Output::replaceTarget()
{
    replaceWith(m_temporary, m_anonymous, m_resolved, m_target);
}

QString Output::placeNew()
{
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? m_stem + u'.' + m_extension
                                    : QStringLiteral("%1-%2.%3").arg(m_stem).arg(n).arg(m_extension);
        const QString target = QDir(m_resolved).filePath(name);
        // Placing fails when the name exists: no file is ever replaced, even
        // by two exports finishing at the same moment.
        if (placeAs(m_temporary, m_anonymous, target))
            return target;
    }
    fail(SaveWhat, m_target, QStringLiteral("no queda un nombre libre en la carpeta"));
}

} // namespace fileCommit
