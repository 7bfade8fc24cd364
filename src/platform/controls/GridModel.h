#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <vector>

// The report grid control: rows and columns of cell texts, the first
// fixedRows rows and fixedCols columns fixed (titles), column widths in twips,
// a current cell, and per-cell back colour (suite BGR form), font size and bold.
// It starts as the grid control does: 2 rows, 2 columns, one fixed row and one
// fixed column.
//
// For Qt views, the model's rows are the grid's rows below its first fixed
// row; that first row is the horizontal header (the titles stay in sight when
// scrolling). Columns map one to one.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int DefaultColumnWidth = 960; // twips
    static constexpr int NoColor = -1;
    // The role under which a view finds a cell's note (see setNote).
    static constexpr int NoteRole = Qt::UserRole + 1;

    explicit GridModel(QObject* parent = nullptr);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n);
    void setFixedCols(int n);

    QString text(int row, int col) const;
    // The same without a copy, for readers going through many cells: valid
    // until the grid next changes.
    QStringView textView(int row, int col) const;
    void setText(int row, int col, const QString& text) { setText(row, col, QStringView(text)); }
    void setText(int row, int col, QStringView text);
    // Copies a row of another grid (texts, formats and notes) into row
    // `toRow`, column by column as far as both grids reach.
    void copyRow(const GridModel& from, int fromRow, int toRow);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);

    // The current cell, which the cell-format properties below address.
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int row);
    void setCol(int col);
    void setCellBackColor(int bgr) { setBackColor(m_row, m_col, bgr); }
    void setCellFontSize(double points) { setFontSize(m_row, m_col, points); }
    void setCellFontBold(bool bold) { setFontBold(m_row, m_col, bold); }

    // Direct access to any cell's format.
    int backColor(int row, int col) const; // NoColor when not set
    void setBackColor(int row, int col, int bgr);
    double fontSize(int row, int col) const; // 0 when not set (the grid's font)
    void setFontSize(int row, int col, double points);
    bool fontBold(int row, int col) const;
    void setFontBold(int row, int col, bool bold);

    // A remark on a cell for the operator's eyes only: the view marks the
    // cell and shows the note as its tooltip. Exports never read it, so a
    // note changes nothing in what leaves the program.
    QString note(int row, int col) const;
    void setNote(int row, int col, const QString& note);

    // What a column holds, in words, for assistive technology: given by the
    // column's title (row 0), so it follows the column whatever fills the grid.
    void setColumnDescription(const QString& title, const QString& description);

    // Empties every cell's text, format and note; rows, columns and widths stay.
    void clear();
    // Takes every row, column, width, cell and the current cell of `other`,
    // which is left empty; column descriptions stay. Views reset once. A grid
    // filled on another thread is handed over this way when the work ends.
    void takeContents(GridModel& other);

    // While suspended the model tells views nothing; resuming resets them
    // once. A load of many thousands of rows uses it so that views do not
    // follow every cell.
    void setUpdatesSuspended(bool suspended);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void colWidthChanged(int col, int twips);

private:
    // A grid of a big load holds millions of cells: a cell is three numbers.
    // Its text lives in its block's run of UTF-16 characters, and its format
    // (colour, font, note) is an index into the formats the grid has met,
    // which are few: the cells of a load share a handful.
    struct Cell
    {
        quint32 offset = 0; // where its text starts in the block's characters
        quint32 length = 0;
        quint32 format = 0; // index in m_formats; 0 is the default format
    };
    struct Format
    {
        QString note;
        int backColor = NoColor;
        float fontSize = 0;
        bool bold = false;
        bool operator==(const Format&) const = default;
        friend size_t qHash(const Format& f, size_t seed = 0)
        {
            return qHashMulti(seed, f.note, f.backColor, f.fontSize, f.bold);
        }
    };
    struct Block
    {
        std::vector<Cell> cells;
        std::vector<char16_t> chars;
        size_t unused = 0; // characters no cell points at any more
    };
    const Format& format(const Cell& c) const { return m_formats[c.format]; }
    // Gives the cell the format `change` makes of its present one.
    template <class Change> void changeFormat(int row, int col, Change&& change);
    QString textOf(int row, int col) const;
    static void compact(Block& block);

    QString rowHeading(int section) const;
    const Cell& cell(int row, int col) const;
    Cell& cell(int row, int col);
    void checkCell(int row, int col) const;
    void setFixed(int& fixed, int n, int limit, int errorNumber, const QString& what);
    void cellChanged(int row, int col);
    void resize(int rows, int cols);
    // Runs a change that views must take as a whole new model (unless suspended).
    template <class Change> void resetting(Change&& change)
    {
        if (!m_suspended)
            beginResetModel();
        change();
        if (!m_suspended)
            endResetModel();
    }

    // The cells row by row, in blocks of BlockRows rows: a grid that grows
    // never moves the cells it already has (one vector of millions of cells
    // would copy them all, and hold them twice, at every doubling).
    static constexpr int BlockRows = 4096;
    Block& blockOf(int row) { return m_blocks[static_cast<size_t>(row / BlockRows)]; }
    const Block& blockOf(int row) const { return m_blocks[static_cast<size_t>(row / BlockRows)]; }
    Cell& at(int row, int col)
    {
        return blockOf(row).cells[static_cast<size_t>(row % BlockRows) * m_cols + col];
    }
    const Cell& at(int row, int col) const { return const_cast<GridModel*>(this)->at(row, col); }
    std::vector<Block> m_blocks;
    std::vector<Format> m_formats{Format()};
    QHash<Format, quint32> m_formatIndex{{Format(), 0}};
    std::vector<int> m_widths;
    QHash<QString, QString> m_columnDescriptions;
    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_row = 1;
    int m_col = 1;
    bool m_suspended = false;
};
