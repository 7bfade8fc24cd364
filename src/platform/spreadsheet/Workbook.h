#pragma once

#include "platform/spreadsheet/Worksheet.h"

#include <memory>
#include <vector>

// A workbook of the spreadsheet stand-in: its sheets, the first one active.
class Workbook
{
public:
    explicit Workbook(int sheets);

    int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    Worksheet& sheet(int index) { return *m_sheets.at(static_cast<size_t>(index)); }
    const Worksheet& sheet(int index) const { return *m_sheets.at(static_cast<size_t>(index)); }
    Worksheet& activeSheet() { return *m_sheets.front(); }
    const Worksheet& activeSheet() const { return *m_sheets.front(); }

private:
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
};
