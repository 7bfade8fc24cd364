#include "platform/spreadsheet/RowStore.h"

#include "platform/files/FileCommit.h"
#include "platform/text/RuntimeError.h"

#include <QDir>

namespace {

// Large enough that the file sees few calls, small enough to be no weight.
constexpr qsizetype Chunk = 256 * 1024;

} // namespace

void RowStore::fail(const QString& what) const
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se pueden apartar las filas de la hoja en %1: %2")
                           .arg(QDir::toNativeSeparators(m_file ? m_file->fileName()
                                                                : QDir::tempPath()),
                                what),
                       QStringLiteral("Excel"));
}

void RowStore::open()
{
    QString why;
    m_file = fileCommit::scratchFile(QDir::tempPath(), QStringLiteral("rp_hoja"), why);
    if (!m_file)
        fail(why);
}

void RowStore::flush()
{
    if (m_pending.isEmpty())
        return;
    if (!m_file)
        open();
    errno = 0;
    if (!m_file->seek(m_stored) || m_file->write(m_pending) != m_pending.size() ||
        !m_file->flush())
        fail(errno ? fileCommit::reason(errno) : m_file->errorString());
    m_stored += m_pending.size();
    // Emptied, not freed: the next rows fill the same room.
    m_pending.resize(0);
}

qint64 RowStore::append(const QByteArray& block)
{
    const qint64 offset = m_stored + m_pending.size();
    if (m_pending.capacity() < Chunk + block.size())
        m_pending.reserve(Chunk + block.size());
    m_pending.append(block);
    if (m_pending.size() >= Chunk)
        flush();
    return offset;
}

const char* RowStore::read(qint64 offset, qint64 size)
{
    if (offset >= m_stored)
        return m_pending.constData() + (offset - m_stored);
    if (m_windowStart < 0 || offset < m_windowStart ||
        offset + size > m_windowStart + m_window.size()) {
        flush();
        if (!m_file->seek(offset))
            fail(m_file->errorString());
        // Into the same room each time, rather than a new array per stretch.
        m_window.resize(std::max<qint64>(size, Chunk));
        const qint64 got = m_file->read(m_window.data(), m_window.size());
        if (got < size)
            fail(m_file->errorString());
        m_window.resize(got);
        m_windowStart = offset;
    }
    return m_window.constData() + (offset - m_windowStart);
}
