#pragma once

#include <QString>
#include <optional>
#include <vector>

class GridModel;

// The bars of the kilograms per raw material: the report's core makes them
// from its typed totals for the window's chart, and the workbook's chart, the
// page's bars and the printout read them back from a "Totales por insumo"
// grid; both take the same steps below, so they never disagree. The ten heaviest
// materials get a bar each, in the totals' order (heaviest first); the rest
// share one bar, "Otros (N insumos)". Each bar splits into the kilograms of
// sound estimates and those resting on an estimate that lacks a figure.
namespace GraficoInsumos {

constexpr int Mayores = 10;
// The two parts of a bar, the second lighter: the same in every drawing.
constexpr unsigned ColorCompleto = 0x2f6fa7;
constexpr unsigned ColorFaltante = 0xa8c8e4;
const QString& LeyendaCompleto();
const QString& LeyendaFaltante();

struct Barra
{
    QString codigo;      // "Otros (N insumos)" for the rest
    QString descripcion; // empty for the rest
    double kilos = 0;
    double kilosIncompletos = 0;
    // Of the material; for the rest, unknown (-1): a line may use several.
    int lineas = -1;
    int ordenes = -1;
    int lineasIncompletas = 0; // for the rest too
    int insumos = 1;           // the materials the bar stands for
    int fila = 0;              // the material's row in the totals grid; the first one for the rest
    double kilosCompletos() const { return kilos - kilosIncompletos; }
    bool otros() const { return insumos > 1; }
    // The bar's label: its kilograms in the operator's format, and how many
    // of its lines lack a figure ("1.413,00 kg (3 líneas incompletas)").
    QString Etiqueta() const;
};

struct Grafico
{
    std::vector<Barra> barras;
    int insumos = 0; // materials in the totals
    double kilos = 0;
    double kilosIncompletos = 0;
    // The order lines with an incomplete estimate, from the total row: an
    // estimate that lacks a figure adds no kilograms, so they are told apart.
    int lineasIncompletas = 0;
    int primeraFila = 1; // the totals grid's rows of the materials
    int ultimaFila = 0;
    // The share of the kilograms the (up to) three heaviest materials take:
    // "3 insumos suman el 82 % de los kilos"; empty without kilograms.
    QString Participacion() const;
    // "1.413 kg con datos faltantes", or how many lines could not be
    // estimated at all; empty when every estimate is sound.
    QString Faltantes() const;
};

// The columns of a totals grid, by their titles.
enum Columna
{
    ColMarca = 0,
    ColInsumo = 1,
    ColDescripcion = 2,
    ColKg = 4,
    ColLineas = 5,
    ColOrdenes = 6,
    ColIncompletas = 7,
    ColKgIncompletos = 8,
    Columnas
};
// The title of each column (the first one's is empty), which the totals
// write and by which an export knows a totals grid.
const QString& Titulo(Columna columna);

// The bars of the materials given heaviest first, each with its figures and
// its row in the totals grid, and the order lines whose estimate lacks a
// figure (the total row's count): the ten heaviest keep a bar each, the rest
// share one. Nothing without a material.
std::optional<Grafico> DeLosInsumos(std::vector<Barra> materiales, int lineasIncompletas,
                                    int mayores = Mayores);

// Nothing when the grid is not a totals grid (another grid's export draws no
// chart) or has no material.
std::optional<Grafico> DeLosTotales(const GridModel& totales, int mayores = Mayores);

// A figure in the operator's number format (thousands grouped).
QString Cifra(double valor, int decimales);
// A cell of figures as the totals grid writes it: the system's decimal
// separator, nothing grouped; a point is taken too.
double LeerCifra(const QString& texto, bool* leida = nullptr);

} // namespace GraficoInsumos
