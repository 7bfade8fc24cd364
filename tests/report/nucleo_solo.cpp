// The report's core on its own: a program that links it and nothing of the
// windows runs a whole load of the demonstration database under a plain
// QCoreApplication, and no widget library is in the process. Exits 0 when
// both hold, else 1 with what failed.
#include "BaseDatos.h"
#include "components/Componentes.h"
#include "report/nucleo/ReporteOrdenes.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

bool widgetsCargados()
{
#ifdef Q_OS_WIN
    return GetModuleHandleW(L"Qt6Widgets.dll") != nullptr;
#else
    QFile mapa(QStringLiteral("/proc/self/maps"));
    return !mapa.open(QIODevice::ReadOnly) || mapa.readAll().contains("libQt6Widgets");
#endif
}

int fallo(const char* que)
{
    std::fprintf(stderr, "nucleo_solo: %s\n", que);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    QTemporaryDir carpeta;
    const QString archivo = carpeta.filePath(QStringLiteral("demo.db"));
    {
        QSqlDatabase db = basedatos::abrirSqlite(archivo, QStringLiteral("demo"), true);
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("demo"));
    Componentes::Datos().setBaseDatos(archivo);
    Componentes::Datos().Conectar();
    GridModel grilla, totales;
    const ReporteOrdenes::Carga carga = ReporteOrdenes::Cargar(
        FiltroOrdenes(), grilla, ReporteOrdenes::Alcance::ConTotales, &totales);
    // Closed before the folder goes: Windows removes no open file, and the
    // folder would stay behind in the temporary folder.
    Componentes::Datos().Desconectar();
    if (carga.resumen.lineas == 0 || carga.resumen.insumos == 0 || totales.rows() < 3)
        return fallo("la carga no trajo líneas, insumos o totales");
    if (widgetsCargados())
        return fallo("la biblioteca de widgets está en el proceso");
    std::printf("nucleo_solo: %d líneas, %d insumos, sin widgets\n", carga.resumen.lineas,
                carga.resumen.insumos);
    return 0;
}
