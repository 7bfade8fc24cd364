#include "app/ReporteLinea.h"

#include "app/CargosLinea.h"
#include "app/ConsultaLinea.h"
#include "app/EscritorCSV.h"
#include "app/SinVentana.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "report/RP_OProduccion.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>

namespace ReporteLinea {

const QStringList ClavesFiltro = {
    QStringLiteral("Sucursal_Desde"), QStringLiteral("Nro_Desde"),  QStringLiteral("Letra_Desde"),
    QStringLiteral("Sucursal_Hasta"), QStringLiteral("Nro_Hasta"),  QStringLiteral("Letra_Hasta"),
    QStringLiteral("Fecha_Desde"),    QStringLiteral("Fecha_Hasta")};

namespace {

[[noreturn]] void malaOpcion(const QString& texto)
{
    throw RuntimeError(ErrorNumber::InvalidArgument, texto, QStringLiteral("línea de comandos"));
}

void error(const QString& texto)
{
    ErrorEnLinea(texto);
}

} // namespace

QString Uso()
{
    return QStringLiteral(
        "Uso: rp_oproduccion \"@DbName=BASE;\" [\"@Usuario=U;@Password=C;@UsuarioLogeado=U;\"] "
        "[opciones]\n"
        "Sin opciones abre la ventana del reporte. Con una salida, genera el reporte sin ventana.\n"
        "\n"
        "Filtros (el valor se completa como si el operador lo hubiera tecleado):\n"
        "  --Sucursal_Desde=N --Nro_Desde=N --Letra_Desde=L\n"
        "  --Sucursal_Hasta=N --Nro_Hasta=N --Letra_Hasta=L\n"
        "  --Fecha_Desde=D/M/AAAA --Fecha_Hasta=D/M/AAAA (también D-M-AAAA o D.M.AAAA)\n"
        "  --pendientes        solo órdenes pendientes\n"
        "  --finalizada        solo órdenes finalizadas (con las dos, o ninguna: todas)\n"
        "  --orden=fecha|numero\n"
        "Salidas:\n"
        "  --csv=ARCHIVO       la grilla en CSV (UTF-8; \"-\" para la salida estándar)\n"
        "  --xlsx=ARCHIVO      la grilla como libro de Excel\n"
        "  --html=ARCHIVO      la grilla como página HTML\n"
        "  --pdf=ARCHIVO       la vista previa de impresión en PDF\n"
        "  --help              esta ayuda\n"

        "Termina con 0 si generó todo; con otro valor y un mensaje si algo falló.\n");
}

std::optional<Opciones> Leer(const QStringList& argumentos)
{
    Opciones op;
    bool hayOpciones = false;
    for (const QString& arg : argumentos) {
        if (!arg.startsWith(QStringLiteral("--"))) {
            op.pares << arg;
            continue;
        }
        hayOpciones = true;
        const qsizetype igual = arg.indexOf(u'=');
        const QString nombre = arg.mid(2, igual < 0 ? -1 : igual - 2);
        const QString valor = igual < 0 ? QString() : arg.mid(igual + 1);
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
        } else {
            const auto clave =
                std::find_if(ClavesFiltro.begin(), ClavesFiltro.end(), [&](const QString& c) {
                    return c.compare(nombre, Qt::CaseInsensitive) == 0;
                });
            if (clave == ClavesFiltro.end())
                malaOpcion(QStringLiteral("opción desconocida: --%1 (vea --help)").arg(nombre));
            if (igual < 0)
                malaOpcion(
                    QStringLiteral("la opción --%1 necesita un valor: --%1=...").arg(nombre));
            op.filtros.insert(*clave, valor);
        }
    }
    if (!hayOpciones)
        return std::nullopt;
    if (!op.ayuda && op.csv.isEmpty() && op.xlsx.isEmpty() && op.html.isEmpty() && op.pdf.isEmpty())
        malaOpcion(QStringLiteral("falta una salida: --csv, --xlsx, --html o --pdf (vea --help)"));
    for (const QString* archivo : {&op.xlsx, &op.html, &op.pdf})
        if (*archivo == u"-")
            malaOpcion(QStringLiteral("solo --csv puede escribir en la salida estándar"));
    return op;
}

