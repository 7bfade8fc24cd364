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
    // Lines with a supply whose kilograms rest on an empty, negative, zero or
    // unreadable width, length, depth or quantity (of the line) or specific
    // weight (of the supply).
    int incompletas = 0;
    double kilos = 0;

    static ResumenCarga DeLaGrilla(const GridModel& grilla);

    // The status line: the figures and the time taken, or "No hay órdenes que
    // cumplan el filtro" when the load found none. Numbers as the operator's
    // locale writes them.
    QString Texto(qint64 milisegundos) const;
    // A figure as the status line writes it: the operator's locale, with its
    // thousands separator, `decimales` decimals.
    static QString Cifra(double valor, int decimales);

    // One supply row of the grid, seen with its order line (the green row
    // above it): the order, the kilograms, the figures the estimate lacks
    // ("ancho", "largo", "espesor", "cantidad", "peso específico") and those
    // it took although no piece has them ("ancho negativo", "espesor 0",
    // "cantidad no numérica"); both empty when the estimate is sound.
    struct Insumo
    {
        int fila = 0;
        int filaLinea = 0;
        QString orden;
        double kilos = 0;
        QStringList faltan;
        QStringList dudosas;
        bool incompleta() const { return !faltan.isEmpty() || !dudosas.isEmpty(); }
    };
    // Walks the grid's supply rows in order; `linea` (may be empty) is told
    // of every order-line row first.
    static void Recorrer(const GridModel& grilla, const std::function<void(const Insumo&)>& insumo,
                         const std::function<void(int fila)>& linea = {});

    // The tooltip of an incomplete estimate, naming what is missing and
    // what cannot be a piece's figure.
    static QString Motivo(const QStringList& faltan, const QStringList& dudosas = {});
    // Notes every supply row's Kg cell whose estimate is incomplete with its
    // reason (and clears the rest), so the view marks them; texts and colours,
    // hence the exports, stay as they are.
    static void MarcarIncompletas(GridModel& grilla);
};
