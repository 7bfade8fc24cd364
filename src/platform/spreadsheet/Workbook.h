#pragma once

#include "platform/spreadsheet/Worksheet.h"

#include <memory>
#include <vector>

// A workbook of the spreadsheet stand-in: its sheets, the first one active
// until another is added or activated.
class Workbook
{
public:
    explicit Workbook(int sheets);

    int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    Worksheet& sheet(int index) { return *m_sheets.at(static_cast<size_t>(index)); }
    const Worksheet& sheet(int index) const { return *m_sheets.at(static_cast<size_t>(index)); }
    Worksheet& activeSheet() { return *m_sheets.at(m_active); }
    const Worksheet& activeSheet() const { return *m_sheets.at(m_active); }
    // Worksheets.Add after the last sheet: "HojaN", which becomes the active one.
    Worksheet& addSheet();
    // Sheets(index + 1).Activate.
    void activate(int index);

private:
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    size_t m_active = 0;
};
