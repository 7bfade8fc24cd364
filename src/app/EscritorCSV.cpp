#include "app/EscritorCSV.h"

#include "platform/controls/GridModel.h"
#include "platform/text/RuntimeError.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

QString campo(const QString& texto)
{
    if (!texto.contains(u',') && !texto.contains(u'"') && !texto.contains(u'\n') &&
        !texto.contains(u'\r'))
        return texto;
    return u'"' + QString(texto).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString TextoCSV(const QList<QStringList>& filas)
{
    QString texto;
    for (const QStringList& fila : filas) {
        QStringList campos;
        for (const QString& celda : fila)
            campos << campo(celda);
        texto += campos.join(u',') + QStringLiteral("\r\n");
    }
    return texto;
}

namespace {

QList<QStringList> filasDe(const GridModel& grilla)
{
    QList<int> columnas;
    for (int c = 0; c < grilla.cols(); ++c)
        if (grilla.colWidth(c) > 50)
            columnas << c;
    int ultima = grilla.rows() - 1;
    const auto vacia = [&](int r) {
        for (const int c : columnas)
            if (!grilla.text(r, c).isEmpty())
                return false;
        return true;
    };
    while (ultima > 0 && vacia(ultima))
        --ultima;
    QList<QStringList> filas;
    for (int r = 0; r <= ultima; ++r) {
        QStringList fila;
        for (const int c : columnas)
            fila << grilla.text(r, c);
        filas << fila;
    }
    return filas;
}

} // namespace

QString TextoCSV(const GridModel& grilla)
{
    return TextoCSV(filasDe(grilla));
}

void EscribirCSV(const GridModel& grilla, const QString& archivo)
{
    EscribirCSV(filasDe(grilla), archivo);
}

void EscribirCSV(const QList<QStringList>& filas, const QString& archivo)
{
    const QByteArray datos = TextoCSV(filas).toUtf8();
    if (archivo == u"-") {
        QFile salida;
        if (!salida.open(stdout, QIODevice::WriteOnly) || salida.write(datos) != datos.size())
            throw RuntimeError(ErrorNumber::FileAccess,
                               QStringLiteral("no se pudo escribir el CSV en la salida estándar"));
        return;
    }
    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly) || salida.write(datos) != datos.size() ||
        !salida.commit())
        throw RuntimeError(
            ErrorNumber::FileAccess,
            QStringLiteral("no se pudo escribir \"%1\": %2").arg(archivo, salida.errorString()));
}
