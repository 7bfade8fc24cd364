#pragma once

#include <QString>
#include <QtGlobal>

class QLocale;

// A fixed-point amount with four decimals, the suite's currency type.
// Range +/-922,337,203,685,477.5807; anything beyond raises an overflow error.
class Currency
{
public:
    static constexpr qint64 Scale = 10000;

    Currency() = default;
    static Currency fromUnits(qint64 units) { return Currency(units); }
    // Rounds to four decimals, half to even, as the suite's conversions do.
    static Currency fromDouble(double value);

    // Reads the texts an operator or a database field may hold:
    //   blanks around the number are ignored; an optional sign comes first;
    //   "12,50" and "12.50" are both 12.5 (one separator alone is the decimal one);
    //   "1.234,56" and "1,234.56" are both 1234.56 (with both, the last one is the
    //   decimal separator and the other groups thousands);
    //   "1.234.567" is 1234567 (a separator repeated only groups thousands);
    //   an exponent is allowed ("1E-05", "2.5e3");
    //   more than four decimals are rounded half to even.
    // A number beyond the range, however written ("1e300"), raises the
    // overflow error; one too small to show in four decimals is 0.
    // Returns false for anything else (empty text included), leaving `out` alone.
    static bool parse(const QString& text, Currency& out);
    // An amount an operator typed, read as parse reads it. Where the operator's
    // notation groups thousands with the separator that parse takes as the
    // decimal one, and three digits follow it ("1.500" under es_AR, "1,500"
    // under C), the text means two different amounts: Ambiguous, `out` alone.
    enum class Typed
    {
        Amount,
        NotAmount,
        Ambiguous
    };
    static Typed parseTyped(const QString& text, const QLocale& notation, Currency& out);
    // What parse gives for the number's shown text (numberText: 15 significant
    // digits), without writing and reading the text: the same digits, the same
    // rounding, the same overflow error. Infinity and NaN show as no number: 0.
    static Currency fromShownNumber(double value);

    qint64 units() const { return m_units; }
    double toDouble() const { return static_cast<double>(m_units) / Scale; }
    // Plain text: no thousands separators, no trailing zeros, "." as decimal point.
    QString toString() const;
    // The same exact digits with the notation's decimal point, still without
    // grouping, so that parse reads the very same amount back.
    QString toString(const QLocale& notation) const;

    friend bool operator==(Currency a, Currency b) { return a.m_units == b.m_units; }

private:
    explicit Currency(qint64 units) : m_units(units) {}
    qint64 m_units = 0;
};
