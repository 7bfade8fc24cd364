#include "report/nucleo/ResumenCarga.h"

#include "platform/text/Currency.h"
#include "platform/text/ValueText.h"
#include "report/nucleo/ResultadoCarga.h"

#include <QLocale>

ResumenCarga ResumenCarga::DelResultado(const ResultadoCarga& resultado)
{
    ResumenCarga resumen;
    resumen.ordenes = resultado.ordenes();
    resumen.lineas = int(resultado.lineas().size());
    resumen.insumos = int(resultado.insumos().size());
    for (const ResultadoCarga::Linea& linea : resultado.lineas())
        resumen.incompletas += linea.incompleta ? 1 : 0;
    for (const ResultadoCarga::Material& m : resultado.materiales()) {
        resumen.kilosDesbordan = resumen.kilosDesbordan || m.desborda ||
                                 __builtin_add_overflow(resumen.kilos, m.kilos, &resumen.kilos);
    }
    if (resumen.kilosDesbordan)
        for (const ResultadoCarga::Insumo& insumo : resultado.insumos())
            resumen.kilosAproximados += Currency::fromUnits(insumo.kilos).toDouble();
    return resumen;
}

QString ResumenCarga::Texto(qint64 milisegundos) const
{
    if (lineas == 0)
        return QStringLiteral("No hay órdenes que cumplan el filtro");
    return QStringLiteral("Órdenes: %1   Líneas: %2   Insumos: %3   Kg: %4   "
                          "Líneas con estimación incompleta: %5   Tiempo: %6 s")
        .arg(Cifra(ordenes, 0), Cifra(lineas, 0), Cifra(insumos, 0),
             kilosDesbordan ? Cifra(kilosAproximados, 2) : Cifra(kilos), Cifra(incompletas, 0),
             Cifra(double(milisegundos) / 1000.0, 2));
}

QString ResumenCarga::Cifra(double valor, int decimales)
{
    return operatorFigure(valor, decimales);
}

namespace {
// The cents of an amount in the currency's units, rounded half away from
// zero on the magnitude, as unsigned, so that the most negative amount fits.
quint64 centavosDe(qint64 unidades)
{
    constexpr qint64 Paso = Currency::Scale / 100;
    const quint64 magnitud = unidades < 0 ? quint64(0) - quint64(unidades) : quint64(unidades);
    return (magnitud + Paso / 2) / Paso;
}
} // namespace

QString ResumenCarga::Cifra(qint64 unidades, bool agrupada)
{
    const QLocale sistema = QLocale::system();
    const quint64 centavos = centavosDe(unidades);
    const QString resto = QString::number(centavos % 100).rightJustified(2, u'0');
    const QString signo = unidades >= 0 || centavos == 0 ? QString()
                          : agrupada                     ? sistema.negativeSign()
                                                         : QStringLiteral("-");
    return signo + (agrupada ? sistema.toString(centavos / 100) : QString::number(centavos / 100)) +
           sistema.decimalPoint() + resto;
}

double ResumenCarga::ComoSeEscribe(qint64 unidades)
{
    const double valor = double(centavosDe(unidades)) / 100;
    return unidades < 0 && valor > 0 ? -valor : valor;
}

QString ResumenCarga::Motivo(const QStringList& faltan, const QStringList& dudosas)
{
    if (faltan.isEmpty() && dudosas.isEmpty())
        return {};
    QStringList partes;
    QStringList medidas = faltan;
    const bool sinPeso = medidas.removeAll(QStringLiteral("peso específico")) > 0;
    const bool sinCantidad = medidas.removeAll(QStringLiteral("cantidad")) > 0;
    if (!medidas.isEmpty())
        partes << QStringLiteral("el artículo no tiene ") +
                      (medidas.size() == 1 ? medidas.first()
                                           : medidas.mid(0, medidas.size() - 1).join(u", ") +
                                                 QStringLiteral(" ni ") + medidas.last());
    if (sinCantidad)
        partes << QStringLiteral("la línea no tiene cantidad");
    if (sinPeso)
        partes << QStringLiteral("el insumo no tiene peso específico");
    if (!dudosas.isEmpty())
        partes << dudosas.join(QStringLiteral(", "));
    QString motivo =
        QStringLiteral("Estimación incompleta: ") + partes.join(QStringLiteral("; ")) + u'.';
    if (!faltan.isEmpty())
        motivo += QStringLiteral(" Lo que falta cuenta como cero en los kilogramos.");
    if (!dudosas.isEmpty())
        motivo += QStringLiteral(" Los kilogramos son los que da la fórmula con esos valores.");
    return motivo;
}
