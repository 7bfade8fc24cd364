#include "app/ReporteLinea.h"

#include "app/CargosLinea.h"
#include "app/ConsultaLinea.h"
#include "export/EscritorGrilla.h"
#include "app/SinVentana.h"
#include "app/Version.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/FileCommit.h"
#include "platform/sql/SilentServerWatch.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/PrintableText.h"
#include "report/nucleo/ReporteOrdenes.h"
#include "session/ModGlobal.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

namespace ReporteLinea {

namespace {

[[noreturn]] void malaOpcion(const QString& texto)
{
    throw RuntimeError(ErrorNumber::InvalidArgument, texto, QStringLiteral("línea de comandos"));
}

void error(const QString& texto)
{
    ErrorEnLinea(texto);
}

// A server's statement time-out is the server's: one that stops answering
// never sends it. Past that time-out, and a margin for the server's own
// cancel to arrive, with no line loaded, the run ends with one line and
// status 1. RP_ESPERA_SERVIDOR (seconds) sets the limit for a scheduled run
// that must not wait that long. SQLite's limit is enforced in the process.
std::unique_ptr<SilentServerWatch> vigilarServidor()
{
    CompDatos& datos = Componentes::Datos();
    const int espera = datos.Conexion().CommandTimeout();
    bool dado = false;
    const int limite = qEnvironmentVariableIntValue("RP_ESPERA_SERVIDOR", &dado);
    if (datos.Motor() == SqlBackend::SQLite || (!dado && espera <= 0) || (dado && limite <= 0))
        return nullptr;
    const int segundos = dado ? limite : espera + 60;
    return std::make_unique<SilentServerWatch>(std::chrono::seconds(segundos), [segundos] {
        fileCommit::abandonRun(
            terminalText(QStringLiteral("rp_oproduccion: no se pudo cargar el reporte: el servidor "
                                        "de la base de datos no respondió en %1 s; se abandona "
                                        "la carga, ningún archivo escrito. Revise el servidor "
                                        "(o la red) y vuelva a correr el reporte")
                             .arg(segundos)),
            1);
    });
}

// How far a long run got, on standard error while someone watches it there:
// one line rewritten in place and erased before any other message. Silent
// when standard error goes to a file or a pipe, so scripts get only the result.
class AvanceEnTerminal
{
public:
    AvanceEnTerminal() : m_activo(isatty(fileno(stderr)) == 1) {}
    ~AvanceEnTerminal() { terminar(); }
    AvanceEnTerminal(const AvanceEnTerminal&) = delete;
    AvanceEnTerminal& operator=(const AvanceEnTerminal&) = delete;

    // Often enough to see it move, seldom enough not to slow the load.
    void lineasCargadas(int lineas)
    {
        if (!m_activo || (m_reloj.isValid() && m_reloj.elapsed() < 200))
            return;
        m_reloj.start();
        mostrar(QStringLiteral("Cargando: %L1 líneas cargadas").arg(lineas));
    }
    void escribiendo(const QString& archivo, int filas)
    {
        m_reloj.invalidate();
        mostrar(QStringLiteral("Escribiendo %1: %L2 filas").arg(archivo).arg(filas));
    }
    void paginasEscritas(const QString& archivo, int paginas, int total)
    {
        if (!m_activo || (m_reloj.isValid() && m_reloj.elapsed() < 200 && paginas < total))
            return;
        m_reloj.start();
        mostrar(
            QStringLiteral("Escribiendo %1: página %2 de %3").arg(archivo).arg(paginas).arg(total));
    }
    void terminar()
    {
        if (m_activo && m_enLinea)
            std::fputs("\r\x1b[K", stderr);
        m_enLinea = false;
    }

private:
    void mostrar(const QString& texto)
    {
        if (!m_activo)
            return;
        // Erases what is left of a longer line before.
        std::fprintf(stderr, "\r%s\x1b[K", qPrintable(terminalText(texto)));
        std::fflush(stderr);
        m_enLinea = true;
    }

