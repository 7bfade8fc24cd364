#include "LectorLibro.h"

#include <QJsonDocument>
#include <QProcess>
#include <QtTest>

namespace lectorLibro {

QJsonObject leer(const QString& archivo)
{
    QProcess python;
    python.start(QStringLiteral(RP_PYTHON),
                 {QStringLiteral(RP_FUENTES_PRUEBA "/leer_libro.py"), archivo});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

QJsonObject celda(const QJsonObject& libro, const QString& referencia)
{
    return libro.value(QStringLiteral("celdas")).toObject().value(referencia).toObject();
}

} // namespace lectorLibro
