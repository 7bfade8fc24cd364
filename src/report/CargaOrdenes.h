#pragma once

#include "components/RangoFiltro.h"
#include "platform/text/RuntimeError.h"

#include <QString>
#include <functional>

class GridModel;
class Recordset;

// The load behind "Cargar": the production orders chosen by the filter ranges
// and their state, one green row per order line with the article's
// dimensions, each followed by the supplies of the article's bill of materials
// with the kilograms the line consumes.
class CargaOrdenes
{
public:
    static constexpr int Verde = 65280;

    struct Opciones
    {
        bool pendientes = false; // "&Pendientes" ticked
        bool finalizada = false; // "&Finalizada" ticked
        QString orden;           // the tag of the chosen "Orden" option, e.g. "{V_MV_Cpte.Fecha}"
    };
    struct Resultado
    {
        int lineas = 0;
        int insumos = 0;
        bool cancelada = false;
    };
    // Told after every order line; returns false to stop the load there.
    using Avance = std::function<bool(int lineas)>;

    // The grid as a load leaves it before the first row: 8 columns, the title
    // row and one empty row.
    static void IniciarGrilla(GridModel& grilla);

    // The WHERE condition: the order type first, then the ranges' condition
    // (when it restricts anything), then the state when exactly one is ticked.
    static QString ArmarCondicion(const QString& filtroRangos, const Opciones& opciones);
    // The order query: the join of the order and order-line views, the
    // condition, and the order the operator chose (its column, then the
    // voucher identifier).
    static QString ArmarConsulta(const QString& condicion, const QString& orden);
    // The bill-of-materials query of one article (its code completed to 25).
    static QString ConsultaInsumos(const QString& codigoCompleto);
    // Kilograms of a supply for an order line: dimensions in millimetres, the
    // specific weight (already doubled for a laminated article), the quantity
    // ordered; computed step by step in double precision.
    static double EstimarKg(double largo, double ancho, double profundo, double pesoEspecifico,
                            double cantidad);

    // Runs the load into `grilla`. A failure propagates with the grid as far
    // as it got; a cancelled load keeps the rows written so far.
    Resultado Cargar(const ListaRangos& rangos, const Opciones& opciones, GridModel& grilla,
                     const Avance& avance = {});

private:
    void escribirLinea(const Recordset& linea, GridModel& grilla);
    int expandirInsumos(const Recordset& linea, GridModel& grilla);
    // The error with the order, the article and (while a supply row is being
    // written) the supply it happened on, so the operator can find the bad value.
    RuntimeError enLaLinea(const RuntimeError& error, const Recordset& linea) const;

    QString m_insumo; // the supply row being written; null between supply rows
};
