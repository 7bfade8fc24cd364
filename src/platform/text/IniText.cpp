#include "platform/text/IniText.h"

#include "platform/text/Cp1252.h"
#include "platform/text/RuntimeError.h"

#include <QList>
#include <QStringDecoder>

namespace {

QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool isSection(const QString& line)
{
    return line.trimmed().startsWith(u'[');
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where the value of a key line starts and ends (blanks around it left out).
struct ValueSpan
{
    qsizetype start, end;
};

ValueSpan valueSpan(const QString& line)
{
    qsizetype start = line.indexOf(u'=') + 1;
    qsizetype end = line.size();
    while (start < end && line.at(start).isSpace())
        ++start;
    while (end > start && line.at(end - 1).isSpace())
        --end;
    return {start, end};
}

bool quoted(QStringView v)
{
    return v.size() >= 2 && v.front() == u'"' && v.back() == u'"';
}

QString unquoted(QStringView v)
{
    return (quoted(v) ? v.mid(1, v.size() - 2) : v).toString();
}

} // namespace

IniText::IniText(QByteArray bytes) : m_bytes(std::move(bytes))
{
    if (m_bytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16Le;
        m_unit = 2;
        m_bom = 2;
    } else if (m_bytes.startsWith("\xFE\xFF")) {
        m_encoding = Encoding::Utf16Be;
        m_unit = 2;
        m_bom = 2;
    } else if (m_bytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8;
        m_bom = 3;
    }
}

QList<IniText::Line> IniText::lines() const
{
    const auto unitAt = [&](qsizetype i) -> char16_t {
        const auto b = [&](qsizetype k) { return static_cast<unsigned char>(m_bytes.at(k)); };
        if (m_encoding == Encoding::Utf16Le)
            return static_cast<char16_t>(b(i) | b(i + 1) << 8);
        if (m_encoding == Encoding::Utf16Be)
            return static_cast<char16_t>(b(i) << 8 | b(i + 1));
        return b(i);
    };
    const auto decode = [&](qsizetype from, qsizetype to) {
        const QByteArray part = m_bytes.mid(from, to - from);
        switch (m_encoding) {
        case Encoding::CodePage:
            return fromCp1252(part);
        case Encoding::Utf8: {
            // fromUtf8 would drop a U+FEFF that starts a line, and writing
            // that line back would lose its bytes.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
            return QString(utf8(part));
        }
        default: {
            QString s;
            for (qsizetype i = from; i + 1 < to; i += 2)
                s += QChar(unitAt(i));
            return s;
        }
        }
    };

    QList<Line> out;
    // A trailing odd byte of a UTF-16 file is no character: it is left as it is.
    const qsizetype size = m_bytes.size() - (m_bytes.size() - m_bom) % m_unit;
    qsizetype start = m_bom;
    for (qsizetype i = m_bom; i < size; i += m_unit) {
        if (unitAt(i) != u'\n')
            continue;
        const qsizetype end = i > start && unitAt(i - m_unit) == u'\r' ? i - m_unit : i;
        out.append({start, end, i + m_unit, decode(start, end)});
        start = i + m_unit;
    }
    if (start < size)
        out.append({start, size, size, decode(start, size)});
    return out;
}

IniText::Found IniText::find(const QList<Line>& lines, const QString& section,
                             const QString& key) const
{
    Found found;
    bool inside = false;
    bool first = false; // inside the first section of that name
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& t = lines.at(i).text;
        if (isSection(t)) {
            inside = sameName(sectionName(t), section);
            first = inside && !found.section;
            if (first)
                found.section = i;
            continue;
        }
        if (!inside)
            continue;
        // A key is added after the last line of the section that holds
        // something, ahead of the blank lines before the next section.
        if (first && !t.trimmed().isEmpty())
            found.section = i;
        const qsizetype equal = t.indexOf(u'=');
        if (equal >= 0 && !found.key && sameName(t.left(equal).trimmed(), key))
            found.key = i;
    }
    return found;
}

std::optional<QString> IniText::value(const QString& section, const QString& key) const
{
    const QList<Line> all = lines();
    const Found found = find(all, section.trimmed(), key.trimmed());
    if (!found.key)
        return std::nullopt;
    const QString& t = all.at(*found.key).text;
    const ValueSpan v = valueSpan(t);
    return unquoted(QStringView(t).mid(v.start, v.end - v.start));
}

QByteArray IniText::encode(const QString& text) const
{
    switch (m_encoding) {
    case Encoding::CodePage:
        return toCp1252(text);
    case Encoding::Utf8:
        return text.toUtf8();
    default: {
        QByteArray out;
        out.reserve(text.size() * 2);
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
            if (m_encoding == Encoding::Utf16Le)
                out.append(low).append(high);
            else
                out.append(high).append(low);
        }
        return out;
    }
    }
}

