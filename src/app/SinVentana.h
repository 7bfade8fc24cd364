#pragma once

#include <QList>
#include <QString>
#include <utility>

// A run from the command line has nobody to show a dialog to: while an
// instance lives, the first error or message a dialog would have shown is
// kept instead (the error dialog answers "abort"), for the run to report.
class FallosSinVentana
{
public:
    FallosSinVentana();
    ~FallosSinVentana();
    FallosSinVentana(const FallosSinVentana&) = delete;
    FallosSinVentana& operator=(const FallosSinVentana&) = delete;

    const QString& primero() const { return m_primero; }

private:
    QString m_primero;
};

// One line on standard error, after the program's name, control characters
// written out (\xNN).
void ErrorEnLinea(const QString& texto);

// Why one of `salidas` ({option, file}) may not be written: it is the
// connected SQLite database or one of its journal files, which the report
// would replace with itself. Empty when none is.
QString SalidaSobreLaBase(const QList<std::pair<QString, QString>>& salidas);
