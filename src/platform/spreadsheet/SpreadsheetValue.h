#pragma once

#include <QString>

// What a cell holds once a text is assigned to its value, read as the
// spreadsheet application reads it for locale 1033 (English, United States):
// a plain decimal number (optional minus, digits, optionally a point and more
// digits, optionally an exponent such as "E-08") becomes a number; anything
// else stays text. Unlike the application,
// nothing is ever lost or turned into something else:
//   - a number-like code with leading zeros ("000100000010") stays text, so its
//     zeros survive;
//   - a number with more significant digits than a double keeps exactly (15)
//     stays text;
//   - a text starting with "=" is text, never a formula;
//   - control characters follow printableText (a NUL no longer ends the text).
struct SpreadsheetValue
{
    enum class Kind : quint8
    {
        Empty,
        Number,
        Text
    };

    Kind kind = Kind::Empty;
    double number = 0;
    QString text;

    static SpreadsheetValue fromText(const QString& text);
    // Reads `text` as a number by the rule above; false when it is none.
    static bool readNumber(QStringView text, double& out);
};
