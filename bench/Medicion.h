#pragma once

#include <QByteArray>
#include <QFile>

// Peak resident memory of the process so far, in KiB (-1 when unknown).
inline long picoMemoriaKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : status.readAll().split('\n'))
        if (linea.startsWith("VmHWM:"))
            return linea.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
