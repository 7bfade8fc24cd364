#include "app/EscritorCSV.h"

#include "platform/controls/GridModel.h"
#include "platform/files/FileCommit.h"
#include "platform/text/Currency.h"
#include "platform/text/PrintableText.h"
#include "platform/text/RuntimeError.h"

#include <QLocale>
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

QString campo(const QString& original, QChar separador)
{
    QString texto = printableText(original);
    if (pareceFormula(texto))
        texto.prepend(u'\'');
    if (!texto.contains(separador) && !texto.contains(u'"') && !texto.contains(u'\n') &&
        !texto.contains(u'\r'))
        return texto;
    return u'"' + texto.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

FormatoCSV FormatoCSV::DelSistema()
{
    if (QLocale::system().decimalPoint() == u",")
        return {u';', true};
    return {};
}

bool FormatoCSV::SeparadorDeTexto(const QString& texto, QChar& separador)
{
    if (texto == u"," || texto == u";") {
        separador = texto.front();
        return true;
    }
    if (texto.compare(QStringLiteral("tab"), Qt::CaseInsensitive) == 0) {
        separador = u'\t';
        return true;
    }
    return false;
}

QString TextoCSV(const QList<QStringList>& filas, const FormatoCSV& formato)
{
    QString texto;
    if (formato.marcaBOM)
        texto += QChar(0xFEFF);
    for (const QStringList& fila : filas) {
        QStringList campos;
        for (const QString& celda : fila)
            campos << campo(celda, formato.separador);
        texto += campos.join(formato.separador) + QStringLiteral("\r\n");
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

QString TextoCSV(const GridModel& grilla, const FormatoCSV& formato)
{
    return TextoCSV(filasDe(grilla), formato);
}

int EscribirCSV(const GridModel& grilla, const QString& archivo, const FormatoCSV& formato)
{
    const QList<QStringList> filas = filasDe(grilla);
    EscribirCSV(filas, archivo, formato);
    return int(filas.size());
}

void EscribirCSV(const QList<QStringList>& filas, const QString& archivo,
                 const FormatoCSV& formato)
{
    const QByteArray datos = TextoCSV(filas, formato).toUtf8();
    auto salida = archivo == u"-"
                      ? std::make_unique<fileCommit::Output>(fileCommit::StandardOutput{})
                      : std::make_unique<fileCommit::Output>(archivo);
    salida->begin();
    salida->write(datos);
    salida->commit();
}
