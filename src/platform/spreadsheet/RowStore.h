#pragma once

#include <QByteArray>
#include <QFile>
#include <memory>

// Rows of a sheet put aside in a scratch file, each as one block of bytes
// found again by the offset it was given. Only the blocks being written or
// read are in memory, so a sheet of a million rows costs a few bytes per row.
// A failed write raises RuntimeError with the reason; the file goes with the
// store.
class RowStore
{
public:
    RowStore() = default;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    // Appends a block; returns its offset.
    qint64 append(const QByteArray& block);
    // The block at `offset`, valid until the next call.
    const char* read(qint64 offset, qint64 size);

private:
    void open();
    void flush();
    [[noreturn]] void fail(const QString& what) const;

    std::unique_ptr<QFile> m_file;
    qint64 m_stored = 0; // bytes in the file
    QByteArray m_pending;
    QByteArray m_window; // a stretch of the file read ahead
    qint64 m_windowStart = -1;
};
