#include "platform/text/Currency.h"

#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QLocale>
#include <QRegularExpression>

#include <charconv>
#include <string_view>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

[[noreturn]] void overflow(const QString& what)
{
    throw RuntimeError(ErrorNumber::Overflow,
                       QStringLiteral("Desbordamiento: %1 no cabe en un importe").arg(what),
                       QStringLiteral("Currency"));
}

// The separator a mantissa's decimals follow, null when it has none: one
// separator alone is the decimal one, a repeated one only groups, with both
// the last one is.
QChar decimalSeparator(const QString& m)
{
    const qsizetype lastDot = m.lastIndexOf(QLatin1Char('.'));
    const qsizetype lastComma = m.lastIndexOf(QLatin1Char(','));
    const qsizetype dots = m.count(QLatin1Char('.'));
    const qsizetype commas = m.count(QLatin1Char(','));
    QChar decimal;
    if (dots && commas)
        decimal = lastDot > lastComma ? QLatin1Char('.') : QLatin1Char(',');
    else if (dots == 1)
        decimal = QLatin1Char('.');
    else if (commas == 1)
        decimal = QLatin1Char(',');
    return decimal;
}

// Keeps the digits of a mantissa with its decimal point as "." and no grouping.
bool normaliseMantissa(QString& m)
{
    const QChar decimal = decimalSeparator(m);
    if (!decimal.isNull() && m.count(decimal) > 1)
        return false;
    QString out;
    out.reserve(m.size());
    for (const QChar c : m) {
        // Only the ASCII digits: other scripts' digits would read as nothing.
        // A null `decimal` means there is none, not that NUL is one.
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
        else if (!decimal.isNull() && c == decimal)
            out += QLatin1Char('.');
        else if (c != QLatin1Char('.') && c != QLatin1Char(','))
            return false;
    }
    if (out.isEmpty() || out == QLatin1String("."))
        return false;
    m = out;
    return true;
}

} // namespace

Currency Currency::fromDouble(double value)
{
    const double scaled = value * Scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2233720368547758e18)
        overflow(QString::number(value, 'g', 17));
    return Currency(static_cast<qint64>(std::nearbyint(scaled)));
}

Currency Currency::fromShownNumber(double value)
{
    if (!std::isfinite(value) || value == 0)
        return Currency(0);
    // Below 1e8 the shown text carries at least two digits past the units,
    // and lies within 5.2e-11 x |value| units of value x 10,000 (its 15th
    // digit's half, and the product's rounding): when that product is further
    // than that from a half unit, rounding it gives the text's units. A
    // load's every row comes here; the text is worked out only near a half.
    if (std::fabs(value) < 1e8) {
        const double scaled = value * Scale;
        const double floor = std::floor(scaled);
        const double fraction = scaled - floor;
        if (std::fabs(fraction - 0.5) > 6e-11 * std::fabs(value) + 1e-12)
            return Currency(static_cast<qint64>(fraction < 0.5 ? floor : floor + 1));
    }
    // The 15 significant digits the shown text carries. The shortest text that
    // reads back as the same double is cheap to get; when it has at most 15
    // digits it is what rounding to 15 digits gives (the double lies far
    // closer to it than half a unit of the 15th digit). Otherwise the shown
    // text's own conversion decides.
    char shortest[64];
    const auto written = std::to_chars(shortest, shortest + sizeof shortest, value);
    const std::string_view text(shortest, std::size_t(written.ptr - shortest));
    QByteArray precise;
    std::string_view digitsText = text;
    int exponent = 0;
    if (const auto e = text.find('e'); e != std::string_view::npos) {
        digitsText = text.substr(0, e);
        std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                        exponent);
    }
    const bool negative = text.front() == '-';
    quint64 digits = 0;
    int significant = 0;
    for (const char c : digitsText) {
        if (c < '0' || c > '9')
            continue; // the sign and the point, counted apart
        if (significant > 0 || c != '0') {
            ++significant;
            if (significant <= 17)
                digits = digits * 10 + quint64(c - '0');
        }
    }
    const std::size_t point = digitsText.find('.');
    const int decimals =
        point == std::string_view::npos ? 0 : int(digitsText.size() - point - 1);
    if (significant > 15) {
        precise = QByteArray::number(value, 'e', 14);
        const qsizetype e = precise.indexOf('e');
        digits = 0;
        for (qsizetype k = negative ? 1 : 0; k < e; ++k)
            if (precise.at(k) != '.')
                digits = digits * 10 + quint64(precise.at(k) - '0');
        exponent = precise.mid(e + 1).toInt() - 14;
    } else {
        exponent -= decimals;
    }
    // value = digits x 10^exponent; units are ten-thousandths.
    const int shift = exponent + 4;
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    quint64 units = 0;
    if (shift >= 0) {
        units = digits;
        for (int k = 0; k < shift; ++k) {
            if (units > limit / 10)
                overflow(numberText(value));
            units *= 10;
        }
    } else if (-shift <= 15) {
        quint64 divisor = 1;
        for (int k = 0; k < -shift; ++k)
            divisor *= 10;
        units = digits / divisor;
        const quint64 rest = digits % divisor;
        if (2 * rest > divisor || (2 * rest == divisor && units % 2 != 0))
            ++units;
    }
    if (units > limit)
        overflow(numberText(value));
    return Currency(negative ? static_cast<qint64>(0 - units) : static_cast<qint64>(units));
}

