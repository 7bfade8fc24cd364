#pragma once

#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class Worksheet;

// A sheet as the spreadsheet application prints it: cells with their fills,
// fonts (name, size, bold, colour) and borders, columns at their widths, rows
// as high as their largest font, at 100 %, no grid lines. A sheet wider or
// longer than the page goes on as many pages as it needs, down first, then
// across. The print preview and the PDF file paint through the same code.
// Pages are laid out from the row heights alone and each is painted only when
// asked for, reading back just its rows, so a sheet of any length opens at
// once and takes memory for its row edges only.
class SheetPrinter
{
public:
    struct Page
    {
        int firstRow, lastRow, firstCol, lastCol;
    };

    // Told after each page printed (done of total, from 0); false cancels.
    using Progress = std::function<bool(int done, int total)>;

    explicit SheetPrinter(const Worksheet& sheet);

    // A4 portrait with the application's normal margins (0.7 in left and
    // right, 0.75 in top and bottom).
    static QPageLayout defaultPageLayout();
    // A column width in characters (of the default font's digits) in points,
    // as the application measures it on screen at 96 dpi.
    static double columnPoints(double characters);
    // The height of a row whose largest font has `fontSize` points.
    static double rowPoints(double fontSize);

    QList<Page> pages(const QSizeF& printablePoints) const;
    // Paints one page with the painter's origin at the top-left corner of the
    // printable area, at the painter device's resolution.
    void paintPage(QPainter& painter, const Page& page) const;
    // Pages `from` to `to` (from 1; 0 and 0 for all), on a printer or a PDF
    // writer, as its page layout allows. False when the progress cancelled.
    bool print(QPagedPaintDevice& device, const Progress& progress = {}, int from = 0,
               int to = 0) const;
    // The pages as a PDF file (default page layout), complete or not at all;
    // RuntimeError with the path and the reason on failure. False, and no
    // file, when the progress cancelled.
    bool savePdf(const QString& path, const Progress& progress = {}) const;

private:
    const Worksheet& m_sheet;
    int m_rows;
    int m_cols;
    std::vector<double> m_rowTop;  // points; m_rowTop[r - 1] is row r's top, one more at the end
    std::vector<double> m_colLeft; // the same for columns
};
