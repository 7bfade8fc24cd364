#pragma once

#include "platform/text/RuntimeError.h"

#include <QString>

// The number the spreadsheet application gives every failed property or
// method call ("application-defined or object-defined error").
constexpr int SpreadsheetErrorNumber = 1004;

[[noreturn]] inline void throwSpreadsheetError(const QString& description)
{
    throw RuntimeError(SpreadsheetErrorNumber, description, QStringLiteral("Excel"));
}
