#include "LectorLibro.h"
#include "Soporte.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

// The package unpacked into a scratch folder, its programs run from there with
// the machine's libraries, as they run once installed; and the package checked
// as a Debian maintainer checks one.
class TstPaquete : public QObject
{
    Q_OBJECT

    QString m_deb;
    QString m_raiz;
    QString m_carpeta;

    struct Corrida
    {
        int codigo = -1;
        QString out, err;
    };
    static Corrida correr(const QString& programa, const QStringList& argumentos,
                          const QProcessEnvironment& entorno = {})
    {
        QProcess p;
        if (!entorno.isEmpty())
            p.setProcessEnvironment(entorno);
        p.start(programa, argumentos);
        if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit)
            return {-1, {}, u"no terminó: "_s + programa + u' ' + p.errorString()};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // Standard output of a command that must succeed; its error text otherwise.
    static QString salida(const QString& programa, const QStringList& argumentos)
    {
        const Corrida c = correr(programa, argumentos);
        return c.codigo == 0
                   ? c.out
                   : u"FALLÓ: "_s + programa + u' ' + argumentos.join(u' ') + u": "_s + c.err;
    }
    QString texto(const QString& ruta) const
    {
        QFile archivo(m_raiz + ruta);
        return archivo.open(QIODevice::ReadOnly) ? QString::fromUtf8(archivo.readAll())
                                                 : u"no está "_s + ruta;
    }

private slots:
    void initTestCase()
    {
        const QFileInfoList debs = QDir(QStringLiteral(RP_PAQUETE_DIR))
                                       .entryInfoList({u"rp-oproduccion_*.deb"_s}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = debs.first().absoluteFilePath();
        m_carpeta = soporte::carpetaNueva(u"paquete"_s);
        m_raiz = m_carpeta + u"/raiz"_s;
        QCOMPARE(salida(u"dpkg-deb"_s, {u"-x"_s, m_deb, m_raiz}), QString());
    }

    // Errors and warnings fail; the informational tags are printed to be read.
    void lintian()
    {
        const Corrida c = correr(u"lintian"_s, {u"-I"_s, u"--pedantic"_s, m_deb});
        QVERIFY2(c.codigo >= 0 && !c.out.contains(u"internal error"_s), qPrintable(c.err));
        QStringList faltas;
        for (const QString& linea : c.out.split(u'\n', Qt::SkipEmptyParts)) {
            if (linea.startsWith(u"E: "_s) || linea.startsWith(u"W: "_s))
                faltas << linea;
            else
                qInfo("%s", qPrintable(linea));
        }
        QVERIFY2(faltas.isEmpty(), qPrintable(faltas.join(u'\n')));
    }

    void version_data()
    {
        QTest::addColumn<QString>("programa");
        QTest::newRow("rp_oproduccion") << u"rp_oproduccion"_s;
        QTest::newRow("rp_base") << u"rp_base"_s;
    }
    // The package is the project's version with a Debian revision, the one its
    // changelog opens with; the programs print the project's.
    void version()
    {
        QFETCH(QString, programa);
        const QString paquete = salida(u"dpkg-deb"_s, {u"-f"_s, m_deb, u"Version"_s}).trimmed();
        QVERIFY2(paquete.startsWith(QStringLiteral(RP_VERSION_PROYECTO "-")), qPrintable(paquete));
        const QString cambios =
            salida(u"zcat"_s, {m_raiz + u"/usr/share/doc/rp-oproduccion/changelog.Debian.gz"_s});
        QCOMPARE(cambios.section(u'\n', 0, 0).section(u' ', 0, 1),
                 u"rp-oproduccion ("_s + paquete + u')');
        const soporte::Salida s = soporte::correrPrograma(m_raiz + u"/usr/bin/"_s + programa,
                                                          {u"--version"_s}, m_carpeta);
        QCOMPARE(s.codigo, 0);
        QCOMPARE(s.out, programa + u' ' + QStringLiteral(RP_VERSION_PROYECTO) + u'\n');
    }

    // Each program has its page, the same in the Spanish and the default
    // places; every option the program lists is described there, and man
    // formats it without a warning, as lintian asks it to.
    void ayudaYManual_data() { version_data(); }
    void ayudaYManual()
    {
        QFETCH(QString, programa);
        const QString pagina = u"/usr/share/man/man1/"_s + programa + u".1.gz"_s;
        const QString paginaEs = u"/usr/share/man/es/man1/"_s + programa + u".1.gz"_s;
        QCOMPARE(texto(paginaEs), texto(pagina));
        const QString manual = salida(u"zcat"_s, {m_raiz + pagina}).replace(u"\\-"_s, u"-"_s);
        QVERIFY2(manual.contains(u".TH "_s + programa.toUpper() + u" 1 "_s),
                 qPrintable(manual.left(200)));

        const soporte::Salida ayuda =
            soporte::correrPrograma(m_raiz + u"/usr/bin/"_s + programa, {u"--help"_s}, m_carpeta);
        QCOMPARE(ayuda.codigo, 0);
        static const QRegularExpression opcion(u"--[A-Za-z_-]+"_s);
        QStringList faltan;
        for (const QRegularExpressionMatch& m : opcion.globalMatch(ayuda.out))
            if (!manual.contains(m.captured()))
                faltan << m.captured();
        QCOMPARE(faltan, QStringList());

        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        entorno.insert(u"MANWIDTH"_s, u"80"_s);
        entorno.insert(u"MANROFFSEQ"_s, QString());
        const Corrida man = correr(
            u"man"_s,
            {u"--warnings"_s, u"-E"_s, u"UTF-8"_s, u"-l"_s, u"-Tutf8"_s, u"-Z"_s, m_raiz + pagina},
            entorno);
        QCOMPARE(man.codigo, 0);
        QCOMPARE(man.err, QString());
    }

    // The menu entry is valid, starts a program the package carries with no
    // login in it (the file is readable by every user), and shows its icon.
    void escritorio()
    {
        const QString ruta = m_raiz + u"/usr/share/applications/rp_oproduccion.desktop"_s;
        const Corrida valida = correr(u"desktop-file-validate"_s, {ruta});
        QCOMPARE(valida.out + valida.err, QString());
        QCOMPARE(valida.codigo, 0);

        const QString entrada = texto(u"/usr/share/applications/rp_oproduccion.desktop"_s);
        static const QRegularExpression exec(u"^Exec=(\\S+)(.*)$"_s,
                                             QRegularExpression::MultilineOption);
        int programas = 0;
        for (const QRegularExpressionMatch& m : exec.globalMatch(entrada)) {
            const QString programa = m_raiz + u"/usr/bin/"_s + m.captured(1);
            QVERIFY2(QFileInfo(programa).isExecutable(), qPrintable(programa));
            QVERIFY2(!m.captured(2).contains(u"@Password"_s, Qt::CaseInsensitive),
                     qPrintable(m.captured()));
            ++programas;
        }
        QCOMPARE(programas, 1);
        static const QRegularExpression icono(u"^Icon=(\\S+)"_s,
                                              QRegularExpression::MultilineOption);
        const QString imagen = m_raiz + u"/usr/share/icons/hicolor/scalable/apps/"_s +
                               icono.match(entrada).captured(1) + u".svg"_s;
        QVERIFY2(QFileInfo(imagen).isFile(), qPrintable(imagen));
    }

    // The user guide is where Debian keeps a package's documents, with every
    // picture it shows.
    void guia()
    {
        const QString carpeta = u"/usr/share/doc/rp-oproduccion/"_s;
        const QString guia = texto(carpeta + u"guia.html"_s);
        QVERIFY2(guia.contains(u"<html lang=\"es\">"_s), qPrintable(guia.left(200)));
        static const QRegularExpression imagen(u"<img src=\"([^\"]+)\""_s);
        QStringList faltan;
        int imagenes = 0;
        for (const QRegularExpressionMatch& m : imagen.globalMatch(guia)) {
            ++imagenes;
            if (!QFileInfo(m_raiz + carpeta + m.captured(1)).isFile())
                faltan << m.captured(1);
        }
        QVERIFY(imagenes > 0);
        QCOMPARE(faltan, QStringList());
    }

    // The packaged rp_base makes the demonstration database; the packaged program
    // writes the report on it, and --demo finds the packaged copy of the same data.
    void reporte_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("rp_base") << false;
        QTest::newRow("--demo") << true;
    }
    void reporte()
    {
        QFETCH(bool, demo);
        const QString carpeta = soporte::carpetaNueva(u"paquete/"_s + QTest::currentDataTag());
        QStringList argumentos{u"@UsuarioLogeado=cron;"_s, u"--Fecha_Desde=1/10/2026"_s,
                               u"--Fecha_Hasta=31/10/2026"_s, u"--csv="_s + carpeta + u"/r.csv"_s,
                               u"--xlsx="_s + carpeta + u"/r.xlsx"_s};
        if (demo) {
            argumentos << u"--demo"_s;
        } else {
            const QString base = carpeta + u"/demo.db"_s;
            const soporte::Salida b = soporte::correrPrograma(
                m_raiz + u"/usr/bin/rp_base"_s, {u"--sqlite"_s, base, u"--demo"_s}, carpeta);
            QVERIFY2(b.codigo == 0, qPrintable(b.err));
            argumentos << u"@DbName="_s + base + u';';
        }
        const soporte::Salida s =
            soporte::correrPrograma(m_raiz + u"/usr/bin/rp_oproduccion"_s, argumentos, carpeta,
                                    u"C.UTF-8"_s); // the CSV checked is the C locale's
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QFile csv(carpeta + u"/r.csv"_s);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList filas = QString::fromUtf8(csv.readAll()).split(u"\r\n"_s);
        QCOMPARE(filas.first(), u"Nro OP,Insumo,Descrpcion,Cantidad,PE,Kg,Espesor"_s);
        QVERIFY(filas.contains(u",CH-AC-SAE1010,Chapa de acero SAE 1010,1,7850,471,"_s));
        const QJsonObject libro = lectorLibro::leer(carpeta + u"/r.xlsx"_s);
        QCOMPARE(lectorLibro::celda(libro, u"B3"_s).value(u"valor"_s).toString(),
                 u"CH-AC-SAE1010"_s);
        QCOMPARE(lectorLibro::celda(libro, u"F3"_s).value(u"valor"_s).toDouble(), 471.0);
    }

