#include "platform/spreadsheet/SpreadsheetStyle.h"

#include <QHashFunctions>

size_t qHash(const CellStyle& s, size_t seed) noexcept
{
    return qHashMulti(seed, s.fill, s.hasFill, s.fontColor, s.fontAutomatic, s.bold, s.borders,
                      s.fontName, s.fontSize, s.numberFormat);
}

StyleTable::StyleTable()
{
    m_fontNames << QStringLiteral("Calibri");
    intern(CellStyle{});
}

quint32 StyleTable::intern(const CellStyle& style)
{
    const auto found = m_ids.constFind(style);
    if (found != m_ids.constEnd())
        return *found;
    const auto id = static_cast<quint32>(m_styles.size());
    m_styles.push_back(style);
    m_ids.insert(style, id);
    return id;
}

quint16 StyleTable::fontNameId(const QString& name)
{
    for (qsizetype i = 0; i < m_fontNames.size(); ++i)
        if (m_fontNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<quint16>(i);
    m_fontNames << name;
    return static_cast<quint16>(m_fontNames.size() - 1);
}
