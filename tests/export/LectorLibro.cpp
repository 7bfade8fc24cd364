#include "LectorLibro.h"

#include <QJsonDocument>
#include <QProcess>
#include <QtTest>

namespace lectorLibro {

namespace {

QJsonObject ejecutar(const QStringList& argumentos)
{
    QProcess python;
    python.start(QStringLiteral(RP_PYTHON),
                 QStringList{QStringLiteral(RP_FUENTES_PRUEBA "/leer_libro.py")} + argumentos);
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
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
