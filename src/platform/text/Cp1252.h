#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the suite's workstations (Windows-1252). Files
// that other programs of the suite read (INI files, lookup definitions) are
// written in it. A character it cannot hold becomes "?".
QByteArray toCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);
