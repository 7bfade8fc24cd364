// Load benchmark: builds a database with the generator, runs the "Cargar" load
// of every order into the grid model and, beside it, its limit: one joined
// statement returning the same rows (the order query joined to the articles
// and their bills of materials) read through Qt. Prints both, their ratio and
// the load's peak memory per grid row.
//
//   bench_carga [--ordenes N] [--articulo-por-linea] [--consulta-por-linea] [--repeticiones R]
//
// --consulta-por-linea runs the load as the suite always did (each line asks
// its article anew), for the figures before.
//               [--sqlite ARCHIVO | --odbc DSN --usuario U --clave C]
#include "BaseDatos.h"
#include "BaseGenerada.h"
#include "Medicion.h"
#include "components/Componentes.h"
#include "export/EscritorCSV.h"
#include "platform/controls/GridModel.h"
#include "report/nucleo/CargaOrdenes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString valor(const QStringList& args, const QString& opcion, const QString& porDefecto = {})
{
    const qsizetype i = args.indexOf(opcion);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : porDefecto;
}

// The limit: the rows the load shows, from one statement.
QString consultaUnida()
{
    return QStringLiteral(
        "SELECT dbo.V_MV_Cpte.IDCOMPROBANTE, dbo.V_MV_Cpte.FECHA, dbo.V_MV_CpteInsumos.IDARTICULO,"
        " dbo.V_MV_CpteInsumos.DESCRIPCION, dbo.V_MV_CpteInsumos.CANTIDAD, A.ANCHO, A.LARGO,"
        " A.PROFUNDO, A.LAMINADO, I.IdArticuloInsumo, I.Cantidad AS CantidadInsumo,"
        " A1.DESCRIPCION AS DescInsumo, A1.PESO_ESPECIFICO AS PeInsumo"
        " FROM dbo.V_MV_Cpte INNER JOIN dbo.V_MV_CpteInsumos ON dbo.V_MV_Cpte.TC ="
        " dbo.V_MV_CpteInsumos.TC AND dbo.V_MV_Cpte.IdComprobante ="
        " dbo.V_MV_CpteInsumos.IdComprobante AND dbo.V_MV_Cpte.IdComplemento ="
        " dbo.V_MV_CpteInsumos.IdComplemento"
        " LEFT OUTER JOIN dbo.V_MA_ARTICULOS AS A ON A.IDARTICULO = dbo.V_MV_CpteInsumos.IDARTICULO"
        " LEFT OUTER JOIN dbo.V_MA_INSUMOS AS I ON I.IdArticulo = dbo.V_MV_CpteInsumos.IDARTICULO"
        " LEFT OUTER JOIN dbo.V_MA_ARTICULOS AS A1 ON A1.IDARTICULO = I.IdArticuloInsumo"
        " WHERE dbo.V_MV_Cpte.TC = 'OP'"
        " ORDER BY dbo.V_MV_Cpte.Fecha, dbo.V_MV_Cpte.IdComprobante");
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int ordenes = valor(args, QStringLiteral("--ordenes"), QStringLiteral("10000")).toInt();
    const int repeticiones =
        std::max(1, valor(args, QStringLiteral("--repeticiones"), QStringLiteral("3")).toInt());
    const bool porLinea = args.contains(QStringLiteral("--articulo-por-linea"));
    const bool consultaPorLinea = args.contains(QStringLiteral("--consulta-por-linea"));
    const QString dsn = valor(args, QStringLiteral("--odbc"));
    QTemporaryDir temporal;
    const QString archivo =
        valor(args, QStringLiteral("--sqlite"), temporal.filePath(QStringLiteral("bench.db")));

    try {
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = ordenes;
        opciones.articuloPorLinea = porLinea;
        const basedatos::ResumenGenerador resumen =
            generarBase(opciones, archivo, dsn, valor(args, QStringLiteral("--usuario")),
                        valor(args, QStringLiteral("--clave")));

        CompDatos& datos = Componentes::Datos();
        datos.setBaseDatos(dsn.isEmpty() ? archivo : dsn);
        datos.setUsuario(valor(args, QStringLiteral("--usuario")));
        datos.setClave(valor(args, QStringLiteral("--clave")));
        datos.Conectar();
        datos.Conexion().setIsolationLevel(256);
        datos.Conexion().setCommandTimeout(480);

        RangoFiltro numero;
        numero.Campo = QStringLiteral("V_MV_CPTE.IdComprobante");
        RangoFiltro fecha;
        fecha.Campo = QStringLiteral("V_MV_CPTE.Fecha");
        fecha.TipoDato = RangoFiltro::Fecha;
        const QString sqlUnida = adaptSql(consultaUnida(), datos.Motor());

        std::vector<double> tiemposCarga, tiemposUnida;
        CargaOrdenes::Resultado r;
        qint64 consultas = 0, filasUnidas = 0;
        int filasGrilla = 0;
        // The most any repetition added: a later one starts on memory the
        // earlier ones freed but the process kept, and would look smaller.
        long picoKiB = 0, agregadoKiB = 0, csvKiB = 0;
        double grillaBytes = 0;
        for (int vuelta = 0; vuelta < repeticiones; ++vuelta) {
            {
                QElapsedTimer reloj;
                reloj.start();
                QSqlQuery q(datos.BaseQt());
                q.setForwardOnly(true);
                q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
                if (!q.exec(sqlUnida))
                    throw RuntimeError(ErrorNumber::Database, q.lastError().text());
                const int columnas = q.record().count();
                qint64 filas = 0;
                while (q.next()) {
                    for (int c = 0; c < columnas; ++c)
                        q.value(c);
                    ++filas;
                }
                tiemposUnida.push_back(reloj.nsecsElapsed() / 1e9);
                filasUnidas = filas;
            }
            GridModel grilla;
            const long antesKiB = marcarMemoriaKiB();
            const std::size_t antesBytes = bytesReservados();
            const qint64 consultasAntes = datos.SentenciasEmitidas();
            QElapsedTimer reloj;
            reloj.start();
            r = CargaOrdenes().Cargar(
                {numero, fecha},
                {false, false, QStringLiteral("{V_MV_Cpte.Fecha}"), consultaPorLinea}, grilla);
            tiemposCarga.push_back(reloj.nsecsElapsed() / 1e9);
            picoKiB = std::max(picoKiB, picoMemoriaKiB());
            agregadoKiB = std::max(agregadoKiB, picoMemoriaKiB() - antesKiB);
            consultas = datos.SentenciasEmitidas() - consultasAntes;
            filasGrilla = grilla.rows();
            // The load's own structures are gone with it: what stays is the grid.
            grillaBytes = std::max(grillaBytes, double(bytesReservados() - antesBytes));
            const long picoCarga = picoMemoriaKiB();
            EscribirCSV(grilla, temporal.filePath(QStringLiteral("grilla.csv")));
            csvKiB = std::max(csvKiB, picoMemoriaKiB() - picoCarga);
        }
        const double carga = mediana(tiemposCarga);
        const double unida = mediana(tiemposUnida);
        // Each load is compared with the statement run just before it, so a
        // machine that slows down for a while weighs on both sides alike.
        std::vector<double> razones;
        for (std::size_t i = 0; i < tiemposCarga.size(); ++i)
            razones.push_back(tiemposCarga[i] / tiemposUnida[i]);

        std::printf("motor:                 %s\n", dsn.isEmpty() ? "SQLite" : "PostgreSQL (ODBC)");
        std::printf(
            "generador:             %lld órdenes, %lld líneas, %lld artículos%s en %.2f s\n",
            resumen.ordenes, resumen.lineas, resumen.articulos, porLinea ? " (uno por línea)" : "",
            resumen.segundos);
        std::printf("carga:                 %s\n",
                    consultaPorLinea ? "cada línea consulta su artículo" : "por artículo");
        std::printf("líneas cargadas:       %d\n", r.lineas);
        std::printf("filas de insumos:      %d\n", r.insumos);
        std::printf("filas de la grilla:    %d\n", filasGrilla);
        std::printf("consultas emitidas:    %lld\n", consultas);
        std::printf("carga (mediana de %d):  %.2f s, %.0f líneas/s\n", repeticiones, carga,
                    r.lineas / carga);
        std::printf("límite, una consulta:  %.2f s (%lld filas)\n", unida, filasUnidas);
        std::printf("razón carga/límite:    %.2f (mediana de las razones de cada par)\n",
                    mediana(razones));
        std::printf(
            "memoria pico:          %.1f MiB, %.0f bytes por fila de la grilla (límite 300)\n",
            picoKiB / 1024.0, agregadoKiB * 1024.0 / std::max(1, filasGrilla));
        std::printf("grilla tras la carga:  %.0f bytes por fila (límite 300)\n",
                    grillaBytes / std::max(1, filasGrilla));
        std::printf(
            "escribir el CSV:       el pico sube %.1f MiB sobre el de la carga (límite 10)\n",
            csvKiB / 1024.0);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "bench_carga: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
