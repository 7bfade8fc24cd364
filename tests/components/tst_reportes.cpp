#include "Soporte.h"
#include "components/Componentes.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

using soporte::rango;

const QString Id = u"V_MV_CPTE.IdComprobante"_s;
const QString Fecha = u"V_MV_CPTE.Fecha"_s;

} // namespace

class TstReportes : public QObject
{
    Q_OBJECT

private slots:
    void init() { Componentes::ReiniciarParaPruebas(); }

    void condicion_data()
    {
        QTest::addColumn<ListaRangos>("rangos");
        QTest::addColumn<QString>("condicion");
        const qint16 C = RangoFiltro::Caracter;
        const qint16 F = RangoFiltro::Fecha;
        QTest::newRow("nada restringe")
            << ListaRangos{rango(Id, {}, {}, C), rango(Fecha, u"  "_s, {}, F)} << QString();
        QTest::newRow("numeros de orden")
            << ListaRangos{rango(Id, u"000100000010A"_s, u"000100000020A"_s, C),
                           rango(Fecha, {}, {}, F)}
            << u"(V_MV_CPTE.IdComprobante >= '000100000010A' AND V_MV_CPTE.IdComprobante <= '000100000020A')"_s;
        QTest::newRow("solo desde")
            << ListaRangos{rango(Id, u"0001"_s, {}, C)} << u"(V_MV_CPTE.IdComprobante >= '0001')"_s;
        QTest::newRow("solo hasta")
            << ListaRangos{rango(Id, {}, u"0002"_s, C)} << u"(V_MV_CPTE.IdComprobante <= '0002')"_s;
        const auto porPrefijo = [](RangoFiltro r) {
            r.HastaPorPrefijo = true;
            return r;
        };
        QTest::newRow("hasta por prefijo con acarreo")
            << ListaRangos{porPrefijo(rango(Id, {}, u"000100000099"_s, C))}
            << u"(V_MV_CPTE.IdComprobante < '000100000100')"_s;
        QTest::newRow("hasta por prefijo de nueves")
            << ListaRangos{porPrefijo(rango(Id, u"0001"_s, u"9999"_s, C))}
            << u"(V_MV_CPTE.IdComprobante >= '0001')"_s;
        QTest::newRow("hasta por prefijo sin digito final")
            << ListaRangos{porPrefijo(rango(Id, {}, u"0002B"_s, C))}
            << u"(V_MV_CPTE.IdComprobante <= '0002B')"_s;
        QTest::newRow("comillas") << ListaRangos{rango(Id, u"O'B"_s, {}, C)}
                                  << u"(V_MV_CPTE.IdComprobante >= 'O''B')"_s;
        QTest::newRow("fechas con el ultimo dia entero")
            << ListaRangos{rango(Fecha, u"1/10/2026"_s, u"31/10/2026"_s, F)}
            << u"(V_MV_CPTE.Fecha >= '2026-10-01' AND V_MV_CPTE.Fecha < '2026-11-01')"_s;
        QTest::newRow("fecha de dos digitos y guiones")
            << ListaRangos{rango(Fecha, u"05-11-26"_s, {}, F)}
            << u"(V_MV_CPTE.Fecha >= '2026-11-05')"_s;
        QTest::newRow("fin de anio") << ListaRangos{rango(Fecha, {}, u"31/12/2026"_s, F)}
                                     << u"(V_MV_CPTE.Fecha < '2027-01-01')"_s;
        QTest::newRow("numerico") << ListaRangos{rango(u"T.Importe"_s, u"1.234,5"_s, u"2000"_s, 6)}
                                  << u"(T.Importe >= 1234.5 AND T.Importe <= 2000)"_s;
    }
    void condicion()
    {
        QFETCH(ListaRangos, rangos);
        QTEST(Componentes::Reportes().ArmarFiltroSQL(rangos, SqlBackend::SQLite), "condicion");
    }

    void literalDelServidorDeLaSuite()
    {
        const ListaRangos rangos{
            rango(Fecha, u"01/02/2026"_s, u"28/02/2026"_s, RangoFiltro::Fecha)};
        QCOMPARE(Componentes::Reportes().ArmarFiltroSQL(rangos, SqlBackend::SqlServer),
                 u"(V_MV_CPTE.Fecha >= '20260201' AND V_MV_CPTE.Fecha < '20260301')"_s);
    }

    void fechaInvalidaSeRechaza_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::newRow("dia que no existe") << u"31/02/2026"_s;
        QTest::newRow("mes 13") << u"01/13/2026"_s;
        QTest::newRow("texto") << u"ayer"_s;
        QTest::newRow("incompleta") << u"05/11"_s;
        QTest::newRow("anio de tres digitos") << u"05/11/202"_s;
    }
    void fechaInvalidaSeRechaza()
    {
        QFETCH(QString, texto);
        try {
            Componentes::Reportes().ArmarFiltroSQL(
                {rango(Fecha, u"01/01/2026"_s, texto, RangoFiltro::Fecha)}, SqlBackend::SQLite);
            QFAIL("aceptó una fecha que no es");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(u'"' + texto + u'"'), qPrintable(e.description()));
        }
    }

    // The condition on a real table: the last day counts whole, codes compare as texts.
    void enLaBase_data() { soporte::motores(); }
    void enLaBase()
    {
        QFETCH(QString, motor);
        const bool pg = motor == u"postgres"_s;
        const QString archivo = soporte::carpetaNueva(u"reportes"_s) + u"/r.db"_s;
        if (!pg) {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"crear"_s);
            db.setDatabaseName(archivo);
            QVERIFY(db.open());
            db.close();
        }
        if (!soporte::conectarDatos(motor, archivo,
                                    soporte::hayPostgres() ? soporte::dsnPostgres() : QString()))
            return;
        CompDatos& datos = Componentes::Datos();
        datos.Ejecutar(u"DROP TABLE IF EXISTS filtro_cpte"_s);
        datos.Ejecutar(pg ? u"CREATE TABLE filtro_cpte (IdComprobante char(13), Fecha timestamp)"_s
                          : u"CREATE TABLE filtro_cpte (IdComprobante TEXT, Fecha TEXT)"_s);
        datos.Ejecutar(
            u"INSERT INTO filtro_cpte VALUES ('000100000009A', '2026-10-31 23:59:59'),"
            " ('000100000010A', '2026-11-01 00:00:00'), ('000100000015B', '2026-11-05 23:59:00'),"
            " ('000100000020A', '2026-11-06 00:00:00'), ('000100000021A', '2026-11-06 10:00:00')"_s);
        const QString condicion = Componentes::Reportes().ArmarFiltroSQL(
            {rango(u"filtro_cpte.IdComprobante"_s, u"000100000010A"_s, u"000100000020A"_s,
                   RangoFiltro::Caracter),
             rango(u"filtro_cpte.Fecha"_s, u"1/11/2026"_s, u"05/11/2026"_s, RangoFiltro::Fecha)});
        auto rs = datos.AbrirRecordset(
            u"SELECT IdComprobante FROM dbo.filtro_cpte WITH(NOLOCK) WHERE "_s + condicion +
            u" ORDER BY IdComprobante"_s);
        QStringList vistos;
        for (; !rs->atEof(); rs->moveNext())
            vistos << rs->field(u"idcomprobante"_s).toString().trimmed();
        QCOMPARE(vistos, (QStringList{u"000100000010A"_s, u"000100000015B"_s}));
    }
};

QTEST_GUILESS_MAIN(TstReportes)
#include "tst_reportes.moc"
