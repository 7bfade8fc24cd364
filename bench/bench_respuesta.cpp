// Responsiveness benchmark: the real report window (offscreen) on a generated
// database, a 10 ms timer on the window's thread recording the gaps between
// its ticks while "Cargar" runs and while "Exportar Excel" saves the grid;
// then the delay from an Escape in the progress window, at random moments of
// a load, to the load having stopped; and the load's total time against the
// same load run on the window's thread (the command-line path). Prints the
// figures beside their limits: longest gap <= 100 ms, cancel <= 250 ms.
//
//   bench_respuesta [--ordenes N] [--cancelaciones K]
//                   [--sqlite ARCHIVO | --odbc DSN --usuario U --clave C]
#include "BaseGenerada.h"
#include "components/Componentes.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "report/RP_OProduccion.h"
#include "report/ResumenCarga.h"
#include "report/TotalesInsumo.h"
#include "session/ModGlobal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
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

    explicit Latidos(const std::function<void()>& paso)
    {
        QTimer reloj;
        reloj.setTimerType(Qt::PreciseTimer);
        QElapsedTimer desde;
        reloj.setInterval(10);
        QObject::connect(&reloj, &QTimer::timeout, [&] {
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
    double maximo() const { return *std::max_element(huecos.begin(), huecos.end()); }
    double percentil99() const
    {
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
        const Latidos exportar([&] { ventana.CmdExcel_Click(); });
        imprimir("Exportar Excel", exportar);

        // The same load and what the window works out of it, on the window's
        // thread, as the command line runs it and as the window ran it before.
        QElapsedTimer reloj;
        reloj.start();
        ventana.Cargar();
        const double soloCarga = double(reloj.nsecsElapsed()) / 1e6;
        ResumenCarga::MarcarIncompletas(ventana.MSFlexGrid1);
        const double marcadas = double(reloj.nsecsElapsed()) / 1e6;
        TotalesInsumo::Calcular(ventana.MSFlexGrid1, ventana.MSFlexGridTotales);
        const double totales = double(reloj.nsecsElapsed()) / 1e6;
        ResumenCarga::DeLaGrilla(ventana.MSFlexGrid1);
        const double enVentana = double(reloj.nsecsElapsed()) / 1e6;
        std::printf("%-28s la carga %6.0f ms, marcar incompletas %6.0f ms, totales %6.0f ms, "
                    "resumen %6.0f ms\n",
                    "  de ello", soloCarga, marcadas - soloCarga, totales - marcadas,
                    enVentana - totales);
        std::printf("%-28s en un hilo %8.0f ms   en el hilo de la ventana %8.0f ms   (%+.0f %%, "
                    "límite +10 %%)\n",
                    "Carga, tiempo total", carga.total, enVentana,
                    100.0 * (carga.total - enVentana) / enVentana);

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
        if (!demoras.empty())
            std::printf("%-28s %zu de %d, la mayor %6.1f ms   (límite 250 ms)\n",
                        "Cancelar (Escape)", demoras.size(), cancelaciones,
                        *std::max_element(demoras.begin(), demoras.end()));
        std::printf("(grilla de %d filas)\n", filas);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "bench_respuesta: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
