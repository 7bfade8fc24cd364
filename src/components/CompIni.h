#pragma once

#include <QString>
#include <QVariant>

// The suite's INI files, read and written in place (see IniText): writing a
// value changes that key's line and no other byte, and writes nothing when
// the value is already stored; the file goes into place whole or not at all,
// and a file that exists but cannot be read is never written over.
//
// A file named without a folder lives in the program folder (see
// ProgramFolder.h), beside the lookup definitions and the error log, so all a
// workstation keeps of this program is in one place. Carpeta changes it.
class CompIni
{
public:
    // The key's value, or the default as text when the file, the section or
    // the key is missing (or the file cannot be read).
    QString LeerValor(const QString& archivo, const QString& seccion, const QString& clave,
                      const QVariant& porDefecto) const;
    // Stores the value under the key, creating file, section and key as needed.
    // A file that cannot be read or written raises a run-time error naming it.
    void EscribirValor(const QString& archivo, const QString& seccion, const QString& clave,
                       const QString& valor) const;

    QString Carpeta() const;
    void setCarpeta(const QString& carpeta) { m_carpeta = carpeta; }
    QString RutaDe(const QString& archivo) const;

private:
    QString m_carpeta;
};
