#include "export/EscritorCSV.h"

#include "platform/controls/GridModel.h"
#include "platform/files/FileCommit.h"
#include "platform/text/Currency.h"
#include "platform/text/PrintableText.h"
#include "platform/text/RuntimeError.h"

#include <QLocale>
#include <QStringList>
#include <QVarLengthArray>
#include <functional>
#include <memory>

namespace {

// A spreadsheet opening the file runs a cell that starts with one of these as
// a formula (or, through tab and CR, as the cell after them): the usual
// leading apostrophe keeps it a text. A plain number ("-3,5") is left alone.
constexpr QStringView IniciosDeFormula = u"=+-@\t\r";

bool pareceFormula(const QString& texto)
{
    if (texto.isEmpty() || !IniciosDeFormula.contains(texto.front()))
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

namespace {

// One row as CSV, its line end included.
QString lineaCSV(const QStringList& fila, QChar separador)
{
    QString linea;
    for (qsizetype i = 0; i < fila.size(); ++i) {
        if (i > 0)
            linea += separador;
        linea += campo(fila.at(i), separador);
    }
    return linea + QStringLiteral("\r\n");
}

// A field added to a line already in UTF-8. Most fields need none of the
// rules above, and most of those are ASCII: they go straight from the text to
// the line; any other takes the whole way, so the bytes are the same either way.
void agregarCampo(QByteArray& linea, QStringView texto, QChar separador)
{
    bool ascii = true;
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || c == u'"' || c == separador) {
            linea += campo(texto.toString(), separador).toUtf8();
            return;
        }
        ascii = ascii && u < 0x80;
    }
    if (!texto.isEmpty() && IniciosDeFormula.contains(texto.front())) {
        linea += campo(texto.toString(), separador).toUtf8();
        return;
    }
    if (!ascii) {
        linea += texto.toUtf8();
        return;
    }
    const qsizetype antes = linea.size();
    linea.resize(antes + texto.size());
    char* destino = linea.data() + antes;
    for (const QChar c : texto)
        *destino++ = char(c.unicode());
}

template <class Textos> void agregarLinea(QByteArray& linea, const Textos& textos, QChar separador)
{
    bool primero = true;
    for (const auto& texto : textos) {
        if (!primero)
            linea += char(separador.unicode());
        primero = false;
        agregarCampo(linea, texto, separador);
    }
    linea += "\r\n";
}

// The grid's exported columns and its last row of data.
struct Recorte
{
    QList<int> columnas;
    int ultima = 0;
};

Recorte recorteDe(const GridModel& grilla)
{
    Recorte recorte;
    for (int c = 0; c < grilla.cols(); ++c)
        if (grilla.colWidth(c) > 50)
            recorte.columnas << c;
    const auto vacia = [&](int r) {
        for (const int c : recorte.columnas)
            if (!grilla.textView(r, c).isEmpty())
                return false;
        return true;
    };
    recorte.ultima = grilla.rows() - 1;
    while (recorte.ultima > 0 && vacia(recorte.ultima))
        --recorte.ultima;
    return recorte;
}

QStringList filaDe(const GridModel& grilla, const Recorte& recorte, int r)
{
    QStringList fila;
    fila.reserve(recorte.columnas.size());
    for (const int c : recorte.columnas)
        fila << grilla.text(r, c);
    return fila;
}

// The rows go to the output one at a time, as they are encoded: however long
// the list, only one row's text is held besides the output's own buffer. The
// output still puts the file in place only once it is complete.
void escribir(const QString& archivo, const FormatoCSV& formato, int filas,
              const std::function<void(int, QByteArray&)>& fila)
{
    auto salida = archivo == u"-"
                      ? std::make_unique<fileCommit::Output>(fileCommit::StandardOutput{})
                      : std::make_unique<fileCommit::Output>(archivo);
    salida->begin();
    if (formato.marcaBOM)
        salida->write(QString(QChar(0xFEFF)).toUtf8());
    QByteArray linea;
    for (int r = 0; r < filas; ++r) {
        linea.clear();
        fila(r, linea);
        salida->write(linea);
    }
    salida->commit();
}

} // namespace

QString TextoCSV(const QList<QStringList>& filas, const FormatoCSV& formato)
{
    QString texto;
    if (formato.marcaBOM)
        texto += QChar(0xFEFF);
    for (const QStringList& fila : filas)
        texto += lineaCSV(fila, formato.separador);
    return texto;
}

QString TextoCSV(const GridModel& grilla, const FormatoCSV& formato)
{
    const Recorte recorte = recorteDe(grilla);
    QList<QStringList> filas;
    for (int r = 0; r <= recorte.ultima; ++r)
        filas << filaDe(grilla, recorte, r);
    return TextoCSV(filas, formato);
}

int EscribirCSV(const GridModel& grilla, const QString& archivo, const FormatoCSV& formato)
{
    const Recorte recorte = recorteDe(grilla);
    const int filas = recorte.ultima + 1;
    QVarLengthArray<QStringView, 8> textos(recorte.columnas.size());
    escribir(archivo, formato, filas, [&](int r, QByteArray& linea) {
        for (qsizetype k = 0; k < recorte.columnas.size(); ++k)
            textos[k] = grilla.textView(r, recorte.columnas[k]);
        agregarLinea(linea, textos, formato.separador);
    });
    return filas;
}

void EscribirCSV(const QList<QStringList>& filas, const QString& archivo, const FormatoCSV& formato)
{
    escribir(archivo, formato, int(filas.size()), [&](int r, QByteArray& linea) {
        agregarLinea(linea, filas.at(r), formato.separador);
    });
}