int Ejecutar(const Opciones& op)
{
    if (op.ayuda) {
        std::fputs(qPrintable(Uso() + ConsultaLinea::Uso() + CargosLinea::Uso()), stdout);
        return 0;
    }
    // No window shows anything here: what a dialog would have shown is the
    // failure to report.
    FallosSinVentana fallos;
    const QString& fallo = fallos.primero();

    RP_OProduccion ventana;
    ventana.TerminarPrograma = [](int) {};
    // A value the box would not take is refused before the session starts:
    // emptied, it would widen the report to every order.
    for (auto it = op.filtros.cbegin(); it != op.filtros.cend(); ++it) {
        const auto tipo = CompTeclado::TipoDe(
            ventana.txtFields.at(Componentes::Teclado().IndiceCampo(it.key(), ventana.txtFields)));
        if (!CompTeclado::Admite(tipo, it.value())) {
            error(QStringLiteral("la opción --%1 no admite \"%2\": el cuadro admite %3")
                      .arg(it.key(), it.value(), CompTeclado::QueAdmite(tipo)));
            return 2;
        }
    }
    const bool inicio = ventana.Form_Load(op.pares.join(u' ')) == ModGlobal::Inicio::Seguir;
    if (!inicio || !Componentes::Datos().Conectado() || !fallo.isEmpty()) {
        error(QStringLiteral("no se pudo iniciar la sesión: ") +
              (fallo.isEmpty() ? QStringLiteral("sin conexión con la base de datos") : fallo));
        return 1;
    }

    try {
        CompTeclado& teclado = Componentes::Teclado();
        for (auto it = op.filtros.cbegin(); it != op.filtros.cend(); ++it) {
            QLineEdit* caja =
                ventana.txtFields.at(teclado.IndiceCampo(it.key(), ventana.txtFields));
            caja->setText(CompTeclado::TextoAlSalir(CompTeclado::TipoDe(caja), it.value()));
        }
        ventana.ChkEstado.at(0)->setChecked(op.pendientes);
        ventana.ChkEstado.at(1)->setChecked(op.finalizada);
        if (!op.orden.isEmpty())
            ventana.OptOrden.at(op.orden == u"fecha" ? 0 : 1)->setChecked(true);
        ventana.Cargar();
    } catch (const RuntimeError& e) {
        error(QStringLiteral("no se pudo cargar el reporte: ") + e.description());
        return 1;
    }

    QStringList escritos;
    const GridModel& grilla = ventana.MSFlexGrid1;
    try {
        if (!op.csv.isEmpty()) {
            EscribirCSV(grilla, op.csv);
            if (op.csv != u"-")
                escritos << op.csv;
        }
        if (!op.xlsx.isEmpty()) {
            ModExportarExcel::GuardarLibro(grilla, op.xlsx);
            escritos << op.xlsx;
        }
        if (!op.html.isEmpty()) {
            // The same page the export's HTML route writes, with its default title.
            ModExportarExcel::GuardarPaginaHTML(grilla, op.html, QString());
            escritos << op.html;
        }
        if (!op.pdf.isEmpty()) {
            ModExportarExcel::GuardarPDF(grilla, op.pdf);
            escritos << op.pdf;
        }
    } catch (const RuntimeError& e) {
        // What was written before the failure is complete and stays: say which.
        error(escritos.isEmpty() ? e.description()
                                 : e.description() + QStringLiteral(" (ya escritos: %1)")
                                                         .arg(escritos.join(QStringLiteral(", "))));
        return 1;
    }
    for (const QString& archivo : escritos)
        std::fprintf(stderr, "Escrito: %s\n", qPrintable(archivo));
    return 0;
}

} // namespace ReporteLinea
