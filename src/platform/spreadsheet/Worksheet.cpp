#include "platform/spreadsheet/Worksheet.h"

#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/SpreadsheetError.h"

#include <cstring>

namespace {

void checkCell(int row, int col)
{
    if (row < 1 || row > Worksheet::MaxRows || col < 1 || col > Worksheet::MaxColumns)
        throwSpreadsheetError(QStringLiteral("La celda de la fila %1, columna %2 no existe en la "
                                             "hoja (filas 1 a %3, columnas 1 a %4)")
                                  .arg(row)
                                  .arg(col)
                                  .arg(Worksheet::MaxRows)
                                  .arg(Worksheet::MaxColumns));
}

} // namespace

int Worksheet::columnCount() const
{
    const int widths = m_widths.empty() ? 0 : m_widths.rbegin()->first;
    return std::max(widths, m_widestRow);
}

const std::vector<Worksheet::Cell>& Worksheet::row(int row) const
{
    static const std::vector<Cell> none;
    if (row < 1 || row > rowCount())
        return none;
    if (row == m_openRow)
        return m_open;
    if (row != m_readRow) {
        decode(row, m_read);
        m_readRow = row;
    }
    return m_read;
}

const Worksheet::Cell* Worksheet::cell(int r, int col) const
{
    const auto& cells = row(r);
    if (col < 1 || col > static_cast<int>(cells.size()))
        return nullptr;
    return &cells[static_cast<size_t>(col - 1)];
}

float Worksheet::largestFont(int row) const
{
    if (row == m_openRow) {
        float largest = 0;
        for (const Cell& c : m_open)
            largest = std::max(largest, m_styles.style(c.style).fontSize);
        return largest;
    }
    return row >= 1 && row <= rowCount() ? m_info[static_cast<size_t>(row - 1)].largestFont : 0;
}

int Worksheet::cellCount(int row) const
{
    if (row == m_openRow)
        return static_cast<int>(m_open.size());
    return row >= 1 && row <= rowCount() ? m_info[static_cast<size_t>(row - 1)].cells : 0;
}

