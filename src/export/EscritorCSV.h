#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

class GridModel;

// How a CSV file separates its fields and whether it starts with a UTF-8
// byte-order mark. The default is RFC 4180: comma, no mark.
struct FormatoCSV
{
    QChar separador = u',';
    bool marcaBOM = false;

    // The operator's convention: where the decimal separator is a comma (so
    // numbers hold commas), ";" between fields and a byte-order mark, as
    // Spanish spreadsheet programs expect; otherwise RFC 4180.
    static FormatoCSV DelSistema();
    // "," ";" or "tab" (any case); false for anything else.
    static bool SeparadorDeTexto(const QString& texto, QChar& separador);
};

// Rows of texts as CSV (CR LF, UTF-8; a field holding the separator, a quote
// or a line break quoted, quotes doubled), and that text written to a file
// ("-": standard output), whole or not at all.
QString TextoCSV(const QList<QStringList>& filas, const FormatoCSV& formato = {});
void EscribirCSV(const QList<QStringList>& filas, const QString& archivo,
                 const FormatoCSV& formato = {});

// The grid's exported columns (those wider than 50 twips, as the spreadsheet
// export takes them) as CSV, the title row first. The grid control's trailing
// empty row is not data and is left out. A cell that starts with "=", "+",
// "-", "@", tab or CR and is no plain number ("-3,5") gets a leading
// apostrophe, so a spreadsheet never runs it as a formula; control characters
// follow printableText.
// "-" writes to standard output; a file is written whole or not at all.
// Returns the number of rows written.
QString TextoCSV(const GridModel& grilla, const FormatoCSV& formato = {});
int EscribirCSV(const GridModel& grilla, const QString& archivo, const FormatoCSV& formato = {});
