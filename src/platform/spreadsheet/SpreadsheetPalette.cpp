#include "platform/spreadsheet/SpreadsheetPalette.h"

#include "platform/spreadsheet/SuiteColor.h"

#include <array>

namespace spreadsheetPalette {

std::optional<QColor> indexed(int index)
{
    static constexpr std::array<QRgb, 56> Palette = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};
    if (index < 1 || index > static_cast<int>(Palette.size()))
        return std::nullopt;
    return QColor::fromRgb(Palette[static_cast<size_t>(index - 1)]);
}

std::optional<QColor> fromColorValue(qint64 value)
{
    if (value >= 0 && value <= 0xFFFFFF)
        return colorFromSuite(static_cast<int>(value));
    // The desktop's classic defaults for the system colours a grid is given.
    static constexpr std::array<QRgb, 25> System = {
        0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000,
        0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D,
        0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xFFFFE1};
    const qint64 system = value & 0xFFFFFFFFLL;
    if ((system & 0xFFFFFF00LL) == 0x80000000LL &&
        (system & 0xFF) < static_cast<qint64>(System.size()))
        return QColor::fromRgb(System[static_cast<size_t>(system & 0xFF)]);
    return std::nullopt;
}

} // namespace spreadsheetPalette
