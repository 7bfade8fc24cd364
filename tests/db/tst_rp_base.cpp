#include "BaseDatos.h"
#include "Soporte.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Corrida
{
    int salida = -1;
    QString estandar;
    QString errores;
};

Corrida correr(const QStringList& argumentos,
               const QProcessEnvironment& entorno = QProcessEnvironment::systemEnvironment())
{
    QProcess proceso;
    proceso.setProcessEnvironment(entorno);
    proceso.start(QStringLiteral(RP_BASE), argumentos);
    Corrida corrida;
    if (!proceso.waitForFinished(240000)) {
        corrida.errores = u"rp_base no terminó: "_s + proceso.errorString();
        return corrida;
    }
    corrida.salida = proceso.exitStatus() == QProcess::NormalExit ? proceso.exitCode() : -1;
    corrida.estandar = QString::fromUtf8(proceso.readAllStandardOutput());
    corrida.errores = QString::fromUtf8(proceso.readAllStandardError());
    return corrida;
}

int lineas(const QString& texto)
{
    return int(texto.trimmed().split(u'\n').size());
}

// Counts in an SQLite file through a connection of its own, closed at once so
// the tool can replace the file afterwards.
qint64 contarEn(const QString& archivo, const QString& sql)
{
    const QString conexion = u"contar"_s;
    qint64 n = -1;
    {
        QSqlDatabase db = basedatos::abrirSqlite(archivo, conexion, false);
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            n = q.value(0).toLongLong();
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
    return n;
}

} // namespace

class PruebaRpBase : public QObject
{
    Q_OBJECT

private slots:
    void ayudaEnCastellano()
    {
        const Corrida c = correr({u"--help"_s});
        QCOMPARE(c.salida, 0);
        QVERIFY(c.estandar.startsWith(u"Uso:"_s));
        QVERIFY(c.estandar.contains(u"--reemplazar"_s));
    }

