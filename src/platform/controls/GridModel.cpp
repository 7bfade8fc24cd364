#include "platform/controls/GridModel.h"

#include "platform/spreadsheet/SpreadsheetPalette.h"
#include "platform/text/RuntimeError.h"

#include <QBrush>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <limits>
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

QString GridModel::textOf(int row, int col) const
{
    const Cell& c = at(row, col);
    if (c.length == 0)
        return {};
    return QString(reinterpret_cast<const QChar*>(blockOf(row).chars.data() + c.offset),
                   static_cast<qsizetype>(c.length));
}

void GridModel::compact(Block& block)
{
    std::vector<char16_t> chars;
    chars.reserve(block.chars.size() - block.unused);
    for (Cell& c : block.cells) {
        const auto from = block.chars.begin() + c.offset;
        c.offset = static_cast<quint32>(chars.size());
        chars.insert(chars.end(), from, from + c.length);
    }
    block.chars = std::move(chars);
    block.unused = 0;
}

template <class Change> void GridModel::changeFormat(int row, int col, Change&& change)
{
    Cell& c = cell(row, col);
    Format f = m_formats[c.format];
    change(f);
    auto it = m_formatIndex.constFind(f);
    if (it == m_formatIndex.cend()) {
        m_formats.push_back(f);
        it = m_formatIndex.insert(f, static_cast<quint32>(m_formats.size() - 1));
    }
    c.format = *it;
    cellChanged(row, col);
}

