#include "BaseDatos.h"
#include "LectorLibro.h"
#include "Soporte.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The command-line report's files when the world is hostile: a full disk, a
// target the operator may not write, devices, texts that a spreadsheet would
// run, control characters, filter values the boxes would not take. The real
// program, run as a script would run it.
class TstLineaArchivos : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    QString m_base;
    QString m_lleno; // a tiny file system, when the sandbox lets us mount one
    QString m_sinLleno;

    struct Salida
    {
        int codigo = -1;
        QByteArray out;
        QString err;
    };
    Salida correr(QStringList argumentos, const QString& salidaA = {}, bool comoOtro = false)
    {
        if (!argumentos.first().startsWith(u'@'))
            argumentos.prepend(u"@DbName="_s + m_base + u";"_s);
        QString programa = QStringLiteral(RP_OPRODUCCION);
        if (comoOtro) {
            argumentos = QStringList{u"--reuid=nobody"_s, u"--regid=nogroup"_s,
                                     u"--clear-groups"_s, programa} +
                         argumentos;
            programa = u"setpriv"_s;
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, m_carpeta);
        env.insert(u"LC_ALL"_s, u"C.UTF-8"_s); // the files checked are written as under C
        p.setProcessEnvironment(env);
        if (!salidaA.isEmpty())
            p.setStandardOutputFile(salidaA);
        p.start(programa, argumentos);
        p.closeWriteChannel();
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitCode(), p.readAllStandardOutput(),
                QString::fromUtf8(p.readAllStandardError()).trimmed()};
    }
    static QByteArray contenido(const QString& archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no se pudo leer)");
    }
    static void guardar(const QString& archivo, const QByteArray& datos)
    {
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(datos), datos.size());
    }
    // The four routes to a file: option and extension.
    static void rutas()
    {
        QTest::addColumn<QString>("ruta");
        for (const QString& r : {u"csv"_s, u"xlsx"_s, u"html"_s, u"pdf"_s})
            QTest::newRow(qPrintable(r)) << r;
    }
    static QString unaLinea(const Salida& s)
    {
        return s.err.contains(u'\n') ? u"(más de una línea) "_s + s.err : s.err;
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"linea_archivos"_s);
        m_base = m_carpeta + u"/demo.db"_s;
        {
            QSqlDatabase db = basedatos::abrirSqlite(m_base, u"crear"_s, true);
            basedatos::crearEsquema(db);
            basedatos::cargarDemo(db);
            const QList<std::pair<QString, QString>> hostiles = {
                {u"CH-AC-SAE1010"_s, u"=HYPERLINK(\"http://x\",\"click\")\u0000oculto\u0001"_s},
                {u"LAM-PVC-08"_s, u"+cmd|' /C calc'!A0"_s},
                {u"CH-GALV-18"_s, u"@SUM(1+1)"_s},
                {u"CH-AC-INOX304"_s, u"-3,5"_s},
            };
            for (const auto& [articulo, descripcion] : hostiles) {
                QSqlQuery q(db);
                q.prepare(u"UPDATE MA_ARTICULOS SET DESCRIPCION = ? WHERE IDARTICULO = ?"_s);
                q.addBindValue(descripcion);
                q.addBindValue(articulo);
                QVERIFY(q.exec());
                QCOMPARE(q.numRowsAffected(), 1);
            }
            db.close();
        }
        // Another user runs the program too: the base and the program folder
        // are open to everyone.
        QVERIFY(::chmod(QFile::encodeName(m_carpeta).constData(), 0777) == 0);
        QVERIFY(::chmod(QFile::encodeName(m_base).constData(), 0666) == 0);

        const QString lleno = m_carpeta + u"/lleno"_s;
        // A run that died before its clean-up left its file system mounted.
        while (::umount2(QFile::encodeName(lleno).constData(), MNT_DETACH) == 0) {
        }
        QDir().mkpath(lleno);
        QProcess montar;
        montar.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, lleno});
        if (montar.waitForFinished(10000) && montar.exitCode() == 0)
            m_lleno = lleno;
        else
            m_sinLleno = u"no se pudo montar un tmpfs pequeño (%1): se omite el disco lleno"_s.arg(
                QString::fromLocal8Bit(montar.readAllStandardError()).trimmed() +
                montar.errorString());
    }

    void cleanupTestCase()
    {
        if (!m_lleno.isEmpty())
            ::umount2(QFile::encodeName(m_lleno).constData(), MNT_DETACH);
    }

    // Each route on a full disk: refused in words, the earlier file kept, no
    // temporary file left behind.
    void discoLleno_data()
    {
        rutas();
        QTest::newRow("csv a la salida estándar") << u"-"_s;
    }
    void discoLleno()
    {
        QFETCH(QString, ruta);
        if (m_lleno.isEmpty())
            QSKIP(qPrintable(m_sinLleno));
        QDir(m_lleno).removeRecursively();
        const QString anterior = m_lleno + u"/anterior."_s + (ruta == u"-" ? u"csv"_s : ruta);
        guardar(anterior, "el archivo anterior");
        {
            QFile relleno(m_lleno + u"/relleno"_s);
            QVERIFY(relleno.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray bloque(1024, 'x');
            while (relleno.write(bloque) == bloque.size()) {
            }
        }
        const Salida s = ruta == u"-" ? correr({u"--csv=-"_s}, anterior)
                                      : correr({u"--"_s + ruta + u'=' + anterior});
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(u"no queda espacio en el disco"_s) && !s.err.contains(u'\n'),
                 qPrintable(unaLinea(s)));
        if (ruta != u"-") {
            QCOMPARE(contenido(anterior), QByteArray("el archivo anterior"));
            QCOMPARE(QDir(m_lleno).entryList(QDir::Files | QDir::Hidden).size(), 2);
        }
    }

    // A file the operator may not write is refused on every route, whether the
    // system says so (another user's file) or only its mode does (as root).
    void soloLectura_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<bool>("comoOtro");
        for (const QString& r : {u"csv"_s, u"xlsx"_s, u"html"_s, u"pdf"_s}) {
            QTest::newRow(qPrintable(u"ajeno, "_s + r)) << r << true;
            QTest::newRow(qPrintable(u"marcado de solo lectura, "_s + r)) << r << false;
        }
    }
    void soloLectura()
    {
        QFETCH(QString, ruta);
        QFETCH(bool, comoOtro);
        if (comoOtro && ::geteuid() != 0)
            QSKIP("correr como otro usuario requiere root: se prueba solo por el modo");
        const QString archivo = m_carpeta + u"/protegido."_s + ruta;
        QFile::remove(archivo);
        guardar(archivo, "de otro usuario");
        QVERIFY(::chmod(QFile::encodeName(archivo).constData(), comoOtro ? 0644 : 0444) == 0);
        const Salida s = correr({u"--"_s + ruta + u'=' + archivo}, {}, comoOtro);
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(u"No se puede reemplazar el archivo"_s) && s.err.contains(archivo),
                 qPrintable(unaLinea(s)));
        QCOMPARE(contenido(archivo), QByteArray("de otro usuario"));
        QCOMPARE(QFileInfo(archivo).permissions() & QFileDevice::WriteOwner,
                 comoOtro ? QFileDevice::WriteOwner : QFileDevice::Permissions());
    }

    // A device is written to, never replaced by a regular file. As root the
    // device is a null device of the test's own and standard output is named
    // through a link of its own, so a program that got it wrong would not
    // replace the system's /dev/null or /dev/stdout.
    void dispositivos()
    {
        QString nulo = u"/dev/null"_s;
        if (::geteuid() == 0) {
            nulo = m_carpeta + u"/nulo"_s;
            QFile::remove(nulo);
            QVERIFY(::mknod(QFile::encodeName(nulo).constData(), S_IFCHR | 0666, makedev(1, 3)) ==
                    0);
        }
        const Salida s = correr({u"--csv="_s + nulo, u"--xlsx="_s + nulo, u"--html="_s + nulo,
                                 u"--pdf="_s + nulo});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        struct stat st{};
        QVERIFY(::stat(QFile::encodeName(nulo).constData(), &st) == 0 && S_ISCHR(st.st_mode));

        const QString enlace = m_carpeta + u"/stdout"_s;
        QFile::remove(enlace);
        QVERIFY(QFile::link(u"/proc/self/fd/1"_s, enlace));
        const QString salida = m_carpeta + u"/salida.xlsx"_s;
        const Salida libro = correr({u"--xlsx="_s + enlace}, salida);
        QVERIFY2(libro.codigo == 0, qPrintable(libro.err));
        QCOMPARE(contenido(salida).left(2), QByteArray("PK"));
        QVERIFY(QFileInfo(enlace).isSymLink());

        // Started with standard output closed: --csv=- says so, and no file
        // opened later (the base) takes the output's place.
        QProcess cerrada;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, m_carpeta);
        cerrada.setProcessEnvironment(env);
        cerrada.start(u"sh"_s, {u"-c"_s, u"\"$0\" \"$1\" --csv=- >&-"_s,
                                 QStringLiteral(RP_OPRODUCCION), u"@DbName="_s + m_base + u';'});
        QVERIFY(cerrada.waitForFinished(60000));
        QCOMPARE(cerrada.exitCode(), 1);
        QVERIFY(QString::fromUtf8(cerrada.readAllStandardError()).contains(u"salida estándar"_s));
        QVERIFY(!contenido(m_base).contains("Nro OP,"));
    }

    // Texts a spreadsheet would run, and control characters, on every route.
    void textosHostiles()
    {
        const QString d = soporte::carpetaNueva(u"hostiles"_s);
        const Salida s = correr({u"--csv="_s + d + u"/r.csv"_s, u"--xlsx="_s + d + u"/r.xlsx"_s,
                                 u"--html="_s + d + u"/r.html"_s, u"--pdf="_s + d + u"/r.pdf"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        const QString marca = QString(QChar::ReplacementCharacter);
        const QString enlace = u"=HYPERLINK(\"http://x\",\"click\")"_s + marca + u"oculto"_s + marca;

        const QString csv = QString::fromUtf8(contenido(d + u"/r.csv"_s));
        for (const QString& campo :
             QStringList{u",\"'=HYPERLINK(\"\"http://x\"\",\"\"click\"\")"_s + marca + u"oculto"_s +
                             marca + u"\","_s,
              u",'+cmd|' /C calc'!A0,"_s, u",'@SUM(1+1),"_s, u",\"-3,5\","_s})
            QVERIFY2(csv.contains(campo), qPrintable(campo));

        const QByteArray html = contenido(d + u"/r.html"_s);
        QVERIFY(html.contains("=HYPERLINK(\"http://x\",\"click\")&#65533;oculto&#65533;"));
        for (char c = 0; c < 32; ++c)
            if (c != '\t' && c != '\n' && c != '\r')
                QVERIFY2(!html.contains(c), qPrintable(QString::number(int(c))));

        // The workbook keeps every one of them as text, the NUL no longer ending it.
        const QJsonObject libro = lectorLibro::leer(d + u"/r.xlsx"_s);
        QMap<QString, QString> tipos;
        for (const QJsonValue celda : libro.value(u"celdas"_s).toObject())
            tipos.insert(celda.toObject().value(u"valor"_s).toString(),
                         celda.toObject().value(u"tipo"_s).toString());
        for (const QString& texto : {enlace, u"+cmd|' /C calc'!A0"_s, u"-3,5"_s})
            QVERIFY2(tipos.value(texto) == u"s", qPrintable(texto));

        if (QStringLiteral(RP_PDFTOTEXT).isEmpty())
            QSKIP("no hay pdftotext para leer el PDF");
        QProcess texto;
        texto.start(QStringLiteral(RP_PDFTOTEXT), {d + u"/r.pdf"_s, u"-"_s});
        QVERIFY(texto.waitForFinished(30000));
        const QString pdf = QString::fromUtf8(texto.readAllStandardOutput());
        QVERIFY2(pdf.contains(u"oculto"_s) && !pdf.contains(QChar(1)), qPrintable(pdf));
    }

    // A filter value the box would not take is refused, naming the option,
    // before the report widens to every order.
    void filtrosRechazados_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::newRow("digitos arabigo-indicos") << u"--Nro_Desde=١٢"_s;
        QTest::newRow("letras en un numero") << u"--Sucursal_Hasta=1a"_s;
        QTest::newRow("mas digitos de los que caben") << u"--Nro_Hasta=123456789"_s;
        QTest::newRow("letra que no es letra") << u"--Letra_Desde=1"_s;
        QTest::newRow("fecha con letras") << u"--Fecha_Desde=1o/10/2026"_s;
    }
    void filtrosRechazados()
    {
        QFETCH(QString, opcion);
        const Salida s = correr({opcion, u"--csv=-"_s});
        QCOMPARE(s.codigo, 2);
        QVERIFY2(s.err.contains(opcion.section(u'=', 0, 0)) && !s.err.contains(u'\n'),
                 qPrintable(unaLinea(s)));
        QVERIFY(s.out.isEmpty());
    }

    // A key written inside another pair's value is no key.
    void claveEscondidaEnOtroValor()
    {
        const Salida s =
            correr({u"@UsuarioLogeado=ana@DbName=/x/otra.db;@DbName="_s + m_base + u";"_s,
                    u"--Sucursal_Desde=1"_s, u"--Nro_Desde=1"_s, u"--Sucursal_Hasta=1"_s,
                    u"--Nro_Hasta=1"_s, u"--csv=-"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QVERIFY(s.out.startsWith("Nro OP,"));
    }
};

QTEST_GUILESS_MAIN(TstLineaArchivos)
#include "tst_linea_archivos.moc"