namespace {

template <class T> void put(QByteArray& block, const T& value)
{
    block.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T> T take(const char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

} // namespace

// A row as bytes: its size and cell count, then per cell the format id, the
// kind, and the number or the text's UTF-16 units.
void Worksheet::putAside() const
{
    if (m_openRow == 0)
        return;
    RowInfo& info = m_info[static_cast<size_t>(m_openRow - 1)];
    m_block.resize(8);
    float largest = 0;
    for (const Cell& c : m_open) {
        put(m_block, c.style);
        put(m_block, static_cast<quint8>(c.kind));
        if (c.kind == SpreadsheetValue::Kind::Number)
            put(m_block, c.number);
        else if (c.kind == SpreadsheetValue::Kind::Text) {
            put(m_block, static_cast<quint32>(c.text.size()));
            m_block.append(reinterpret_cast<const char*>(c.text.constData()),
                           c.text.size() * qsizetype(sizeof(QChar)));
        }
        largest = std::max(largest, m_styles.style(c.style).fontSize);
    }
    const auto size = static_cast<quint32>(m_block.size());
    const auto count = static_cast<quint32>(m_open.size());
    std::memcpy(m_block.data(), &size, 4);
    std::memcpy(m_block.data() + 4, &count, 4);
    info.offset = m_store.append(m_block);
    info.largestFont = largest;
    info.cells = static_cast<quint16>(m_open.size());
    if (m_readRow == m_openRow)
        m_readRow = 0;
    m_openRow = 0;
    m_open.clear();
}

void Worksheet::decode(int row, std::vector<Cell>& into) const
{
    into.clear();
    const RowInfo& info = m_info[static_cast<size_t>(row - 1)];
    if (info.offset < 0)
        return;
    const char* at = m_store.read(info.offset, 8);
    const auto size = take<quint32>(at);
    at = m_store.read(info.offset, size) + 4;
    const auto count = take<quint32>(at);
    into.resize(count);
    for (Cell& c : into) {
        c.style = take<quint32>(at);
        c.kind = static_cast<SpreadsheetValue::Kind>(take<quint8>(at));
        if (c.kind == SpreadsheetValue::Kind::Number)
            c.number = take<double>(at);
        else if (c.kind == SpreadsheetValue::Kind::Text) {
            // Into the text the cell held before: reading rows one after
            // another reuses its room instead of allocating each text anew.
            const auto length = take<quint32>(at);
            c.text.resize(static_cast<qsizetype>(length));
            std::memcpy(c.text.data(), at, length * sizeof(QChar));
            at += length * sizeof(QChar);
        }
    }
}

void Worksheet::forEachRow(const std::function<void(std::vector<Cell>&)>& change)
{
    putAside();
    for (int r = 1; r <= rowCount(); ++r) {
        if (m_info[static_cast<size_t>(r - 1)].offset < 0)
            continue;
        decode(r, m_open);
        m_openRow = r;
        change(m_open);
        putAside();
    }
    m_readRow = 0;
}

const CellStyle& Worksheet::styleAt(int row, int col) const
{
    const Cell* c = cell(row, col);
    return m_styles.style(c ? c->style : m_sheetStyle);
}

double Worksheet::columnWidth(int col) const
{
    const auto found = m_widths.find(col);
    return found == m_widths.end() ? DefaultColumnWidth : found->second;
}

void Worksheet::setColumnWidth(int col, double width)
{
    checkCell(1, col);
    if (!(width >= 0 && width <= MaxColumnWidth))
        throwSpreadsheetError(QStringLiteral("No se puede asignar ColumnWidth = %1 a la columna "
                                             "%2: el ancho va de 0 a 255 caracteres")
                                  .arg(width)
                                  .arg(col));
    m_widths[col] = width;
}

Range Worksheet::cells(int row, int col)
{
    checkCell(row, col);
    return Range(this, Range::Area{row, col, row, col, false});
}

Range Worksheet::range(const Range& from, const Range& to)
{
    if (&from.sheet() != this || &to.sheet() != this)
        throwSpreadsheetError(QStringLiteral("Las dos celdas de un rango deben ser de la hoja"));
    const Range::Area& a = from.area();
    const Range::Area& b = to.area();
    return Range(this, Range::Area{std::min(a.top, b.top), std::min(a.left, b.left),
                                   std::max(a.bottom, b.bottom), std::max(a.right, b.right),
                                   a.wholeSheet || b.wholeSheet});
}

void Worksheet::printPreview(const std::function<bool(int done, int total)>& progress,
                             const std::function<bool(const std::function<bool()>&)>& runner) const
{
    PrintPreview::show(*this, progress, runner);
}

void Worksheet::setValue(const Range::Area& area, const QString& text)
{
    // A text longer than a workbook cell takes is kept whole here: the print
    // preview shows it all, and the .xlsx writer cuts it where the file needs.
    const SpreadsheetValue value = SpreadsheetValue::fromText(text);
    if (area.wholeSheet)
        throwSpreadsheetError(QStringLiteral("No se asigna un valor a toda la hoja"));
    for (int r = area.top; r <= area.bottom; ++r)
        for (int c = area.left; c <= area.right; ++c) {
            Cell& target = touch(r, c);
            target.kind = value.kind;
            target.number = value.number;
            target.text = value.text;
        }
}

Worksheet::Cell& Worksheet::touch(int row, int col)
{
    checkCell(row, col);
    if (row != m_openRow) {
        putAside();
        if (row > rowCount())
            m_info.resize(static_cast<size_t>(row));
        else
            decode(row, m_open);
        if (m_readRow == row)
            m_readRow = 0;
        m_openRow = row;
    }
    if (col > static_cast<int>(m_open.size())) {
        const Cell blank{QString(), 0, m_sheetStyle, SpreadsheetValue::Kind::Empty};
        m_open.resize(static_cast<size_t>(col), blank);
        m_widestRow = std::max(m_widestRow, col);
    }
    return m_open[static_cast<size_t>(col - 1)];
}

void Worksheet::setStyle(const Range::Area& area, quint32 id)
{
    if (id >= static_cast<quint32>(m_styles.size()))
        throwSpreadsheetError(QStringLiteral("La hoja no tiene el formato %1").arg(id));
    if (area.wholeSheet) {
        const CellStyle style = m_styles.style(id);
        restyle(area, [&style](CellStyle& s) { s = style; });
        return;
    }
    for (int r = area.top; r <= area.bottom; ++r)
        for (int c = area.left; c <= area.right; ++c)
            touch(r, c).style = id;
}