    void argumentosInvalidos_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("motivo");
        const QString archivo = soporte::carpetaNueva(u"argumentos"_s) + u"/x.sqlite"_s;
        QTest::newRow("nada") << QStringList{} << u"--sqlite ARCHIVO o --odbc DSN"_s;
        QTest::newRow("sin contenido")
            << QStringList{u"--sqlite"_s, archivo} << u"--demo o --ordenes N"_s;
        QTest::newRow("demo y órdenes")
            << QStringList{u"--sqlite"_s, archivo, u"--demo"_s, u"--ordenes"_s, u"5"_s}
            << u"--demo o --ordenes N"_s;
        QTest::newRow("órdenes no numéricas")
            << QStringList{u"--sqlite"_s, archivo, u"--ordenes"_s, u"diez"_s} << u"«diez»"_s;
        QTest::newRow("falta el valor") << QStringList{u"--sqlite"_s, archivo, u"--ordenes"_s}
                                        << u"falta el valor de --ordenes"_s;
        QTest::newRow("semilla con demo")
            << QStringList{u"--sqlite"_s, archivo, u"--demo"_s, u"--semilla"_s, u"3"_s}
            << u"sólo valen con --ordenes"_s;
        QTest::newRow("odbc sin usuario")
            << QStringList{u"--odbc"_s, u"dsn"_s, u"--demo"_s} << u"--odbc necesita --usuario"_s;
        QTest::newRow("opción desconocida")
            << QStringList{u"--sqlite"_s, archivo, u"--demo"_s, u"--rapido"_s} << u"«--rapido»"_s;
    }

    void argumentosInvalidos()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, motivo);
        const Corrida c = correr(argumentos);
        QCOMPARE(c.salida, 2);
        QVERIFY2(c.errores.contains(motivo), qPrintable(c.errores));
        QCOMPARE(lineas(c.errores), 1);
        QVERIFY(c.estandar.isEmpty());
        QVERIFY(!QFile::exists(soporte::carpetaNueva(u"argumentos"_s) + u"/x.sqlite"_s));
    }

    void sqliteNoSeReemplazaSinPedirlo()
    {
        const QString carpeta = soporte::carpetaNueva(u"reemplazar"_s);
        const QString archivo = carpeta + u"/base.sqlite"_s;
        const QString ordenes = u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP'"_s;

        Corrida c = correr({u"--sqlite"_s, archivo, u"--demo"_s});
        QVERIFY2(c.salida == 0, qPrintable(c.errores));
        QCOMPARE(lineas(c.estandar), 1);
        QVERIFY2(c.estandar.contains(u"20 órdenes"_s), qPrintable(c.estandar));
        QCOMPARE(contarEn(archivo, ordenes), 20);

        c = correr({u"--sqlite"_s, archivo, u"--ordenes"_s, u"40"_s});
        QCOMPARE(c.salida, 1);
        QCOMPARE(lineas(c.errores), 1);
        QVERIFY2(c.errores.contains(u"use --reemplazar"_s), qPrintable(c.errores));
        QCOMPARE(contarEn(archivo, ordenes), 20);

        c = correr({u"--sqlite"_s, archivo, u"--ordenes"_s, u"40"_s, u"--semilla"_s, u"9"_s,
                    u"--reemplazar"_s});
        QVERIFY2(c.salida == 0, qPrintable(c.errores));
        QVERIFY2(c.estandar.contains(u"40 órdenes, 120 líneas"_s), qPrintable(c.estandar));
        QVERIFY2(c.estandar.contains(u"expande 600 filas"_s), qPrintable(c.estandar));
        QCOMPARE(contarEn(archivo, ordenes), 40);
        QCOMPARE(contarEn(archivo, u"SELECT count(*) FROM V_MV_CPTE WHERE IDCOMPROBANTE = "
                                   u"'000100000001A'"_s),
                 0);
        QCOMPARE(QDir(carpeta).entryList(QDir::Files), QStringList{u"base.sqlite"_s});
    }

    void sqliteEnCarpetaInexistente()
    {
        const QString archivo = soporte::carpetaNueva(u"sin-carpeta"_s) + u"/no/hay/base.sqlite"_s;
        const Corrida c = correr({u"--sqlite"_s, archivo, u"--demo"_s});
        QCOMPARE(c.salida, 1);
        QVERIFY2(c.errores.contains(u"No existe la carpeta"_s), qPrintable(c.errores));
    }

    // The server path, in a database of this test's own: the tool works on the
    // data source's default schema, which other test programs may be using.
    void servidorNoSeReemplazaSinPedirlo()
    {
        if (!soporte::hayPostgres())
            QSKIP("Sin servidor PostgreSQL de prueba");
        const QString base = u"rp_prueba_herramienta"_s;
        {
            QSqlDatabase admin = soporte::abrirPostgres(u"admin"_s);
            QSqlQuery q(admin);
            QVERIFY(q.exec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(base)));
            QVERIFY(q.exec(u"CREATE DATABASE %1"_s.arg(base)));
        }
        QSqlDatabase::removeDatabase(u"admin"_s);

        QFile original(qEnvironmentVariable("ODBCINI"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QString ini = QString::fromUtf8(original.readAll());
        ini.replace(QRegularExpression(u"^Database\\s*=.*$"_s, QRegularExpression::MultilineOption),
                    u"Database = "_s + base);
        const QString copia = soporte::carpetaNueva(u"odbc"_s) + u"/odbc.ini"_s;
        QFile archivo(copia);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(ini.toUtf8());
        archivo.close();
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(u"ODBCINI"_s, copia);
        const QStringList servidor = {u"--odbc"_s,    soporte::dsnPostgres(),
                                      u"--usuario"_s, soporte::usuarioPostgres(),
                                      u"--clave"_s,   soporte::clavePostgres()};

        Corrida c = correr(servidor + QStringList{u"--demo"_s}, entorno);
        QVERIFY2(c.salida == 0, qPrintable(c.errores));
        QVERIFY2(c.estandar.contains(u"20 órdenes"_s), qPrintable(c.estandar));

        c = correr(servidor + QStringList{u"--ordenes"_s, u"100"_s}, entorno);
        QCOMPARE(c.salida, 1);
        QVERIFY2(c.errores.contains(u"use --reemplazar"_s), qPrintable(c.errores));

        c = correr(servidor + QStringList{u"--ordenes"_s, u"100"_s, u"--reemplazar"_s}, entorno);
        QVERIFY2(c.salida == 0, qPrintable(c.errores));
        QVERIFY2(c.estandar.contains(u"100 órdenes, 300 líneas"_s), qPrintable(c.estandar));

        QSqlDatabase admin = soporte::abrirPostgres(u"admin"_s);
        QSqlQuery(admin).exec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(base));
    }
};

QTEST_GUILESS_MAIN(PruebaRpBase)
#include "tst_rp_base.moc"
