#pragma once

#include <QString>

class GridModel;

// The limit the export is measured against: libxlsxwriter alone, in its
// constant-memory mode, writing the cells the export writes (the visible
// columns' titles and the data rows, numbers as numbers) with the same
// formats, so that the two files come out the same. It knows the grid's
// shape and values in advance; the export has to go through the spreadsheet
// stand-in's calls.
bool escribirLibroPlano(const GridModel& grilla, const QString& archivo);
