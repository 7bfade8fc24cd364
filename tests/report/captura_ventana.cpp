// Saves a picture of the report window as the operator sees it, opened on a
// fresh demonstration database:  captura_ventana SALIDA.png [--cargar]
// (with --cargar, after pressing "Cargar" with the dates of October 2026).
#include "BaseDatos.h"
#include "report/RP_OProduccion.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Reporte de Ordenes de Producción"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "uso: captura_ventana SALIDA.png\n");
        return 2;
    }
    QTemporaryDir carpeta;
    qputenv("RP_CARPETA_PROGRAMA", carpeta.path().toLocal8Bit());
    const QString base = carpeta.filePath(QStringLiteral("demo.db"));
    {
        QSqlDatabase db = basedatos::abrirSqlite(base, QStringLiteral("captura"), true);
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("captura"));
    RP_OProduccion ventana;
    ventana.Form_Load(QStringLiteral("@DbName=") + base + QStringLiteral(";@UsuarioLogeado=ana;"));
    ventana.resize(1000, 560);
    ventana.show();
    if (args.contains(QStringLiteral("--cargar"))) {
        ventana.txtFields.at(8)->setText(QStringLiteral("01/10/2026"));
        ventana.txtFields.at(9)->setText(QStringLiteral("31/10/2026"));
        ventana.CmdCargar->click();
    }
    QApplication::processEvents();
    if (!ventana.grab().save(args.at(1))) {
        std::fprintf(stderr, "no se pudo guardar %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
