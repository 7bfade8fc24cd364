#include "app/CargosLinea.h"
#include "app/ConsultaLinea.h"
#include "app/Demostracion.h"
#include "app/ReporteLinea.h"
#include "app/SinVentana.h"
#include "platform/controls/DisplayPresence.h"
#include "platform/controls/QtTranslations.h"
#include "platform/files/FileCommit.h"
#include "platform/files/ParentConsole.h"
#include "platform/text/CNumericLocale.h"
#include "platform/text/RuntimeError.h"
#include "report/RP_OProduccion.h"
#include "session/LineaComandos.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const char* LineaSinPantalla = nullptr;
QtMessageHandler ManejadorPrevio = nullptr;
QList<std::pair<QtMsgType, QString>> Retenidos;

} // namespace

int main(int argc, char** argv)
{
    attachToParentConsole();
    fileCommit::protectStandardStreams();
    fileCommit::removeTemporariesOnSignals();
    QStringList argumentos;
    for (int i = 1; i < argc; ++i) {
        const QByteArray crudo(argv[i]);
        argumentos << QString::fromLocal8Bit(crudo);
        // Bytes that are no text in the system's encoding would come back as
        // U+FFFD: a file would be written under another name than the one given.
        if (argumentos.last().toLocal8Bit() != crudo) {
            QByteArray visible;
            for (const char c : crudo)
                visible +=
                    uchar(c) < 0x80 ? QByteArray(1, c) : "\\x" + QByteArray::number(uchar(c), 16);
            ErrorEnLinea(
                QStringLiteral("el argumento %1 (\"%2\") tiene bytes que no son texto en la "
                               "codificación del sistema (UTF-8): se escribiría otro "
                               "nombre que el dado")
                    .arg(i)
                    .arg(QString::fromLatin1(visible)));
            return 2;
        }
    }
    std::optional<ConsultaLinea::Opciones> consulta;
    std::optional<CargosLinea::Opciones> cargos;
    std::optional<ReporteLinea::Opciones> opciones;
    // --demo stands for an @DbName pair, named once the program's folders are known.
    const bool demo = argumentos.removeIf([](const QString& a) {
        return a.compare(u"--demo", Qt::CaseInsensitive) == 0;
    }) > 0;
    try {
        if (demo &&
            !LineaComandos::ValorCrudo(argumentos.join(u' '), QStringLiteral("@DbName")).isEmpty())
            throw RuntimeError(ErrorNumber::InvalidArgument,
                               QStringLiteral("--demo abre la base de demostración: no va con "
                                              "@DbName"));
        consulta = ConsultaLinea::Leer(argumentos);
        if (!consulta)
            cargos = CargosLinea::Leer(argumentos);
        if (!consulta && !cargos)
            opciones = ReporteLinea::Leer(argumentos);
    } catch (const RuntimeError& e) {
        ErrorEnLinea(e.description());
        return 2;
    }
    // The line said when a window is to be shown and there is no display.
    const char* sinPantalla = nullptr;
    if (consulta && consulta->csv.isEmpty() && !consulta->ayuda)
        sinPantalla = "rp_oproduccion: no hay pantalla para abrir la consulta de comprobantes "
                      "(--csv escribe la lista sin ventana)\n";
    else if (cargos && cargos->csv.isEmpty())
        sinPantalla = "rp_oproduccion: no hay pantalla para abrir el control de cargos reales "
                      "(--csv escribe la lista sin ventana)\n";
    else if (!opciones && !consulta && !cargos)
        sinPantalla = "rp_oproduccion: no hay pantalla para abrir la ventana del reporte (--csv, "
                      "--xlsx, --html o --pdf escriben el reporte sin ventana; --help explica "
                      "el resto)\n";
    if (sinPantalla && !ConsultaLinea::HayPantalla()) {
        std::fputs(sinPantalla, stderr);
        return 2;
    }
    // The command-line report shows no window, with or without a display, and
    // keeps standard error for its own one-line messages.
    if (opciones || (consulta && (!consulta->csv.isEmpty() || consulta->ayuda)) ||
        (cargos && !cargos->csv.isEmpty()))
        useOffscreenPlatform();
    if (opciones || consulta || cargos) {
        qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
            if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
                std::fprintf(stderr, "rp_oproduccion: %s\n", qPrintable(texto));
        });
    }

    // A display that is named but cannot be reached (a closed session, ssh
    // without forwarding) makes Qt abort while the application object is
    // made; the operator gets the same line as without a display instead.
    if (sinPantalla) {
        LineaSinPantalla = sinPantalla;
        ManejadorPrevio =
            qInstallMessageHandler([](QtMsgType tipo, const QMessageLogContext&, const QString& m) {
                if (tipo == QtFatalMsg) {
                    std::fputs(LineaSinPantalla, stderr);
                    std::_Exit(2);
                }
                // Held until the display is known to be there: the platform's
                // English complaints before the abort are not the operator's.
                Retenidos.append({tipo, m});
            });
    }
    // The report from the command line makes no widget: a PDF is painted, so
    // it needs the fonts of a graphical application; the rest needs none.
    std::unique_ptr<QCoreApplication> app;
    if (opciones && !opciones->pdf.isEmpty())
        app = std::make_unique<QGuiApplication>(argc, argv);
    else if (opciones)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    if (sinPantalla) {
        qInstallMessageHandler(ManejadorPrevio);
        for (const auto& [tipo, texto] : std::as_const(Retenidos))
            qt_message_output(tipo, QMessageLogContext(), texto);
        Retenidos.clear();
    }
    useCNumericLocale();
    QCoreApplication::setApplicationName(QStringLiteral("rp_oproduccion"));
    if (auto* grafica = qobject_cast<QGuiApplication*>(app.get()))
        grafica->setApplicationDisplayName(ReporteOrdenes::Titulo);
    installQtTranslations();
    const bool soloTexto =
        (opciones && (opciones->ayuda || opciones->version)) || (consulta && consulta->ayuda);
    if (demo && !soloTexto) {
        try {
            const QString par = Demostracion::Par();
            argumentos << par;
            for (QStringList* pares :
                 {opciones ? &opciones->pares : nullptr, consulta ? &consulta->pares : nullptr,
                  cargos ? &cargos->pares : nullptr})
                if (pares)
                    pares->append(par);
        } catch (const RuntimeError& e) {
            ErrorEnLinea(e.description());
            // Started from the desktop's menu, nobody reads standard error.
            if (!opciones && !consulta && !cargos)
                QMessageBox::critical(nullptr, ReporteOrdenes::Titulo, e.description());
            return 1;
        }
    }
    if (opciones) {
        const int codigo = ReporteLinea::Ejecutar(*opciones);
        // For the tests: which application object the report ran under and
        // how many widgets it made (none is the point).
        if (const QString prueba = qEnvironmentVariable("RP_PRUEBA_APLICACION");
            !prueba.isEmpty()) {
            QFile archivo(prueba);
            if (archivo.open(QIODevice::WriteOnly))
                archivo.write(QByteArray(app->metaObject()->className()) + ' ' +
                              QByteArray::number(QApplication::allWidgets().size()));
        }
        return codigo;
    }
    if (consulta)
        return ConsultaLinea::Ejecutar(*consulta);
    if (cargos)
        return CargosLinea::Ejecutar(*cargos);

    auto* ventana = new RP_OProduccion;
    if (ventana->Form_Load(LineaComandos::DelProceso(
            QStringList(QCoreApplication::applicationFilePath()) + argumentos)) ==
        ModGlobal::Inicio::Terminar)
        return 2;
    ventana->OfrecerUltimosFiltros();
    ventana->show();
    return QApplication::exec();
}
