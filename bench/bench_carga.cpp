// Load benchmark: builds a database with the generator, runs the "Cargar" load
// of every order into the grid model and prints its figures.
//
//   bench_carga [--ordenes N] [--sqlite ARCHIVO | --odbc DSN --usuario U --clave C]
#include "BaseDatos.h"
#include "Medicion.h"
#include "components/Componentes.h"
#include "platform/controls/GridModel.h"
#include "report/CargaOrdenes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QString valor(const QStringList& args, const QString& opcion, const QString& porDefecto = {})
{
    const qsizetype i = args.indexOf(opcion);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : porDefecto;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int ordenes = valor(args, QStringLiteral("--ordenes"), QStringLiteral("10000")).toInt();
    const QString dsn = valor(args, QStringLiteral("--odbc"));
    QTemporaryDir temporal;
    const QString archivo =
        valor(args, QStringLiteral("--sqlite"), temporal.filePath(QStringLiteral("bench.db")));

    try {
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = ordenes;
        basedatos::ResumenGenerador resumen;
        {
            QSqlDatabase db;
            if (dsn.isEmpty()) {
                QFile::remove(archivo);
                db = basedatos::abrirSqlite(archivo, QStringLiteral("generar"), true);
            } else {
                db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("generar"));
                db.setDatabaseName(dsn);
                db.setUserName(valor(args, QStringLiteral("--usuario")));
                db.setPassword(valor(args, QStringLiteral("--clave")));
                if (!db.open())
                    throw RuntimeError(ErrorNumber::Database,
                                       QStringLiteral("no se pudo abrir ") + dsn);
                basedatos::vaciarEsquema(db);
            }
            basedatos::crearEsquema(db);
            resumen = basedatos::generar(db, opciones);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("generar"));

        CompDatos& datos = Componentes::Datos();
        datos.setBaseDatos(dsn.isEmpty() ? archivo : dsn);
        datos.setUsuario(valor(args, QStringLiteral("--usuario")));
        datos.setClave(valor(args, QStringLiteral("--clave")));
        datos.Conectar();
        datos.Conexion().setIsolationLevel(256);
        datos.Conexion().setCommandTimeout(480);

        GridModel grilla;
        const long memoriaAntes = picoMemoriaKiB();
        const qint64 consultasAntes = datos.SentenciasEmitidas();
        QElapsedTimer reloj;
        reloj.start();
        RangoFiltro numero;
        numero.Campo = QStringLiteral("V_MV_CPTE.IdComprobante");
        RangoFiltro fecha;
        fecha.Campo = QStringLiteral("V_MV_CPTE.Fecha");
        fecha.TipoDato = RangoFiltro::Fecha;
        const CargaOrdenes::Resultado r = CargaOrdenes().Cargar(
            {numero, fecha}, {false, false, QStringLiteral("{V_MV_Cpte.Fecha}")}, grilla);
        const double segundos = reloj.nsecsElapsed() / 1e9;
        const long memoriaDespues = picoMemoriaKiB();

        std::printf("motor:                 %s\n", dsn.isEmpty() ? "SQLite" : "PostgreSQL (ODBC)");
        std::printf("generador:             %lld órdenes, %lld líneas, %lld artículos en %.2f s\n",
                    resumen.ordenes, resumen.lineas, resumen.articulos, resumen.segundos);
        std::printf("líneas cargadas:       %d\n", r.lineas);
        std::printf("filas de insumos:      %d\n", r.insumos);
        std::printf("filas de la grilla:    %d\n", grilla.rows());
        std::printf("consultas emitidas:    %lld\n", datos.SentenciasEmitidas() - consultasAntes);
        std::printf("tiempo total:          %.2f s\n", segundos);
        std::printf("líneas por segundo:    %.0f\n", r.lineas / segundos);
        std::printf("memoria pico:          %.1f MiB (la carga agregó %.1f MiB)\n",
                    memoriaDespues / 1024.0, (memoriaDespues - memoriaAntes) / 1024.0);
    } catch (const RuntimeError& e) {
        std::fprintf(stderr, "bench_carga: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
