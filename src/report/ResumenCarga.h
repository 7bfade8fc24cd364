#pragma once

#include <QString>
#include <QStringList>
#include <functional>

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

    // One supply row of the grid, seen with its order line (the green row
    // above it): the order, the kilograms and the figures the estimate lacks
    // ("ancho", "largo", "espesor", "peso específico"; empty when complete).
    struct Insumo
    {
        int fila = 0;
        int filaLinea = 0;
        QString orden;
        double kilos = 0;
        QStringList faltan;
    };
    // Walks the grid's supply rows in order; `linea` (may be empty) is told
    // of every order-line row first.
    static void Recorrer(const GridModel& grilla, const std::function<void(const Insumo&)>& insumo,
                         const std::function<void(int fila)>& linea = {});

    // The tooltip of an incomplete estimate, naming what is missing.
    static QString Motivo(const QStringList& faltan);
    // Notes every supply row's Kg cell whose estimate is incomplete with its
    // reason (and clears the rest), so the view marks them; texts and colours,
    // hence the exports, stay as they are.
    static void MarcarIncompletas(GridModel& grilla);
};
