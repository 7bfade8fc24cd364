#pragma once

#include <QString>
#include <QVariant>

// The suite's INI files, read and written in place: other sections, keys and
// comments stay as they were; section and key names are found without regard
// to case; the text is in the workstations' code page (Windows-1252).
//
// A file named without a folder lives in the program folder (see
// ProgramFolder.h), beside the lookup definitions and the error log, so all a
// workstation keeps of this program is in one place. Carpeta changes it.
class CompIni
{
public:
    // The key's value, or the default as text when the file, the section or
    // the key is missing.
    QString LeerValor(const QString& archivo, const QString& seccion, const QString& clave,
                      const QVariant& porDefecto) const;
    // Stores the value under the key, creating file, section and key as needed.
    // A file that cannot be written raises a run-time error naming it.
    void EscribirValor(const QString& archivo, const QString& seccion, const QString& clave,
                       const QString& valor) const;

    QString Carpeta() const;
    void setCarpeta(const QString& carpeta) { m_carpeta = carpeta; }
    QString RutaDe(const QString& archivo) const;

private:
    QString m_carpeta;
};
