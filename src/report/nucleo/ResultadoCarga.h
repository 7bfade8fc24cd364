#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
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
        int orden = 0;           // among the distinct orders, in the order met
        int insumos = 0;         // its supply rows, right under it
        bool incompleta = false; // some supply's estimate lacks a figure
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
        int ultimaIncompleta = -1;
    };

    // Told by the load, row by row. `texto` of a figure is the value as its
    // cell shows it (without the cell's label).
    void agregarLinea(int fila, const QString& orden, const QString& cantidad, const QString& ancho,
                      const QString& largo, const QString& espesor);
    // `codigo` as read: the grid shows it, and the totals group it, trimmed.
    void agregarInsumo(int fila, const QString& codigo, QStringView descripcion, QStringView peso,
                       double kilos);
    // Drops what lies at or below `filas` rows of the grid: the open line a
    // cancel left empty.
    void recortar(int filas);

    const std::vector<Linea>& lineas() const { return m_lineas; }
    const std::vector<Insumo>& insumos() const { return m_insumos; }
    const std::vector<Material>& materiales() const { return m_materiales; }
    int ordenes() const { return int(m_ordenes.size()); }
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
    std::vector<Insumo> m_insumos;
    std::vector<Material> m_materiales;
    QHash<QString, int> m_materialDe;
    // The material of a code as read, found without trimming it again: a big
    // load meets each code thousands of times.
    QHash<QString, int> m_materialLeido;
    QHash<QString, int> m_ordenes;
    // The line whose estimates are figured for the lines after it with the
    // same texts: most lines of a big load repeat their article's figures.
    QString m_figurasLeidas[FigurasDeLinea];
};
