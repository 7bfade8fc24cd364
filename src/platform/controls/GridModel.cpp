#include "platform/controls/GridModel.h"

#include "platform/spreadsheet/SpreadsheetPalette.h"
#include "platform/text/RuntimeError.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <utility>

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent)
{
    resize(2, 2);
}

void GridModel::checkCell(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw RuntimeError(381,
                           QStringLiteral("Subíndice fuera del intervalo: fila %1, columna %2 de "
                                          "una cuadrícula de %3 x %4")
                               .arg(row)
                               .arg(col)
                               .arg(m_rows)
                               .arg(m_cols),
                           QStringLiteral("GridModel"));
}

const GridModel::Cell& GridModel::cell(int row, int col) const
{
    checkCell(row, col);
    return at(row, col);
}

GridModel::Cell& GridModel::cell(int row, int col)
{
    checkCell(row, col);
    return at(row, col);
}

const GridModel::Extra& GridModel::extra(const Cell& c) const
{
    static const Extra none;
    return c.extra ? m_extras[c.extra - 1] : none;
}

GridModel::Extra& GridModel::extra(Cell& c)
{
    if (!c.extra) {
        m_extras.emplace_back();
        c.extra = static_cast<quint32>(m_extras.size());
    }
    return m_extras[c.extra - 1];
}

void GridModel::resize(int rows, int cols)
{
    const size_t blocks = (static_cast<size_t>(rows) + BlockRows - 1) / BlockRows;
    const auto rowsIn = [&](size_t block) {
        return static_cast<size_t>(std::min<qint64>(BlockRows, rows - qint64(block) * BlockRows));
    };
    if (cols != m_cols) {
        std::vector<std::vector<Cell>> cells(blocks);
        for (size_t b = 0; b < blocks; ++b)
            cells[b].resize(rowsIn(b) * cols);
        for (int r = 0; r < std::min(rows, m_rows); ++r)
            for (int c = 0; c < std::min(cols, m_cols); ++c)
                cells[static_cast<size_t>(r / BlockRows)]
                     [static_cast<size_t>(r % BlockRows) * cols + c] = std::move(at(r, c));
        m_blocks = std::move(cells);
        m_widths.resize(cols, -1);
    } else {
        // Only the blocks from the first row that changes on are touched.
        const size_t first = static_cast<size_t>(std::min(rows, m_rows) / BlockRows);
        m_blocks.resize(blocks);
        for (size_t b = first; b < blocks; ++b) {
            // A grid past its first block is a big one: a new block takes its
            // whole room at once rather than growing by doubling.
            if (b > 0 && m_blocks[b].capacity() == 0)
                m_blocks[b].reserve(static_cast<size_t>(BlockRows) * cols);
            m_blocks[b].resize(rowsIn(b) * cols);
        }
    }
    m_rows = rows;
    m_cols = cols;
    m_row = std::min(m_row, std::max(0, m_rows - 1));
    m_col = std::min(m_col, std::max(0, m_cols - 1));
}

void GridModel::setRows(int rows)
{
    if (rows < m_fixedRows || rows < 0)
        throw RuntimeError(30009,
                           QStringLiteral("No se pueden dejar %1 filas: la cuadrícula tiene %2 "
                                          "filas fijas")
                               .arg(rows)
                               .arg(m_fixedRows),
                           QStringLiteral("GridModel"));
    if (rows == m_rows)
        return;
    const int header = m_fixedRows >= 1 ? 1 : 0;
    if (m_suspended) {
        resize(rows, m_cols);
    } else if (rows > m_rows) {
        beginInsertRows({}, m_rows - header, rows - header - 1);
        resize(rows, m_cols);
        endInsertRows();
    } else {
        beginRemoveRows({}, rows - header, m_rows - header - 1);
        resize(rows, m_cols);
        endRemoveRows();
    }
}

void GridModel::setCols(int cols)
{
    if (cols < m_fixedCols || cols < 0)
        throw RuntimeError(30010,
                           QStringLiteral("No se pueden dejar %1 columnas: la cuadrícula tiene "
                                          "%2 columnas fijas")
                               .arg(cols)
                               .arg(m_fixedCols),
                           QStringLiteral("GridModel"));
    if (cols == m_cols)
        return;
    resetting([&] { resize(m_rows, cols); });
}

void GridModel::setFixed(int& fixed, int n, int limit, int errorNumber, const QString& what)
{
    if (n < 0 || n >= limit)
        throw RuntimeError(errorNumber,
                           QStringLiteral("Valor de %1 no válido: %2").arg(what).arg(n),
                           QStringLiteral("GridModel"));
    resetting([&] { fixed = n; });
}

void GridModel::setFixedRows(int n)
{
    setFixed(m_fixedRows, n, m_rows, 30009, QStringLiteral("filas fijas"));
}

void GridModel::setFixedCols(int n)
{
    setFixed(m_fixedCols, n, m_cols, 30010, QStringLiteral("columnas fijas"));
}

QString GridModel::text(int row, int col) const
{
    return cell(row, col).text;
}

void GridModel::setText(int row, int col, const QString& text)
{
    cell(row, col).text = text;
    cellChanged(row, col);
}

int GridModel::colWidth(int col) const
{
    checkCell(0, col);
    return m_widths[col] < 0 ? DefaultColumnWidth : m_widths[col];
}

void GridModel::setColWidth(int col, int twips)
{
    checkCell(0, col);
    m_widths[col] = std::max(0, twips);
    if (!m_suspended)
        emit colWidthChanged(col, m_widths[col]);
}

void GridModel::setRow(int row)
{
    checkCell(row, 0);
    m_row = row;
}

