#pragma once

#include <QColor>
#include <optional>

// Colours as the spreadsheet application takes them.
namespace spreadsheetPalette {

// ColorIndex values with a meaning of their own.
constexpr int Automatic = -4105;
constexpr int None = -4142;

// Colour k (1 to 56) of the application's default palette; nothing for any
// other index.
std::optional<QColor> indexed(int index);

// A Color value: 24 bits in blue-green-red order, or a system colour
// (0x80000000 plus the system colour's number) as the desktop's defaults
// give it. Nothing for values that are neither.
std::optional<QColor> fromColorValue(qint64 value);

} // namespace spreadsheetPalette
