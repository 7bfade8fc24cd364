#include "Soporte.h"
#include "components/Componentes.h"
#include "session/ModGlobal.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace ModGlobal;

namespace {

// A data component that reports no error and still does not connect.
class DatosQueNoConectan : public CompDatos
{
public:
    void Conectar(bool, int, const QString&) override {}
};

} // namespace

// Start-up from a real command line, on SQLite and on PostgreSQL through ODBC.
class TstSesion : public QObject
{
    Q_OBJECT

    QString m_carpeta; // the program folder
    QString m_sqlite;
    QString m_dsn;
    QStringList m_mensajes;
    QStringList m_dialogo;

    void prepararBase(const QString& motor)
    {
        CompDatos datos;
        const bool pg = motor == u"postgres"_s;
        datos.setBaseDatos(pg ? m_dsn : m_sqlite);
        datos.setUsuario(soporte::usuarioPostgres());
        datos.setClave(soporte::clavePostgres());
        datos.Conectar();
        datos.Ejecutar(u"DROP TABLE IF EXISTS TA_CONFIGURACION"_s);
        datos.Ejecutar(u"CREATE TABLE TA_CONFIGURACION (CLAVE varchar(60), VALOR varchar(200))"_s);
        datos.Ejecutar(
            u"INSERT INTO TA_CONFIGURACION VALUES ('MostrarStockenConsultas', 'si'), "
            "('TituloClientes', '  Clientes  '), ('TituloProveedores', 'Proveedores'), "
            "('EXIGECLAVECONSULTALIKEARTICULOS', 'SI'), ('UsaConsultaLike', NULL), "
            "('CantidadDecimales', ' 2 '), ('CONDIVAEMPRESA', 'RI'), "
            "('BuscaClientesPorCOpcional', 'NO'), ('BuscaProveedoresPorCOpcional', 'Si')"_s);
    }