void GridModel::setCol(int col)
{
    checkCell(0, col);
    m_col = col;
}

int GridModel::backColor(int row, int col) const
{
    return cell(row, col).backColor;
}

void GridModel::setBackColor(int row, int col, int bgr)
{
    // A system colour (0x80000000 plus its number) stays as given; any other
    // value is a 24-bit colour.
    const auto valor = static_cast<quint32>(bgr);
    cell(row, col).backColor = (valor & 0xFFFFFF00u) == 0x80000000u ? bgr : (bgr & 0xFFFFFF);
    cellChanged(row, col);
}

double GridModel::fontSize(int row, int col) const
{
    return extra(cell(row, col)).fontSize;
}

void GridModel::setFontSize(int row, int col, double points)
{
    extra(cell(row, col)).fontSize = static_cast<float>(points);
    cellChanged(row, col);
}

bool GridModel::fontBold(int row, int col) const
{
    return extra(cell(row, col)).bold;
}

void GridModel::setFontBold(int row, int col, bool bold)
{
    extra(cell(row, col)).bold = bold;
    cellChanged(row, col);
}

QString GridModel::note(int row, int col) const
{
    return extra(cell(row, col)).note;
}

void GridModel::setNote(int row, int col, const QString& note)
{
    extra(cell(row, col)).note = note;
    cellChanged(row, col);
}

void GridModel::clear()
{
    resetting([&] {
        for (std::vector<Cell>& block : m_blocks)
            for (Cell& c : block)
                c = Cell();
        m_extras.clear();
    });
}

void GridModel::takeContents(GridModel& other)
{
    resetting([&] {
        m_blocks = std::exchange(other.m_blocks, {});
        m_extras = std::exchange(other.m_extras, {});
        m_widths = std::exchange(other.m_widths, {});
        m_rows = std::exchange(other.m_rows, 0);
        m_cols = std::exchange(other.m_cols, 0);
        m_fixedRows = std::exchange(other.m_fixedRows, 0);
        m_fixedCols = std::exchange(other.m_fixedCols, 0);
        m_row = std::exchange(other.m_row, 0);
        m_col = std::exchange(other.m_col, 0);
    });
    if (!m_suspended)
        for (int c = 0; c < m_cols; ++c)
            emit colWidthChanged(c, colWidth(c));
}

void GridModel::setUpdatesSuspended(bool suspended)
{
    if (suspended == m_suspended)
        return;
    if (suspended) {
        beginResetModel();
        m_suspended = true;
        return;
    }
    m_suspended = false;
    endResetModel();
    for (int c = 0; c < m_cols; ++c)
        emit colWidthChanged(c, colWidth(c));
}

void GridModel::cellChanged(int row, int col)
{
    if (m_suspended)
        return;
    if (m_fixedRows >= 1 && row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex i = index(row - (m_fixedRows >= 1 ? 1 : 0), col);
    emit dataChanged(i, i);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_rows - (m_fixedRows >= 1 ? 1 : 0);
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || m_suspended)
        return {};
    const int row = index.row() + (m_fixedRows >= 1 ? 1 : 0);
    const Cell& c = at(row, index.column());
    switch (role) {
    case Qt::DisplayRole:
        return c.text;
    case Qt::BackgroundRole:
        if (c.backColor != NoColor)
            if (const auto color =
                    spreadsheetPalette::fromColorValue(static_cast<quint32>(c.backColor)))
                return QBrush(*color);
        if (row < m_fixedRows || index.column() < m_fixedCols)
            return QGuiApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::FontRole:
        if (const Extra& x = extra(c); x.fontSize > 0 || x.bold) {
            QFont font;
            if (x.fontSize > 0)
                font.setPointSizeF(x.fontSize);
            font.setBold(x.bold);
            return font;
        }
        return {};
    case NoteRole:
    // A screen reader reads the note as the cell's description: the mark in
    // the corner is not the only thing that tells it.
    case Qt::AccessibleDescriptionRole:
        return extra(c).note.isEmpty() ? QVariant() : QVariant(extra(c).note);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical && role == Qt::AccessibleTextRole && !m_suspended)
        return rowHeading(section);
    if (orientation != Qt::Horizontal || m_fixedRows < 1 || section < 0 || section >= m_cols ||
        m_suspended)
        return {};
    const Cell& c = at(0, section);
    if (role == Qt::DisplayRole)
        return c.text;
    if (role == Qt::AccessibleDescriptionRole)
        return m_columnDescriptions.value(c.text);
    const Extra& x = extra(c);
    if (role == Qt::FontRole && (x.fontSize > 0 || x.bold)) {
        QFont font;
        if (x.fontSize > 0)
            font.setPointSizeF(x.fontSize);
        font.setBold(x.bold);
        return font;
    }
    return {};
}

QString GridModel::rowHeading(int section) const
{
    // The fixed columns are the row's titles; the views hide the vertical
    // header, so a row without them is told by its number.
    const int row = section + (m_fixedRows >= 1 ? 1 : 0);
    if (section < 0 || row >= m_rows)
        return {};
    QStringList titles;
    for (int col = 0; col < std::min(m_fixedCols, m_cols); ++col)
        if (const QString t = at(row, col).text.trimmed(); !t.isEmpty())
            titles << t;
    return titles.isEmpty() ? QStringLiteral("Fila %1").arg(section + 1) : titles.join(u' ');
}

void GridModel::setColumnDescription(const QString& title, const QString& description)
{
    if (description.isEmpty())
        m_columnDescriptions.remove(title);
    else
        m_columnDescriptions.insert(title, description);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
