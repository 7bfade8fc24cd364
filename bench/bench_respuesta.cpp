// Responsiveness benchmark: the real report window (offscreen) on a generated
// database, a 10 ms timer on the window's thread recording the gaps between
// its ticks while "Cargar" runs, while "Exportar Excel" fills and saves the
// workbook, and while the print preview saves its pages as PDF; the delay
// from an Escape in the progress window, at K random moments of each of those
// steps (and K more in the workbook's packing), to the step having stopped;
// and the load's and the export's total times against the same work run on
// the window's thread (the command-line path). Prints the figures beside
// their limits: longest gap <= 100 ms, cancel <= 250 ms, time +10 %.
//
//   bench_respuesta [--ordenes N] [--cancelaciones K] [--sin-pdf]
//                   [--sqlite ARCHIVO | --odbc DSN --usuario U --clave C]
#include "BaseGenerada.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "report/RP_OProduccion.h"
#include "report/nucleo/ReporteOrdenes.h"
#include "report/nucleo/TotalesInsumo.h"
#include "session/ModGlobal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QString valor(const QStringList& args, const QString& opcion, const QString& porDefecto = {})
{
    const qsizetype i = args.indexOf(opcion);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : porDefecto;
}

struct NingunPrograma : DesktopOpener
{
    bool open(const QString&) override { return true; }
};

// The gaps between the ticks of a 10 ms timer on the window's thread while
// `paso` runs (the step keeps the event loop going, or the gaps show it does not).
struct Latidos
{
    std::vector<double> huecos;
    double total = 0;

    // `cuenta`, when given, says whether the gap ending now belongs to the
    // step measured (the PDF among the preview's dialogs).
    explicit Latidos(const std::function<void()>& paso, const std::function<bool()>& cuenta = {})
    {
        QTimer reloj;
        reloj.setTimerType(Qt::PreciseTimer);
        QElapsedTimer desde;
        reloj.setInterval(10);
        QObject::connect(&reloj, &QTimer::timeout, [&] {
            if (!cuenta || cuenta())
                huecos.push_back(double(desde.nsecsElapsed()) / 1e6);
            desde.start();
        });
        QElapsedTimer todo;
        todo.start();
        desde.start();
        reloj.start();
        paso();
        huecos.push_back(double(desde.nsecsElapsed()) / 1e6);
        reloj.stop();
        total = double(todo.nsecsElapsed()) / 1e6;
    }
    double maximo() const
    {
        return huecos.empty() ? 0 : *std::max_element(huecos.begin(), huecos.end());
    }
    double percentil99() const
    {
        if (huecos.empty())
            return 0;
        std::vector<double> v = huecos;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, v.size() * 99 / 100)];
    }
};

void imprimir(const char* paso, const Latidos& l)
{
    std::printf("%-28s total %8.0f ms   hueco máximo %7.1f ms   p99 %6.1f ms   (límite 100 ms)\n",
                paso, l.total, l.maximo(), l.percentil99());
}

void imprimirDemoras(const char* paso, const std::vector<double>& demoras, int pedidas)
{
    if (demoras.empty())
        std::printf("%-28s ninguna llegó a tiempo de %d\n", paso, pedidas);
    else
        std::printf("%-28s %zu de %d, la mayor %6.1f ms   (límite 250 ms)\n", paso, demoras.size(),
                    pedidas, *std::max_element(demoras.begin(), demoras.end()));
}

// Escape in the progress window when `momento` says so (polled every 5 ms):
// from the key to `paso` having ended.
std::vector<double> cancelar(int veces, const std::function<void()>& paso,
                             const std::function<bool(int vez, const QElapsedTimer&)>& momento)
{
    std::vector<double> demoras;
    for (int k = 0; k < veces; ++k) {
        QElapsedTimer desdeEscape, desdeInicio;
        QTimer sondeo;
        sondeo.setInterval(5);
        QObject::connect(&sondeo, &QTimer::timeout, [&] {
            QWidget* progreso = QApplication::activeModalWidget();
            if (desdeEscape.isValid() || !progreso ||
                progreso->objectName() != QStringLiteral("CompProgreso") ||
                !momento(k, desdeInicio))
                return;
            desdeEscape.start();
            QTest::keyClick(progreso, Qt::Key_Escape);
        });
        desdeInicio.start();
        sondeo.start();
        paso();
        sondeo.stop();
        if (desdeEscape.isValid()) {
            demoras.push_back(double(desdeEscape.nsecsElapsed()) / 1e6);
            std::printf("  Escape a los %5lld ms: detenida en %7.1f ms\n",
                        desdeInicio.elapsed() - qint64(demoras.back()), demoras.back());
        }
    }
    return demoras;
}