void GridModel::resize(int rows, int cols)
{
    const size_t blocks = (static_cast<size_t>(rows) + BlockRows - 1) / BlockRows;
    const auto rowsIn = [&](size_t block) {
        return static_cast<size_t>(std::min<qint64>(BlockRows, rows - qint64(block) * BlockRows));
    };
    if (cols != m_cols) {
        std::vector<Block> moved(blocks);
        for (size_t b = 0; b < blocks; ++b)
            moved[b].cells.resize(rowsIn(b) * cols);
        for (int r = 0; r < std::min(rows, m_rows); ++r) {
            Block& to = moved[static_cast<size_t>(r / BlockRows)];
            for (int c = 0; c < std::min(cols, m_cols); ++c) {
                const Cell& from = at(r, c);
                Cell& cell = to.cells[static_cast<size_t>(r % BlockRows) * cols + c];
                const auto text = blockOf(r).chars.begin() + from.offset;
                cell = {static_cast<quint32>(to.chars.size()), from.length, from.format};
                to.chars.insert(to.chars.end(), text, text + from.length);
            }
        }
        m_blocks = std::move(moved);
        m_widths.resize(cols, -1);
    } else {
        // Only the blocks from the first row that changes on are touched.
        const size_t first = static_cast<size_t>(std::min(rows, m_rows) / BlockRows);
        m_blocks.resize(blocks);
        for (size_t b = first; b < blocks; ++b) {
            Block& block = m_blocks[b];
            // A grid past its first block is a big one: a new block takes its
            // whole room at once rather than growing by doubling.
            if (b > 0 && block.cells.capacity() == 0) {
                block.cells.reserve(static_cast<size_t>(BlockRows) * cols);
                // The block before is full: its characters shed the room
                // doubling left, and the new one takes about as many.
                std::vector<char16_t>& before = m_blocks[b - 1].chars;
                before.shrink_to_fit();
                block.chars.reserve(before.size() + before.size() / 8);
            }
            const size_t keep = rowsIn(b) * cols;
            for (size_t k = keep; k < block.cells.size(); ++k)
                block.unused += block.cells[k].length;
            block.cells.resize(keep);
            if (block.unused > 0 && block.unused >= block.chars.size() / 2)
                compact(block);
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
    checkCell(row, col);
    return textOf(row, col);
}

QStringView GridModel::textView(int row, int col) const
{
    checkCell(row, col);
    const Cell& c = at(row, col);
    return {blockOf(row).chars.data() + c.offset, static_cast<qsizetype>(c.length)};
}

void GridModel::setText(int row, int col, QStringView text)
{
    Cell& c = cell(row, col);
    Block& block = blockOf(row);
    const auto length = static_cast<size_t>(text.size());
    if (length > c.length) {
        // A longer text goes at the end; the old one's room is left unused
        // until the block is compacted.
        if (block.chars.size() + length > std::numeric_limits<quint32>::max()) {
            compact(block);
            if (block.chars.size() + length > std::numeric_limits<quint32>::max())
                throw RuntimeError(7,
                                   QStringLiteral("Memoria insuficiente: los textos de la "
                                                  "cuadrícula no caben en ella"),
                                   QStringLiteral("GridModel"));
        }
        block.unused += c.length;
        c.offset = static_cast<quint32>(block.chars.size());
        block.chars.insert(block.chars.end(), text.utf16(), text.utf16() + length);
    } else {
        block.unused += c.length - length;
        std::copy(text.utf16(), text.utf16() + length, block.chars.begin() + c.offset);
    }
    c.length = static_cast<quint32>(length);
    if (block.unused > 4096 && block.unused >= block.chars.size() / 2)
        compact(block);
    cellChanged(row, col);
}

void GridModel::copyRow(const GridModel& from, int fromRow, int toRow)
{
    for (int c = 0; c < std::min(m_cols, from.m_cols); ++c) {
        setText(toRow, c, from.textView(fromRow, c));
        const Cell& source = from.cell(fromRow, c);
        quint32 index = 0;
        // Most cells keep the default format, the same index in every grid.
        if (source.format != 0) {
            const Format& f = from.format(source);
            auto it = m_formatIndex.constFind(f);
            if (it == m_formatIndex.cend()) {
                m_formats.push_back(f);
                it = m_formatIndex.insert(f, static_cast<quint32>(m_formats.size() - 1));
            }
            index = *it;
        }
        cell(toRow, c).format = index;
        cellChanged(toRow, c);
    }
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
    return format(cell(row, col)).backColor;
}

void GridModel::setBackColor(int row, int col, int bgr)
{
    // A system colour (0x80000000 plus its number) stays as given; any other
    // value is a 24-bit colour.
    const auto valor = static_cast<quint32>(bgr);
    const int color = (valor & 0xFFFFFF00u) == 0x80000000u ? bgr : (bgr & 0xFFFFFF);
    changeFormat(row, col, [&](Format& f) { f.backColor = color; });
}

double GridModel::fontSize(int row, int col) const
{
    return format(cell(row, col)).fontSize;
}

void GridModel::setFontSize(int row, int col, double points)
{
    changeFormat(row, col, [&](Format& f) { f.fontSize = static_cast<float>(points); });
}

bool GridModel::fontBold(int row, int col) const
{
    return format(cell(row, col)).bold;
}

void GridModel::setFontBold(int row, int col, bool bold)
{
    changeFormat(row, col, [&](Format& f) { f.bold = bold; });
}

QString GridModel::note(int row, int col) const
{
    return format(cell(row, col)).note;
}

void GridModel::setNote(int row, int col, const QString& note)
{
    changeFormat(row, col, [&](Format& f) { f.note = note; });
}

void GridModel::clear()
{
    resetting([&] {
        for (Block& block : m_blocks) {
            std::fill(block.cells.begin(), block.cells.end(), Cell());
            block.chars = {};
            block.unused = 0;
        }
        m_formats.assign(1, Format());
        m_formatIndex = {{Format(), 0}};
    });
}

void GridModel::takeContents(GridModel& other)
{
    resetting([&] {
        m_blocks = std::exchange(other.m_blocks, {});
        m_formats = std::exchange(other.m_formats, {Format()});
        m_formatIndex = std::exchange(other.m_formatIndex, {{Format(), 0}});
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
    const Format& f = format(at(row, index.column()));
    switch (role) {
    case Qt::DisplayRole:
        return textOf(row, index.column());
    case Qt::BackgroundRole:
        if (f.backColor != NoColor)
            if (const auto color =
                    spreadsheetPalette::fromColorValue(static_cast<quint32>(f.backColor)))
                return QBrush(*color);
        if (row < m_fixedRows || index.column() < m_fixedCols)
            return QGuiApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::FontRole:
        if (f.fontSize > 0 || f.bold) {
            QFont font;
            if (f.fontSize > 0)
                font.setPointSizeF(f.fontSize);
            font.setBold(f.bold);
            return font;
        }
        return {};
    case NoteRole:
    // A screen reader reads the note as the cell's description: the mark in
    // the corner is not the only thing that tells it.
    case Qt::AccessibleDescriptionRole:
        return f.note.isEmpty() ? QVariant() : QVariant(f.note);
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
    if (role == Qt::DisplayRole)
        return textOf(0, section);
    if (role == Qt::AccessibleDescriptionRole)
        return m_columnDescriptions.value(textOf(0, section));
    const Format& f = format(at(0, section));
    if (role == Qt::FontRole && (f.fontSize > 0 || f.bold)) {
        QFont font;
        if (f.fontSize > 0)
            font.setPointSizeF(f.fontSize);
        font.setBold(f.bold);
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
        if (const QString t = textOf(row, col).trimmed(); !t.isEmpty())
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
