#include "export/PaginaHTML.h"

#include "export/GraficoInsumos.h"

#include "components/ManejadorError.h"
#include "export/AvanceExportacion.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridModel.h"
#include "platform/files/FileCommit.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/PrintableText.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr int ArchivoIncorrecto = 52; // bad file name or number
constexpr int RutaNoEncontrada = 76;

} // namespace

PaginaHTML::PaginaHTML(QString archivo) : m_archivo(std::move(archivo)) {}

// An abandoned page is never put in place: its temporary file goes with it.
PaginaHTML::~PaginaHTML() = default;

void PaginaHTML::abrir()
{
    const QString nativo = QDir::toNativeSeparators(m_archivo);
    if (m_archivo.trimmed().isEmpty())
        throw RuntimeError(ArchivoIncorrecto, u"No se indicó el archivo de la página"_s,
                           u"GeneraHTML"_s);
    if (!QFileInfo(QFileInfo(m_archivo).absolutePath()).isDir())
        throw RuntimeError(RutaNoEncontrada,
                           u"No se encontró la carpeta de la página «%1»"_s.arg(nativo),
                           u"GeneraHTML"_s);
    auto salida = std::make_unique<fileCommit::Output>(m_archivo);
    try {
        salida->begin();
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), u"GeneraHTML"_s);
    }
    m_salida = std::move(salida);
}

void PaginaHTML::escribirLinea(const QString& linea)
{
    if (!m_salida)
        throw RuntimeError(
            ArchivoIncorrecto,
            u"La página «%1» no está abierta"_s.arg(QDir::toNativeSeparators(m_archivo)),
            u"GeneraHTML"_s);
    // Every dynamic text was escaped to ASCII; the markup is ASCII.
    const QByteArray bytes = linea.toLatin1() + "\r\n";
    // A failed write is kept by the device and reported when the page is closed.
    m_salida->write(bytes);
}

void PaginaHTML::cerrar()
{
    if (!m_salida)
        throw RuntimeError(
            ArchivoIncorrecto,
            u"La página «%1» no está abierta"_s.arg(QDir::toNativeSeparators(m_archivo)),
            u"GeneraHTML"_s);
    std::unique_ptr<fileCommit::Output> salida = std::move(m_salida);
    try {
        salida->commit();
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), u"GeneraHTML"_s);
    }
}

QString PaginaHTML::escapar(QStringView original, bool atributo)
{
    const QString texto = printableText(original);
    QString r;
    r.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == u'&')
            r += u"&amp;"_s;
        else if (c == u'<')
            r += u"&lt;"_s;
        else if (c == u'>')
            r += u"&gt;"_s;
        else if (atributo && c == u'"')
            r += u"&quot;"_s;
        else if (c.unicode() < 0x80)
            r += c;
        else {
            char32_t punto = c.unicode();
            if (c.isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate())
                punto = QChar::surrogateToUcs4(c, texto[++i]);
            else if (c.isSurrogate())
                // Half a pair (a server's wide text may hold one) is no
                // character: a reference to it is an error in the page.
                punto = QChar::ReplacementCharacter;
            r += u"&#"_s + QString::number(static_cast<uint>(punto)) + u';';
        }
    }
    return r;
}

