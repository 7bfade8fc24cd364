#include "Soporte.h"
#include "components/Componentes.h"
#include "session/ModGlobal.h"

#include <QFile>
#include <QSqlDatabase>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace ModGlobal;

// Settings and report-catalogue reads on SQLite and on PostgreSQL through
// ODBC; the value helpers and the lookup-definition file.
class TstConfiguracion : public QObject
{
    Q_OBJECT

    QString m_sqlite;
    QString m_dsn;
    QStringList m_dialogo; // what the error dialog was shown
    QList<int> m_respuestas;

    bool conectar(const QString& motor)
    {
        Componentes::ReiniciarParaPruebas();
        Componentes::General().setPresentador([this](const RuntimeError& e, const QString& tag) {
            m_dialogo << tag + u':' + e.description();
            return m_respuestas.isEmpty() ? 3 : m_respuestas.takeFirst();
        });
        m_dialogo.clear();
        m_respuestas.clear();
        if (!soporte::conectarDatos(motor, m_sqlite, m_dsn))
            return false;
        CompDatos& datos = Componentes::Datos();
        const bool pg = motor == u"postgres"_s;
        const QString codigo = pg ? u"varchar(60) COLLATE codigo"_s : u"TEXT COLLATE NOCASE"_s;
        if (pg)
            datos.Ejecutar(u"CREATE COLLATION IF NOT EXISTS codigo (provider = icu, locale = "
                           "'und-u-ks-level2', deterministic = false)"_s);
        datos.Ejecutar(u"DROP TABLE IF EXISTS TA_CONFIGURACION"_s);
        datos.Ejecutar(u"DROP TABLE IF EXISTS TA_REPORTES"_s);
        datos.Ejecutar(u"CREATE TABLE TA_CONFIGURACION (CLAVE "_s + codigo +
                       u", VALOR varchar(200))"_s);
        datos.Ejecutar(u"CREATE TABLE TA_REPORTES (NOMBRE "_s + codigo +
                       u", Archivo varchar(200))"_s);
        datos.Ejecutar(u"INSERT INTO TA_CONFIGURACION VALUES ('TituloClientes', ' Clientes '), "
                       "('NULO', NULL), ('O''Key', 'con apóstrofo'), ('cantidaddecimales', '2')"_s);
        datos.Ejecutar(u"INSERT INTO TA_REPORTES VALUES ('RP_OP', 'rp_op_v2.rpt'), "
                       "('SUC1|RP_OP', 'rp_op_suc1.rpt'), ('RP_VACIO', ''), ('RP_NULO', NULL)"_s);
        return true;
    }

private slots:
    void initTestCase()
    {
        if (soporte::hayPostgres())
            m_dsn = soporte::postgresPropio(u"rp_configuracion"_s);
        m_sqlite = soporte::carpetaNueva(u"configuracion"_s) + u"/cfg.db"_s;
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"crear"_s);
        db.setDatabaseName(m_sqlite);
        QVERIFY(db.open());
        db.close();
    }

    void cfg_data() { soporte::motores(); }
    void cfg()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        QCOMPARE(Cfg(u"  TituloClientes  "_s), u" Clientes "_s);
        QCOMPARE(Cfg(u"CantidadDecimales"_s), u"2"_s);
        QCOMPARE(Cfg(u"NoExiste"_s), QString());
        QCOMPARE(Cfg(u"NULO"_s), QString());
        QCOMPARE(Cfg(u"O'Key"_s), u"con apóstrofo"_s);
        QVERIFY(m_dialogo.isEmpty());
    }

    void cfgFallaMuestraElErrorYDevuelveVacio_data() { soporte::motores(); }
    void cfgFallaMuestraElErrorYDevuelveVacio()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        Componentes::Datos().Ejecutar(u"DROP TABLE TA_CONFIGURACION"_s);
        m_respuestas = {4, 3}; // retry once, then abort
        QCOMPARE(Cfg(u"TituloClientes"_s), QString());
        QCOMPARE(m_dialogo.size(), 2);
        QVERIFY2(m_dialogo.first().startsWith(u"Cfg:"_s), qPrintable(m_dialogo.first()));
        QVERIFY(m_dialogo.first().contains(u"ta_configuracion"_s, Qt::CaseInsensitive));
        m_respuestas = {5, 5, 5};
        QCOMPARE(Cfg(u"TituloClientes"_s), QString());
    }

    void nombreReporte_data() { soporte::motores(); }
    void nombreReporte()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        QString nombre = u"RP_OP"_s;
        QCOMPARE(NombreReporte(nombre, QString()), u"rp_op_v2.rpt"_s);
        QCOMPARE(nombre, u"RP_OP"_s);
        QCOMPARE(NombreReporte(nombre, u"SUC1"_s), u"rp_op_suc1.rpt"_s);
        QCOMPARE(nombre, u"SUC1|RP_OP"_s);
        // The suffix goes in as given: the blanks inside the name count.
        nombre = u"RP_OP"_s;
        QCOMPARE(NombreReporte(nombre, u" SUC1 "_s), u"RP_OP"_s);
        QCOMPARE(nombre, u" SUC1 |RP_OP"_s);
        nombre = u"RP_OP"_s;
        QCOMPARE(NombreReporte(nombre, u"SUC9"_s), u"RP_OP"_s);
        QCOMPARE(nombre, u"SUC9|RP_OP"_s);
        nombre = u"RP_OTRO"_s;
        QCOMPARE(NombreReporte(nombre, u"   "_s), u"RP_OTRO"_s);
        nombre = u"RP_VACIO"_s;
        QCOMPARE(NombreReporte(nombre, QString()), u"RP_VACIO"_s);
        QVERIFY(m_dialogo.isEmpty());
        // A catalogue row without a file is an error the operator sees; going
        // on prints from the report's own name.
        nombre = u"RP_NULO"_s;
        m_respuestas = {5};
        QCOMPARE(NombreReporte(nombre, QString()), u"RP_NULO"_s);
        QCOMPARE(m_dialogo.size(), 1);
        QVERIFY(m_dialogo.first().startsWith(u"NombreReporte$:"_s));
        m_respuestas = {3};
        QCOMPARE(NombreReporte(nombre, QString()), QString());
        nombre = u"O'Brien"_s;
        QCOMPARE(NombreReporte(nombre, QString()), u"O'Brien"_s);
    }

    void valorLogico_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("porDefecto");
        QTest::addColumn<bool>("resultado");
        QTest::newRow("si minuscula") << u"si"_s << false << true;
        QTest::newRow("SI con blanco") << u" SI"_s << false << false;
        QTest::newRow("S") << u"S"_s << false << true;
        QTest::newRow("1") << u"1"_s << false << true;
        QTest::newRow("verdadero") << u"Verdadero"_s << false << true;
        QTest::newRow("true") << u"true"_s << false << true;
        QTest::newRow("vacio no") << QString() << false << false;
        QTest::newRow("otro texto") << u"SIP"_s << false << false;
        QTest::newRow("vacio con si por defecto") << QString() << true << true;
        QTest::newRow("n minuscula") << u"n"_s << true << false;
        QTest::newRow("falso") << u"FALSO"_s << true << false;
        QTest::newRow("0") << u"0"_s << true << false;
        QTest::newRow("NO con blanco") << u"NO "_s << true << true;
    }
    void valorLogico()
    {
        QFETCH(QString, texto);
        QFETCH(bool, porDefecto);
        QTEST(ValorLogico(texto, porDefecto), "resultado");
    }

    void consultasPorDefecto()
    {
        QFile referencia(QStringLiteral(REFERENCIA_CONSULTAS));
        QVERIFY(referencia.open(QIODevice::ReadOnly));
        const QByteArray esperado = referencia.readAll();
        QCOMPARE(esperado.size(), 4808);

        const QString carpeta = soporte::carpetaNueva(u"consultas"_s);
        Componentes::Sesion().setArchivoConsultas(carpeta + u"/consultas.qn"_s);
        CrearConsultasPorDefecto();
        QFile creado(carpeta + u"/consultas.qn"_s);
        QVERIFY(creado.open(QIODevice::ReadOnly));
        QCOMPARE(creado.readAll(), esperado);
        creado.close();

        // After one whole record: it stays, the defaults follow it.
        const QByteArray propio = QByteArray("MIO").leftJustified(1200, ' ') + "\r\n";
        for (const int extra : {0, 98}) {
            QVERIFY(creado.open(QIODevice::WriteOnly | QIODevice::Truncate));
            creado.write(propio + QByteArray(extra, 'x'));
            creado.close();
            CrearConsultasPorDefecto();
            QVERIFY(creado.open(QIODevice::ReadOnly));
            QCOMPARE(creado.readAll(), propio + esperado);
            creado.close();
        }
    }

    void consultasSinPoderEscribir()
    {
        const QString carpeta = soporte::carpetaNueva(u"consultas_mal"_s);
        Componentes::Sesion().setArchivoConsultas(carpeta + u"/no/hay/carpeta.qn"_s);
        try {
            CrearConsultasPorDefecto();
            QFAIL("escribió donde no hay carpeta");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(u"carpeta.qn"_s), qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TstConfiguracion)
#include "tst_configuracion.moc"
