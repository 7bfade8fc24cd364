#include "platform/spreadsheet/Workbook.h"

Workbook::Workbook(int sheets)
{
    for (int i = 1; i <= sheets; ++i)
        m_sheets.push_back(std::make_unique<Worksheet>(QStringLiteral("Hoja%1").arg(i)));
}
