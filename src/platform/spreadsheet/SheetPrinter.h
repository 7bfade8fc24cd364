#pragma once

#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

#include "platform/spreadsheet/Worksheet.h"

class QPagedPaintDevice;
class QPainter;

// A sheet as the spreadsheet application prints it: cells with their fills,
// fonts (name, size, bold, colour) and borders, columns at their widths, rows
// as high as their largest font, at 100 %, no grid lines. A sheet wider or
// longer than the page goes on as many pages as it needs, down first, then
// across. The print preview and the PDF file paint through the same code.
// Pages are laid out from the row heights alone and each is painted only when
// asked for, reading back just its rows, so a sheet of any length opens at
// once and takes memory for its row edges only. A sheet with a print set-up
// (Worksheet::PrintSetup) goes on one page wide instead, scaled down when
// wider, with its title rows on every page, a header in the top margin and
// "Página N de M" in the bottom one; its chart, if it has one, heads the
// first page above the cells, or goes on a last page of its own under the
// rows it is given there.
class SheetPrinter
{
public:
    struct Page
    {
        int firstRow, lastRow, firstCol, lastCol;
        int number, count; // from 1, of all pages
        double scale;      // of the cells on paper, 1 unless fitted to the width
        QSizeF printable;  // points
    };

    // Told after each page printed (done of total, from 0); false cancels.
    using Progress = std::function<bool(int done, int total)>;

    explicit SheetPrinter(const Worksheet& sheet);

    // A4 portrait with the application's normal margins (0.7 in left and
    // right, 0.75 in top and bottom).
    static QPageLayout defaultPageLayout();
    // The default layout, turned landscape when the sheet's set-up fits it to
    // the width and its columns do not fit portrait, or landscape needs fewer
    // pages.
    QPageLayout pageLayout() const;
    // A column width in characters (of the default font's digits) in points,
    // as the application measures it on screen at 96 dpi.
    static double columnPoints(double characters);
    // The height of a row whose largest font has `fontSize` points.
    static double rowPoints(double fontSize);

    QList<Page> pages(const QSizeF& printablePoints) const;
    // Paints one page with the painter's origin at the top-left corner of the
    // printable area, at the painter device's resolution; the header and
    // footer go above and below it, in the page's margins.
    void paintPage(QPainter& painter, const Page& page) const;
    // Pages `from` to `to` (from 1; 0 and 0 for all), on a printer or a PDF
    // writer, as its page layout allows. False when the progress cancelled.
    bool print(QPagedPaintDevice& device, const Progress& progress = {}, int from = 0,
               int to = 0) const;
    // The pages as a PDF file (default page layout), complete or not at all;
    // RuntimeError with the path and the reason on failure. False, and no
    // file, when the progress cancelled.
    bool savePdf(const QString& path, const Progress& progress = {}) const;
    // Pages `from` to `to` as a PDF file in the given page layout, as "print
    // to file" asks: complete or not at all, like savePdf. A printer told to
    // print to a file writes it as it goes, so a cancelled or failed print
    // would leave half a file where an earlier one stood.
    bool printToPdf(const QString& path, const QPageLayout& layout, const Progress& progress = {},
                    int from = 0, int to = 0) const;
    // Several sheets one after another in one PDF file, each in its own page
    // layout and with its own page numbers (a grid longer than one sheet goes
    // on in further sheets, and the file must hold all of them). The progress
    // counts the pages of all of them.
    static bool savePdf(const QList<const Worksheet*>& sheets, const QString& path,
                        const Progress& progress = {});

private:
    // Rows first to last from y0 (points) down, row `first` at the top.
    void paintRows(QPainter& painter, int first, int last, int firstCol, int lastCol, double top0,
                   double y0) const;
    void paintFrame(QPainter& painter, const Page& page) const;
    // The room the sheet's chart takes at the top of the first page (points),
    // and the chart painted there, `width` points wide.
    double chartPoints() const;
    // The first row of the chart's own page; 0 when it has none.
    int chartPageRow() const;
    void paintChart(QPainter& painter, const Worksheet::BarChart& chart, double width) const;

    const Worksheet& m_sheet;
    int m_rows;
    int m_cols;
    std::vector<double> m_rowTop;  // points; m_rowTop[r - 1] is row r's top, one more at the end
    std::vector<double> m_colLeft; // the same for columns
    Worksheet::PrintSetup m_setup;
};
