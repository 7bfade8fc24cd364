#pragma once

#include <QJsonObject>
#include <QString>

// A saved workbook as openpyxl reads it (leer_libro.py): the active sheet's
// cells with value, type, fill, font and borders, the column widths and, under
// "pagina", the page set-up (orientation, fit, title rows, header, footer).
namespace lectorLibro {

QJsonObject leer(const QString& archivo);
// The file's parts (but the one with the moment it was made), each with a
// digest of its bytes: equal for two files whose contents are byte-identical.
QJsonObject partes(const QString& archivo);
// One cell, "B2" style; an empty object when the file has none.
QJsonObject celda(const QJsonObject& libro, const QString& referencia);

} // namespace lectorLibro
