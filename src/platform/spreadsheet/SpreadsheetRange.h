#pragma once

#include <QString>

class Worksheet;

// Cells of a sheet as the spreadsheet application's automation reaches them:
// one cell, a rectangle between two cells, or the whole sheet. Setting a
// property sets it on every cell of the range. Values out of the range the
// application takes raise the application's error (RuntimeError 1004), with
// what was refused in its text.
class Range
{
public:
    struct Area
    {
        int top = 0, left = 0, bottom = 0, right = 0; // 1-based, inclusive
        bool wholeSheet = false;
    };

    Range(Worksheet* sheet, Area area) : m_sheet(sheet), m_area(area) {}

    Worksheet& sheet() const { return *m_sheet; }
    const Area& area() const { return m_area; }

    // The text as the application reads it (see SpreadsheetValue).
    void setValue(const QString& text);
    // "General", or "#,##0.00": two decimals, thousands grouped.
    void setNumberFormat(const QString& format);

    class Interior
    {
    public:
        explicit Interior(const Range& range) : m_sheet(range.m_sheet), m_area(range.m_area) {}
        // 24 bits in blue-green-red order, or a system colour.
        void setColor(qint64 value);
        // 1 to 56 of the default palette; None (or 0) for no fill.
        void setColorIndex(int index);

    private:
        Worksheet* m_sheet;
        Area m_area;
    };

    class Font
    {
    public:
        explicit Font(const Range& range) : m_sheet(range.m_sheet), m_area(range.m_area) {}
        void setSize(double points); // 1 to 409
        void setColor(qint64 value);
        void setBold(bool bold);
        // 1 to 56 of the default palette; Automatic (or 0) for automatic.
        void setColorIndex(int index);
        void setName(const QString& name);

    private:
        Worksheet* m_sheet;
        Area m_area;
    };

    class Borders
    {
    public:
        explicit Borders(const Range& range) : m_sheet(range.m_sheet), m_area(range.m_area) {}
        // 1 (continuous) draws a thin line on every edge of every cell of the
        // range; None (-4142) removes them. The stand-in knows no other style.
        void setLineStyle(int style);

    private:
        Worksheet* m_sheet;
        Area m_area;
    };

    Interior interior() const { return Interior(*this); }
    Font font() const { return Font(*this); }
    Borders borders() const { return Borders(*this); }

private:
    Worksheet* m_sheet;
    Area m_area;
};
