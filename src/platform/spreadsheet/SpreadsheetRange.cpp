#include "platform/spreadsheet/SpreadsheetRange.h"

#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/SpreadsheetPalette.h"
#include "platform/spreadsheet/Worksheet.h"

namespace {

QRgb colorValue(qint64 value, const char16_t* property)
{
    const auto color = spreadsheetPalette::fromColorValue(value);
    if (!color)
        throwSpreadsheetError(QStringLiteral("No se puede asignar %1 = %2: no es un color")
                                  .arg(QStringView(property))
                                  .arg(value));
    return color->rgb();
}

} // namespace

void Range::setValue(const QString& text)
{
    m_sheet->setValue(m_area, text);
}

void Range::setNumberFormat(const QString& format)
{
    quint8 id = 0;
    if (format == u"#,##0.00")
        id = CellStyle::GroupedTwoDecimals;
    else if (format.compare(u"General", Qt::CaseInsensitive) != 0)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar NumberFormat = «%1»: formato no admitido")
                .arg(format));
    m_sheet->restyle(m_area, [id](CellStyle& s) { s.numberFormat = id; });
}

void Range::Interior::setColor(qint64 value)
{
    const QRgb rgb = colorValue(value, u"Interior.Color");
    m_sheet->restyle(m_area, [rgb](CellStyle& s) {
        s.fill = rgb;
        s.hasFill = true;
    });
}

void Range::Interior::setColorIndex(int index)
{
    if (index == spreadsheetPalette::None || index == 0) {
        m_sheet->restyle(m_area, [](CellStyle& s) {
            s.hasFill = false;
            s.fill = 0;
        });
        return;
    }
    const auto color = spreadsheetPalette::indexed(index);
    if (!color)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar Interior.ColorIndex = %1: la paleta va de 1 a 56")
                .arg(index));
    const QRgb rgb = color->rgb();
    m_sheet->restyle(m_area, [rgb](CellStyle& s) {
        s.fill = rgb;
        s.hasFill = true;
    });
}

void Range::Font::setSize(double points)
{
    if (!(points >= 1 && points <= 409))
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar Font.Size = %1: el tamaño va de 1 a 409 puntos")
                .arg(points));
    const auto size = static_cast<float>(points);
    m_sheet->restyle(m_area, [size](CellStyle& s) { s.fontSize = size; });
}

void Range::Font::setColor(qint64 value)
{
    const QRgb rgb = colorValue(value, u"Font.Color");
    m_sheet->restyle(m_area, [rgb](CellStyle& s) {
        s.fontColor = rgb;
        s.fontAutomatic = false;
    });
}

void Range::Font::setBold(bool bold)
{
    m_sheet->restyle(m_area, [bold](CellStyle& s) { s.bold = bold; });
}

void Range::Font::setColorIndex(int index)
{
    // 0 is taken as automatic, as the suite's programs have always passed it.
    if (index == spreadsheetPalette::Automatic || index == 0) {
        m_sheet->restyle(m_area, [](CellStyle& s) {
            s.fontAutomatic = true;
            s.fontColor = 0;
        });
        return;
    }
    const auto color = spreadsheetPalette::indexed(index);
    if (!color)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar Font.ColorIndex = %1: la paleta va de 1 a 56")
                .arg(index));
    const QRgb rgb = color->rgb();
    m_sheet->restyle(m_area, [rgb](CellStyle& s) {
        s.fontColor = rgb;
        s.fontAutomatic = false;
    });
}

void Range::Font::setName(const QString& name)
{
    if (name.trimmed().isEmpty() || name.size() > 31)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar Font.Name = «%1»: nombre de fuente no válido")
                .arg(name));
    const quint16 id = m_sheet->styleTable().fontNameId(name);
    m_sheet->restyle(m_area, [id](CellStyle& s) { s.fontName = id; });
}

void Range::Borders::setLineStyle(int style)
{
    constexpr int Continuous = 1;
    if (style != Continuous && style != spreadsheetPalette::None)
        throwSpreadsheetError(
            QStringLiteral("No se puede asignar Borders.LineStyle = %1: solo se admiten 1 "
                           "(continua) y -4142 (ninguna)")
                .arg(style));
    const bool on = style == Continuous;
    m_sheet->restyle(m_area, [on](CellStyle& s) { s.borders = on; });
}
