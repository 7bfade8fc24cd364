#include "platform/text/ValueText.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    const QString point = QLocale::system().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
    return text.replace(QLatin1Char('e'), QLatin1Char('E'));
}

QString decimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
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
    const QString point = QLocale::system().decimalPoint();
    if (point != QLatin1String("."))
        text.replace(QLatin1Char('.'), point);
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
