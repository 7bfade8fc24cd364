#include "platform/text/PrintableText.h"

namespace {

bool isControl(char16_t c)
{
    if (c == u'\t' || c == u'\n' || c == u'\r')
        return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

QString printableText(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        if (isControl(c.unicode()))
            c = QChar::ReplacementCharacter;
    return out;
}
