#include "platform/spreadsheet/Workbook.h"

#include <algorithm>

Workbook::Workbook(int sheets)
{
    for (int i = 1; i <= sheets; ++i)
        m_sheets.push_back(std::make_unique<Worksheet>(QStringLiteral("Hoja%1").arg(i)));
}

Worksheet& Workbook::addSheet()
{
    m_sheets.push_back(
        std::make_unique<Worksheet>(QStringLiteral("Hoja%1").arg(m_sheets.size() + 1)));
    m_active = m_sheets.size() - 1;
    return *m_sheets.back();
}

void Workbook::activate(int index)
{
    m_active = static_cast<size_t>(std::clamp<int>(index, 0, sheetCount() - 1));
}