    void reiniciar()
    {
        Componentes::ReiniciarParaPruebas();
        ReiniciarSesionParaPruebas();
        m_mensajes.clear();
        m_dialogo.clear();
        Componentes::General().setMensajero([this](const QString& m) { m_mensajes << m; });
        Componentes::General().setPresentador([this](const RuntimeError& e, const QString& t) {
            m_dialogo << t + u':' + e.description();
            return 3;
        });
        QFile::remove(m_carpeta + u"/consultas.qn"_s);
        QFile::remove(m_carpeta + u"/QX000LT.INI"_s);
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"programa"_s);
        qputenv("RP_CARPETA_PROGRAMA", m_carpeta.toLocal8Bit());
        if (soporte::hayPostgres()) {
            m_dsn = soporte::postgresPropio(u"rp_sesion"_s);
            prepararBase(u"postgres"_s);
        }
        m_sqlite = soporte::carpetaNueva(u"sesion"_s) + u"/gestion.db"_s;
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"crear"_s);
        db.setDatabaseName(m_sqlite);
        QVERIFY(db.open());
        db.close();
        prepararBase(u"sqlite"_s);
    }
    void init() { reiniciar(); }

    void inicioCompleto_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::newRow("sqlite") << u"sqlite"_s;
        QTest::newRow("postgres") << u"postgres"_s;
    }
    void inicioCompleto()
    {
        QFETCH(QString, motor);
        const bool pg = motor == u"postgres"_s;
        if (pg && m_dsn.isEmpty())
            QSKIP("sin servidor PostgreSQL de prueba");
        const QString base = pg ? m_dsn : m_sqlite;
        const QString usuario = pg ? soporte::usuarioPostgres() : u"sa"_s;
        const QString clave = pg ? soporte::clavePostgres() : u"secreta"_s;
        // The launcher may write the pairs in any order and any case.
        const QString linea = u"@usuariologeado=ana; @ParametroAdicional=A=B; @MENU=M01; "
                              "@Server=SRV01; @DbName = "_s +
                              base + u" ; @Usuario="_s + usuario + u"; @Password="_s + clave +
                              u";"_s;
        const CompEquipo& equipo = Componentes::Equipo();
        const QString seccion =
            equipo.NombreEquipo().toUpper() + u'|' + equipo.UsuarioEquipo().toUpper();
        Componentes::Ini().EscribirValor(u"QX000LT.INI"_s, seccion, u"FlatToolbars"_s,
                                         u"0.5 planas"_s);

        QCOMPARE(IniciarSesion(linea), Inicio::Seguir);
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        QVERIFY(m_dialogo.isEmpty());
        CompDatos& datos = Componentes::Datos();
        QVERIFY(datos.Conectado());
        QCOMPARE(datos.Servidor(), u"SRV01"_s);
        QCOMPARE(datos.Conexion().IsolationLevel(), 256);
        QCOMPARE(datos.Conexion().CommandTimeout(), 480);

        const ValoresSesion& s = Sesion();
        QCOMPARE(s.ClaveEquipo, seccion);
        QCOMPARE(s.EstiloBarras, 0.5);
        QCOMPARE(s.ParametroAdicional, u"A=B"_s);
        QCOMPARE(s.MenuActual, u"M01"_s);
        QCOMPARE(s.UsuarioLogeado, u"ana"_s);
        QCOMPARE(s.CadenaConexion, u"DSN="_s + base + u"; UID="_s + usuario + u"; PWD="_s + clave);
        QCOMPARE(s.ArchivoTareas, m_carpeta + u"/QNDOCTareas.QN"_s);
        QVERIFY(s.MostrarStockEnConsultas);
        QCOMPARE(s.TituloClientes, u"Clientes"_s);
        QCOMPARE(s.TituloProveedores, u"Proveedores"_s);
        QVERIFY(s.ExigeClaveConsultaLike);
        QVERIFY(!s.UsaConsultaLike);
        QCOMPARE(s.CantidadDecimales, u" 2 "_s);
        QCOMPARE(s.CondIvaEmpresa, u"RI"_s);
        QVERIFY(!s.BuscaClientesPorCOpcional);
        QVERIFY(s.BuscaProveedoresPorCOpcional);

        QCOMPARE(Componentes::Reportes().RutaAplicacion(), m_carpeta + u'/');
        QVERIFY(Componentes::Reportes().Activo());
        QCOMPARE(Componentes::General().ArchivoLog(), m_carpeta + u"/QNErr.log"_s);
        QVERIFY(Componentes::Sesion().Activo());
        QCOMPARE(Componentes::Sesion().DatoSesion(), datos.DatoSesion());
        QCOMPARE(Componentes::Sesion().ArchivoConsultas(), m_carpeta + u"/consultas.qn"_s);
        QCOMPARE(QFileInfo(m_carpeta + u"/consultas.qn"_s).size(), 4808);
    }

    void sinEstiloEnElIniValeUno()
    {
        QCOMPARE(IniciarSesion(u"@DbName="_s + m_sqlite + u";"_s), Inicio::Seguir);
        QCOMPARE(Sesion().EstiloBarras, 1.0);
    }

    void archivoDeConsultasExistenteNoSeToca()
    {
        QFile propio(m_carpeta + u"/consultas.qn"_s);
        QVERIFY(propio.open(QIODevice::WriteOnly));
        propio.write("mis consultas");
        propio.close();
        QCOMPARE(IniciarSesion(u"@DbName="_s + m_sqlite + u";"_s), Inicio::Seguir);
        QCOMPARE(QFileInfo(propio.fileName()).size(), 13);
    }

    void menuSinCierre()
    {
        QCOMPARE(IniciarSesion(u"@UsuarioLogeado=ana;@DbName="_s + m_sqlite + u";@Menu=M01"_s),
                 Inicio::Seguir);
        QVERIFY(Componentes::Datos().Conectado());
        QCOMPARE(Sesion().MenuActual, QString());
        QCOMPARE(Sesion().UsuarioLogeado, u"ana"_s);
        QVERIFY(Sesion().MostrarStockEnConsultas);
        QVERIFY(m_mensajes.isEmpty());
    }

    void yaConectadoNoLeeLaLinea()
    {
        CompDatos& datos = Componentes::Datos();
        datos.setBaseDatos(m_sqlite);
        datos.setUsuario(u"propio"_s);
        datos.Conectar();
        QCOMPARE(IniciarSesion(u"@DbName=otra.db;@Usuario=sa;@UsuarioLogeado=ana;@Menu=M;"
                               "@ParametroAdicional=X;"_s),
                 Inicio::Seguir);
        QCOMPARE(Sesion().UsuarioLogeado, QString());
        QCOMPARE(Sesion().MenuActual, QString());
        QCOMPARE(Sesion().ParametroAdicional, QString());
        QCOMPARE(Sesion().CadenaConexion, u"DSN="_s + m_sqlite + u"; UID=propio; PWD="_s);
        QCOMPARE(datos.BaseDatos(), m_sqlite);
        // The connection keeps the settings it had: start-up does not tune it.
        QCOMPARE(datos.Conexion().CommandTimeout(), 30);
        QVERIFY(Sesion().MostrarStockEnConsultas);
    }

    void conexionRechazada_data()
    {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("archivo que no existe")
            << u"@DbName=/no/existe/gestion.db;"_s << u"/no/existe/gestion.db"_s;
        QTest::newRow("origen ODBC que no existe")
            << u"@DbName=origen_inexistente;@Usuario=sa;"_s << u"ODBC"_s;
        QTest::newRow("linea vacia") << QString() << u"base de datos"_s;
    }
    void conexionRechazada()
    {
        QFETCH(QString, linea);
        QFETCH(QString, mensaje);
        QCOMPARE(IniciarSesion(linea), Inicio::Seguir); // the window still opens
        QCOMPARE(m_mensajes.size(), 1);
        QVERIFY2(m_mensajes.first().contains(mensaje, Qt::CaseInsensitive),
                 qPrintable(m_mensajes.first()));
        QCOMPARE(m_mensajes.first(), Componentes::Datos().Conexion().Errors().first().Description);
        QVERIFY(!Componentes::Datos().Conectado());
        QCOMPARE(Sesion().CadenaConexion, QString());
        QCOMPARE(Sesion().ArchivoTareas, QString());
        QCOMPARE(Componentes::Sesion().ArchivoConsultas(), QString());
        QVERIFY(!QFile::exists(m_carpeta + u"/consultas.qn"_s));
    }

    void sinConexionNiErrorTermina()
    {
        Componentes::SustituirDatos(std::make_unique<DatosQueNoConectan>());
        QCOMPARE(IniciarSesion(u"@DbName=GESTION;"_s), Inicio::Terminar);
        QCOMPARE(m_mensajes.size(), 1);
        QVERIFY2(m_mensajes.first().contains(u"\"GESTION\""_s), qPrintable(m_mensajes.first()));
        QCOMPARE(Sesion().CadenaConexion, QString());
    }

    void falloAjenoALaBaseMuestraSuTexto()
    {
        QDir(m_carpeta).mkdir(u"consultas.qn"_s); // a folder where the file should go
        QCOMPARE(IniciarSesion(u"@DbName="_s + m_sqlite + u";"_s), Inicio::Seguir);
        QDir(m_carpeta).rmdir(u"consultas.qn"_s);
        QCOMPARE(m_mensajes.size(), 1);
        QVERIFY2(m_mensajes.first().contains(u"consultas.qn"_s), qPrintable(m_mensajes.first()));
        QVERIFY(!Sesion().MostrarStockEnConsultas); // the settings were not read
    }
};

QTEST_GUILESS_MAIN(TstSesion)
#include "tst_sesion.moc"
