#include "report/ResumenCarga.h"

#include "platform/controls/GridModel.h"
#include "report/CargaOrdenes.h"

#include <QLocale>
#include <QSet>

namespace {

// The kilograms as the load wrote them: the system's decimal separator, or
// a point from a grid filled elsewhere.
double kilosDe(const QString& texto)
{
    bool leido = false;
    const double kilos = QLocale::system().toDouble(texto.trimmed(), &leido);
    return leido ? kilos : QLocale::c().toDouble(texto.trimmed());
}

// An order-line cell holds its label ("Ancho ") and the value after it.
bool sinValor(const QString& celda, const QString& etiqueta)
{
    return celda.mid(etiqueta.size()).trimmed().isEmpty();
}

constexpr int ColumnaKg = 6;

} // namespace

void ResumenCarga::Recorrer(const GridModel& grilla,
                            const std::function<void(const Insumo&)>& insumo,
                            const std::function<void(int fila)>& linea)
{
    if (grilla.cols() < 8)
        return;
    QStringList faltanLinea;
    Insumo actual;
    bool hayLinea = false;
    for (int r = grilla.fixedRows(); r < grilla.rows(); ++r) {
        if (grilla.backColor(r, 1) == CargaOrdenes::Verde) {
            hayLinea = true;
            actual.filaLinea = r;
            actual.orden = grilla.text(r, 1);
            faltanLinea.clear();
            if (sinValor(grilla.text(r, 5), QStringLiteral("Ancho ")))
                faltanLinea << QStringLiteral("ancho");
            if (sinValor(grilla.text(r, 6), QStringLiteral("Largo ")))
                faltanLinea << QStringLiteral("largo");
            if (sinValor(grilla.text(r, 7), QStringLiteral("Espesor ")))
                faltanLinea << QStringLiteral("espesor");
            if (linea)
                linea(r);
            continue;
        }
        if (grilla.text(r, 2).isEmpty() || !hayLinea)
            continue; // the empty row a load leaves at the end
        actual.fila = r;
        actual.kilos = kilosDe(grilla.text(r, ColumnaKg));
        actual.faltan = faltanLinea;
        if (grilla.text(r, 5).trimmed().isEmpty())
            actual.faltan << QStringLiteral("peso específico");
        insumo(actual);
    }
}

ResumenCarga ResumenCarga::DeLaGrilla(const GridModel& grilla)
{
    ResumenCarga resumen;
    QSet<QString> ordenes;
    int incompletaContada = -1; // the line last counted as incomplete
    Recorrer(
        grilla,
        [&](const Insumo& s) {
            ++resumen.insumos;
            resumen.kilos += s.kilos;
            if (!s.faltan.isEmpty() && incompletaContada != s.filaLinea) {
                incompletaContada = s.filaLinea;
                ++resumen.incompletas;
            }
        },
        [&](int fila) {
            ++resumen.lineas;
            ordenes.insert(grilla.text(fila, 1));
        });
    resumen.ordenes = int(ordenes.size());
    return resumen;
}

QString ResumenCarga::Texto(qint64 milisegundos) const
{
    if (lineas == 0)
        return QStringLiteral("No hay órdenes que cumplan el filtro");
    const QLocale local = QLocale::system();
    return QStringLiteral("Órdenes: %1   Líneas: %2   Insumos: %3   Kg: %4   "
                          "Líneas con estimación incompleta: %5   Tiempo: %6 s")
        .arg(local.toString(ordenes), local.toString(lineas), local.toString(insumos),
             local.toString(kilos, 'f', 2), local.toString(incompletas),
             local.toString(double(milisegundos) / 1000.0, 'f', 2));
}

QString ResumenCarga::Motivo(const QStringList& faltan)
{
    if (faltan.isEmpty())
        return {};
    QStringList partes;
    QStringList medidas = faltan;
    const bool sinPeso = medidas.removeAll(QStringLiteral("peso específico")) > 0;
    if (!medidas.isEmpty())
        partes << QStringLiteral("el artículo no tiene ") +
                      (medidas.size() == 1 ? medidas.first()
                                           : medidas.mid(0, medidas.size() - 1).join(u", ") +
                                                 QStringLiteral(" ni ") + medidas.last());
    if (sinPeso)
        partes << QStringLiteral("el insumo no tiene peso específico");
    return QStringLiteral("Estimación incompleta: ") + partes.join(QStringLiteral("; ")) +
           QStringLiteral(". Lo que falta cuenta como cero en los kilogramos.");
}

void ResumenCarga::MarcarIncompletas(GridModel& grilla)
{
    if (grilla.cols() <= ColumnaKg)
        return;
    for (int r = grilla.fixedRows(); r < grilla.rows(); ++r)
        if (!grilla.note(r, ColumnaKg).isEmpty())
            grilla.setNote(r, ColumnaKg, QString());
    Recorrer(grilla, [&](const Insumo& s) {
        if (!s.faltan.isEmpty())
            grilla.setNote(s.fila, ColumnaKg, Motivo(s.faltan));
    });
}
