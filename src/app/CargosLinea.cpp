#include "app/CargosLinea.h"

#include "export/EscritorCSV.h"
#include "app/SinVentana.h"
#include "components/Componentes.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "session/ModGlobal.h"

#include <QLabel>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace CargosLinea {

namespace {

[[noreturn]] void malaOpcion(const QString& texto)
{
    throw RuntimeError(ErrorNumber::InvalidArgument, texto, u"línea de comandos"_s);
}

QList<QStringList> listaComoSeMuestra(const FrmCtrlCargosReales& dialogo)
{
    const ListViewModel& lista = dialogo.ListView1;
    QList<QStringList> filas{{dialogo.Label1->text()}};
    QStringList titulos;
    for (int c = 0; c < lista.columns(); ++c)
        titulos << lista.column(c).text;
    filas << titulos;
    for (int r = 0; r < lista.rows(); ++r) {
        QStringList celdas;
        for (int c = 0; c < lista.columns(); ++c)
            celdas << lista.text(r, c);
        filas << celdas;
    }
    return filas;
}

} // namespace

QString Uso()
{
    return u"\n"
           u"Control de cargos reales (el diálogo que otros programas de la suite abren):\n"
           u"  --cargos-reales=CUENTA [--csv=ARCHIVO]\n"
           u"      Abre el diálogo con los cargos pendientes de la cuenta; al aceptar escribe\n"
           u"      una línea por cargo marcado, su número y el importe a tomar separados por\n"
           u"      un tabulador, y termina con 0. Cerrado sin aceptar no escribe nada y\n"
           u"      termina con 1. Si algo falla, una línea en la salida de errores y 2.\n"
           u"      Con --csv no abre ventana: escribe el título y la lista como la mostraría.\n"_s;
}

std::optional<Opciones> Leer(const QStringList& argumentos)
{
    const auto nombreDe = [](const QString& arg) {
        const qsizetype igual = arg.indexOf(u'=');
        return arg.mid(2, igual < 0 ? -1 : igual - 2);
    };
    const auto esCargos = [&](const QString& arg) {
        return arg.startsWith(u"--"_s) &&
               nombreDe(arg).compare(u"cargos-reales"_s, Qt::CaseInsensitive) == 0;
    };
    if (std::none_of(argumentos.begin(), argumentos.end(), esCargos))
        return std::nullopt;

    Opciones op;
    bool hayCuenta = false;
    for (const QString& arg : argumentos) {
        if (!arg.startsWith(u"--"_s)) {
            op.pares << arg;
            continue;
        }
        const QString nombre = nombreDe(arg);
        const qsizetype igual = arg.indexOf(u'=');
        const QString valor = igual < 0 ? QString() : arg.mid(igual + 1);
        const bool esCsv = nombre.compare(u"csv"_s, Qt::CaseInsensitive) == 0;
        if (!esCargos(arg) && !esCsv)
            malaOpcion(u"con --cargos-reales solo vale --csv, no --%1"_s.arg(nombre));
        if (valor.isEmpty())
            malaOpcion(u"la opción --%1 necesita un valor: --%1=..."_s.arg(nombre));
        if (esCsv) {
            op.csv = valor;
        } else if (hayCuenta) {
            malaOpcion(u"--cargos-reales va una sola vez"_s);
        } else {
            hayCuenta = true;
            op.cuenta = valor;
        }
    }
    return op;
}

int Ejecutar(const Opciones& op)
{
    // Start-up, and the whole run with --csv, have no window to show their
    // failures in: the first one is the line to report.
    std::optional<FallosSinVentana> fallos(std::in_place);
    const bool inicio = ModGlobal::IniciarSesion(op.pares.join(u' ')) == ModGlobal::Inicio::Seguir;
    if (!inicio || !Componentes::Datos().Conectado() || !fallos->primero().isEmpty()) {
        ErrorEnLinea(u"no se pudo iniciar la sesión: "_s +
                     (fallos->primero().isEmpty() ? u"sin conexión con la base de datos"_s
                                                  : fallos->primero()));
        return 2;
    }

    if (const QString base = SalidaSobreLaBase({{u"csv"_s, op.csv}}); !base.isEmpty()) {
        ErrorEnLinea(base);
        return 2;
    }

    FrmCtrlCargosReales& dialogo = FrmCtrlCargosReales::Instancia();
    dialogo.Cliente = op.cuenta;
    const auto fallo = [&op](const QString& texto) {
        ErrorEnLinea(u"no se pudieron listar los cargos de \"%1\": %2"_s.arg(op.cuenta, texto));
        return 2;
    };

    if (!op.csv.isEmpty()) {
        QString error;
        try {
            dialogo.Form_Load();
            if (fallos->primero().isEmpty())
                EscribirCSV(listaComoSeMuestra(dialogo), op.csv);
        } catch (const RuntimeError& e) {
            error = e.description();
        }
        dialogo.Form_Unload();
        if (!fallos->primero().isEmpty())
            return fallo(fallos->primero());
        return error.isEmpty() ? 0 : fallo(error);
    }

    // The operator answers the window's own dialogs from here on.
    fallos.reset();
    int resultado = 0;
    try {
        resultado = dialogo.Mostrar();
    } catch (const RuntimeError& e) {
        return fallo(e.description());
    }
    if (resultado != QDialog::Accepted)
        return 1;
    std::fputs(TextoCargos(CargosSeleccionados()).toUtf8().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

QString TextoCargos(const std::vector<CargoSeleccionado>& cargos)
{
    QString texto;
    for (size_t i = 0; i + 1 < cargos.size(); ++i)
        texto +=
            QString::number(cargos[i].IdCargo) + u'\t' + cargos[i].ImporteCargo.toString() + u'\n';
    return texto;
}

} // namespace CargosLinea