    const bool m_activo;
    bool m_enLinea = false;
    QElapsedTimer m_reloj;
};

// The rows a grid's files hold: the titles and every row but the empty last one.
int filasDe(const GridModel& grilla)
{
    return std::max(grilla.rows() - 1, 1);
}

} // namespace

QString FormatoTotales(const QString& archivo)
{
    EscritorGrilla::Formato formato;
    if (!EscritorGrilla::PorExtension(archivo, formato))
        return {};
    switch (formato) {
    case EscritorGrilla::Formato::CSV:
        return QStringLiteral("csv");
    case EscritorGrilla::Formato::Libro:
        return QStringLiteral("xlsx");
    case EscritorGrilla::Formato::Pagina:
        return QStringLiteral("html");
    case EscritorGrilla::Formato::PDF:
        break;
    }
    return {};
}

QString Uso()
{
    return QStringLiteral(
        "Uso: rp_oproduccion \"@DbName=BASE;\" [\"@Usuario=U;@Password=C;@UsuarioLogeado=U;\"] "
        "[opciones]\n"
        "     rp_oproduccion --demo [\"@UsuarioLogeado=U;\"] [opciones]\n"
        "Sin opciones abre la ventana del reporte. Con una salida, genera el reporte sin ventana.\n"
        "--demo usa la base de demostración instalada con el programa (una copia en la carpeta\n"
        "del programa, hecha la primera vez) en lugar de @DbName.\n"
        "\n"
        "Filtros (el valor se completa como si el operador lo hubiera tecleado):\n"
        "  --Sucursal_Desde=N --Nro_Desde=N --Letra_Desde=L\n"
        "  --Sucursal_Hasta=N --Nro_Hasta=N --Letra_Hasta=L\n"
        "  --Fecha_Desde=D/M/AAAA --Fecha_Hasta=D/M/AAAA (también D-M-AAAA o D.M.AAAA)\n"
        "  --pendientes        solo órdenes pendientes\n"
        "  --finalizada        solo órdenes finalizadas (con las dos, o ninguna: todas)\n"
        "  --orden=fecha|numero\n"
        "Salidas:\n"
        "  --csv=ARCHIVO       la grilla en CSV (UTF-8; \"-\" para la salida estándar); con\n"
        "                      coma decimal, campos separados por \";\" y marca BOM al inicio\n"
        "  --separador=,|;|tab el separador de campos del CSV\n"
        "  --xlsx=ARCHIVO      la grilla como libro de Excel\n"
        "  --html=ARCHIVO      la grilla como página HTML\n"
        "  --pdf=ARCHIVO       la vista previa de impresión en PDF\n"
        "  --totales=ARCHIVO   los kilogramos por insumo (\"Totales por insumo\"); el formato\n"
        "                      por la extensión: .csv, .xlsx o .html\n"
        "  --help              esta ayuda\n"
        "  --version           la versión del programa\n"

        "Termina con 0 si generó todo; con otro valor y un mensaje si algo falló.\n");
}

std::optional<Opciones> Leer(const QStringList& argumentos)
{
    Opciones op;
    bool hayOpciones = false;
    QStringList dadas;
    for (const QString& arg : argumentos) {
        if (!arg.startsWith(QStringLiteral("--"))) {
            op.pares << arg;
            continue;
        }
        hayOpciones = true;
        const qsizetype igual = arg.indexOf(u'=');
        const QString nombre = arg.mid(2, igual < 0 ? -1 : igual - 2);
        const QString valor = igual < 0 ? QString() : arg.mid(igual + 1);
        // The second value would silently win over the first.
        if (dadas.contains(nombre, Qt::CaseInsensitive))
            malaOpcion(QStringLiteral("la opción --%1 se dio dos veces").arg(nombre));
        dadas << nombre;
        const auto es = [&](const char* n) {
            return nombre.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
        };
        const auto conValor = [&]() {
            if (igual < 0 || valor.isEmpty())
                malaOpcion(
                    QStringLiteral("la opción --%1 necesita un valor: --%1=...").arg(nombre));
            return valor;
        };
        const auto sinValor = [&]() {
            if (igual >= 0)
                malaOpcion(QStringLiteral("la opción --%1 no lleva valor").arg(nombre));
        };
        if (es("help")) {
            op.ayuda = true;
        } else if (es("version")) {
            sinValor();
            op.version = true;
        } else if (es("pendientes")) {
            sinValor();
            op.pendientes = true;
        } else if (es("finalizada")) {
            sinValor();
            op.finalizada = true;
        } else if (es("orden")) {
            op.orden = conValor().toLower();
            if (op.orden != u"fecha" && op.orden != u"numero")
                malaOpcion(QStringLiteral("--orden debe ser fecha o numero, no \"%1\"").arg(valor));
        } else if (es("csv")) {
            op.csv = conValor();
        } else if (es("xlsx")) {
            op.xlsx = conValor();
        } else if (es("html")) {
            op.html = conValor();
        } else if (es("pdf")) {
            op.pdf = conValor();
        } else if (es("totales")) {
            op.totales = conValor();
            if (FormatoTotales(op.totales).isEmpty())
                malaOpcion(QStringLiteral("--totales necesita un archivo .csv, .xlsx o .html, "
                                          "no \"%1\"")
                               .arg(valor));
        } else if (es("separador")) {
            op.separador = conValor();
            QChar separador;
            if (!FormatoCSV::SeparadorDeTexto(op.separador, separador))
                malaOpcion(QStringLiteral("--separador debe ser \",\", \";\" o tab, no \"%1\"")
                               .arg(valor));
        } else {
            // The eight filter keys, without regard to case.
            const QString clave = FiltroOrdenes::Clave(nombre);
            if (clave.isEmpty())
                malaOpcion(QStringLiteral("opción desconocida: --%1 (vea --help)").arg(nombre));
            if (igual < 0)
                malaOpcion(
                    QStringLiteral("la opción --%1 necesita un valor: --%1=...").arg(nombre));
            op.filtros.insert(clave, valor);
        }
    }
    if (!hayOpciones)
        return std::nullopt;
    if (!op.ayuda && !op.version && op.csv.isEmpty() && op.xlsx.isEmpty() && op.html.isEmpty() &&
        op.pdf.isEmpty() && op.totales.isEmpty())
        malaOpcion(QStringLiteral(
            "falta una salida: --csv, --xlsx, --html, --pdf o --totales (vea --help)"));
    for (const QString* archivo : {&op.xlsx, &op.html, &op.pdf})
        if (*archivo == u"-")
            malaOpcion(QStringLiteral("solo --csv puede escribir en la salida estándar"));
    if (!op.separador.isEmpty() && op.csv.isEmpty() && FormatoTotales(op.totales) != u"csv")
        malaOpcion(QStringLiteral("--separador solo vale con --csv o --totales en .csv"));
    // Two outputs into one file would leave only the last, reported as both;
    // into one device or pipe, they would come out mixed.
    const QList<std::pair<const char*, const QString*>> salidas = {{"csv", &op.csv},
                                                                   {"xlsx", &op.xlsx},
                                                                   {"html", &op.html},
                                                                   {"pdf", &op.pdf},
                                                                   {"totales", &op.totales}};
    QList<std::pair<const char*, QString>> identidades;
    for (const auto& [nombre, archivo] : salidas) {
        if (archivo->isEmpty())
            continue;
        const QString identidad = fileCommit::identity(*archivo);
        if (identidad.isEmpty())
            continue; // the null device
        for (const auto& [otro, suya] : identidades)
            if (suya == identidad)
                malaOpcion(QStringLiteral("--%1 y --%2 nombran el mismo archivo (\"%3\")")
                               .arg(QLatin1String(otro), QLatin1String(nombre), *archivo));
        identidades.append({nombre, identidad});
    }
    return op;
}

int Ejecutar(const Opciones& op)
{
    if (op.ayuda) {
        std::fputs(qPrintable(Uso() + ConsultaLinea::Uso() + CargosLinea::Uso()), stdout);
        return 0;
    }
    if (op.version) {
        std::fputs("rp_oproduccion " RP_VERSION "\n", stdout);
        return 0;
    }
    // No window shows anything here: what a dialog would have shown is the
    // failure to report.
    FallosSinVentana fallos;
    const QString& fallo = fallos.primero();

    AvanceEnTerminal avance;
    // A value the box would not take is refused before the session starts:
    // emptied, it would widen the report to every order.
    FiltroOrdenes filtro;
    for (auto it = op.filtros.cbegin(); it != op.filtros.cend(); ++it) {
        const auto tipo = FiltroOrdenes::TipoDe(it.key());
        if (!CompTeclado::Admite(tipo, it.value())) {
            error(QStringLiteral("la opción --%1 no admite \"%2\": el cuadro admite %3")
                      .arg(it.key(), it.value(), CompTeclado::QueAdmite(tipo)));
            return 2;
        }
        filtro.setCaja(it.key(), CompTeclado::TextoAlSalir(tipo, it.value()));
    }
    filtro.pendientes = op.pendientes;
    filtro.finalizada = op.finalizada;
    if (op.orden == u"numero")
        filtro.orden = FiltroOrdenes::OrdenPorNumero;
    QStringList escritos;
    // What a stopping signal interrupted, and which files are complete.
    const auto anotar = [&escritos](const QString& haciendo) {
        fileCommit::setInterruptionNote(terminalText(
            QString(haciendo + (escritos.isEmpty() ? QStringLiteral("; ningún archivo escrito")
                                                   : QStringLiteral("; ya escritos (completos): ") +
                                                         escritos.join(QStringLiteral(", "))))));
    };
    anotar(QStringLiteral("durante la carga del reporte"));
    const bool inicio = ModGlobal::IniciarSesion(op.pares.join(u' ')) == ModGlobal::Inicio::Seguir;
    if (!inicio || !Componentes::Datos().Conectado() || !fallo.isEmpty()) {
        error(QStringLiteral("no se pudo iniciar la sesión: ") +
              (fallo.isEmpty() ? QStringLiteral("sin conexión con la base de datos") : fallo));
        return 1;
    }
    ModGlobal::DecorarSinVentana(ReporteOrdenes::Titulo, ReporteOrdenes::Nombre);
    if (const QString base = SalidaSobreLaBase({{QStringLiteral("csv"), op.csv},
                                                {QStringLiteral("xlsx"), op.xlsx},
                                                {QStringLiteral("html"), op.html},
                                                {QStringLiteral("pdf"), op.pdf},
                                                {QStringLiteral("totales"), op.totales}});
        !base.isEmpty()) {
        error(base);
        return 2;
    }

    GridModel grilla, totales;
    try {
        std::unique_ptr<SilentServerWatch> vigilia = vigilarServidor();
        // The typed rows and the totals only when a file of totals is asked.
        ReporteOrdenes::Cargar(filtro, grilla,
                               op.totales.isEmpty() ? ReporteOrdenes::Alcance::SoloGrilla
                                                    : ReporteOrdenes::Alcance::ConTotales,
                               &totales, [&avance, &vigilia](int lineas) {
                                   avance.lineasCargadas(lineas);
                                   if (vigilia)
                                       vigilia->beat();
                                   return true;
                               });
        vigilia.reset();
        ModGlobal::ReintentarRegistroAcceso();
    } catch (const RuntimeError& e) {
        avance.terminar();
        Componentes::General().RegistrarError(e, QStringLiteral("Cargar"));
        error(QStringLiteral("no se pudo cargar el reporte: ") +
              CompGeneral::TextoParaElOperador(e.description()));
        return 1;
    }
    avance.terminar();
    ModExportarExcel::setEncabezadoImpresion(ReporteOrdenes::Titulo, filtro.Descripcion());
    try {
        FormatoCSV formatoCSV = FormatoCSV::DelSistema();
        if (!op.separador.isEmpty())
            FormatoCSV::SeparadorDeTexto(op.separador, formatoCSV.separador);
        const auto escribir = [&](const QString& archivo, EscritorGrilla::Formato formato,
                                  const GridModel& escrita, const QString& titulo = {}) {
            if (archivo.isEmpty())
                return;
            EscritorGrilla escritor(formato);
            escritor.csv = formatoCSV;
            escritor.titulo = titulo;
            escritor.avancePaginas = [&](int paginas, int total) {
                avance.paginasEscritas(archivo, paginas, total);
            };
            if (archivo == u"-") {
                anotar(QStringLiteral("mientras escribía la salida estándar"));
                escritor.Escribir(escrita, archivo);
                return;
            }
            anotar(QStringLiteral("mientras escribía \"%1\"").arg(archivo));
            avance.escribiendo(archivo, filasDe(escrita));
            escritor.Escribir(escrita, archivo);
            avance.terminar();
            escritos << archivo;
        };
        using Formato = EscritorGrilla::Formato;
        escribir(op.csv, Formato::CSV, grilla);
        escribir(op.xlsx, Formato::Libro, grilla);
        // The same page the export's HTML route writes, with its default title.
        escribir(op.html, Formato::Pagina, grilla);
        escribir(op.pdf, Formato::PDF, grilla);
        Formato deLosTotales = Formato::CSV;
        EscritorGrilla::PorExtension(op.totales, deLosTotales);
        escribir(op.totales, deLosTotales, totales, QStringLiteral("Totales por insumo"));
    } catch (const RuntimeError& e) {
        avance.terminar();
        // What was written before the failure is complete and stays: say which.
        error(escritos.isEmpty() ? e.description()
                                 : e.description() + QStringLiteral(" (ya escritos: %1)")
                                                         .arg(escritos.join(QStringLiteral(", "))));
        return 1;
    }
    anotar(QStringLiteral("al final"));
    for (const QString& archivo : escritos)
        std::fprintf(stderr, "Escrito: %s\n", qPrintable(terminalText(archivo)));
    return 0;
}

} // namespace ReporteLinea
