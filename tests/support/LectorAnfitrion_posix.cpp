#include "LectorAnfitrion.h"

#include <QProcess>

// The host is this system: the reader runs as a child.
soporte::Lectura soporte::leerEnAnfitrion(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    p.closeWriteChannel();
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, {}, p.errorString() + u'\n' + QString::fromUtf8(p.readAllStandardError())};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}
