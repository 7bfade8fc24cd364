#pragma once

#include "platform/spreadsheet/RowStore.h"
#include "platform/spreadsheet/SpreadsheetRange.h"
#include "platform/spreadsheet/SpreadsheetStyle.h"
#include "platform/spreadsheet/SpreadsheetValue.h"

#include <QString>
#include <functional>
#include <map>
#include <vector>

// One sheet of the workbook: cells by row and column (from 1), each with its
// value and the id of its format in the sheet's style table, and the column
// widths. Only the row being written stays in memory: once the writing moves
// to another row, the row is put aside in a scratch file (RowStore) and read
// back when asked for, so a sheet costs a few bytes per row however long it
// grows; the file writer and the printer read the rows back in order.
class Worksheet
{
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr double DefaultColumnWidth = 8.43; // characters
    static constexpr double MaxColumnWidth = 255;

    struct Cell
    {
        QString text;
        double number = 0;
        quint32 style = 0;
        SpreadsheetValue::Kind kind = SpreadsheetValue::Kind::Empty;
    };

    // How the sheet goes on paper beyond its cells. Empty: as the cells
    // fall, A4 portrait, nothing around them.
    struct PrintSetup
    {
        // All columns on one page wide (scaled down when wider), landscape
        // when the columns do not fit portrait or when it needs fewer pages.
        bool fitToWidth = false;
        // Rows from 1 printed again at the top of every page.
        int titleRows = 0;
        // The header: the title and the filters on the left, the date on the
        // right; a framed sheet also numbers its pages in the footer.
        QString title, filters, date;
        // What goes on paper, from the first cell, when set: cells beyond
        // stay on screen only.
        int lastRow = 0, lastColumn = 0;

        bool framed() const { return fitToWidth || titleRows > 0 || !title.isEmpty(); }
    };

    // A bar chart drawn on the sheet from the sheet's own cells, so that it
    // follows what is edited in them: one bar per row of `categories`, each
    // series drawn over the one before from the axis (a series of totals
    // first, then the part of them to show lighter). An area list may join
    // several blocks of cells, in order.
    struct Cells
    {
        int top = 1, left = 1, bottom = 1, right = 1; // from 1
    };
    struct BarChart
    {
        struct Series
        {
            QString name;
            std::vector<Cells> values;
            unsigned rgb = 0;
            bool labels = false; // each bar's value at its end
        };
        QString title;
        std::vector<Cells> categories;
        std::vector<Series> series;
        int row = 1, column = 1;       // the cell of its top-left corner
        int width = 480, height = 288; // pixels
        // From 1: on paper the chart, with the rows from this one on, takes
        // a page of its own after the cells above; 0: beside the cells, and
        // the printer draws it above them.
        int pageRow = 0;
    };
    void addChart(BarChart chart) { m_charts.push_back(std::move(chart)); }
    const std::vector<BarChart>& charts() const { return m_charts; }

    explicit Worksheet(QString name) : m_name(std::move(name)) {}

    const QString& name() const { return m_name; }
    // The file the sheet's workbook was saved to; empty while it is not saved.
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    int rowCount() const { return static_cast<int>(m_info.size()); }
    // The last column that holds a cell or has a width of its own.
    int columnCount() const;
    // Cells of a row, by column from 1 (index column - 1); an empty vector for
    // a row with none. A cell never written is Empty with the sheet's format.
    // The vector holds until the next call for another row.
    const std::vector<Cell>& row(int row) const;
    const Cell* cell(int row, int col) const;
    // The largest font size of a row's cells (0 for none) and how many cells
    // it has, known without reading the row back: what a row's height needs.
    float largestFont(int row) const;
    int cellCount(int row) const;

    const StyleTable& styles() const { return m_styles; }
    const PrintSetup& printSetup() const { return m_printSetup; }
    void setPrintSetup(PrintSetup setup) { m_printSetup = std::move(setup); }
    // The format of every cell that has none of its own.
    quint32 sheetStyle() const { return m_sheetStyle; }
    const CellStyle& styleAt(int row, int col) const;

    double columnWidth(int col) const;
    bool hasColumnWidth(int col) const { return m_widths.count(col) > 0; }
    void setColumnWidth(int col, double width);

    Range cells() { return Range(this, Range::Area{1, 1, MaxRows, MaxColumns, true}); }
    Range cells(int row, int col);
    Range range(const Range& from, const Range& to);

    // Opens the print preview of the sheet (see PrintPreview); printing and
    // saving its pages report to `progress`, which may cancel them, and run
    // through `runner` (PrintPreview::Runner) when given.
    void printPreview(const std::function<bool(int done, int total)>& progress = {},
                      const std::function<bool(const std::function<bool()>&)>& runner = {}) const;

    void setValue(const Range::Area& area, const QString& text);
    template <class Change> void restyle(const Range::Area& area, Change&& change)
    {
        if (area.wholeSheet) {
            m_sheetStyle = m_styles.changed(m_sheetStyle, change);
            forEachRow([&](std::vector<Cell>& cells) {
                for (Cell& c : cells)
                    c.style = m_styles.changed(c.style, change);
            });
            return;
        }
        for (int r = area.top; r <= area.bottom; ++r)
            for (int c = area.left; c <= area.right; ++c) {
                Cell& target = touch(r, c);
                target.style = m_styles.changed(target.style, change);
            }
    }
    StyleTable& styleTable() { return m_styles; }
    // Gives the area's cells the format `id` of this sheet's table: a writer
    // that already formatted a cell the same way sets the result at once.
    void setStyle(const Range::Area& area, quint32 id);

private:
    struct RowInfo
    {
        qint64 offset = -1; // in the store; -1 while open or never written
        float largestFont = 0;
        quint16 cells = 0;
    };

    Cell& touch(int row, int col);
    // Puts the open row aside.
    void putAside() const;
    void decode(int row, std::vector<Cell>& into) const;
    void forEachRow(const std::function<void(std::vector<Cell>&)>& change);

    QString m_name;
    QString m_fileName;
    mutable std::vector<RowInfo> m_info;
    // The row being written (0: none) and the last row read back.
    mutable int m_openRow = 0;
    mutable std::vector<Cell> m_open;
    mutable int m_readRow = 0;
    mutable std::vector<Cell> m_read;
    mutable RowStore m_store;
    mutable QByteArray m_block;
    int m_widestRow = 0;
    StyleTable m_styles;
    quint32 m_sheetStyle = 0;
    std::map<int, double> m_widths;
    PrintSetup m_printSetup;
    std::vector<BarChart> m_charts;
};
