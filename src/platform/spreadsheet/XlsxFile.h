#pragma once

#include <QString>
#include <functional>

class Workbook;

// Writes a workbook of the spreadsheet stand-in as an .xlsx file (through
// libxlsxwriter, row by row in its constant-memory mode): values, fills,
// fonts, borders, column widths, the whole-sheet format as column formats.
// A text longer than a cell of the file takes (32,767 characters) is cut
// and ends with "… [texto cortado]"; the sheet itself keeps it whole.
// The file is written complete under a temporary name first; a failure raises
// RuntimeError with the path and the reason, and leaves no file behind.
namespace XlsxFile {

// Told now and then how many rows of how many are written; once more with
// both equal before the file is packed, the last and silent step.
using Progress = std::function<void(int rowsWritten, int rowsTotal)>;
// Asked with each progress report and every few hundredths of a second while
// the file is packed (any thread may have asked for the stop); true stops the
// saving at once: RuntimeError ErrorNumber::Cancelled, no file written, the
// earlier one kept. When given, the packing runs in a child process, so that
// it can be stopped.
using Stop = std::function<bool()>;

// Saves to `path`, replacing a file there.
void save(const Workbook& workbook, const QString& path, const Progress& progress = {},
          const Stop& stop = {});
// Saves in `folder` as "stem.xlsx", or "stem-2.xlsx" ... when taken; never
// replaces a file. Returns the path written.
QString saveNew(const Workbook& workbook, const QString& folder, const QString& stem,
                const Progress& progress = {}, const Stop& stop = {});

} // namespace XlsxFile
