#pragma once

#include <QColor>

// The suite gives colours as 24-bit numbers in blue-green-red order
// (255 red, 65280 green, 16711680 blue).
inline QColor colorFromSuite(int bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline int suiteFromColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
