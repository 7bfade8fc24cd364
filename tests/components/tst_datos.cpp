#include "Soporte.h"
#include "components/Componentes.h"
#include "components/TrabajoEnHilo.h"
#include "platform/sql/StatementTimeout.h"
#include "platform/text/CNumericLocale.h"
#include "platform/text/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QtTest>

using namespace Qt::StringLiterals;

// The data component on a real SQLite file and on PostgreSQL through its ODBC
// driver: every test runs on both.
class TstDatos : public QObject
{
    Q_OBJECT

    QString m_archivo;

    bool conectar(const QString& motor)
    {
        if (!soporte::conectarDatos(motor, m_archivo,
                                    soporte::hayPostgres() ? soporte::dsnPostgres() : QString()))
            return false;
        CompDatos& datos = Componentes::Datos();
        const bool pg = motor == u"postgres"_s;
        datos.Ejecutar(u"DROP TABLE IF EXISTS datos_art"_s);
        datos.Ejecutar(pg ? u"CREATE TABLE datos_art (codigo varchar(25), descripcion varchar(60), "
                            "ancho double precision, nota varchar(20))"_s
                          : u"CREATE TABLE datos_art (codigo TEXT COLLATE NOCASE, descripcion "
                            "TEXT, ancho REAL, nota TEXT)"_s);
        datos.Ejecutar(u"INSERT INTO datos_art VALUES ('A1', 'Chapa', 1000, NULL)"_s);
        datos.Ejecutar(u"INSERT INTO datos_art VALUES ('O''B', 'Con apóstrofo', 2.5, '')"_s);
        datos.Ejecutar(u"INSERT INTO datos_art VALUES ('NUL', NULL, NULL, 'x')"_s);
        return true;
    }

private slots:
    void initTestCase()
    {
        m_archivo = soporte::carpetaNueva(u"datos"_s) + u"/prueba.db"_s;
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"crear"_s);
        db.setDatabaseName(m_archivo);
        QVERIFY(db.open());
        QSqlQuery(db).exec(u"CREATE TABLE vacia (x INTEGER)"_s);
        db.close();
    }
    void init() { Componentes::ReiniciarParaPruebas(); }

    void conectarFalla_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("mensaje");
        const QString carpeta = soporte::carpetaNueva(u"falla"_s);
        QFile basura(carpeta + u"/basura.db"_s);
        QVERIFY(basura.open(QIODevice::WriteOnly));
        basura.write(QByteArray(4096, 'x'));
        basura.close();
        QTest::newRow("archivo que no existe") << carpeta + u"/no_esta.db"_s << u"no_esta.db"_s;
        QTest::newRow("archivo que no es una base") << basura.fileName() << u"basura.db"_s;
        QTest::newRow("origen ODBC desconocido") << u"origen_que_no_existe"_s << u"ODBC"_s;
        QTest::newRow("sin base") << QString() << u"base de datos"_s;
    }
    void conectarFalla()
    {
        QFETCH(QString, base);
        QFETCH(QString, mensaje);
        CompDatos& datos = Componentes::Datos();
        datos.setBaseDatos(base);
        try {
            datos.Conectar();
            QFAIL("conectó a lo que no existe");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(mensaje, Qt::CaseInsensitive),
                     qPrintable(e.description()));
            QCOMPARE(e.number(), ErrorNumber::Database);
        }
        QVERIFY(!datos.Conectado());
        QVERIFY(!datos.Conexion().Errors().isEmpty());
        QVERIFY(!datos.Conexion().Errors().first().Description.isEmpty());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, datos.AbrirRecordset(u"SELECT 1"_s));
    }

    void recordset_data() { soporte::motores(); }
    void recordset()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        auto vacio = datos.AbrirRecordset(u"SELECT * FROM datos_art WHERE codigo = 'ZZ'"_s);
        QVERIFY(vacio->atBof());
        QVERIFY(vacio->atEof());

        auto rs = datos.AbrirRecordset(
            u"SELECT codigo, descripcion, ancho, nota FROM dbo.datos_art WITH(NOLOCK) ORDER BY codigo"_s);
        QVERIFY(!rs->atBof());
        QStringList vistos;
        while (!rs->atEof()) {
            vistos << rs->field(u"CODIGO"_s).toString().trimmed();
            rs->moveNext();
        }
        QCOMPARE(vistos, (QStringList{u"A1"_s, u"NUL"_s, u"O'B"_s}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs->moveNext());

        rs = datos.AbrirRecordset(u"SELECT * FROM datos_art ORDER BY codigo"_s);
        QCOMPARE(rs->field(u"Ancho"_s).toDouble(), 1000.0);
        QVERIFY(rs->field(u"nota"_s).isNull());
        rs->moveNext();
        QVERIFY(rs->field(u"descripcion"_s).isNull());
        rs->moveNext();
        QVERIFY(!rs->field(u"nota"_s).isNull());
        QCOMPARE(rs->field(u"nota"_s).toString(), QString());
        QCOMPARE(rs->field(u"descripcion"_s).toString(), u"Con apóstrofo"_s);
        try {
            rs->field(u"no_hay"_s);
            QFAIL("leyó un campo que no existe");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::ItemNotFound);
            QVERIFY(e.description().contains(u"no_hay"_s));
        }
        datos.CerrarRecordset(rs);
        QVERIFY(!rs);
    }

    // SQLite rows are read from the engine directly: every kind of value, a
    // name, and every failure must come as Qt's own driver gives them.
    void recordsetComoElControlador()
    {
        if (!conectar(u"sqlite"_s))
            return;
        CompDatos& datos = Componentes::Datos();
        const QString sql =
            u"SELECT 7 AS entero, 2.5 AS real_, 'Chapa' AS ascii, 'Año Ñ' AS acento, "
            "CAST(x'41BA42' AS TEXT) AS suelto, CAST(x'E9' AS TEXT) AS cp1252, "
            "CAST(x'410042' AS TEXT) AS con_nul, '' AS vacio, NULL AS nada, x'00FF' AS bytes, "
            "x'' AS sin_bytes, CAST(x'EFBBBF41' AS TEXT) AS bom, CAST(x'C0AF' AS TEXT) AS largo, "
            "CAST(x'EDA080' AS TEXT) AS mitad, CAST(x'EFBFBE' AS TEXT) AS nocar, "
            "CAST(x'F09F9880E282AC' AS TEXT) AS cuatro, CAST(x'F4908080' AS TEXT) AS fuera, "
            "CAST(x'E282' AS TEXT) AS corto, codigo AS \"co\"\"mi\", descripcion FROM datos_art WHERE codigo = 'A1'"_s;
        const auto comoQt = [&](const QString& consulta, int filas) {
            QSqlQuery q(datos.BaseQt());
            q.setForwardOnly(true);
            q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
            if (!q.exec(consulta))
                return q.lastError().text();
            for (int i = 0; i < filas; ++i)
                if (!q.next())
                    return q.lastError().text();
            return QString();
        };
        const auto propio = [&](const QString& consulta, int filas) {
            try {
                auto rs = datos.AbrirRecordset(consulta);
                for (int i = 1; i < filas; ++i)
                    rs->moveNext();
                return QString();
            } catch (const RuntimeError& e) {
                return e.description();
            }
        };
        auto rs = datos.AbrirRecordset(sql);
        QSqlQuery q(datos.BaseQt());
        q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
        QVERIFY(q.exec(sql) && q.next());
        QCOMPARE(rs->fieldCount(), q.record().count());
        int enCorrida = 0, enReales = 0;
        for (int i = 0; i < q.record().count(); ++i) {
            QCOMPARE(rs->fieldName(i), q.record().fieldName(i));
            QCOMPARE(rs->value(i).metaType(), q.value(i).metaType());
            QCOMPARE(rs->value(i).isNull(), q.value(i).isNull());
            QCOMPARE(rs->value(i), q.value(i));
            // A text read straight into a run is the driver's text.
            QString corrida = u"›"_s;
            if (rs->appendText(i, corrida) && ++enCorrida)
                QCOMPARE(corrida, u"›"_s + q.value(i).toString());
            // A real number read straight from the row is the driver's, and
            // every one the driver gives as a double is read so.
            double real = 0;
            const bool esReal = !q.value(i).isNull() && q.value(i).typeId() == QMetaType::Double;
            QCOMPARE(rs->realNumber(i, real), esReal);
            enReales += esReal;
            if (esReal)
                QCOMPARE(real, q.value(i).toDouble());
        }
        QVERIFY(enCorrida >= 6);
        QVERIFY(enReales >= 1);
        QCOMPARE(rs->fieldIndex(u"datos_art.descripcion"_s),
                 q.record().indexOf(u"datos_art.descripcion"_s));
        // Refused when prepared, failing on the first row or on a later one;
        // a second statement is named in words, not the driver's "not an error".
        QVERIFY(propio(u"SELECT 1; SELECT 2"_s, 2).contains(u"más de una instrucción"_s));
        for (const QString& mala :
             {u"SELECT * FROM no_hay"_s, u"SELECT ? AS x"_s,
              u"SELECT abs(-9223372036854775807 - 1)"_s,
              u"SELECT abs(x) FROM (SELECT 1 AS x UNION ALL SELECT -9223372036854775807 - 1)"_s}) {
            const QString esperado = comoQt(mala, 2);
            QVERIFY2(!esperado.isEmpty(), qPrintable(mala));
            QCOMPARE(propio(mala, 2), esperado);
        }
    }

    // PostgreSQL's rows are read a block at a time: every kind of value, null
    // and text, rows across blocks and across a cursor's batches, and a fetch
    // that fails part-way, come as Qt's own driver gives them.
    void recordsetOdbcComoElControlador_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("cursor");
        const QString tipos =
            u"SELECT CAST(%1 AS double precision) AS d, CAST(%1 AS numeric) AS n, "
            "CAST(%2 AS integer) AS i, CAST(%2 AS smallint) AS s, CAST(%2 AS bigint) AS b, "
            "CAST(%3 AS varchar(3)) AS v, CAST(%3 AS char(5)) AS c, CAST(%4 AS date) AS f, "
            "CAST(CAST(%4 AS timestamp) AS time) AS h, CAST(%4 AS timestamp) AS m"_s;
        QTest::newRow("valores") << tipos.arg(u"-1234.5"_s, u"-32000"_s, u"'Año'"_s,
                                              u"'2026-02-28 23:59:58.123'"_s)
                                 << false;
        QTest::newRow("nulos y vacíos")
            << tipos.arg(u"NULL"_s, u"NULL"_s, u"NULL"_s, u"NULL"_s) + u" UNION ALL "_s +
                   tipos.arg(u"0"_s, u"0"_s, u"''"_s, u"'0001-01-01 00:00:00'"_s)
            << false;
        QTest::newRow("fuera del plano básico, marca de orden, extremos")
            << tipos.arg(u"1e30"_s, u"32767"_s, u"'😀€😀'"_s, u"'1999-12-31 00:00:00'"_s) +
                   u" UNION ALL "_s +
                   tipos.arg(u"-0.000001"_s, u"-32768"_s, u"chr(65279) || 'ab'"_s,
                             u"'2000-01-01 12:00:00.999'"_s)
            << false;
        // Long texts, and numbers the driver gives as text, stay with Qt's driver.
        QTest::newRow("columnas que lee el controlador")
            << u"SELECT CAST('Año' AS text) AS t, CAST(-1234.5 AS real) AS r, 'x' AS literal, "
               "CAST(NULL AS text) AS nada, CAST(2.5 AS double precision) AS d"_s
            << false;
        const QString filas =
            u"SELECT g, CASE WHEN g % 7 = 0 THEN NULL ELSE g * 1.5 END AS d, "
            "CAST(repeat('ñ', g % 23) AS varchar(30)) AS t, CAST(g AS bigint) * 1000000 AS b "
            "FROM generate_series(1, %1) AS g"_s;
        QTest::newRow("muchos bloques") << filas.arg(3001) << false;
        QTest::newRow("lotes de un cursor") << filas.arg(25000) + u" ORDER BY g"_s << true;
        QTest::newRow("falla entre lotes del cursor")
            << u"SELECT g, CAST(1 / (g - 15000) AS varchar(5)) AS x "
               "FROM generate_series(1, 20000) AS g"_s
            << true;
    }
    void recordsetOdbcComoElControlador()
    {
        QFETCH(QString, sql);
        QFETCH(bool, cursor);
        if (!conectar(u"postgres"_s))
            return;
        CompDatos& datos = Componentes::Datos();
        // Qt's driver reads the whole result first: a failed statement ends
        // the session's transaction, and with it any other cursor.
        QList<QVariantList> filasQt;
        QStringList nombres;
        QString errorQt;
        {
            std::optional<OdbcCursorFetch> lotes;
            if (cursor)
                lotes.emplace(datos.BaseQt());
            // As the report reads: numbers the driver gives as text have a point.
            const CNumericScope numeros;
            QSqlQuery q(datos.BaseQt());
            q.setForwardOnly(true);
            q.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
            QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            if (lotes)
                lotes->opened();
            for (int i = 0; i < q.record().count(); ++i)
                nombres << q.record().fieldName(i);
            while (q.next()) {
                filasQt.append(QVariantList());
                for (int i = 0; i < nombres.size(); ++i)
                    filasQt.last() << q.value(i);
            }
            errorQt = q.lastError().text();
        }
        QString error;
        int fila = 0;
        try {
            auto rs = cursor ? datos.AbrirRecordsetOrdenado(sql) : datos.AbrirRecordset(sql);
            QCOMPARE(rs->fieldCount(), nombres.size());
            for (; !rs->atEof(); rs->moveNext()) {
                QVERIFY2(fila < filasQt.size(),
                         qPrintable(u"más filas que las del controlador: %1"_s.arg(fila)));
                for (int i = 0; i < nombres.size(); ++i) {
                    const QVariant& esperado = filasQt[fila][i];
                    const QVariant leido = rs->value(i);
                    const QByteArray donde =
                        u"fila %1, campo %2: %3 / %4"_s.arg(fila)
                            .arg(nombres[i], leido.toString(), esperado.toString())
                            .toUtf8();
                    QVERIFY2(leido.metaType() == esperado.metaType() &&
                                 leido.isNull() == esperado.isNull() && leido == esperado &&
                                 leido.toString().isNull() == esperado.toString().isNull(),
                             donde.constData());
                    QString corrida = u"›"_s;
                    QVERIFY2(!rs->appendText(i, corrida) || corrida == u"›"_s + esperado.toString(),
                             donde.constData());
                    double real = 0;
                    QVERIFY2(!rs->realNumber(i, real) ||
                                 (esperado.typeId() == QMetaType::Double && !esperado.isNull() &&
                                  real == esperado.toDouble()),
                             donde.constData());
                }
                ++fila;
            }
        } catch (const RuntimeError& e) {
            error = e.description();
        }
        QCOMPARE(fila, filasQt.size());
        QCOMPARE(error, errorQt);
        QCOMPARE(error.isEmpty(), !QByteArray(QTest::currentDataTag()).startsWith("falla"));
    }

    // A result whose statement fixes its order comes from a server cursor a
    // batch at a time on PostgreSQL; every other result, before and after it,
    // is read whole as always (a cursor may change an order nobody fixed).
    void cursorSoloParaLoOrdenado()
    {
        if (!conectar(u"postgres"_s))
            return;
        CompDatos& datos = Componentes::Datos();
        const auto cursores = [&] {
            return datos.AbrirRecordset(u"SELECT count(*) AS n FROM pg_cursors"_s)
                ->field(u"n"_s)
                .toInt();
        };
        auto suelto = datos.AbrirRecordset(u"SELECT codigo FROM datos_art"_s);
        QCOMPARE(cursores(), 0);
        // More rows than one read takes, or the cursor is over by the first row.
        auto ordenado = datos.AbrirRecordsetOrdenado(
            u"SELECT codigo FROM datos_art CROSS JOIN generate_series(1, 300) ORDER BY codigo"_s);
        QCOMPARE(cursores(), 1);
        QStringList vistos;
        for (; !ordenado->atEof(); ordenado->moveNext())
            vistos << ordenado->field(u"codigo"_s).toString().trimmed();
        vistos.removeDuplicates();
        QCOMPARE(vistos, (QStringList{u"A1"_s, u"NUL"_s, u"O'B"_s}));
        datos.CerrarRecordset(ordenado);
        datos.CerrarRecordset(suelto);
        suelto = datos.AbrirRecordset(u"SELECT codigo FROM datos_art"_s);
        QCOMPARE(cursores(), 0);
        datos.CerrarRecordset(suelto);

        // Every batch of a long result is a full one, as the server's own log
        // of this session's statements shows, and the statements run while it
        // is read are read whole.
        QFile log(QFileInfo(qEnvironmentVariable("ODBCINI")).dir().filePath(u"postgres.log"_s));
        QVERIFY(log.open(QIODevice::ReadOnly));
        log.seek(log.size());
        datos.Ejecutar(u"SET log_statement = 'all'"_s);
        const QString sesion =
            datos.AbrirRecordset(u"SELECT pg_backend_pid() AS p"_s)->field(u"p"_s).toString();
        ordenado = datos.AbrirRecordsetOrdenado(
            u"SELECT g FROM generate_series(1, 25000) AS g ORDER BY g"_s);
        int filas = 0;
        for (; !ordenado->atEof(); ordenado->moveNext()) {
            if (++filas % 2000 == 1)
                QCOMPARE(cursores(), 1);
        }
        QCOMPARE(filas, 25000);
        datos.CerrarRecordset(ordenado);
        datos.Ejecutar(u"SET log_statement = 'none'"_s);
        QStringList lotes;
        const QRegularExpression lote(u"\\bfetch (\\d+) in\\b"_s);
        for (const QString& linea : QString::fromUtf8(log.readAll()).split(u'\n')) {
            const auto hallado = lote.match(linea);
            if (linea.contains(u"[" + sesion + u"]") && hallado.hasMatch())
                lotes << hallado.captured(1);
        }
        QCOMPARE(lotes, QStringList(13, u"2000"_s));
    }

    void falloDeConsulta_data() { soporte::motores(); }
    void falloDeConsulta()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        try {
            datos.AbrirRecordset(u"SELECT * FROM tabla_que_no_hay"_s);
            QFAIL("la consulta no falló");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::Database);
            QVERIFY2(e.description().contains(u"tabla_que_no_hay"_s), qPrintable(e.description()));
            QCOMPARE(datos.Conexion().Errors().size(), 1);
            QCOMPARE(datos.Conexion().Errors().first().Description, e.description());
        }
        // The connection is still good after a refused statement.
        QVERIFY(!datos.AbrirRecordset(u"SELECT codigo FROM datos_art"_s)->atBof());
        QVERIFY(datos.Conexion().Errors().isEmpty());
    }

    void buscarCampo_data() { soporte::motores(); }
    void buscarCampo()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        const auto buscar = [&](const QString& clave, const QString& columna) {
            return datos.BuscarCampo(u"datos_art"_s, clave, columna, u"codigo"_s, 8, QString());
        };
        QCOMPARE(buscar(u"O'B"_s, u"descripcion"_s), u"Con apóstrofo"_s);
        QCOMPARE(buscar(u"A1"_s, u"ANCHO"_s), u"1000"_s);
        QCOMPARE(buscar(u"NO ESTA"_s, u"descripcion"_s), QString());
        QCOMPARE(buscar(u"NUL"_s, u"descripcion"_s), QString());
        QCOMPARE(buscar(u"x' OR '1'='1"_s, u"descripcion"_s), QString());
    }

    void ejecutarYContar_data() { soporte::motores(); }
    void ejecutarYContar()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        const qint64 antes = datos.SentenciasEmitidas();
        datos.Ejecutar(u"INSERT INTO datos_art (codigo, descripcion) VALUES ('N2', 'Nuevo')"_s);
        QCOMPARE(datos.BuscarCampo(u"datos_art"_s, u"N2"_s, u"descripcion"_s, u"codigo"_s),
                 u"Nuevo"_s);
        QCOMPARE(datos.SentenciasEmitidas(), antes + 2);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, datos.Ejecutar(u"INSERT INTO nada VALUES (1)"_s));
    }

    void aislamiento_data() { soporte::motores(); }
    void aislamiento()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        datos.Conexion().setIsolationLevel(256);
        QCOMPARE(datos.Conexion().IsolationLevel(), 256);
        auto rs =
            datos.AbrirRecordset(motor == u"postgres"_s ? u"SHOW default_transaction_isolation"_s
                                                        : u"PRAGMA read_uncommitted"_s);
        QCOMPARE(rs->field(motor == u"postgres"_s ? u"default_transaction_isolation"_s
                                                  : u"read_uncommitted"_s)
                     .toString(),
                 motor == u"postgres"_s ? u"read uncommitted"_s : u"1"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, datos.Conexion().setIsolationLevel(3));
        QCOMPARE(datos.Conexion().IsolationLevel(), 256);
    }

    // A database another program holds locked: waited for as long as a
    // statement may run, then reported as in use, at start and in a statement.
    void baseEnUso()
    {
        QSqlDatabase otro = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"otro_programa"_s);
        otro.setDatabaseName(m_archivo);
        QVERIFY(otro.open());
        CompDatos& datos = Componentes::Datos();
        datos.setBaseDatos(m_archivo);
        datos.Conexion().setCommandTimeout(7);
        datos.Conectar();
        auto espera = datos.AbrirRecordset(u"PRAGMA busy_timeout"_s);
        QCOMPARE(espera->field(u"timeout"_s).toInt(), 7000);
        espera.reset();
        datos.Conexion().setCommandTimeout(1);
        QSqlQuery traba(otro);
        QVERIFY(traba.exec(u"BEGIN EXCLUSIVE"_s));
        const auto enUso = [](const std::function<void()>& paso) {
            try {
                paso();
                return QStringLiteral("no falló");
            } catch (const RuntimeError& e) {
                return e.description();
            }
        };
        const QString alConsultar = enUso([&] { datos.AbrirRecordset(u"SELECT * FROM vacia"_s); });
        datos.Desconectar();
        const QString alConectar = enUso([&] { datos.Conectar(); });
        QVERIFY(traba.exec(u"ROLLBACK"_s));
        traba = QSqlQuery();
        otro.close();
        otro = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"otro_programa"_s);
        for (const QString& mensaje : {alConsultar, alConectar}) {
            QVERIFY2(mensaje.contains(u"en uso por otro programa"_s), qPrintable(mensaje));
            QVERIFY2(!mensaje.contains(u"no es una base de datos"_s), qPrintable(mensaje));
        }
        QVERIFY(alConectar.contains(m_archivo));
    }

    void tiempoLimite_data() { soporte::motores(); }
    void tiempoLimite()
    {
        QFETCH(QString, motor);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        datos.Conexion().setCommandTimeout(1);
        const QString larga =
            motor == u"postgres"_s
                ? u"SELECT pg_sleep(4) AS x"_s
                : u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                  "SELECT count(*) AS x FROM (SELECT i FROM n LIMIT 2000000000)"_s;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, datos.AbrirRecordset(larga));
        datos.Conexion().setCommandTimeout(0);
        QCOMPARE(datos.AbrirRecordset(u"SELECT 7 AS x"_s)->field(u"x"_s).toInt(), 7);
    }

    // Work on a worker thread runs on a connection of its own, opened with the
    // session's settings; a cancel from the window's thread stops its
    // statement in the middle.
    void conexionDelHilo_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<int>("nivel");
        QTest::addColumn<QStringList>("consultas");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("sqlite") << u"sqlite"_s << 256
                                << QStringList{u"PRAGMA read_uncommitted"_s,
                                               u"PRAGMA busy_timeout"_s,
                                               u"SELECT 'op' = 'OP  ' COLLATE NOCASE"_s}
                                << QStringList{u"1"_s, u"1000"_s, u"1"_s};
        QTest::newRow("postgres") << u"postgres"_s << 1048576
                                  << QStringList{u"SHOW transaction_isolation"_s}
                                  << QStringList{u"serializable"_s};
    }
    void conexionDelHilo()
    {
        QFETCH(QString, motor);
        QFETCH(int, nivel);
        QFETCH(QStringList, consultas);
        if (!conectar(motor))
            return;
        const bool pg = motor == u"postgres"_s;
        const QString larga =
            pg ? u"SELECT pg_sleep(60) AS x"_s
               : u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                 "SELECT count(*) AS x FROM (SELECT i FROM n LIMIT 2000000000)"_s;
        CompDatos& sesion = Componentes::Datos();
        sesion.Conexion().setIsolationLevel(nivel);
        sesion.Conexion().setCommandTimeout(1);
        QStringList vistos;
        QString conexion, limite;
        TrabajoEnHilo trabajo([&] {
            CompDatos& datos = Componentes::Datos();
            conexion = datos.BaseQt().connectionName();
            for (const QString& consulta : consultas)
                vistos << valueText(datos.AbrirRecordset(consulta)->value(0));
            try {
                datos.AbrirRecordset(larga);
            } catch (const RuntimeError& e) {
                limite = e.description();
            }
        });
        trabajo.Ejecutar();
        QTEST(vistos, "esperado");
        QVERIFY(!conexion.isEmpty() && conexion != sesion.BaseQt().connectionName());
        QVERIFY2(!limite.isEmpty(), "la sentencia larga no cumplió el tiempo límite");

        sesion.Conexion().setCommandTimeout(0);
        int llamadas = 0;
        TrabajoEnHilo cancelable([&] { Componentes::Datos().AbrirRecordset(larga); });
        const auto enCurso = [&] {
            // The server shows the statement running; SQLite's starts at once.
            if (!pg)
                return ++llamadas >= 4;
            return sesion
                       .AbrirRecordset(u"SELECT count(*) FROM pg_stat_activity WHERE state = "
                                       "'active' AND query LIKE 'SELECT pg_sleep(60)%'"_s)
                       ->value(0)
                       .toInt() > 0;
        };
        try {
            cancelable.Ejecutar([&] {
                if (!cancelable.Cancelado() && enCurso())
                    cancelable.Cancelar();
            });
            QFAIL("la sentencia terminó sin cancelarse");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::Cancelled);
        }
        QVERIFY(sesion.Conectado());
        QCOMPARE(sesion.AbrirRecordset(u"SELECT 7 AS x"_s)->field(u"x"_s).toInt(), 7);
    }
};

QTEST_GUILESS_MAIN(TstDatos)
#include "tst_datos.moc"
