#pragma once

#include <QString>
#include <QVariant>

// How a value becomes text when the program shows it or joins it to a text,
// the way the suite always has: numbers in their shortest form with up to 15
// significant digits and the system's decimal separator, no thousands
// separator; dates as day/month/year (with the time only when it has one);
// a null value is the empty text.
QString numberText(double value);
// The same number as a plain decimal, never in exponent form (5E-08 is
// "0.00000005"): up to 15 significant digits, the system's decimal separator.
QString decimalText(double value);
QString valueText(const QVariant& value);
// A figure as the operator reads it on screen: the operator's locale, its
// thousands separator, `decimals` decimals ("13.456,65" under es_AR).
QString operatorFigure(double value, int decimals);
