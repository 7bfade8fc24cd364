#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class ResultadoCarga;

// What a load brought, for the status line under the grid: the orders, their
// lines, the supply rows, the kilograms they add up to and the lines whose
// estimate lacks a figure.
struct ResumenCarga
{
    int ordenes = 0;
    int lineas = 0;
    int insumos = 0;
    // Lines with a supply whose kilograms rest on an empty, negative, zero or
    // unreadable width, length, depth or quantity (of the line) or specific
    // weight (of the supply).
    int incompletas = 0;
    // The currency's units, summed exactly; a sum beyond them is shown from
    // a double, the only figure the line can then give.
    qint64 kilos = 0;
    bool kilosDesbordan = false;
    double kilosAproximados = 0;

    static ResumenCarga DelResultado(const ResultadoCarga& resultado);

    // The status line: the figures and the time taken, or "No hay órdenes que
    // cumplan el filtro" when the load found none. Numbers as the operator's
    // locale writes them.
    QString Texto(qint64 milisegundos) const;
    // A figure as the status line writes it: the operator's locale, with its
    // thousands separator, `decimales` decimals.
    static QString Cifra(double valor, int decimales);
    // An amount in the currency's units the same way (or, `agrupada` false,
    // as the grids write numbers: nothing grouped), with two decimals rounded
    // half away from zero, written from its digits: a double would lose the
    // cents of a large total.
    static QString Cifra(qint64 unidades, bool agrupada = true);
    // The amount Cifra writes, as the double its text reads back to: what is
    // drawn from the typed figures then equals what is drawn from the cells.
    static double ComoSeEscribe(qint64 unidades);

    // The tooltip of an incomplete estimate, naming what is missing and
    // what cannot be a piece's figure.
    static QString Motivo(const QStringList& faltan, const QStringList& dudosas = {});
};
