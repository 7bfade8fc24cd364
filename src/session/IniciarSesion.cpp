#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "platform/files/ProgramFolder.h"
#include "session/LineaComandos.h"
#include "session/ModGlobal.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

namespace ModGlobal {

// Fictional names of the suite's other programs; only their membership matters.
const QStringList ProgramasModo3 = {
    QStringLiteral("QNADMIN"),    QStringLiteral("QNCONTAB"),   QStringLiteral("QNVENTAS"),
    QStringLiteral("QNCOMPRAS"),  QStringLiteral("QNSTOCK"),    QStringLiteral("QNTESORO"),
    QStringLiteral("QNSUELDOS"),  QStringLiteral("QNMENU"),     QStringLiteral("QNLOGIN"),
    QStringLiteral("QNCONSOLA"),  QStringLiteral("QNPERMISOS"), QStringLiteral("QNBACKUP"),
    QStringLiteral("QNIMPORTAR"), QStringLiteral("QNEXPORTAR"), QStringLiteral("QNAGENDA"),
    QStringLiteral("QNTAREAS"),   QStringLiteral("QNCRM")};
const QStringList ProgramasSinAislamiento = {
    QStringLiteral("QNADMIN"),    QStringLiteral("QNCONTAB"), QStringLiteral("QNTESORO"),
    QStringLiteral("QNSUELDOS"),  QStringLiteral("QNBACKUP"), QStringLiteral("QNIMPORTAR"),
    QStringLiteral("QNEXPORTAR"), QStringLiteral("QNCIERRE"), QStringLiteral("QNAUDITORIA"),
    QStringLiteral("QNREPLICA")};

namespace {

ValoresSesion& valores()
{
    static ValoresSesion sesion;
    return sesion;
}

bool enLista(const QStringList& lista, const QString& nombre)
{
    return lista.contains(nombre, Qt::CaseInsensitive);
}

bool esSi(const QString& texto)
{
    return texto.compare(u"SI", Qt::CaseInsensitive) == 0;
}

} // namespace

const ValoresSesion& Sesion()
{
    return valores();
}

void ReiniciarSesionParaPruebas()
{
    valores() = ValoresSesion();
}

double NumeroInicial(const QString& texto)
{
    static const QRegularExpression numero(
        QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch m = numero.match(texto);
    return m.hasMatch() ? m.captured(1).toDouble() : 0;
}

Inicio IniciarSesion(const QString& lineaComandos)
{
    ValoresSesion& s = valores();
    CompGeneral& general = Componentes::General();
    CompDatos& datos = Componentes::Datos();
    QString carpeta;
    QString linea;
    QString servidor, base, usuario, clave;

    // Invalid-argument failures (a pair without its ";") are skipped; any other
    // failure is shown and ends start-up, the window still opening. What is
    // shown is also logged, and a skipped pair is named with it: it is the
    // likely cause ("@DbName" without its ";" leaves no database to open).
    QStringList omitidos;
    ManejadorError enError([&](const RuntimeError& error) {
        if (error.number() == ErrorNumber::InvalidArgument) {
            omitidos << error.description();
            return ManejadorError::Accion::Omitir;
        }
        const auto& errores = datos.Conexion().Errors();
        QString texto = errores.isEmpty() || errores.first().Description.isEmpty()
                            ? error.description()
                            : errores.first().Description;
        if (!omitidos.isEmpty())
            texto = omitidos.join(QStringLiteral(". ")) + QStringLiteral(". ") + texto;
        general.RegistrarError(RuntimeError(error.number(), texto, error.source()),
                               QStringLiteral("IniciarSesion"));
        general.Mensaje(texto);
        return ManejadorError::Accion::Salir;
    });
    const auto leer = [&](const QString& llave) {
        QString valor;
        enError.paso([&] { valor = LineaComandos::Valor(linea, llave); });
        return valor;
    };

    enError.paso([&] { carpeta = general.CompletarRuta(programFolder()); });
    // Before connecting, so a failure to connect is logged too.
    enError.paso([&] { general.setArchivoLog(carpeta + QStringLiteral("QNErr.log")); });
    enError.paso([&] { linea = lineaComandos; });
    enError.paso([&] {
        s.ClaveEquipo = Componentes::Equipo().NombreEquipo().toUpper() + u'|' +
                        Componentes::Equipo().UsuarioEquipo().toUpper();
    });
    enError.paso([&] {
        s.EstiloBarras = NumeroInicial(
            Componentes::Ini().LeerValor(QStringLiteral("QX000LT.INI"), s.ClaveEquipo,
                                         QStringLiteral("FlatToolbars"), QStringLiteral("1")));
    });
    if (!datos.Conectado()) {
        s.ParametroAdicional = leer(QStringLiteral("@ParametroAdicional"));
        s.MenuActual = leer(QStringLiteral("@Menu"));
        servidor = leer(QStringLiteral("@Server"));
        base = leer(QStringLiteral("@DbName"));
        usuario = leer(QStringLiteral("@Usuario"));
        clave = leer(QStringLiteral("@Password"));
        s.UsuarioLogeado = leer(QStringLiteral("@UsuarioLogeado"));
        enError.paso([&] {
            datos.setUsuario(usuario);
            datos.setBaseDatos(base);
            datos.setClave(clave);
            datos.setServidor(servidor);
        });
        int modo = 2;
        enError.paso([&] { modo = enLista(ProgramasModo3, programName()) ? 3 : 2; });
        enError.paso([&] { datos.Conectar(false, modo, QString()); });
        if (enError.salio())
            return Inicio::Seguir;
        if (!datos.Conectado()) {
            // Ending without a word would leave the operator guessing.
            const RuntimeError error(
                ErrorNumber::Database,
                QStringLiteral("No se pudo conectar con la base de datos \"%1\". El programa se "
                               "cerrará.")
                    .arg(base));
            general.RegistrarError(error, QStringLiteral("IniciarSesion"));
            general.Mensaje(error.description());
            return Inicio::Terminar;
        }
        // SQLite opens any file, an empty one too: a file without the suite's
        // settings table is named as such, not by the first query that fails.
        enError.paso([&] {
            if (datos.Motor() != SqlBackend::SQLite)
                return;
            QSqlQuery tabla(datos.BaseQt());
            if (tabla.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN "
                                          "('table','view') AND upper(name) = "
                                          "'TA_CONFIGURACION'")) &&
                !tabla.next())
                throw RuntimeError(ErrorNumber::Database,
                                   QStringLiteral("\"%1\" no es una base de datos del sistema: "
                                                  "no tiene la tabla TA_CONFIGURACION")
                                       .arg(base),
                                   QStringLiteral("IniciarSesion"));
        });
        if (enError.salio())
            return Inicio::Seguir;
        enError.paso([&] {
            if (!enLista(ProgramasSinAislamiento, programName()))
                datos.Conexion().setIsolationLevel(256);
        });
        enError.paso([&] { datos.Conexion().setCommandTimeout(480); });
    }
    enError.paso([&] {
        s.CadenaConexion = QStringLiteral("DSN=") + datos.BaseDatos() + QStringLiteral("; UID=") +
                           datos.Usuario() + QStringLiteral("; PWD=") + datos.Clave();
    });
    enError.paso([&] {
        Componentes::Reportes().setRutaAplicacion(carpeta);
        Componentes::Reportes().setActivo(true);
    });
    enError.paso([&] {
        Componentes::Sesion().setDatoSesion(datos.DatoSesion());
        Componentes::Sesion().setActivo(true);
    });
    enError.paso([&] {
        Componentes::Sesion().setArchivoConsultas(general.CompletarRuta(programFolder()) +
                                                  QStringLiteral("consultas.qn"));
    });
    enError.paso([&] {
        if (!QFileInfo(Componentes::Sesion().ArchivoConsultas()).isFile())
            CrearConsultasPorDefecto();
    });
    if (enError.salio())
        return Inicio::Seguir;
    s.MostrarStockEnConsultas =
        esSi(general.ValorNoNulo(Cfg(QStringLiteral("MostrarStockenConsultas"))));
    s.TituloClientes = Cfg(QStringLiteral("TituloClientes")).trimmed();
    s.TituloProveedores = Cfg(QStringLiteral("TituloProveedores")).trimmed();
    s.ArchivoTareas = carpeta + QStringLiteral("QNDOCTareas.QN");
    s.ExigeClaveConsultaLike = esSi(Cfg(QStringLiteral("EXIGECLAVECONSULTALIKEARTICULOS")));
    s.UsaConsultaLike = esSi(Cfg(QStringLiteral("UsaConsultaLike")));
    s.CantidadDecimales = Cfg(QStringLiteral("CantidadDecimales"));
    s.CondIvaEmpresa = Cfg(QStringLiteral("CONDIVAEMPRESA"));
    s.BuscaClientesPorCOpcional = esSi(Cfg(QStringLiteral("BuscaClientesPorCOpcional")));
    s.BuscaProveedoresPorCOpcional = esSi(Cfg(QStringLiteral("BuscaProveedoresPorCOpcional")));
    return Inicio::Seguir;
}

} // namespace ModGlobal
