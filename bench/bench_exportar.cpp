// Exports a grid shaped like the report (green order rows, each followed by its
// supply rows; 8 columns, the first hidden) to .xlsx through the export's real
// path, then writes the same cells with the same formats through libxlsxwriter
// alone (LibroPlano), and prints both, their ratio, the peak memory each adds
// per grid row, and whether the two files hold the same bytes. Then it opens
// the print preview's pages of a grid the size of 50,000 orders and prints how
// long the first page takes and the peak memory.
//
//   bench_exportar [filas] [--lote] [--vista-previa=FILAS] [--hojas] [--captura=PNG]
//
// By default the interactive route runs (progress window, yielding to events,
// the workbook saved in a scratch export folder); --lote runs the batch
// report's GuardarLibro instead. --hojas also exports a grid longer than one
// sheet and checks that every row arrived.

#include "LibroPlano.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridModel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/Worksheet.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include "Medicion.h"
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// One step's peak, apart from the steps before it: the kernel starts the peak
// again from what is resident now (/proc/self/clear_refs).
struct Paso
{
    long residente;
    QElapsedTimer reloj;
    Paso()
    {
        residente = marcarMemoriaKiB();
        reloj.start();
    }
    double segundos() const { return reloj.nsecsElapsed() / 1e9; }
    // KiB the step added at its peak.
    long agregado() const { return picoMemoriaKiB() - residente; }
};

// Rows in the report's shape: an order line, then its supplies; `porOrden`
// rows per order.
void llenar(GridModel& grilla, int filas, int porOrden = 5)
{
    const int anchos[] = {10, 1500, 2500, 4500, 1200, 1200, 1200, 1200};
    const QString titulos[] = {u""_s,         u"Nro OP"_s, u"Insumo"_s, u"Descrpcion"_s,
                               u"Cantidad"_s, u"PE"_s,     u"Kg"_s,     u"Espesor"_s};
    grilla.setUpdatesSuspended(true);
    grilla.setCols(8);
    grilla.setRows(filas + 1);
    for (int c = 0; c < 8; ++c) {
        grilla.setText(0, c, titulos[c]);
        grilla.setColWidth(c, anchos[c]);
    }
    int orden = 0;
    for (int r = 1; r <= filas; ++r) {
        if ((r - 1) % porOrden == 0) {
            ++orden;
            const QString fila[] = {u""_s,
                                    u"0001-%1"_s.arg(orden, 8, 10, QLatin1Char('0')),
                                    u"000100%1"_s.arg(orden % 1000000, 6, 10, QLatin1Char('0')),
                                    u"Perfil C galvanizado 100x50 - orden %1"_s.arg(orden),
                                    u"%1,00"_s.arg(orden % 90 + 10),
                                    u"1200"_s,
                                    u"2500"_s,
                                    u"2,5"_s};
            for (int c = 0; c < 8; ++c) {
                grilla.setText(r, c, fila[c]);
                grilla.setBackColor(r, c, 65280);
            }
        } else {
            const QString fila[] = {u""_s,
                                    u""_s,
                                    u"INS-%1"_s.arg(r % 4000, 5, 10, QLatin1Char('0')),
                                    u"Chapa laminada en frio 2,5 mm"_s,
                                    u""_s,
                                    u"7,85"_s,
                                    u"%1,%2"_s.arg(r % 3000).arg(r % 100, 2, 10, QLatin1Char('0')),
                                    u""_s};
            for (int c = 0; c < 8; ++c)
                grilla.setText(r, c, fila[c]);
        }
    }
    grilla.setUpdatesSuspended(false);
}

class SinEscritorio : public DesktopOpener
{
public:
    bool open(const QString&) override { return true; }
};

QByteArray parte(const QString& archivo, const QString& nombre)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, archivo, nombre});
    unzip.waitForFinished(600000);
    return unzip.readAllStandardOutput();
}

// The cells and column formats of a sheet: the print set-up around them (the
// export's header, page orientation and print titles) is not the writer's work
// being compared.
QByteArray celdas(const QByteArray& hoja)
{
    const qsizetype desde = hoja.indexOf("<cols>");
    const qsizetype hasta = hoja.indexOf("</sheetData>");
    return desde < 0 || hasta < desde ? hoja : hoja.mid(desde, hasta - desde);
}

QString nuevoLibro(const QString& carpeta, const QStringList& antes)
{
    for (const QString& n : QDir(carpeta).entryList({u"*.xlsx"_s}, QDir::Files))
        if (!antes.contains(n))
            return QDir(carpeta).filePath(n);
    return {};
}

