#include "report/RP_OProduccion.h"
#include "session/LineaComandos.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rp_oproduccion"));
    QApplication::setApplicationDisplayName(QStringLiteral("Reporte de Ordenes de Producción"));

    auto* ventana = new RP_OProduccion;
    if (ventana->Form_Load(LineaComandos::DelProceso(QCoreApplication::arguments())) ==
        ModGlobal::Inicio::Terminar)
        return 2;
    ventana->show();
    return QApplication::exec();
}