qsizetype IniText::equalByte(const Line& line) const
{
    // "=" is one unit in every encoding here, and no byte of a UTF-8
    // sequence (nor a stray byte, which reads as U+FFFD) can be one.
    for (qsizetype i = line.start; i + m_unit <= line.end; i += m_unit) {
        const char low = m_bytes.at(m_encoding == Encoding::Utf16Be ? i + 1 : i);
        const char high = m_unit == 2 ? m_bytes.at(m_encoding == Encoding::Utf16Be ? i : i + 1) : 0;
        if (low == '=' && high == 0)
            return i;
    }
    return line.end;
}

QString IniText::lineBreak(const QList<Line>& lines) const
{
    for (const Line& l : lines)
        if (l.next > l.end)
            return l.next - l.end > m_unit ? QStringLiteral("\r\n") : QStringLiteral("\n");
    // The workstations' own line break for a file that has none yet.
    return QStringLiteral("\r\n");
}

void IniText::checkStorable(const QString& section, const QString& key, const QString& value) const
{
    const auto refuse = [&](const QString& why) {
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           QStringLiteral("No se puede guardar \"%1\" en la sección \"%2\": %3")
                               .arg(key, section, why),
                           QStringLiteral("CompIni"));
    };
    const auto oneLine = [](const QString& t) {
        return !t.contains(u'\n') && !t.contains(u'\r') && !t.contains(QChar(0));
    };
    if (!oneLine(value))
        refuse(QStringLiteral("el valor no puede ocupar más de una línea"));
    if (!oneLine(key) || !oneLine(section))
        refuse(QStringLiteral("un nombre no puede ocupar más de una línea"));
    // Written, these would read back as another key or another section.
    if (key.contains(u'=') || key.trimmed().startsWith(u'['))
        refuse(QStringLiteral("el nombre de la clave no puede llevar \"=\" ni empezar con \"[\""));
    if (section.contains(u']'))
        refuse(QStringLiteral("el nombre de la sección no puede llevar \"]\""));
    if (m_encoding == Encoding::CodePage) {
        for (const QString* t : {&section, &key, &value})
            if (fromCp1252(toCp1252(*t)) != *t)
                refuse(QStringLiteral("el archivo está en la página de códigos Windows-1252, "
                                      "que no tiene todos sus caracteres"));
    }
}

bool IniText::setValue(const QString& anySection, const QString& anyKey, const QString& value)
{
    checkStorable(anySection, anyKey, value);
    // Names are compared and written without their surrounding blanks, as
    // they are read from the file.
    const QString section = anySection.trimmed();
    const QString key = anyKey.trimmed();
    // Written so that it reads back as given.
    const bool quote = quoted(value) || (!value.isEmpty() && (value.front().isSpace() ||
                                                              value.back().isSpace()));
    QString stored = quote ? u'"' + value + u'"' : value;

    const QList<Line> all = lines();
    const Found found = find(all, section, key);
    const QString eol = lineBreak(all);
    if (found.key) {
        const Line& line = all.at(*found.key);
        const ValueSpan v = valueSpan(line.text);
        const QStringView old = QStringView(line.text).mid(v.start, v.end - v.start);
        if (unquoted(old) == value)
            return false;
        if (quoted(old) && !quote)
            stored = u'"' + value + u'"';
        // Only what follows the "=" is written anew: the bytes of the key
        // stay as they are even where they are no valid text (re-encoded,
        // a stray byte of a UTF-8 file would become three).
        const qsizetype equal = line.text.indexOf(u'=');
        const QString text =
            line.text.mid(equal + 1, v.start - equal - 1) + stored + line.text.mid(v.end);
        const qsizetype from = equalByte(line) + m_unit;
        m_bytes.replace(from, line.end - from, encode(text));
        return true;
    }
    const QString pair = key + u'=' + stored;
    if (found.section) {
        const Line& after = all.at(*found.section);
        if (after.next > after.end)
            m_bytes.insert(after.next, encode(pair + eol));
        else
            m_bytes.insert(after.end, encode(eol + pair));
        return true;
    }
    const bool open = !all.isEmpty() && all.last().next == all.last().end;
    const QByteArray added = encode((open ? eol : QString()) + u'[' + section + u']' + eol + pair + eol);
    const qsizetype at = all.isEmpty() ? m_bom : all.last().next;
    m_bytes.insert(at, added);
    return true;
}
