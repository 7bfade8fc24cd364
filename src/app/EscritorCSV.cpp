#include "app/EscritorCSV.h"

#include "platform/controls/GridModel.h"
#include "platform/files/FileCommit.h"
#include "platform/text/Currency.h"
#include "platform/text/PrintableText.h"
#include "platform/text/RuntimeError.h"

#include <QStringList>
#include <memory>

namespace {

// A spreadsheet opening the file runs a cell that starts with one of these as
// a formula (or, through tab and CR, as the cell after them): the usual
// leading apostrophe keeps it a text. A plain number ("-3,5") is left alone.
bool pareceFormula(const QString& texto)
{
    static const QString inicios = QStringLiteral("=+-@\t\r");
    if (texto.isEmpty() || !inicios.contains(texto.front()))
        return false;
    Currency numero;
    try {
        return !Currency::parse(texto, numero);
    } catch (const RuntimeError&) {
        return false; // a number, only too large for an amount
    }
}

QString campo(const QString& original)
{
    QString texto = printableText(original);
    if (pareceFormula(texto))
        texto.prepend(u'\'');
    if (!texto.contains(u',') && !texto.contains(u'"') && !texto.contains(u'\n') &&
        !texto.contains(u'\r'))
        return texto;
    return u'"' + texto.replace(u'"', QStringLiteral("\"\"")) + u'"';
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
    auto salida = archivo == u"-"
                      ? std::make_unique<fileCommit::Output>(fileCommit::StandardOutput{})
                      : std::make_unique<fileCommit::Output>(archivo);
    salida->begin();
    salida->write(datos);
    salida->commit();
}
