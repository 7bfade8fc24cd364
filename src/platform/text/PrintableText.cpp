#include "platform/text/PrintableText.h"

#include <algorithm>

namespace {

bool isControl(char16_t c)
{
    if (c == u'\t' || c == u'\n' || c == u'\r')
        return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

QString terminalText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString printableText(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        if (isControl(c.unicode()))
            c = QChar::ReplacementCharacter;
    return out;
}

QString printableText(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isControl(c.unicode()); }))
        return text;
    return printableText(QStringView(text));
}