    // A workstation's safe set-up: the menu names only the data source, and the
    // login is in the data source of a file only its owner reads (~/.odbc.ini,
    // here named by ODBCINI, since unixODBC finds the home folder from the
    // account and not from HOME).
    void servidorConLoginDelOrigen()
    {
        if (!soporte::hayPostgres())
            QSKIP("sin servidor PostgreSQL de prueba");
        const QString dsn = soporte::postgresPropio(u"rp_paquete"_s);
        const QString carpeta = soporte::carpetaNueva(u"paquete/servidor"_s);
        const soporte::Salida b =
            soporte::correrPrograma(m_raiz + u"/usr/bin/rp_base"_s,
                                    {u"--odbc"_s, dsn, u"--usuario"_s, soporte::usuarioPostgres(),
                                     u"--clave"_s, soporte::clavePostgres(), u"--demo"_s},
                                    carpeta);
        QVERIFY2(b.codigo == 0, qPrintable(b.err));

        // The test server's source for that database, under the workstation's name.
        const QString odbcIni = qEnvironmentVariable("ODBCINI");
        QFile prueba(odbcIni);
        QVERIFY(prueba.open(QIODevice::ReadOnly));
        const QString todo = QString::fromUtf8(prueba.readAll());
        const QString fuente = todo.mid(todo.indexOf(u'[' + dsn + u']') + dsn.size() + 2);
        QFile usuario(carpeta + u"/odbc.ini"_s);
        QVERIFY(usuario.open(QIODevice::WriteOnly));
        QVERIFY(usuario.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        usuario.write((u"[GESTION]\n"_s + fuente.trimmed() + u"\nUsername = "_s +
                       soporte::usuarioPostgres() + u"\nPassword = "_s + soporte::clavePostgres() +
                       u'\n')
                          .toUtf8());
        usuario.close();

        qputenv("ODBCINI", usuario.fileName().toLocal8Bit());
        const soporte::Salida s = soporte::correrPrograma(
            m_raiz + u"/usr/bin/rp_oproduccion"_s,
            {u"@DbName=GESTION;@UsuarioLogeado=ana;"_s, u"--Fecha_Desde=1/10/2026"_s,
             u"--Fecha_Hasta=31/10/2026"_s, u"--csv="_s + carpeta + u"/r.csv"_s},
            carpeta, u"C.UTF-8"_s); // the CSV checked is the C locale's
        qputenv("ODBCINI", odbcIni.toLocal8Bit());
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QFile csv(carpeta + u"/r.csv"_s);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(csv.readAll())
                    .contains(u",CH-AC-SAE1010,Chapa de acero SAE 1010,1,7850,471,"_s));
    }
};

QTEST_GUILESS_MAIN(TstPaquete)
#include "tst_paquete.moc"
