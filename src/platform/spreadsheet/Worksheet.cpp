#include "platform/spreadsheet/Worksheet.h"

#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/SpreadsheetError.h"

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
    int count = m_widths.empty() ? 0 : m_widths.rbegin()->first;
    for (const auto& cells : m_rows)
        count = std::max(count, static_cast<int>(cells.size()));
    return count;
}

const std::vector<Worksheet::Cell>& Worksheet::row(int row) const
{
    static const std::vector<Cell> none;
    if (row < 1 || row > rowCount())
        return none;
    return m_rows[static_cast<size_t>(row - 1)];
}

const Worksheet::Cell* Worksheet::cell(int r, int col) const
{
    const auto& cells = row(r);
    if (col < 1 || col > static_cast<int>(cells.size()))
        return nullptr;
    return &cells[static_cast<size_t>(col - 1)];
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

void Worksheet::printPreview() const
{
    PrintPreview::show(*this);
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
    if (row > rowCount())
        m_rows.resize(static_cast<size_t>(row));
    auto& cells = m_rows[static_cast<size_t>(row - 1)];
    if (col > static_cast<int>(cells.size())) {
        const Cell blank{QString(), 0, m_sheetStyle, SpreadsheetValue::Kind::Empty};
        cells.resize(static_cast<size_t>(col), blank);
    }
    return cells[static_cast<size_t>(col - 1)];
}
