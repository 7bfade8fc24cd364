#pragma once

#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/XlsxFile.h"

#include <QString>
#include <memory>
#include <vector>

// Stands in for the spreadsheet application the suite drove by automation:
// the same objects and calls, over an in-memory workbook. What the operator
// would have seen appear on screen happens when the application is made
// visible: the active workbook is saved as .xlsx in the export folder, under a
// name no earlier export has, and opened with the desktop's program for it.
// Nothing is lost when the desktop has no such program: the file stays, and
// openedOnDesktop() says so, so the caller can tell the operator where it is.
class SpreadsheetApp
{
public:
    SpreadsheetApp() = default;

    bool visible() const { return m_visible; }
    // Showing saves and opens the active workbook; a failure to save raises
    // RuntimeError and leaves the application hidden, so it can be tried again.
    void setVisible(bool visible);
    // The two halves of showing, for a caller that saves on a worker thread:
    // the active workbook saved in the export folder under a name no earlier
    // export has (`stop` as XlsxFile's; a failure raises and leaves nothing
    // saved), then that file opened with the desktop's program, which belongs
    // to the window's thread, and the application shown.
    void save(const XlsxFile::Stop& stop = {});
    void openOnDesktop();
    // Follows the saving that showing does.
    void setSaveProgress(XlsxFile::Progress progress) { m_saveProgress = std::move(progress); }

    void setSheetsInNewWorkbook(int count); // 1 to 255
    int sheetsInNewWorkbook() const { return m_sheetsInNewWorkbook; }

    // Workbooks.Add: a new workbook, which becomes the active one.
    Workbook& addWorkbook();
    bool hasWorkbook() const { return !m_workbooks.empty(); }
    Workbook& activeWorkbook();
    // Raises "object required" when there is no workbook.
    Worksheet& activeSheet();
    // The application's Cells: those of the active sheet.
    Range cells() { return activeSheet().cells(); }
    Range cells(int row, int col) { return activeSheet().cells(row, col); }

    // Where the active workbook was saved when shown; empty before.
    const QString& savedPath() const { return m_savedPath; }
    bool openedOnDesktop() const { return m_opened; }

private:
    std::vector<std::unique_ptr<Workbook>> m_workbooks;
    int m_sheetsInNewWorkbook = 3;
    bool m_visible = false;
    QString m_savedPath;
    bool m_opened = false;
    XlsxFile::Progress m_saveProgress;
};
