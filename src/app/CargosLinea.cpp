#include "app/CargosLinea.h"

#include "app/EscritorCSV.h"
#include "components/Componentes.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "session/ModGlobal.h"

#include <QLabel>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace CargosLinea {

namespace {

[[noreturn]] void malaOpcion(const QString& texto)
{
    throw RuntimeError(ErrorNumber::InvalidArgument, texto, u"línea de comandos"_s);
}

void error(const QString& texto)
{
    std::fprintf(stderr, "rp_oproduccion: %s\n", qPrintable(QString(texto).replace(u'\n', u' ')));
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
        if (igual < 0 || valor.isEmpty())
            malaOpcion(u"la opción --%1 necesita un valor: --%1=..."_s.arg(nombre));
        if (esCargos(arg)) {
            if (hayCuenta)
                malaOpcion(u"--cargos-reales va una sola vez"_s);
            hayCuenta = true;
            op.cuenta = valor;
        } else if (nombre.compare(u"csv"_s, Qt::CaseInsensitive) == 0) {
            op.csv = valor;
        } else {
            malaOpcion(u"con --cargos-reales solo vale --csv, no --%1"_s.arg(nombre));
        }
    }
    return op;
}

int Ejecutar(const Opciones& op)
{
    // Start-up has no window to show its failures in: the first one is the
    // line to report.
    QString fallo;
    CompGeneral& general = Componentes::General();
    general.setPresentador([&](const RuntimeError& e, const QString& etiqueta) {
        if (fallo.isEmpty())
            fallo =
                etiqueta.isEmpty() ? e.description() : e.description() + u" ("_s + etiqueta + u')';
        return int(CompGeneral::Abortar);
    });
    general.setMensajero([&](const QString& m) {
        if (fallo.isEmpty())
            fallo = m;
    });
    const bool inicio = ModGlobal::IniciarSesion(op.pares.join(u' ')) == ModGlobal::Inicio::Seguir;
    if (!inicio || !Componentes::Datos().Conectado() || !fallo.isEmpty()) {
        error(u"no se pudo iniciar la sesión: "_s +
              (fallo.isEmpty() ? u"sin conexión con la base de datos"_s : fallo));
        return 2;
    }

    FrmCtrlCargosReales& dialogo = FrmCtrlCargosReales::Instancia();
    dialogo.Cliente = op.cuenta;

    if (!op.csv.isEmpty()) {
        try {
            dialogo.Form_Load();
            if (fallo.isEmpty())
                EscribirCSV(listaComoSeMuestra(dialogo), op.csv);
        } catch (const RuntimeError& e) {
            if (fallo.isEmpty())
                fallo = e.description();
        }
        dialogo.Form_Unload();
        if (!fallo.isEmpty()) {
            error(u"no se pudieron listar los cargos de \"%1\": %2"_s.arg(op.cuenta, fallo));
            return 2;
        }
        return 0;
    }

    // The operator answers the window's own dialogs from here on.
    general.setPresentador({});
    general.setMensajero({});
    int resultado = 0;
    try {
        resultado = dialogo.Mostrar();
    } catch (const RuntimeError& e) {
        error(u"no se pudieron listar los cargos de \"%1\": %2"_s.arg(op.cuenta, e.description()));
        return 2;
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
