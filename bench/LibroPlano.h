#pragma once

#include <QString>

class GridModel;

// libxlsxwriter in its constant-memory mode writing, from the grid itself,
// the cells the export writes (the visible columns' titles and the data rows,
// numbers as numbers) with the same formats, so that the two files hold the
// same cells. It reads every cell through the grid's Qt strings, as the
// export does, so it is no plain writer: bench/salidas compares the export
// with one.
bool escribirLibroPlano(const GridModel& grilla, const QString& archivo);
