#pragma once

// What every fuzz target shares: the input cut into fields, and the way a
// broken promise ends the run so libFuzzer keeps the input that showed it.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A finding: the oracle's words on standard error, then abort, which libFuzzer
// reports as a crash and saves the input for.
[[noreturn]] inline void falla(const QString& que)
{
    // Control characters (NUL included) shown as \xNN, so the message is whole.
    QString legible;
    for (const QChar c : que)
        legible += c.unicode() < 0x20 && c != u'\n'
                       ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                       : QString(c);
    std::fprintf(stderr, "\n*** FALLA: %s\n", legible.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

inline void exigir(bool cumple, const QString& que)
{
    if (!cumple)
        falla(que);
}

// The first `cuantos` lines of the input as separate fields (without their
// "\n"); the rest, whole, as the last one. Missing lines are empty.
inline QList<QByteArray> campos(const uint8_t* datos, size_t tam, int cuantos)
{
    const QByteArray todo(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tam));
    QList<QByteArray> out;
    qsizetype desde = 0;
    for (int i = 0; i < cuantos; ++i) {
        const qsizetype fin = todo.indexOf('\n', desde);
        if (fin < 0) {
            out.append(todo.mid(desde));
            desde = todo.size();
        } else {
            out.append(todo.mid(desde, fin - desde));
            desde = fin + 1;
        }
    }
    out.append(todo.mid(desde));
    return out;
}

} // namespace fuzz