QString PaginaHTML::svg(const GraficoInsumos::Grafico& grafico)
{
    // Drawn in the page itself, no script and no file beside it: a row per
    // bar, its name on the left, the bar in proportion to the heaviest, its
    // kilograms after it; the lighter part, from the axis as in the
    // workbook's chart, rests on incomplete estimates.
    constexpr int Nombre = 170, Largo = 380, Alto = 22, Barra = 16, Arriba = 8;
    double mayor = 0;
    for (const GraficoInsumos::Barra& b : grafico.barras)
        mayor = std::max(mayor, b.kilos);
    const int n = static_cast<int>(grafico.barras.size());
    const int ancho = Nombre + Largo + 230;
    const int alto = Arriba + n * Alto + 44;
    const auto num = [](double v) { return QString::number(v, 'f', 1); };
    QString t = u"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""_s + QString::number(ancho) +
                u"\" height=\""_s + QString::number(alto) +
                u"\" font-family=\"sans-serif\" font-size=\"12\" role=\"img\">"_s;
    const auto color = [](unsigned rgb) -> QString {
        return u'#' + QString::number(rgb, 16).rightJustified(6, u'0');
    };
    for (int i = 0; i < n; ++i) {
        const GraficoInsumos::Barra& b = grafico.barras[size_t(i)];
        const int y = Arriba + i * Alto;
        const double total = mayor > 0 ? std::max(0.0, b.kilos) / mayor * Largo : 0;
        const double claro =
            mayor > 0 ? std::clamp(b.kilosIncompletos, 0.0, std::max(0.0, b.kilos)) / mayor * Largo
                      : 0;
        const QString kilos = b.Etiqueta();
        t += u"<g class=\"barra\" data-insumo=\""_s + escapar(b.codigo, true) + u"\" data-kg=\""_s +
             QString::number(b.kilos, 'f', 2) + u"\"><title>"_s +
             escapar(b.descripcion.isEmpty() ? b.codigo : b.codigo + u" — "_s + b.descripcion) +
             u": "_s + escapar(kilos) + u"</title>"_s;
        t += u"<text x=\""_s + QString::number(Nombre - 6) + u"\" y=\""_s +
             QString::number(y + Barra - 4) + u"\" text-anchor=\"end\">"_s + escapar(b.codigo) +
             u"</text>"_s;
        t += u"<rect class=\"completa\" x=\""_s + num(Nombre + claro) + u"\" y=\""_s +
             QString::number(y) + u"\" width=\""_s + num(total - claro) + u"\" height=\""_s +
             QString::number(Barra) + u"\" fill=\""_s + color(GraficoInsumos::ColorCompleto) +
             u"\"/>"_s;
        t += u"<rect class=\"faltante\" x=\""_s + QString::number(Nombre) + u"\" y=\""_s +
             QString::number(y) + u"\" width=\""_s + num(claro) + u"\" height=\""_s +
             QString::number(Barra) + u"\" fill=\""_s + color(GraficoInsumos::ColorFaltante) +
             u"\"/>"_s;
        t += u"<text x=\""_s + num(Nombre + total + 4) + u"\" y=\""_s +
             QString::number(y + Barra - 4) + u"\">"_s + escapar(kilos) + u"</text></g>"_s;
    }
    // The legend, then the reading.
    const int y = Arriba + n * Alto + 6;
    t += u"<rect x=\""_s + QString::number(Nombre) + u"\" y=\""_s + QString::number(y) +
         u"\" width=\"12\" height=\"12\" fill=\""_s + color(GraficoInsumos::ColorCompleto) +
         u"\"/><text x=\""_s + QString::number(Nombre + 16) + u"\" y=\""_s +
         QString::number(y + 11) + u"\">"_s + escapar(GraficoInsumos::LeyendaCompleto()) +
         u"</text>"_s;
    t += u"<rect x=\""_s + QString::number(Nombre + 170) + u"\" y=\""_s + QString::number(y) +
         u"\" width=\"12\" height=\"12\" fill=\""_s + color(GraficoInsumos::ColorFaltante) +
         u"\"/><text x=\""_s + QString::number(Nombre + 186) + u"\" y=\""_s +
         QString::number(y + 11) + u"\">"_s + escapar(GraficoInsumos::LeyendaFaltante()) +
         u"</text>"_s;
    QStringList lectura;
    for (const QString& parte : {grafico.Participacion(), grafico.Faltantes()})
        if (!parte.isEmpty())
            lectura << parte;
    t += u"<text x=\"4\" y=\""_s + QString::number(y + 32) + u"\">"_s +
         escapar(lectura.join(u"; "_s)) + u"</text></svg>"_s;
    return t;
}

