#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class GridModel;

// Rows of texts as CSV (RFC 4180, UTF-8, CR LF), and that text written to a
// file ("-": standard output), whole or not at all.
QString TextoCSV(const QList<QStringList>& filas);
void EscribirCSV(const QList<QStringList>& filas, const QString& archivo);

// The grid's exported columns (those wider than 50 twips, as the spreadsheet
// export takes them) as CSV: RFC 4180 (comma, CR LF, fields with a comma, a
// quote or a line break quoted, quotes doubled), UTF-8, the title row first.
// The grid control's trailing empty row is not data and is left out.
// "-" writes to standard output; a file is written whole or not at all.
QString TextoCSV(const GridModel& grilla);
void EscribirCSV(const GridModel& grilla, const QString& archivo);
