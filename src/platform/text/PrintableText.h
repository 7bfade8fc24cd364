#pragma once

#include <QString>
#include <QStringView>

// The one rule for control characters that a database text may carry (NUL
// included) when it goes into a file: an HTML page, a CSV cell, a workbook
// cell or a printed sheet. Tab, line feed and carriage return are kept (a
// description may run over lines); every other C0 control, DEL and the C1
// controls become U+FFFD, the replacement character, so the reader sees that
// something was there and nothing cuts the text short (a workbook cell used
// to end at a NUL).
QString printableText(QStringView text);
// The same, sharing the text itself when it has nothing to replace.
QString printableText(const QString& text);

// A text as it may go to a terminal: every control character (line breaks
// and ESC included, which would end the line or drive the terminal) written
// out as \xNN, the rest as it is.
QString terminalText(QStringView text);
