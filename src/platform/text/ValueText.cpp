#include "platform/text/ValueText.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// What QString::number(value, 'g', 15) writes, without its slow search for the
// digits when the value's shortest exact form already has 15 or fewer of them,
// which is nearly every amount a database holds: rounding such a value to 15
// digits gives those same digits back (not so for the tiny subnormal values,
// whose precision is lower).
QString digits15(double value)
{
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        // Whole: its digits, as QString::number writes them, without its
        // locale machinery.
        char whole[24];
        const auto [end, error] =
            std::to_chars(whole, whole + sizeof whole, static_cast<qint64>(value));
        return QString::fromLatin1(whole, end - whole);
    }
    char shortest[32];
    const auto [end, error] =
        std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific);
    const char* e = std::find(shortest, end, 'e');
    if (error != std::errc() || e == end || !std::isnormal(value))
        return QString::number(value, 'g', 15);
    // "-d.ddde±x": the digits without the point, and the exponent.
    const bool negative = shortest[0] == '-';
    char digits[24];
    int count = 0;
    for (const char* c = shortest + (negative ? 1 : 0); c < e && count < 16; ++c)
        if (*c != '.')
            digits[count++] = *c;
    if (count > 15)
        return QString::number(value, 'g', 15);
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    char16_t text[40];
    int n = 0;
    const auto put = [&](char c) { text[n++] = static_cast<char16_t>(c); };
    const auto putDigits = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            put(digits[i]);
    };
    if (negative)
        put('-');
    if (exponent < -4 || exponent >= 15) {
        putDigits(0, 1);
        if (count > 1) {
            put('.');
            putDigits(1, count);
        }
        put('e');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100)
            put(static_cast<char>('0' + magnitude / 100));
        put(static_cast<char>('0' + magnitude / 10 % 10));
        put(static_cast<char>('0' + magnitude % 10));
    } else if (exponent < 0) {
        put('0');
        put('.');
        for (int i = 0; i < -exponent - 1; ++i)
            put('0');
        putDigits(0, count);
    } else if (exponent + 1 >= count) {
        putDigits(0, count);
        for (int i = count; i < exponent + 1; ++i)
            put('0');
    } else {
        putDigits(0, exponent + 1);
        put('.');
        putDigits(exponent + 1, count);
    }
    return QString(reinterpret_cast<const QChar*>(text), n);
}

// The system's decimal point in place of the point of a number's digits. It
// is read once: the system locale is fixed for the life of the process, and
// asking it on every number is costly.
void useSystemPoint(QString& text)
{
    static const QString point = QLocale::system().decimalPoint();
    if (point != QLatin1String(".") && text.contains(QLatin1Char('.')))
        text.replace(QLatin1Char('.'), point);
}

} // namespace

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = digits15(value);
    useSystemPoint(text);
    return text.replace(QLatin1Char('e'), QLatin1Char('E'));
}

QString decimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = digits15(value);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // d.ddde±x, written out with the point moved x places.
        const int exponent = text.mid(e + 1).toInt();
        QString digits = text.left(e);
        const bool negative = digits.startsWith(QLatin1Char('-'));
        if (negative)
            digits.remove(0, 1);
        digits.remove(QLatin1Char('.'));
        const qsizetype point = 1 + exponent;
        if (point <= 0)
            text = QStringLiteral("0.") + QString(-point, QLatin1Char('0')) + digits;
        else if (point >= digits.size())
            text = digits + QString(point - digits.size(), QLatin1Char('0'));
        else
            text = digits.left(point) + QLatin1Char('.') + digits.mid(point);
        if (negative)
            text.prepend(QLatin1Char('-'));
    }
    useSystemPoint(text);
    return text;
}

QString valueText(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default:
        return value.toString();
    }
}

QString operatorFigure(double value, int decimals)
{
    return QLocale::system().toString(value, 'f', decimals);
}
