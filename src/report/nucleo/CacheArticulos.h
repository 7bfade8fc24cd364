#pragma once

#include "platform/text/RuntimeError.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// The dimensions of an article as the lookups give them.
struct MedidasArticulo
{
    QString ancho, largo, profundo;
};

// A supply row of a bill of materials as the load keeps it until its
// article's lines are written: its four texts, one after another in its
// article's run of characters, and the numbers of the estimate. A value that
// could not be read is raised where the row is written, as if read there.
struct InsumoArticulo
{
    double pesoEspecifico = 0; // doubled for a laminated article
    double largo = 0, ancho = 0, profundo = 0;
    quint32 largos[4] = {};    // code, description, quantity, weight
    qint32 error = -1;         // its failure among its article's, or none
    quint8 columnasLeidas = 4; // grid columns 2 to 5 read before a failure
    // The state of its specific weight and its material in the load's typed
    // rows, once a line has written it: the lines after that use them as
    // they are.
    mutable quint8 estadoPeso = 0;
    mutable qint32 material = -1;
};

// An article's bill of materials, read once. One article's rows keep their
// texts in one run, so a row costs its numbers and its characters and an
// article lets go of all of it at once.
struct FilasInsumos
{
    std::vector<InsumoArticulo> filas;
    QString textos;
    std::vector<RuntimeError> errores;

    // The supply codes of its rows, as read.
    QList<QStringView> codigos() const;
    // Grown row by row: kept at their size once complete.
    void ajustar();
};

// What a load knows of the articles its lines name, by the exact text they
// name them with. An article is kept while a line read ahead names it, or
// once more than one line has used it (the next lines may reuse it); one
// that served a single line and that no line read ahead names is let go, so
// with an article per line only the lines read ahead hold their bills of
// materials. An article met again after that is asked again.
class CacheArticulos
{
public:
    struct Articulo
    {
        MedidasArticulo medidas;
        std::shared_ptr<const FilasInsumos> insumos; // null until asked
    };

    void vaciar();
    // A line read ahead names `articulo`.
    void adelantada(const QString& articulo);
    // Null when not known. Stays valid while nothing is added.
    const Articulo* buscar(const QString& articulo) const;
    // What a line or a list brought of `articulo`, as if met for the first time.
    const Articulo& guardar(const QString& articulo, Articulo conocido);
    // The bill of materials of an article already known by its dimensions.
    const Articulo& guardarInsumos(const QString& articulo,
                                   std::shared_ptr<const FilasInsumos> insumos);
    void reservar(qsizetype mas);
    // The line written with `articulo` leaves the lines read ahead.
    void escrita(const QString& articulo);

private:
    struct Entrada
    {
        Articulo articulo;
        int lineas = 0; // lines written with it so far
    };
    QHash<QString, Entrada> m_articulos;
    // How many lines read ahead name each article.
    QHash<QString, int> m_adelantados;
};
