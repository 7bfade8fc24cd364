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

} // namespace

ResumenCarga ResumenCarga::DeLaGrilla(const GridModel& grilla)
{
    ResumenCarga resumen;
    if (grilla.cols() < 8)
        return resumen;
    QSet<QString> ordenes;
    bool sinMedidas = false;
    bool lineaIncompleta = false;
    for (int r = grilla.fixedRows(); r < grilla.rows(); ++r) {
        if (grilla.backColor(r, 1) == CargaOrdenes::Verde) {
            ++resumen.lineas;
            ordenes.insert(grilla.text(r, 1));
            sinMedidas = sinValor(grilla.text(r, 5), QStringLiteral("Ancho ")) ||
                         sinValor(grilla.text(r, 6), QStringLiteral("Largo ")) ||
                         sinValor(grilla.text(r, 7), QStringLiteral("Espesor "));
            lineaIncompleta = false;
            continue;
        }
        if (grilla.text(r, 2).isEmpty() || resumen.lineas == 0)
            continue; // the empty row a load leaves at the end
        ++resumen.insumos;
        resumen.kilos += kilosDe(grilla.text(r, 6));
        if (!lineaIncompleta && (sinMedidas || grilla.text(r, 5).trimmed().isEmpty())) {
            lineaIncompleta = true;
            ++resumen.incompletas;
        }
    }
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
