#pragma once

#include <QString>

class GridModel;

// What a load left in the result grid, counted from the grid itself, for the
// status line under it: the orders, their lines, the supply rows, the
// kilograms they add up to and the lines whose estimate lacks a figure.
struct ResumenCarga
{
    int ordenes = 0;
    int lineas = 0;
    int insumos = 0;
    // Lines with a supply whose kilograms rest on an empty width, length,
    // depth (of the line's article) or specific weight (of the supply).
    int incompletas = 0;
    double kilos = 0;

    static ResumenCarga DeLaGrilla(const GridModel& grilla);

    // The status line: the figures and the time taken, or "No hay órdenes que
    // cumplan el filtro" when the load found none. Numbers as the operator's
    // locale writes them.
    QString Texto(qint64 milisegundos) const;
};
