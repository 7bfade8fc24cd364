#include "platform/spreadsheet/SpreadsheetValue.h"

#include "platform/text/PrintableText.h"

#include <charconv>

namespace {

constexpr int SignificantDigits = 15;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool SpreadsheetValue::readNumber(QStringView text, double& out)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (i < n && text[i] == QLatin1Char('-'))
        ++i;
    const qsizetype wholeStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    const qsizetype wholeEnd = i;
    if (wholeEnd == wholeStart)
        return false;
    qsizetype fractionStart = i;
    qsizetype fractionEnd = i;
    if (i < n && text[i] == QLatin1Char('.')) {
        fractionStart = ++i;
        while (i < n && isDigit(text[i]))
            ++i;
        fractionEnd = i;
        if (fractionEnd == fractionStart)
            return false;
    }
    // "5E-08", "1.5e+3": the exponent form the application reads as a number.
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        const qsizetype exponentStart = i;
        while (i < n && isDigit(text[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    if (i != n)
        return false;
    // "0" and "0.5" are numbers; "007" is a code.
    if (wholeEnd - wholeStart > 1 && text[wholeStart] == QLatin1Char('0'))
        return false;

    qsizetype firstSignificant = wholeStart;
    while (firstSignificant < wholeEnd && text[firstSignificant] == QLatin1Char('0'))
        ++firstSignificant;
    qsizetype significant = wholeEnd - firstSignificant;
    qsizetype lastSignificant = fractionEnd;
    while (lastSignificant > fractionStart && text[lastSignificant - 1] == QLatin1Char('0'))
        --lastSignificant;
    if (significant == 0) {
        qsizetype j = fractionStart;
        while (j < lastSignificant && text[j] == QLatin1Char('0'))
            ++j;
        significant = lastSignificant - j;
    } else {
        significant += lastSignificant - fractionStart;
    }
    if (significant > SignificantDigits)
        return false;

    char buffer[64];
    if (n >= static_cast<qsizetype>(sizeof buffer))
        return false;
    for (qsizetype k = 0; k < n; ++k)
        buffer[k] = static_cast<char>(text[k].unicode());
    double value = 0;
    // Out of a double's range either way ("1E400", "1E-400") is no number.
    const auto result = std::from_chars(buffer, buffer + n, value);
    if (result.ec != std::errc() || result.ptr != buffer + n)
        return false;
    out = value == 0 ? 0.0 : value; // no "-0"
    return true;
}

SpreadsheetValue SpreadsheetValue::fromText(const QString& text)
{
    SpreadsheetValue v;
    if (text.isEmpty())
        return v;
    if (readNumber(text, v.number)) {
        v.kind = Kind::Number;
        return v;
    }
    v.kind = Kind::Text;
    v.text = printableText(text);
    return v;
}
