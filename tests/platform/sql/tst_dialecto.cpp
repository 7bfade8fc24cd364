#include "platform/sql/SqlDialect.h"

#include <QDateTime>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SqlBackend)

class TstDialecto : public QObject
{
    Q_OBJECT

private slots:
    void adaptar_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("adaptado");
        QTest::newRow("hint pegado")
            << u"SELECT VALOR FROM TA_CONFIGURACION WITH(NOLOCK) WHERE CLAVE = 'x'"_s
            << u"SELECT VALOR FROM TA_CONFIGURACION  WHERE CLAVE = 'x'"_s;
        QTest::newRow("hint con blancos y minusculas")
            << u"SELECT * FROM TA_REPORTES  with ( nolock ) WHERE NOMBRE = 'RP_OP'"_s
            << u"SELECT * FROM TA_REPORTES   WHERE NOMBRE = 'RP_OP'"_s;
        QTest::newRow("prefijos dbo")
            << u"SELECT dbo.V_MV_Cpte.TC FROM dbo.V_MV_Cpte INNER JOIN DBO.V_MV_CpteInsumos ON dbo.V_MV_Cpte.TC = dbo.V_MV_CpteInsumos.TC"_s
            << u"SELECT V_MV_Cpte.TC FROM V_MV_Cpte INNER JOIN V_MV_CpteInsumos ON V_MV_Cpte.TC = V_MV_CpteInsumos.TC"_s;
        QTest::newRow("literales intactos")
            << u"SELECT 'dbo.x WITH(NOLOCK)' AS a FROM dbo.t WHERE c = 'it''s dbo.y'"_s
            << u"SELECT 'dbo.x WITH(NOLOCK)' AS a FROM t WHERE c = 'it''s dbo.y'"_s;
        QTest::newRow("nombre que termina en dbo")
            << u"SELECT xdbo.c FROM t"_s << u"SELECT xdbo.c FROM t"_s;
        QTest::newRow("corchetes")
            << u"SELECT [Nro OP] FROM [dbo].t"_s << u"SELECT \"Nro OP\" FROM \"dbo\".t"_s;
        QTest::newRow("comillas dobles intactas")
            << u"SELECT \"dbo.a\" FROM dbo.t"_s << u"SELECT \"dbo.a\" FROM t"_s;
        QTest::newRow("WITH que no es hint") << u"WITH x AS (SELECT 1) SELECT * FROM x"_s
                                             << u"WITH x AS (SELECT 1) SELECT * FROM x"_s;
        QTest::newRow("literal sin cerrar") << u"SELECT 'abc"_s << u"SELECT 'abc"_s;
    }
    void adaptar()
    {
        QFETCH(QString, sql);
        QFETCH(QString, adaptado);
        QCOMPARE(adaptSql(sql, SqlBackend::SQLite), adaptado);
        QCOMPARE(adaptSql(sql, SqlBackend::PostgreSQL), adaptado);
        QCOMPARE(adaptSql(sql, SqlBackend::SqlServer), sql);
    }

    void citar()
    {
        QCOMPARE(sqlQuote(u"ANA"_s), u"'ANA'"_s);
        QCOMPARE(sqlQuote(u"O'Brien"_s), u"'O''Brien'"_s);
        QCOMPARE(sqlQuote(u"''"_s), u"''''''"_s);
        QCOMPARE(sqlQuote(QString()), u"''"_s);
    }

    void fechas()
    {
        const QDate d(2026, 2, 3);
        QCOMPARE(sqlDateLiteral(d, SqlBackend::SqlServer), u"'20260203'"_s);
        QCOMPARE(sqlDateLiteral(d, SqlBackend::SQLite), u"'2026-02-03'"_s);
        QCOMPARE(sqlDateLiteral(d, SqlBackend::PostgreSQL), u"'2026-02-03'"_s);
        const QDateTime m(d, QTime(8, 5, 9));
        QCOMPARE(sqlDateTimeLiteral(m, SqlBackend::SqlServer), u"'20260203 08:05:09'"_s);
        QCOMPARE(sqlDateTimeLiteral(m, SqlBackend::PostgreSQL), u"'2026-02-03 08:05:09'"_s);
        // Stored SQLite dates read as dates; texts that only look alike stay texts.
        QCOMPARE(dateFromStoredText(u"2026-02-03 08:05:09"_s), QVariant(m));
        QCOMPARE(dateFromStoredText(u"2026-02-30 08:05:09"_s), QVariant(u"2026-02-30 08:05:09"_s));
        QCOMPARE(dateFromStoredText(u"2026-02-03 08:05"_s), QVariant(u"2026-02-03 08:05"_s));
        QCOMPARE(dateFromStoredText(QVariant(20260203)), QVariant(20260203));
        QVERIFY(dateFromStoredText(QVariant()).isNull());
    }
};

QTEST_GUILESS_MAIN(TstDialecto)
#include "tst_dialecto.moc"
