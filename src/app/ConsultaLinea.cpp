#include "app/ConsultaLinea.h"

#include "export/EscritorCSV.h"
#include "app/ReporteLinea.h"
#include "app/SinVentana.h"
#include "components/Componentes.h"
#include "dialogs/FrmConsComprobantes.h"
#include "platform/controls/DisplayPresence.h"
#include "session/ModGlobal.h"

#include <cstdio>

namespace ConsultaLinea {

namespace {

[[noreturn]] void malaOpcion(const QString& texto)
{
    throw RuntimeError(ErrorNumber::InvalidArgument, texto, QStringLiteral("línea de comandos"));
}

bool esOpcion(const QString& arg, const char* nombre)
{
    const QString n = QStringLiteral("--") + QLatin1String(nombre);
    return arg.compare(n, Qt::CaseInsensitive) == 0 ||
           arg.left(n.size() + 1).compare(n + u'=', Qt::CaseInsensitive) == 0;
}

} // namespace

QString Uso()
{
    return QStringLiteral(
        "\n"
        "Consulta de comprobantes (el diálogo que otros programas de la suite abren):\n"
        "  --consulta-comprobantes=CLAVE [--filtro=CONDICION] [--csv=ARCHIVO]\n"
        "      CLAVE es un tipo de comprobante (RM, FC, OC, T3, FCC ...) o una clave\n"
        "      compuesta (RM/PENDIENTES, RM/PENDIENTES_COMPRAS, NP/PENDIENTES,\n"
        "      NPCL/PENDIENTES, OF/PENDIENTES, OT/PENDIENTES, PR/PENDIENTES,\n"
        "      OP/PENDIENTES, FC/ANTICIPOS, OC/SIN_APROBAR).\n"
        "      CONDICION es SQL que se agrega tal cual a la consulta (por ejemplo\n"
        "      \"CUENTA = '110000001'\"); las claves /PENDIENTES la necesitan (salvo\n"
        "      OP/PENDIENTES) y T3 no la usa.\n"
        "      Abre el diálogo; al aceptar escribe el comprobante, el complemento y el\n"
        "      proveedor separados por tabuladores y termina con 0. Sin comprobante\n"
        "      elegido (cancelar, o aceptar sin fila elegida) no escribe nada y termina\n"
        "      con 1. Si algo falla, una línea en la salida de errores y 2.\n"
        "      Con --csv no abre ventana: escribe la lista como la mostraría (los\n"
        "      títulos, y por comprobante la etiqueta de su icono y sus celdas).\n");
}

std::optional<Opciones> Leer(const QStringList& argumentos)
{
    const bool pedida = std::any_of(argumentos.begin(), argumentos.end(), [](const QString& a) {
        return esOpcion(a, "consulta-comprobantes");
    });
    if (!pedida) {
        for (const QString& arg : argumentos)
            if (esOpcion(arg, "filtro"))
                malaOpcion(QStringLiteral("--filtro solo vale con --consulta-comprobantes"));
        return std::nullopt;
    }
    Opciones op;
    bool hayClave = false;
    for (const QString& arg : argumentos) {
        if (!arg.startsWith(QStringLiteral("--"))) {
            op.pares << arg;
            continue;
        }
        const qsizetype igual = arg.indexOf(u'=');
        const QString valor = igual < 0 ? QString() : arg.mid(igual + 1);
        if (esOpcion(arg, "help")) {
            op.ayuda = true;
        } else if (esOpcion(arg, "consulta-comprobantes")) {
            if (valor.trimmed().isEmpty())
                malaOpcion(QStringLiteral("--consulta-comprobantes necesita una clave: "
                                          "--consulta-comprobantes=RM/PENDIENTES"));
            op.clave = valor;
            hayClave = true;
        } else if (esOpcion(arg, "filtro")) {
            if (igual < 0)
                malaOpcion(QStringLiteral("--filtro necesita una condición: --filtro=..."));
            op.filtro = valor;
        } else if (esOpcion(arg, "csv")) {
            if (valor.isEmpty())
                malaOpcion(QStringLiteral("--csv necesita un archivo (o - para la salida "
                                          "estándar): --csv=..."));
            op.csv = valor;
        } else {
            malaOpcion(
                QStringLiteral("con --consulta-comprobantes no vale la opción %1 (vea --help)")
                    .arg(igual < 0 ? arg : arg.left(igual)));
        }
    }
    if (!hayClave && !op.ayuda)
        malaOpcion(QStringLiteral("--consulta-comprobantes necesita una clave"));
    return op;
}

QList<QStringList> FilasDeLaLista(const FrmConsComprobantes& dialogo)
{
    const ListViewModel& lista = dialogo.ListView1;
    QStringList titulos{QStringLiteral("Icono")};
    for (int c = 0; c < lista.columns(); ++c)
        titulos << lista.column(c).text;
    QList<QStringList> filas{titulos};
    for (int r = 0; r < lista.rows(); ++r) {
        const int icono = lista.row(r).smallIcon;
        QStringList fila{icono >= 1 ? dialogo.ImageList1.tag(icono) : QString()};
        for (int c = 0; c < lista.columns(); ++c)
            fila << lista.text(r, c);
        filas << fila;
    }
    return filas;
}

bool HayPantalla()
{
    return displayAvailable();
}

int Ejecutar(const Opciones& op, std::FILE* salida)
{
    if (op.ayuda) {
        std::fputs(qPrintable(ReporteLinea::Uso() + Uso()), stdout);
        return 0;
    }
    const bool lista = !op.csv.isEmpty();
    // Only the list has nobody to show an error to; the dialog's operator
    // sees them as the window always showed them.
    std::optional<FallosSinVentana> fallos;
    if (lista)
        fallos.emplace();
    const auto fallo = [&]() { return fallos ? fallos->primero() : QString(); };

    if (ModGlobal::IniciarSesion(op.pares.join(u' ')) == ModGlobal::Inicio::Terminar ||
        !Componentes::Datos().Conectado() || !fallo().isEmpty()) {
        ErrorEnLinea(
            QStringLiteral("no se pudo iniciar la sesión: ") +
            (fallo().isEmpty() ? QStringLiteral("sin conexión con la base de datos") : fallo()));
        return 2;
    }

    if (const QString base = SalidaSobreLaBase({{QStringLiteral("csv"), op.csv}});
        !base.isEmpty()) {
        ErrorEnLinea(base);
        return 2;
    }

    FrmConsComprobantes dialogo;
    dialogo.TC = op.clave;
    dialogo.Filtro = op.filtro;
    try {
        if (lista) {
            dialogo.Cargar();
            // A list missing what an error dialog would have reported is no list.
            if (!fallo().isEmpty()) {
                ErrorEnLinea(fallo());
                return 2;
            }
            EscribirCSV(FilasDeLaLista(dialogo), op.csv);
            return 0;
        }
        dialogo.Mostrar();
    } catch (const RuntimeError& e) {
        ErrorEnLinea(e.description());
        return 2;
    }
    if (dialogo.NroComprobante.isEmpty())
        return 1;
    std::fprintf(salida, "%s\t%s\t%s\n", qPrintable(dialogo.NroComprobante),
                 qPrintable(dialogo.IdComplemento), qPrintable(dialogo.Proveedor));
    std::fflush(salida);
    return 0;
}

} // namespace ConsultaLinea