// The preview's "Guardar PDF…" as the operator does it: once whole (the gaps
// while its pages are painted, and its time), then `veces` more with an
// Escape at a random moment of it, from the key to the progress window gone.
void medirPdf(RP_OProduccion& ventana, int veces, QRandomGenerator& azar, const QString& pdf)
{
    PrintPreview::setPresenter({});
    int pedidos = 0;
    double total = 0;
    std::vector<double> demoras;
    QElapsedTimer desdeInicio, desdeEscape;
    qint64 momento = -1;
    bool enCurso = false, visto = false;
    QTimer operador;
    operador.setInterval(5);
    QObject::connect(&operador, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* archivo = qobject_cast<QFileDialog*>(modal)) {
            if (enCurso)
                return;
            archivo->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(pdf);
            QTimer::singleShot(0, archivo, [archivo] { static_cast<QDialog*>(archivo)->accept(); });
            enCurso = true;
            visto = false;
            desdeInicio.start();
            desdeEscape.invalidate();
            momento = pedidos > 1 ? qint64(azar.bounded(std::max(1.0, total * 0.9))) : -1;
            return;
        }
        if (auto* aviso = qobject_cast<QMessageBox*>(modal)) {
            if (QAbstractButton* si = aviso->button(QMessageBox::Yes))
                si->click();
            else
                aviso->accept();
            return;
        }
        if (enCurso) {
            const bool mostrado = Componentes::Progreso().Visible();
            visto = visto || mostrado;
            if (momento >= 0 && !desdeEscape.isValid() && desdeInicio.elapsed() >= momento &&
                modal && modal->objectName() == QStringLiteral("CompProgreso")) {
                desdeEscape.start();
                QTest::keyClick(modal, Qt::Key_Escape);
            }
            if (visto && !mostrado) {
                enCurso = false;
                if (pedidos == 1)
                    total = double(desdeInicio.nsecsElapsed()) / 1e6;
                else if (desdeEscape.isValid()) {
                    demoras.push_back(double(desdeEscape.nsecsElapsed()) / 1e6);
                    std::printf("  Escape a los %5lld ms: detenido en %7.1f ms\n", momento,
                                demoras.back());
                }
            }
            return;
        }
        if (modal && modal->objectName() == QStringLiteral("VistaPrevia")) {
            if (pedidos < veces + 1) {
                ++pedidos;
                QTimer::singleShot(0, modal->findChild<QPushButton*>(QStringLiteral("GuardarPDF")),
                                   &QPushButton::click);
            } else {
                qobject_cast<QDialog*>(modal)->reject();
            }
        }
    });
    operador.start();
    const Latidos paginas([&] { ventana.CmdExcel_Click(); },
                          [&] { return pedidos == 1 && enCurso && visto; });
    operador.stop();
    PrintPreview::setPresenter([](const Worksheet&) {});
    std::printf("%-28s total %8.0f ms   hueco máximo %7.1f ms   p99 %6.1f ms   (límite 100 ms)\n",
                "PDF de la vista previa", total, paginas.maximo(), paginas.percentil99());
    imprimirDemoras("Cancelar el PDF", demoras, veces);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int ordenes = valor(args, QStringLiteral("--ordenes"), QStringLiteral("20000")).toInt();
    const int cancelaciones =
        valor(args, QStringLiteral("--cancelaciones"), QStringLiteral("10")).toInt();
    const bool conPdf = !args.contains(QStringLiteral("--sin-pdf"));
    const QString dsn = valor(args, QStringLiteral("--odbc"));
    const QString usuario = valor(args, QStringLiteral("--usuario"));
    const QString clave = valor(args, QStringLiteral("--clave"));
    QTemporaryDir temporal;
    qputenv("RP_CARPETA_PROGRAMA", temporal.path().toLocal8Bit());
    qputenv("RP_CARPETA_EXPORTACION",
            temporal.filePath(QStringLiteral("exportados")).toLocal8Bit());
    const QString archivo =
        valor(args, QStringLiteral("--sqlite"), temporal.filePath(QStringLiteral("bench.db")));

    try {
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = ordenes;
        generarBase(opciones, archivo, dsn, usuario, clave);

        QStringList mensajes;
        Componentes::General().setMensajero([&](const QString& m) { mensajes << m; });
        Componentes::General().setPresentador([&](const RuntimeError& e, const QString&) {
            mensajes << e.description();
            return 3;
        });
        DesktopOpener::setInstance(std::make_unique<NingunPrograma>());
        PrintPreview::setPresenter([](const Worksheet&) {});
        RP_OProduccion ventana;
        ventana.TerminarPrograma = [](int) {};
        const QString sesion =
            dsn.isEmpty()
                ? QStringLiteral("@DbName=") + archivo + QLatin1Char(';')
                : QStringLiteral("@DbName=%1;@Usuario=%2;@Password=%3;").arg(dsn, usuario, clave);
        if (ventana.Form_Load(sesion) != ModGlobal::Inicio::Seguir)
            throw RuntimeError(0, QStringLiteral("no se pudo iniciar la sesión"));
        ventana.show();
        if (!QTest::qWaitForWindowExposed(&ventana))
            throw RuntimeError(0, QStringLiteral("la ventana no llegó a mostrarse"));

        std::printf("%d órdenes, %s\n", ordenes, dsn.isEmpty() ? "SQLite" : "PostgreSQL por ODBC");
        const Latidos carga([&] { ventana.CmdCargar_Click(); });
        imprimir("Cargar (en un hilo)", carga);
        const int filas = ventana.MSFlexGrid1.rows();
        mensajes.clear();
        const Latidos exportar([&] { ventana.CmdExcel_Click(); });
        imprimir("Exportar Excel (en un hilo)", exportar);
        // Total times against the same work on the window's thread (as the
        // command line runs it, and as the window ran it before), in
        // alternating rounds: the first run of either pays for a cold cache
        // and a growing heap, so a single pair flatters whichever runs second.
        constexpr int Rondas = 3;
        const auto ms = [](const QElapsedTimer& r) { return double(r.nsecsElapsed()) / 1e6; };
        std::vector<double> cargaEnHilo{carga.total}, cargaEnVentana,
            exportarEnHilo{exportar.total}, exportarEnVentana;
        // Round 0 of the worker is the measured run above.
        const auto alternar = [&](std::vector<double>& enHilo, std::vector<double>& enVentana,
                                  const std::function<void()>& hilo,
                                  const std::function<void()>& deLaVentana) {
            for (int ronda = 0; ronda < Rondas; ++ronda) {
                QElapsedTimer reloj;
                if (ronda > 0) {
                    reloj.start();
                    hilo();
                    enHilo.push_back(ms(reloj));
                }
                reloj.start();
                deLaVentana();
                enVentana.push_back(ms(reloj));
            }
        };
        alternar(
            cargaEnHilo, cargaEnVentana, [&] { ventana.CmdCargar_Click(); },
            [&] { ventana.Cargar(); });
        alternar(
            exportarEnHilo, exportarEnVentana, [&] { ventana.CmdExcel_Click(); },
            [&] {
                ModExportarExcel::GuardarLibro(
                    ventana.MSFlexGrid1, temporal.filePath(QStringLiteral("en_ventana.xlsx")));
            });
        // The load alone, the grid and nothing beside it (as a CSV of the
        // command line takes it), against the same load with the marks,
        // figures and totals worked out as the rows arrive; both into grids
        // no view shows, on this thread. Each kind runs in blocks of its own
        // after one load not counted: a load right after one of the other
        // kind finds the heap that one left (a smaller one reuses a bigger
        // one's pages) and would time the pair, not the kind.
        std::vector<double> soloGrilla, conResumen;
        constexpr int Bloques = 3, PorBloque = 3;
        for (int bloque = 0; bloque < Bloques; ++bloque)
            for (const auto alcance :
                 {ReporteOrdenes::Alcance::SoloGrilla, ReporteOrdenes::Alcance::ConTotales})
                for (int vez = 0; vez <= PorBloque; ++vez) {
                    GridModel grilla, totalesSueltos;
                    QElapsedTimer reloj;
                    reloj.start();
                    // Kept past the reading of the clock, as the window keeps it.
                    const ReporteOrdenes::Carga resultado = ReporteOrdenes::Cargar(
                        ventana.Filtro(), grilla, alcance, &totalesSueltos);
                    if (vez > 0)
                        (alcance == ReporteOrdenes::Alcance::SoloGrilla ? soloGrilla : conResumen)
                            .push_back(ms(reloj));
                }
        const auto comparar = [](const char* paso, std::vector<double> hilo,
                                 std::vector<double> enVentana) {
            std::sort(hilo.begin(), hilo.end());
            std::sort(enVentana.begin(), enVentana.end());
            const double h = hilo[hilo.size() / 2], v = enVentana[enVentana.size() / 2];
            std::printf("%-28s en un hilo %8.0f ms [%.0f–%.0f]   en el hilo de la ventana %8.0f ms "
                        "[%.0f–%.0f]   (medianas de %zu: %+.0f %%, límite +10 %%)\n",
                        paso, h, hilo.front(), hilo.back(), v, enVentana.front(), enVentana.back(),
                        hilo.size(), 100.0 * (h - v) / v);
        };
        comparar("Carga, tiempo total", cargaEnHilo, cargaEnVentana);
        {
            const auto mediana = [](std::vector<double> v) {
                std::sort(v.begin(), v.end());
                return v[v.size() / 2];
            };
            const double g = mediana(soloGrilla), r = mediana(conResumen),
                         c = mediana(cargaEnHilo);
            const auto [gMin, gMax] = std::minmax_element(soloGrilla.begin(), soloGrilla.end());
            const auto [rMin, rMax] = std::minmax_element(conResumen.begin(), conResumen.end());
            std::printf("%-28s la grilla sola %8.0f ms [%.0f–%.0f]   con marcas, cifras y totales "
                        "%8.0f ms [%.0f–%.0f]   (medianas de %d: %+.0f %%, límite +10 %%: %s)\n",
                        "Lo que se calcula al leer", g, *gMin, *gMax, r, *rMin, *rMax,
                        Bloques * PorBloque, 100.0 * (r - g) / g,
                        r <= g * 1.10 ? "cumple" : "NO cumple");
            std::printf("%-28s %8.0f ms desde \"Cargar\" hasta la ventana completa (grilla, "
                        "marcas, totales, gráfico y línea de estado)\n",
                        "Carga en la ventana", c);
        }
        comparar("Exportar, tiempo total", exportarEnHilo, exportarEnVentana);

        // From a material to its orders: on the window's thread, so its whole
        // time is the window's gap. The heaviest material (the most lines to
        // show) and the lightest, three times each.
        ventana.CmdCargar_Click();
        {
            const int primera = 1;
            int ultima = primera;
            while (ultima + 1 < ventana.MSFlexGridTotales.rows() &&
                   ventana.MSFlexGridTotales.text(ultima + 1, 1) != QStringLiteral("Total"))
                ++ultima;
            double peor = 0;
            for (const int fila : {primera, ultima})
                for (int vez = 0; vez < 3; ++vez) {
                    QElapsedTimer reloj;
                    reloj.start();
                    ventana.FiltrarPorInsumo(fila);
                    peor = std::max(peor, ms(reloj));
                    ventana.MostrarTodo();
                }
            std::printf("%-28s el más largo de 6 %8.1f ms (límite 100 ms: %s)\n",
                        "Filtrar por insumo", peor, peor < 100 ? "cumple" : "NO cumple");
        }

        // Escape at random moments of a load: from the key to the load having stopped.
        std::vector<double> demoras;
        QRandomGenerator azar(7);
        for (int k = 0; k < cancelaciones; ++k) {
            const int momento = int(azar.bounded(std::max(1.0, carga.total * 0.9)));
            QElapsedTimer desdeEscape;
            QTimer::singleShot(momento, &ventana, [&] {
                if (QWidget* progreso = QApplication::activeModalWidget()) {
                    desdeEscape.start();
                    QTest::keyClick(progreso, Qt::Key_Escape);
                }
            });
            mensajes.clear();
            ventana.CmdCargar_Click();
            if (desdeEscape.isValid()) {
                demoras.push_back(double(desdeEscape.nsecsElapsed()) / 1e6);
                std::printf("  Escape a los %5d ms: detenida en %7.1f ms\n", momento,
                            demoras.back());
            }
        }
        imprimirDemoras("Cancelar la carga", demoras, cancelaciones);
        ventana.CmdCargar_Click(); // the whole grid again, for the export

        // Escape at random moments of the export, then in its packing.
        std::vector<int> momentos;
        for (int k = 0; k < cancelaciones; ++k)
            momentos.push_back(int(azar.bounded(std::max(1.0, exportar.total * 0.9))));
        const auto exportarUnaVez = [&] { ventana.CmdExcel_Click(); };
        const std::vector<double> alAzar =
            cancelar(cancelaciones, exportarUnaVez, [&](int vez, const QElapsedTimer& desde) {
                return desde.elapsed() >= momentos[size_t(vez)];
            });
        imprimirDemoras("Cancelar la exportación", alAzar, cancelaciones);
        const std::vector<double> empaquetando =
            cancelar(cancelaciones, exportarUnaVez, [&](int, const QElapsedTimer&) {
                return Componentes::Progreso().TextoMostrado().contains(
                    QStringLiteral("comprimiendo"));
            });
        imprimirDemoras("  de ello, empaquetando", empaquetando, cancelaciones);

        if (conPdf)
            medirPdf(ventana, cancelaciones, azar, temporal.filePath(QStringLiteral("hoja.pdf")));
        std::printf("(grilla de %d filas)\n", filas);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "bench_respuesta: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