double exportar(GridModel& grilla, bool lote, const QString& carpeta, QString& archivo, long& kib)
{
    const QStringList antes = QDir(carpeta).entryList({u"*.xlsx"_s}, QDir::Files);
    Paso paso;
    if (lote) {
        archivo = QDir(carpeta).filePath(u"lote-%1.xlsx"_s.arg(antes.size()));
        ModExportarExcel::GuardarLibro(grilla, archivo);
    } else {
        ModExportarExcel::ExportarExcel(grilla, false, {}, {}, true);
    }
    const double s = paso.segundos();
    kib = paso.agregado();
    if (!lote)
        archivo = nuevoLibro(carpeta, antes);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool lote = args.contains(u"--lote"_s);
    int filas = 100000;
    int filasVista = 900000; // 50,000 orders of 3 lines with 5 supplies each
    QString captura;         // where to save a picture of the preview window
    for (const QString& a : args.mid(1)) {
        if (a.toInt() > 0)
            filas = a.toInt();
        if (a.startsWith(u"--vista-previa="_s))
            filasVista = a.mid(15).toInt();
        if (a.startsWith(u"--captura="_s))
            captura = a.mid(10);
    }

    QTemporaryDir carpeta;
    qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(carpeta.path()));
    DesktopOpener::setInstance(std::make_unique<SinEscritorio>());
    Componentes::General().setPresentador([](const RuntimeError& e, const QString&) {
        std::fprintf(stderr, "error: %s\n", qPrintable(e.description()));
        return 3;
    });
    Componentes::General().setMensajero(
        [](const QString& m) { std::fprintf(stderr, "mensaje: %s\n", qPrintable(m)); });

    int fallas = 0;
    {
        GridModel grilla;
        llenar(grilla, filas);
        QString libro, plano = carpeta.filePath(u"plano.xlsx"_s);
        long kibLibro = 0, kibPlano = 0;
        // The memory each adds, on a first run; then paired runs, the median
        // time of each.
        exportar(grilla, lote, carpeta.path(), libro, kibLibro);
        {
            Paso paso;
            escribirLibroPlano(grilla, plano);
            kibPlano = paso.agregado();
        }
        constexpr int Pares = 3;
        std::vector<double> tiemposLibro, tiemposPlano;
        bool planoBien = true;
        for (int i = 0; i < Pares; ++i) {
            long descarte = 0;
            tiemposLibro.push_back(exportar(grilla, lote, carpeta.path(), libro, descarte));
            Paso paso;
            planoBien = escribirLibroPlano(grilla, plano) && planoBien;
            tiemposPlano.push_back(paso.segundos());
        }
        std::sort(tiemposLibro.begin(), tiemposLibro.end());
        std::sort(tiemposPlano.begin(), tiemposPlano.end());
        const double tLibro = tiemposLibro[Pares / 2];
        const double tPlano = tiemposPlano[Pares / 2];
        const bool iguales = planoBien && !libro.isEmpty() &&
                             celdas(parte(libro, u"xl/worksheets/sheet1.xml"_s)) ==
                                 celdas(parte(plano, u"xl/worksheets/sheet1.xml"_s)) &&
                             parte(libro, u"xl/styles.xml"_s) == parte(plano, u"xl/styles.xml"_s);
        const double cociente = tLibro / tPlano;
        const double porFila = kibLibro * 1024.0 / filas;
        std::printf("== Exportación (%s), %d filas x %d columnas\n",
                    lote ? "GuardarLibro, lote" : "ExportarExcel", filas, grilla.cols());
        std::printf("exportación:            %.3f s (mediana de %d), pico agregado %ld kB (%.0f "
                    "bytes por fila)\n",
                    tLibro, Pares, kibLibro, porFila);
        std::printf("libxlsxwriter solo:     %.3f s (mediana de %d), pico agregado %ld kB (%.0f "
                    "bytes por fila)\n",
                    tPlano, Pares, kibPlano, kibPlano * 1024.0 / filas);
        // LibroPlano reads every cell through the grid's Qt strings, as the
        // export does: the ratio compares two ways through the same data, not
        // the export with a plain writer (bench/salidas does that).
        std::printf(
            "cociente con LibroPlano: %.2f (sin objetivo; la referencia es bench/salidas)\n",
            cociente);
        std::printf("memoria por fila:       %.0f bytes (objetivo < 100) %s\n", porFila,
                    porFila < 100 ? "cumplido" : "NO cumplido");
        std::printf("archivos iguales:       %s (celdas, columnas y formatos, byte a byte)\n",
                    iguales ? "sí" : "NO");
        std::printf("archivo:                %lld bytes\n",
                    static_cast<long long>(QFileInfo(libro).size()));
        fallas += !iguales;
    }
    if (args.contains(u"--hojas"_s)) {
        // Past one sheet: sheet 1 takes the titles and 1,048,575 rows, sheet 2
        // the titles again and the rest, the grid's last row last.
        constexpr int enLaPrimera = Worksheet::MaxRows - 1;
        const int total = enLaPrimera + 2000;
        GridModel grilla;
        llenar(grilla, total);
        const QString libro = carpeta.filePath(u"hojas.xlsx"_s);
        Paso paso;
        bool bien = true;
        try {
            ModExportarExcel::GuardarLibro(grilla, libro);
        } catch (const RuntimeError& e) {
            std::fprintf(stderr, "error: %s\n", qPrintable(e.description()));
            bien = false;
        }
        const double s = paso.segundos();
        const QByteArray hoja2 = bien ? parte(libro, u"xl/worksheets/sheet2.xml"_s) : QByteArray();
        const QByteArray ultima = grilla.text(total, 3).toUtf8();
        const bool completa = hoja2.count("<row ") == 2001 && hoja2.contains("Descrpcion") &&
                              hoja2.contains("<row r=\"2001\"") &&
                              hoja2.lastIndexOf(ultima) > hoja2.lastIndexOf("<row r=\"2001\"");
        std::printf("== Más filas que una hoja: %d filas\n", total);
        std::printf("exportación:            %.3f s, pico agregado %ld kB\n", s, paso.agregado());
        std::printf("segunda hoja:           %s (títulos y las 2.000 filas restantes)\n",
                    completa ? "completa" : "NO completa");
        fallas += !completa;
    }
    if (filasVista > 0) {
        GridModel grilla;
        llenar(grilla, filasVista, 6);
        double primera = -1;
        int paginas = 0;
        Paso paso;
        // The preview after the export, as the button opens it: the real
        // window, timed from the moment it is asked for to its first page on
        // screen; then it is closed.
        QElapsedTimer reloj;
        QTimer buscador;
        QObject::connect(&buscador, &QTimer::timeout, [&] {
            auto* ventana = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!ventana || ventana->objectName() != u"VistaPrevia"_s)
                return;
            QWidget* pagina = ventana->findChild<QWidget*>(u"Pagina"_s);
            if (!pagina->grab().isNull())
                primera = reloj.nsecsElapsed() / 1e9;
            if (!captura.isEmpty())
                ventana->grab().save(captura);
            paginas = ventana->findChild<QSpinBox*>(u"NumeroPagina"_s)->maximum();
            ventana->reject();
        });
        buscador.start(1);
        // The clock and a new peak start when the preview is asked for, once
        // the workbook is filled and saved.
        long picoExportacion = 0;
        std::unique_ptr<Paso> vista;
        PrintPreview::setPresenter([&](const Worksheet& hoja) {
            picoExportacion = paso.agregado();
            vista = std::make_unique<Paso>();
            reloj.start();
            PrintPreview::open(hoja);
        });
        ModExportarExcel::ExportarExcel(grilla, true, {}, {}, true);
        buscador.stop();
        const double total = paso.segundos();
        const long pico = vista ? vista->agregado() : -1;
        std::printf("== Vista previa, %d filas (50.000 órdenes)\n", filasVista);
        std::printf("exportación y vista:    %.3f s, pico agregado por la exportación %ld kB "
                    "(%.0f bytes por fila)\n",
                    total, picoExportacion, picoExportacion * 1024.0 / filasVista);
        std::printf("primera página:         %.3f s de %d páginas (objetivo <= 1 s) %s\n", primera,
                    paginas, primera >= 0 && primera <= 1 ? "cumplido" : "NO cumplido");
        std::printf("pico de la vista:       %ld kB (%.0f bytes por fila; objetivo < 300 MB) %s\n",
                    pico, pico * 1024.0 / filasVista,
                    pico < 300 * 1024 ? "cumplido" : "NO cumplido");
        std::printf("pico del proceso:       %ld kB\n", picoMemoriaKiB());
        PrintPreview::setPresenter({});
    }
    return fallas == 0 ? 0 : 1;
}
