#pragma once

#include <atomic>

// An export running on a worker thread and the window's thread that watches
// it: how far the worker is (the count shown, and the grid's cell the
// window's thread moves the current cell to, since the worker never touches
// the window's grid), and the operator's cancel, which the worker looks at
// between rows.
struct AvanceExportacion
{
    std::atomic<int> filas{0}; // grid rows copied
    std::atomic<int> fila{-1}, columna{-1};
    // The saving of the workbook: rows written of how many.
    std::atomic<int> escritas{0}, total{0};
    std::atomic<bool> cancelado{false};

    bool Cancelado() const { return cancelado.load(std::memory_order_relaxed); }
    void Celda(int r, int c)
    {
        fila.store(r, std::memory_order_relaxed);
        columna.store(c, std::memory_order_relaxed);
    }
};
