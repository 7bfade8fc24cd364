#pragma once

#include "platform/text/RuntimeError.h"

// The list-view and image-list controls report their faults with the numbers
// the suite's common controls always used, so handlers and logs read alike.
namespace ListErrorNumber {
constexpr int IndexOutOfBounds = 35600;
constexpr int KeyNotUnique = 35602;
constexpr int InvalidProperty = 380;
} // namespace ListErrorNumber

inline RuntimeError listIndexOutOfBounds(int index, int count, const QString& source)
{
    return RuntimeError(
        ListErrorNumber::IndexOutOfBounds,
        QStringLiteral("Índice fuera de los límites: %1 (hay %2)").arg(index).arg(count), source);
}
