// The PDF's reference: QPdfWriter and QPainter alone, with no code of the
// program, drawing the report's CSV on the page grid `--pdf` prints: A4 with
// 0.7 in side and 0.75 in top and bottom margins, landscape since the columns
// do not fit portrait, scaled to one page wide; the title row on every page;
// the title and the date above, "Página N de M" below; the same fonts, fills,
// column widths and row heights, numbers to the right in 11 digits.
//
//     pdf_referencia IN.csv OUT.pdf [TITLE]

#include "csv_informe.h"

#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double PuntosPorPixel = 0.75;

double puntosColumna(double caracteres)
{
    const double pixeles =
        caracteres < 1 ? std::round(caracteres * 12) : std::round(caracteres * 7) + 5;
    return pixeles * PuntosPorPixel;
}

double puntosFila(double tamano)
{
    return std::ceil((tamano * 1.2 + 1.5) / PuntosPorPixel) * PuntosPorPixel;
}

struct Fila
{
    std::string texto;       // the record's fields, each ending in NUL
    size_t inicio[Columnas]; // where each starts
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("uso: pdf_referencia ENTRADA.csv SALIDA.pdf [TÍTULO]\n", stderr);
        return 2;
    }
    FILE* csv = std::fopen(argv[1], "rb");
    if (!csv) {
        std::perror(argv[1]);
        return 1;
    }
    const QString titulo = QString::fromUtf8(argc > 3 ? argv[3] : "Hoja1");

    // The whole CSV first: "Página N de M" needs M.
    std::vector<Fila> filas;
    Texto buffer{};
    size_t inicio[Columnas + 1];
    for (int n; (n = leerFila(csv, &buffer, inicio)) > 0;) {
        if (n != Columnas) {
            std::fprintf(stderr, "pdf_referencia: la fila %zu tiene %d campos\n", filas.size() + 1,
                         n);
            return 1;
        }
        Fila f;
        f.texto.assign(buffer.texto, buffer.largo);
        std::copy(inicio, inicio + Columnas, f.inicio);
        filas.push_back(std::move(f));
    }
    std::fclose(csv);
    if (filas.empty())
        return 1;
    // The grid's empty row at its end, ready for the next line.
    filas.push_back(Fila{std::string(Columnas, '\0'), {0, 1, 2, 3, 4, 5, 6}});

    double ancho = 0;
    std::vector<double> izquierda{0};
    for (const int a : anchos)
        izquierda.push_back(izquierda.back() + puntosColumna(a / 90.0));
    ancho = izquierda.back();

    QPageLayout diseno(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(0.7, 0.75, 0.7, 0.75), QPageLayout::Inch);
    const QSizeF util = diseno.paintRect(QPageLayout::Point).size();
    const double escala = ancho > util.width() ? util.width() / ancho : 1;
    const double altoTitulos = puntosFila(8);
    const double altoFila = puntosFila(8.25);
    // Rows 2 on, as many as fit under the title row.
    const double lugar = util.height() / escala - altoTitulos;
    const int porPagina = std::max(1, int(std::floor((lugar + 1e-6) / altoFila)));
    const int datos = int(filas.size()) - 1;
    const int paginas = (datos + porPagina - 1) / porPagina;

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setPageLayout(diseno);
    QPainter p(&pdf);
    const double sx = pdf.logicalDpiX() / 72.0, sy = pdf.logicalDpiY() / 72.0;
    const double margen = 3 * PuntosPorPixel;
    const QString fecha = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    QLocale local = QLocale::system();
    local.setNumberOptions(QLocale::OmitGroupSeparator);

    QFont calibri(QStringLiteral("Calibri")), tahoma(QStringLiteral("Tahoma"));
    calibri.setPointSizeF(8);
    tahoma.setPointSizeF(8.25);
    QFont cabecera(QStringLiteral("Tahoma")), negrita(QStringLiteral("Tahoma"));
    cabecera.setPointSizeF(8);
    negrita.setPointSizeF(10);
    negrita.setBold(true);
    QPen borde(Qt::black);
    borde.setWidthF(0.75 * sx);
    const QFontMetricsF medidaCalibri(calibri, &pdf), medidaTahoma(tahoma, &pdf);

    const auto celda = [&](double x1, double x2, double y1, double y2) {
        const double a = std::round(x1 * sx), b = std::round(x2 * sx);
        const double c = std::round(y1 * sy), d = std::round(y2 * sy);
        return QRectF(a, c, b - a, d - c);
    };
    const auto fila = [&](const Fila& f, bool titulos, double y, double alto) {
        const bool orden = !titulos && *sinApostrofe(f.texto.c_str() + f.inicio[0]);
        const QColor fondo = titulos ? QColor(0xC0C0C0) : orden ? QColor(0x00FF00) : Qt::white;
        p.setFont(titulos ? calibri : tahoma);
        p.setPen(titulos ? QColor(0x0000FF) : QColor(Qt::black));
        for (int k = 0; k < Columnas; ++k) {
            const QRectF r = celda(izquierda[size_t(k)], izquierda[size_t(k) + 1], y, y + alto);
            p.fillRect(r, fondo);
            const char* t = f.texto.c_str() + f.inicio[k];
            if (!titulos)
                t = valor(t);
            if (!*t)
                continue;
            double v = 0;
            const bool esNumero = numero(t, &v);
            const QRectF lugarTexto = r.adjusted(margen * sx, 0, -margen * sx, -sy);
            const QString escrito =
                esNumero ? local.toString(v, 'g', 11).toUpper() : QString::fromUtf8(t);
            // Cut at the cell's edges only a text that does not fit in it.
            const QFontMetricsF& medida = titulos ? medidaCalibri : medidaTahoma;
            const bool recortar = medida.height() > lugarTexto.height() ||
                                  (escrito.size() * medida.maxWidth() > lugarTexto.width() &&
                                   medida.horizontalAdvance(escrito) > lugarTexto.width());
            if (recortar) {
                p.save();
                p.setClipRect(r);
            }
            p.drawText(lugarTexto, (esNumero ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom,
                       escrito);
            if (recortar)
                p.restore();
        }
        if (titulos) {
            p.setPen(borde);
            for (int k = 0; k < Columnas; ++k)
                p.drawRect(celda(izquierda[size_t(k)], izquierda[size_t(k) + 1], y, y + alto));
        }
    };

    for (int pagina = 1; pagina <= paginas; ++pagina) {
        if (pagina > 1)
            pdf.newPage();
        const QRectF arriba(0, -34 * sy, util.width() * sx, 30 * sy);
        p.setPen(Qt::black);
        p.setFont(cabecera);
        p.drawText(arriba, Qt::AlignRight | Qt::AlignTop, fecha);
        const double anchoFecha = QFontMetricsF(cabecera, &pdf).horizontalAdvance(fecha) + 12 * sx;
        p.setFont(negrita);
        p.drawText(arriba, Qt::AlignLeft | Qt::AlignTop,
                   QFontMetricsF(negrita, &pdf)
                       .elidedText(titulo, Qt::ElideRight, arriba.width() - anchoFecha));
        p.setFont(cabecera);
        p.drawText(QRectF(0, (util.height() + 6) * sy, util.width() * sx, 20 * sy),
                   Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Página %L1 de %L2").arg(pagina).arg(paginas));
        p.save();
        p.scale(escala, escala);
        fila(filas[0], true, 0, altoTitulos);
        const int desde = 1 + (pagina - 1) * porPagina;
        const int hasta = std::min(datos, desde + porPagina - 1);
        for (int r = desde; r <= hasta; ++r)
            fila(filas[size_t(r)], false, altoTitulos + (r - desde) * altoFila, altoFila);
        p.restore();
    }
    return p.end() ? 0 : 1;
}
