#include "components/Componentes.h"
#include "session/LineaComandos.h"
#include "session/ModGlobal.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rp_oproduccion"));
    QApplication::setApplicationDisplayName(QStringLiteral("Reporte de Ordenes de Producción"));

    const QString linea = LineaComandos::DelProceso(QCoreApplication::arguments());
    if (ModGlobal::IniciarSesion(linea) == ModGlobal::Inicio::Terminar)
        return 2;
    CompDatos& datos = Componentes::Datos();
    if (!datos.Conectado())
        return 1;
    // The report window comes next; until then the program says what start-up left.
    const ValoresSesion& s = ModGlobal::Sesion();
    std::printf("Sesión iniciada: base \"%s\", usuario \"%s\", equipo \"%s\", consultas en %s\n",
                qPrintable(datos.BaseDatos()), qPrintable(s.UsuarioLogeado),
                qPrintable(s.ClaveEquipo), qPrintable(Componentes::Sesion().ArchivoConsultas()));
    return 0;
}
