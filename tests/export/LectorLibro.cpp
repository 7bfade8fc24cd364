#include "LectorLibro.h"

#include "LectorAnfitrion.h"

#include <QJsonDocument>
#include <QtTest>

namespace lectorLibro {

namespace {

QJsonObject ejecutar(const QStringList& argumentos)
{
    const soporte::Lectura l = soporte::leerEnAnfitrion(
        QStringLiteral(RP_PYTHON),
        QStringList{QStringLiteral(RP_FUENTES_PRUEBA "/leer_libro.py")} + argumentos);
    if (l.codigo != 0) {
        qWarning("%s", qPrintable(l.error));
        return {};
    }
    return QJsonDocument::fromJson(l.salida).object();
}

} // namespace

QJsonObject leer(const QString& archivo)
{
    return ejecutar({archivo});
}

QJsonObject partes(const QString& archivo)
{
    return ejecutar({QStringLiteral("--partes"), archivo});
}

QJsonObject celda(const QJsonObject& libro, const QString& referencia)
{
    return libro.value(QStringLiteral("celdas")).toObject().value(referencia).toObject();
}

} // namespace lectorLibro