bool Currency::parse(const QString& text, Currency& out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool negative = false;
    if (t.front() == QLatin1Char('-') || t.front() == QLatin1Char('+')) {
        negative = t.front() == QLatin1Char('-');
        t.remove(0, 1);
    }
    QString mantissa = t;
    qint64 exponent = 0;
    const qsizetype e = t.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0) {
        mantissa = t.left(e);
        static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
        const QString power = t.mid(e + 1);
        if (!whole.match(power).hasMatch())
            return false;
        // Far past the range either way; the mantissa decides which end.
        bool ok = false;
        exponent = std::clamp(power.toLongLong(&ok), -100000LL, 100000LL);
        if (!ok)
            exponent = power.startsWith(QLatin1Char('-')) ? -100000 : 100000;
    }
    if (!normaliseMantissa(mantissa))
        return false;

    // Exact decimal arithmetic on the digits: shift the point by the exponent,
    // then round to four decimals half to even.
    qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    QString digits = mantissa;
    if (point < 0)
        point = digits.size();
    else
        digits.remove(point, 1);
    // Compiled once: a pattern made on every call cost more than the parsing.
    static const QRegularExpression significant(QStringLiteral("[1-9]"));
    const qsizetype first = digits.indexOf(significant);
    if (first < 0) {
        out = Currency(0);
        return true;
    }
    // Only where the first significant digit lands matters: more than 15
    // whole digits overflow, beyond the fifth decimal the amount rounds to 0.
    const qint64 lands = static_cast<qint64>(point) + exponent - first;
    if (lands > 15)
        overflow(text.trimmed());
    if (lands < -5) {
        out = Currency(0);
        return true;
    }
    point += exponent;
    while (point < 0) {
        digits.prepend(QLatin1Char('0'));
        ++point;
    }
    while (point > digits.size())
        digits.append(QLatin1Char('0'));
    QString whole = digits.left(point);
    QString fraction = digits.mid(point);
    while (fraction.size() < 5)
        fraction.append(QLatin1Char('0'));
    const QString kept = fraction.left(4);
    const QString rest = fraction.mid(4);

    while (whole.size() > 1 && whole.front() == QLatin1Char('0'))
        whole.remove(0, 1);
    // The magnitude in unsigned arithmetic: the range is one unit wider below zero.
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    const quint64 wholeUnits = whole.isEmpty() ? 0 : whole.toULongLong();
    if (wholeUnits > limit / Scale)
        overflow(text.trimmed());
    quint64 units = wholeUnits * Scale + kept.toULongLong();
    const bool restAboveHalf = rest.front() > QLatin1Char('5') ||
                               (rest.front() == QLatin1Char('5') &&
                                rest.mid(1).contains(significant));
    const bool restIsHalf = rest.front() == QLatin1Char('5') && !restAboveHalf;
    if (restAboveHalf || (restIsHalf && (units % 2) != 0))
        ++units;
    if (units > limit)
        overflow(text.trimmed());
    out = Currency(negative ? static_cast<qint64>(0 - units) : static_cast<qint64>(units));
    return true;
}

Currency::Typed Currency::parseTyped(const QString& text, const QLocale& notation, Currency& out)
{
    QString mantissa = text.trimmed();
    const qsizetype e = mantissa.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0)
        mantissa.truncate(e);
    const QChar decimal = decimalSeparator(mantissa);
    if (!decimal.isNull() && notation.groupSeparator() == QString(decimal)) {
        const QString after = mantissa.mid(mantissa.lastIndexOf(decimal) + 1);
        static const QRegularExpression threeDigits(QStringLiteral("^[0-9]{3}$"));
        if (threeDigits.match(after).hasMatch())
            return Typed::Ambiguous;
    }
    return parse(text, out) ? Typed::Amount : Typed::NotAmount;
}

QString Currency::toString(const QLocale& notation) const
{
    QString s = toString();
    return s.replace(QLatin1Char('.'), notation.decimalPoint());
}

QString Currency::toString() const
{
    // Unsigned: the lowest amount has no positive counterpart in qint64.
    const quint64 magnitude =
        m_units < 0 ? 0 - static_cast<quint64>(m_units) : static_cast<quint64>(m_units);
    QString s = QString::number(magnitude / Scale);
    const quint64 fraction = magnitude % Scale;
    if (fraction) {
        QString f = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return m_units < 0 ? QLatin1Char('-') + s : s;
}
