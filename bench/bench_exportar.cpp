// Writes a grid shaped like the report (green order rows, each followed by its
// supply rows; 8 columns, the first hidden) to .xlsx through the export's real
// path and prints rows and cells per second and the peak memory it added.
//
//   bench_exportar [filas] [--lote]
//
// By default the interactive route runs (progress window, yielding to events,
// the workbook saved in a scratch export folder); --lote runs the batch
// report's GuardarLibro instead.

#include "Medicion.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/controls/GridModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void llenar(GridModel& grilla, int filas)
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
        if ((r - 1) % 5 == 0) {
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

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool lote = args.contains(u"--lote"_s);
    int filas = 100000;
    for (const QString& a : args.mid(1))
        if (a.toInt() > 0)
            filas = a.toInt();

    QTemporaryDir carpeta;
    qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(carpeta.path()));
    DesktopOpener::setInstance(std::make_unique<SinEscritorio>());
    Componentes::General().setPresentador([](const RuntimeError& e, const QString&) {
        std::fprintf(stderr, "error: %s\n", qPrintable(e.description()));
        return 3;
    });

    GridModel grilla;
    llenar(grilla, filas);
    const long antes = picoMemoriaKiB();

    QElapsedTimer reloj;
    reloj.start();
    QString archivo = carpeta.filePath(u"lote.xlsx"_s);
    if (lote)
        ModExportarExcel::GuardarLibro(grilla, archivo);
    else
        ModExportarExcel::ExportarExcel(grilla, false, {}, {}, true);
    const double segundos = reloj.nsecsElapsed() / 1e9;
    const long despues = picoMemoriaKiB();
    if (!lote) {
        const QStringList hechos = QDir(carpeta.path()).entryList({u"*.xlsx"_s});
        archivo = hechos.isEmpty() ? QString() : carpeta.filePath(hechos.first());
    }

    const double celdas = double(filas) * grilla.cols();
    std::printf("ruta:                    %s\n", lote ? "GuardarLibro (lote)" : "ExportarExcel");
    std::printf("grilla:                  %d filas x %d columnas\n", filas, grilla.cols());
    std::printf("tiempo:                  %.3f s\n", segundos);
    std::printf("filas por segundo:       %.0f\n", filas / segundos);
    std::printf("celdas por segundo:      %.0f (objetivo >= 300000)\n", celdas / segundos);
    std::printf("pico de memoria antes:   %ld kB\n", antes);
    std::printf("pico de memoria despues: %ld kB\n", despues);
    std::printf("memoria agregada / fila: %.0f bytes (objetivo < 2048)\n",
                (despues - antes) * 1024.0 / filas);
    std::printf("archivo:                 %lld bytes\n",
                static_cast<long long>(QFileInfo(archivo).size()));
    return archivo.isEmpty() ? 1 : 0;
}
