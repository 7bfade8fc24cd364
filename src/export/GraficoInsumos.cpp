#include "export/GraficoInsumos.h"

#include "platform/controls/GridModel.h"
#include "platform/text/ValueText.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

const QString& GraficoInsumos::LeyendaCompleto()
{
    static const QString texto = QStringLiteral("estimación completa");
    return texto;
}

const QString& GraficoInsumos::LeyendaFaltante()
{
    static const QString texto = QStringLiteral("con datos faltantes");
    return texto;
}

QString GraficoInsumos::Cifra(double valor, int decimales)
{
    return operatorFigure(valor, decimales);
}

double GraficoInsumos::LeerCifra(const QString& texto, bool* leida)
{
    bool bien = false;
    QLocale local = QLocale::system();
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    double valor = local.toDouble(texto.trimmed(), &bien);
    if (!bien)
        valor = QLocale::c().toDouble(texto.trimmed(), &bien);
    if (leida)
        *leida = bien;
    return bien && std::isfinite(valor) ? valor : 0;
}

const QString& GraficoInsumos::Titulo(Columna columna)
{
    static const QString Titulos[Columnas] = {
        QString(),           QStringLiteral("Insumo"),  QStringLiteral("Descripción"),
        QStringLiteral("PE"), QStringLiteral("Kg"),      QStringLiteral("Líneas"),
        QStringLiteral("Órdenes"), QStringLiteral("Incompletas"), QStringLiteral("Kg incompletos")};
    return Titulos[columna];
}

std::optional<GraficoInsumos::Grafico> GraficoInsumos::DeLosInsumos(std::vector<Barra> materiales,
                                                                    int lineasIncompletas,
                                                                    int mayores)
{
    if (materiales.empty())
        return std::nullopt;
    Grafico g;
    g.barras = std::move(materiales);
    g.insumos = int(g.barras.size());
    for (const Barra& b : g.barras) {
        g.kilos += b.kilos;
        g.kilosIncompletos += b.kilosIncompletos;
    }
    g.primeraFila = g.barras.front().fila;
    g.ultimaFila = g.barras.back().fila;
    g.lineasIncompletas = lineasIncompletas;
    // A single material left over keeps its own bar: "Otros (1 insumos)"
    // would say less than its code.
    if (int(g.barras.size()) > mayores + 1) {
        Barra otros;
        otros.insumos = int(g.barras.size()) - mayores;
        otros.fila = g.barras[size_t(mayores)].fila;
        for (size_t i = size_t(mayores); i < g.barras.size(); ++i) {
            otros.kilos += g.barras[i].kilos;
            otros.kilosIncompletos += g.barras[i].kilosIncompletos;
            otros.lineasIncompletas += g.barras[i].lineasIncompletas;
        }
        otros.codigo = QStringLiteral("Otros (%1 insumos)").arg(otros.insumos);
        g.barras.resize(size_t(mayores));
        g.barras.push_back(otros);
    }
    return g;
}

std::optional<GraficoInsumos::Grafico> GraficoInsumos::DeLosTotales(const GridModel& totales,
                                                                    int mayores)
{
    if (totales.rows() < 2 || totales.cols() < Columnas)
        return std::nullopt;
    for (int c = ColInsumo; c < Columnas; ++c)
        if (totales.text(0, c) != Titulo(Columna(c)))
            return std::nullopt;
    std::vector<Barra> materiales;
    int r = 1;
    // The total row closes the materials (bold, with no description): a
    // material may be coded "Total" too. The totals come heaviest first.
    for (; r < totales.rows(); ++r) {
        const QString codigo = totales.text(r, ColInsumo);
        if (codigo.isEmpty() || (codigo == u"Total" && totales.fontBold(r, ColInsumo) &&
                                 totales.text(r, ColDescripcion).isEmpty()))
            break;
        Barra b;
        b.codigo = codigo;
        b.descripcion = totales.text(r, ColDescripcion);
        b.kilos = LeerCifra(totales.text(r, ColKg));
        b.kilosIncompletos = LeerCifra(totales.text(r, ColKgIncompletos));
        b.lineas = int(LeerCifra(totales.text(r, ColLineas)));
        b.ordenes = int(LeerCifra(totales.text(r, ColOrdenes)));
        b.lineasIncompletas = int(LeerCifra(totales.text(r, ColIncompletas)));
        b.fila = r;
        materiales.push_back(std::move(b));
    }
    const int lineasIncompletas =
        r < totales.rows() ? int(LeerCifra(totales.text(r, ColIncompletas))) : 0;
    return DeLosInsumos(std::move(materiales), lineasIncompletas, mayores);
}

QString GraficoInsumos::Barra::Etiqueta() const
{
    QString texto = Cifra(kilos, 2) + QStringLiteral(" kg");
    // An estimate that lacks a figure adds nothing: the bar says it falls short.
    // The rest's lines are counted per material, a line maybe twice: no number.
    if (otros() && lineasIncompletas > 0)
        texto += QStringLiteral(" (con líneas incompletas)");
    else if (lineasIncompletas == 1)
        texto += QStringLiteral(" (1 línea incompleta)");
    else if (lineasIncompletas > 1)
        texto += QStringLiteral(" (%1 líneas incompletas)").arg(Cifra(lineasIncompletas, 0));
    return texto;
}

QString GraficoInsumos::Grafico::Participacion() const
{
    if (kilos <= 0)
        return {};
    const int cuantos = std::min(3, insumos);
    double mayores = 0;
    // The bars' first three are the heaviest materials ("Otros" comes last).
    for (int i = 0; i < cuantos && i < int(barras.size()); ++i)
        mayores += barras[size_t(i)].kilos;
    const QString porcentaje =
        QLocale::system().toString(std::round(100 * mayores / kilos), 'f', 0);
    if (cuantos == 1)
        return QStringLiteral("1 insumo suma el %1 % de los kilos").arg(porcentaje);
    return QStringLiteral("%1 insumos suman el %2 % de los kilos").arg(cuantos).arg(porcentaje);
}

QString GraficoInsumos::Grafico::Faltantes() const
{
    QStringList partes;
    // Whole kilograms say enough at a glance; below ten the decimals matter.
    if (kilosIncompletos > 0)
        partes << QStringLiteral("%1 kg con datos faltantes")
                      .arg(Cifra(kilosIncompletos, kilosIncompletos < 10 ? 2 : 0));
    if (lineasIncompletas == 1)
        partes << QStringLiteral("1 línea con datos faltantes no suma todos sus kilos");
    else if (lineasIncompletas > 1)
        partes << QStringLiteral("%1 líneas con datos faltantes no suman todos sus kilos")
                      .arg(Cifra(lineasIncompletas, 0));
    return partes.join(QStringLiteral("; "));
}
