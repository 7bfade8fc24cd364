#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// How one cell looks: what the automation calls of the export can set.
// Plain data, so that equal formats compare and hash cheaply.
struct CellStyle
{
    QRgb fill = 0;
    bool hasFill = false;
    QRgb fontColor = 0;
    bool fontAutomatic = true; // the application's automatic (black) text
    bool bold = false;
    bool borders = false; // a thin continuous line on every edge
    quint16 fontName = 0; // index into StyleTable::fontNames()
    float fontSize = 11;
    // 0 (General) or the built-in number format the workbook numbers so,
    // which every spreadsheet program shows in its reader's own separators.
    quint8 numberFormat = 0;
    static constexpr quint8 GroupedTwoDecimals = 4; // "#,##0.00"

    friend bool operator==(const CellStyle&, const CellStyle&) = default;
};

size_t qHash(const CellStyle& style, size_t seed = 0) noexcept;

// Every distinct format of a workbook, stored once: cells keep a small id.
// Id 0 is the workbook's default format (Calibri 11, no fill, no borders).
class StyleTable
{
public:
    StyleTable();

    const CellStyle& style(quint32 id) const { return m_styles[id]; }
    quint32 intern(const CellStyle& style);
    int size() const { return static_cast<int>(m_styles.size()); }

    quint16 fontNameId(const QString& name);
    const QString& fontName(quint16 id) const { return m_fontNames.at(id); }

    // The id of `id`'s format changed by `change`.
    template <class Change> quint32 changed(quint32 id, Change&& change)
    {
        CellStyle s = m_styles[id];
        change(s);
        return s == m_styles[id] ? id : intern(s);
    }

private:
    std::vector<CellStyle> m_styles;
    QHash<CellStyle, quint32> m_ids;
    QStringList m_fontNames;
};