bool PaginaHTML::escribir(const GridModel& grilla, AvanceExportacion* avance, const QString& titulo,
                          ManejadorError& enError)
{
    using ModExportarExcel::EspaciosHTML;
    const QString encabezado = titulo.isEmpty() ? u"Detalle Remitos"_s : titulo;
    const QString carpeta = QDir::cleanPath(programFolder());
    const int filas = grilla.rows();
    const int columnas = grilla.cols();

    if (!enError.paso([&] { abrir(); }))
        return false;
    const QString lineas[] = {
        u"<html>"_s,
        QString(),
        u"</head>"_s,
        QString(),
        u"<body background=\""_s + escapar(QString(carpeta + u'/' + u"stone.jpg"_s), true) +
            u"\" text=\"navy\">"_s,
        u"<br>"_s,
        QString(), // the name, asked for below
        u"<CENTER><U><FONT SIZE=20 COLOR=PURPLE> "_s + escapar(encabezado.toUpper()) +
            u"</FONT></U></CENTER>"_s,
        u"<HR>"_s,
        u"<br>"_s,
        u"<br>"_s,
        u"<TABLE Border="_s + u"2"_s + u">"_s,
        u"<TR>"_s,
    };
    // The totals per material show their bars above the table.
    const auto grafico = GraficoInsumos::DeLosTotales(grilla);
    for (int i = 0; i < static_cast<int>(std::size(lineas)); ++i) {
        const bool sigue = enError.paso([&] {
            if (i == 11 && grafico)
                escribirLinea(svg(*grafico) + u"<br>"_s);
            if (i == 6)
                escribirLinea(u"<H5 ALIGN = CENTER>"_s +
                              escapar(ModExportarExcel::ValorParametro(u"NOMBRE"_s).trimmed()) +
                              u"</H5>"_s);
            else
                escribirLinea(lineas[i]);
        });
        if (!sigue)
            return false;
    }

    for (int c = 0; c < columnas; ++c) {
        const bool sigue = enError.paso([&] {
            const QString t = escapar(grilla.text(0, c).trimmed());
            const QString celda = c == 0 ? QString(t + EspaciosHTML(70))
                                         : QString(EspaciosHTML(4) + t + EspaciosHTML(4));
            escribirLinea(u"<TH>"_s + celda);
        });
        if (!sigue)
            return false;
    }

    // The row's colour is tested on the current cell: for the first row the
    // column current when the page began, for later rows column 0.
    int columnaActual = grilla.col();
    auto resaltada = [&](int r, int c) {
        return grilla.backColor(r, c) == ModExportarExcel::ColorResaltado;
    };
    for (int r = 1; r < filas; ++r) {
        if (avance && avance->Cancelado())
            return false;
        const bool sigue = enError.paso([&] {
            if (avance) {
                avance->filas.store(r, std::memory_order_relaxed);
                avance->Celda(r, avance->columna.load(std::memory_order_relaxed));
            }
            QString fila =
                resaltada(r, columnaActual) ? u"<TR bgcolor = \"yellow\"> "_s : u"<TR> "_s;
            for (int c = 0; c < columnas; ++c) {
                columnaActual = c;
                const QString t = grilla.text(r, c);
                QString celda;
                if (t.trimmed().isEmpty())
                    celda = u"&nbsp"_s;
                else
                    celda = escapar(c == 0 ? QStringView(t).trimmed() : QStringView(t));
                if (c + 1 == columnas) {
                    fila += (resaltada(r, c) ? u"<TD bgcolor=\"yellow\">"_s : u"<TD>"_s) + celda;
                    columnaActual = 0;
                } else {
                    fila += u"<TD>"_s + celda;
                }
            }
            if (avance)
                avance->Celda(r, columnaActual);
            escribirLinea(fila);
        });
        if (!sigue)
            return false;
    }

    for (const QString& cierre : {u"</TABLE>"_s, u"</BODY>"_s, u"</HTML>"_s})
        if (!enError.paso([&] { escribirLinea(cierre); }))
            return false;
    return enError.paso([&] { cerrar(); });
}
