#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <vector>

class GridModel;

// What a load found, as numbers beside the grid's texts: each order line and
// supply row by its grid row, its order, its material and its kilograms in
// the currency's fixed point, with what its estimate lacks. Built as the rows
// are written, so that the figures, the marks, the totals and the way from a
// material to its lines are ready when the last row is read; nothing here
// reads a cell back.
class ResultadoCarga
{
public:
    // How one figure of the estimate came: sound, or what is wrong with it.
    enum class Estado : std::uint8_t
    {
        Bien,
        Falta,    // empty: counts as zero
        Cero,     // reads as 0
        Negativo, // below 0
        NoNumero  // no amount at all
    };
    // The figures of a line, in the order a message names them.
    enum Figura
    {
        Ancho,
        Largo,
        Espesor,
        Cantidad,
        FigurasDeLinea
    };

    struct Linea
    {
        int fila = 0;
        int orden = 0;           // among the distinct orders (see cerrar)
        int corrida = 0;         // its run of lines of one order
        int insumos = 0;         // its supply rows, right under it
        bool incompleta = false; // some supply's estimate lacks a figure
        bool figuraDudosa = false; // some of its own figures is not sound
        Estado estados[FigurasDeLinea] = {};
    };
    struct Insumo
    {
        int fila = 0;
        int linea = 0;    // index among the lines
        int material = 0; // index among the materials
        qint64 kilos = 0; // the currency's units
        Estado peso = Estado::Bien;
    };
    // A supply code as the grid shows it; the description and specific
    // weight of the first row that had them.
    struct Material
    {
        QString codigo, descripcion, pesoEspecifico;
        qint64 kilos = 0, kilosIncompletos = 0;
        int incompletas = 0;     // lines whose estimate of it is incomplete
        std::vector<int> lineas; // the lines that use it, each once, in grid order
        bool desborda = false;   // its kilograms sum beyond the currency's range
        bool sinPeso = true;     // no row has given a specific weight yet
        int ultimaIncompleta = -1;
    };

    // Told by the load, row by row. `texto` of a figure is the value as its
    // cell shows it (without the cell's label).
    // `ordenNueva` when the line's order is not the line before's: the lines
    // of an order come together, so orders are told apart only once, by
    // their texts in the grid, when the load ends (see cerrar).
    void agregarLinea(int fila, bool ordenNueva, QStringView cantidad, QStringView ancho,
                      QStringView largo, QStringView espesor);
    // The material of a supply code as read (the grid shows it, and the
    // totals group it, trimmed), made with its description when new. A load
    // keeps it with the supply row it read, so a row met again on later lines
    // is not looked up again.
    int material(const QString& codigo, QStringView descripcion);
    // `estadoPeso` is estadoDe(peso), which the load keeps with the row too.
    void agregarInsumo(int fila, int material, QStringView peso, Estado estadoPeso, double kilos);
    // Drops what lies at or below `filas` rows of the grid: the open line a
    // cancel left empty.
    void recortar(int filas);

    const std::vector<Linea>& lineas() const { return m_lineas; }
    const std::deque<Insumo>& insumos() const { return m_insumos; }
    const std::vector<Material>& materiales() const { return m_materiales; }
    int ordenes() const { return m_ordenes; }
    // Once the load has ended (or been cut short), numbers the orders by
    // their texts in the grid's order column, in the order first met, an
    // order met twice once; the load does it as it ends, and again after a cut.
    void cerrar(const GridModel& grilla);
    bool incompleta(const Insumo& insumo) const;

    // The figures the estimate lacks ("ancho", "peso específico") and those it
    // took although no piece has them ("ancho negativo", "espesor 0").
    void motivos(const Insumo& insumo, QStringList& faltan, QStringList& dudosas) const;
    // How a figure's text reads for the estimate.
    static Estado estadoDe(QStringView texto);

    // Notes every supply row's Kg cell whose estimate is incomplete with its
    // reason, so the view marks them; texts and colours stay as they are.
    void marcarIncompletas(GridModel& grilla) const;

private:
    void sumarAlMaterial(const Insumo& insumo);

    std::vector<Linea> m_lineas;
    // Blocks of rows: a big load's rows are never moved to grow it.
    std::deque<Insumo> m_insumos;
    std::vector<Material> m_materiales;
    QHash<QString, int> m_materialDe;
    // The material of a code as read, found without trimming it again: a big
    // load meets each code thousands of times.
    QHash<QString, int> m_materialLeido;
    int m_ordenes = 0;
};
