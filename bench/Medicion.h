#pragma once

#include <QByteArray>
#include <QFile>
#include <malloc.h>

// A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:"); -1 when unknown.
inline long memoriaKiB(const char* campo)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : status.readAll().split('\n'))
        if (linea.startsWith(campo))
            return linea.mid(static_cast<qsizetype>(qstrlen(campo)))
                .trimmed()
                .split(' ')
                .first()
                .toLong();
    return -1;
}

// Peak resident memory of the process since the last mark, in KiB.
inline long picoMemoriaKiB()
{
    return memoriaKiB("VmHWM:");
}

// Starts a step's peak apart from the steps before it and returns what is
// resident now, in KiB: what earlier steps freed goes back to the system
// first (or the step would reuse it unseen), then the kernel starts the peak
// again from here (/proc/self/clear_refs, Linux).
inline long marcarMemoriaKiB()
{
    malloc_trim(0);
    QFile marcas(QStringLiteral("/proc/self/clear_refs"));
    if (marcas.open(QIODevice::WriteOnly))
        marcas.write("5");
    return memoriaKiB("VmRSS:");
}

// Bytes the process holds from malloc now, the big blocks it maps apart
// included: the difference around a step is what the step kept.
inline std::size_t bytesReservados()
{
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}
