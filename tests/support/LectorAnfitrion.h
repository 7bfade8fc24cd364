#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace soporte {

// What one of the host's independent readers (python3 with openpyxl,
// pdftotext, pdfinfo) made of a file the test wrote: its exit code (-1 when
// it did not run or end), its standard output and its standard error.
struct Lectura
{
    int codigo = -1;
    QByteArray salida;
    QString error;
};

// Runs `programa` (the host's path) with `argumentos`; an argument that is an
// absolute path of this system is given as the host names the same file.
Lectura leerEnAnfitrion(const QString& programa, const QStringList& argumentos);

} // namespace soporte
