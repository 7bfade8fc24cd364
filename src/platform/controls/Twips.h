#pragma once

#include <QRect>

// Positions and sizes of the suite's windows are in twips: 15 to a logical
// pixel at the usual 96 dpi.
constexpr int TwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return (twips + (twips >= 0 ? TwipsPerPixel / 2 : -TwipsPerPixel / 2)) / TwipsPerPixel;
}

constexpr int twipsFromPixels(int pixels)
{
    return pixels * TwipsPerPixel;
}

constexpr QRect rectFromTwips(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}
