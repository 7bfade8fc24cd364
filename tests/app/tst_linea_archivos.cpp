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
    QString m_programaAjeno; // a copy the other user can reach, wherever the build tree is

    struct Salida
    {
        int codigo = -1;
        QByteArray out;
        QString err;
    };
    Salida correr(QStringList argumentos, const QString& salidaA = {}, bool comoOtro = false,
                  const QString& carpeta = {})
    {
        if (!argumentos.first().startsWith(u'@'))
            argumentos.prepend(u"@DbName="_s + m_base + u";"_s);
        QString programa = QStringLiteral(RP_OPRODUCCION);
        if (comoOtro) {
            programa = m_programaAjeno;
            argumentos = QStringList{u"--reuid=nobody"_s, u"--regid=nogroup"_s,
                                     u"--clear-groups"_s, programa} +
                         argumentos;
            programa = u"setpriv"_s;
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, carpeta.isEmpty() ? m_carpeta : carpeta);
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
    static mode_t modo(const QString& archivo)
    {
        struct stat st{};
        return ::stat(QFile::encodeName(archivo).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // A program folder of its own, open to every user as a shared one is.
    static QString carpetaCompartida(const QString& nombre)
    {
        const QString carpeta = soporte::carpetaParaTodos(nombre);
        ::chmod(QFile::encodeName(carpeta).constData(), 01777);
        return carpeta;
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaParaTodos(u"linea_archivos"_s);
        m_programaAjeno = soporte::carpetaParaTodos(u"programa"_s) + u"/rp_oproduccion"_s;
        QVERIFY(QFile::copy(QStringLiteral(RP_OPRODUCCION), m_programaAjeno));
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
        // The separator fixed, so the fields read the same under any locale.
        const Salida s = correr({u"--csv="_s + d + u"/r.csv"_s, u"--separador=,"_s,
                                 u"--xlsx="_s + d + u"/r.xlsx"_s,
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

    // A link another user planted in a shared program folder, in place of one
    // of the program's files, to a file of the system's or to none: the run,
    // as root too, writes and creates nothing through it and names it, on
    // standard error or, when the run goes on, in the error log.
    void enlacesPlantados_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("colgante");
        QTest::addColumn<int>("codigo");
        QTest::newRow("INI de la suite, a un archivo ajeno")
            << u"QX000LT.INI"_s << QStringList{u"--csv=-"_s} << false << 0;
        QTest::newRow("consultas, colgante")
            << u"consultas.qn"_s << QStringList{u"--csv=-"_s} << true << 1;
        QTest::newRow("registro de errores, a un archivo ajeno")
            << u"QNErr.log"_s << QStringList{u"@DbName=/no/existe.db;"_s, u"--csv=-"_s} << false
            << 1;
        for (const bool colgante : {true, false})
            QTest::newRow(colgante ? "copia de demostración, colgante"
                                   : "copia de demostración, a un archivo ajeno")
                << u"demo.db"_s
                << QStringList{u"@UsuarioLogeado=cron;"_s, u"--demo"_s, u"--csv=-"_s} << colgante
                << 1;
    }
    void enlacesPlantados()
    {
        QFETCH(QString, archivo);
        QFETCH(QStringList, argumentos);
        QFETCH(bool, colgante);
        QFETCH(int, codigo);
        const QString carpeta = carpetaCompartida(u"plantados"_s);
        const QString ajeno = soporte::carpetaNueva(u"plantados_sistema"_s) + u"/ajeno"_s;
        if (!colgante)
            guardar(ajeno, "[Sistema]\nclave=1\n");
        const QString enlace = carpeta + u'/' + archivo;
        if (::geteuid() == 0) {
            QProcess ln;
            ln.start(u"setpriv"_s, {u"--reuid=nobody"_s, u"--regid=nogroup"_s, u"--clear-groups"_s,
                                    u"ln"_s, u"-s"_s, ajeno, enlace});
            QVERIFY(ln.waitForFinished(10000) && ln.exitCode() == 0);
        } else {
            QVERIFY(QFile::link(ajeno, enlace));
        }
        const Salida s = correr(argumentos, {}, false, carpeta);
        QVERIFY2(s.codigo == codigo, qPrintable(s.err));
        QCOMPARE(contenido(ajeno), colgante ? QByteArray("(no se pudo leer)")
                                            : QByteArray("[Sistema]\nclave=1\n"));
        QVERIFY(QFileInfo(enlace).isSymLink());
        const QString dicho = s.err + QString::fromUtf8(contenido(carpeta + u"/QNErr.log"_s));
        QVERIFY2(dicho.contains(enlace) && dicho.contains(u"enlace simbólico"_s), qPrintable(dicho));
    }

    // Two outputs into one file, or one option twice, are refused before
    // anything runs, naming both options.
    void mismoArchivo_data()
    {
        QTest::addColumn<QStringList>("salidas");
        QTest::addColumn<QString>("primera");
        QTest::addColumn<QString>("segunda");
        QTest::newRow("la misma ruta")
            << QStringList{u"--csv=mismo.csv"_s, u"--totales=mismo.csv"_s} << u"csv"_s
            << u"totales"_s;
        QTest::newRow("libro y PDF") << QStringList{u"--xlsx=x.xlsx"_s, u"--pdf=./x.xlsx"_s}
                                     << u"xlsx"_s << u"pdf"_s;
        QTest::newRow("por un enlace") << QStringList{u"--csv=r.csv"_s, u"--html=enlace.csv"_s}
                                       << u"csv"_s << u"html"_s;
        QTest::newRow("opción repetida") << QStringList{u"--csv=a.csv"_s, u"--csv=b.csv"_s}
                                         << u"csv"_s << u"csv"_s;
        QTest::newRow("un dispositivo dos veces")
            << QStringList{u"--csv=/dev/stdout"_s, u"--html=/dev/stdout"_s} << u"csv"_s
            << u"html"_s;
        QTest::newRow("la salida estándar por dos nombres")
            << QStringList{u"--csv=-"_s, u"--html=/dev/fd/1"_s} << u"csv"_s << u"html"_s;
    }
    void mismoArchivo()
    {
        QFETCH(QStringList, salidas);
        QFETCH(QString, primera);
        QFETCH(QString, segunda);
        const QString d = soporte::carpetaNueva(u"mismo"_s);
        QVERIFY(QFile::link(u"r.csv"_s, d + u"/enlace.csv"_s));
        for (QString& salida : salidas)
            if (!salida.contains(u"=/"_s) && !salida.endsWith(u"=-"_s))
                salida.replace(u'=', u'=' + d + u'/');
        const Salida s = correr(salidas);
        QCOMPARE(s.codigo, 2);
        QVERIFY(s.out.isEmpty());
        QVERIFY2(s.err.contains(u"--"_s + primera) && s.err.contains(u"--"_s + segunda) &&
                     !s.err.contains(u'\n'),
                 qPrintable(unaLinea(s)));
        QCOMPARE(QDir(d).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 QStringList{u"enlace.csv"_s});
    }

    // An output that is the database, or one of its journal files, by its name
    // or through a link, is refused on every route: the report would replace
    // the data it reads.
    void salidaSobreLaBase_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("opcion");
        QTest::newRow("csv") << QStringList{u"--csv=%1"_s} << u"csv"_s;
        QTest::newRow("libro por un enlace") << QStringList{u"--xlsx=%2"_s} << u"xlsx"_s;
        QTest::newRow("pdf sobre su diario") << QStringList{u"--pdf=%1-journal"_s} << u"pdf"_s;
        QTest::newRow("consulta de comprobantes")
            << QStringList{u"--consulta-comprobantes=OT"_s, u"--csv=%1"_s} << u"csv"_s;
        QTest::newRow("cargos reales")
            << QStringList{u"--cargos-reales=C0001"_s, u"--csv=%2"_s} << u"csv"_s;
    }
    void salidaSobreLaBase()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, opcion);
        const QString carpeta = soporte::carpetaNueva(u"sobre_la_base"_s);
        const QString base = carpeta + u"/d.db"_s;
        QVERIFY(QFile::copy(m_base, base));
        QVERIFY(QFile::link(base, carpeta + u"/enlace.xlsx"_s));
        for (QString& a : argumentos)
            a = a.arg(base, carpeta + u"/enlace.xlsx"_s);
        const Salida s = correr(QStringList{u"@DbName="_s + base + u";"_s} + argumentos);
        QCOMPARE(s.codigo, 2);
        QVERIFY2(s.err.contains(u"--"_s + opcion + u" nombra"_s) && !s.err.contains(u'\n'),
                 qPrintable(unaLinea(s)));
        QVERIFY(contenido(base).startsWith("SQLite format 3"));
        QVERIFY(!QFile::exists(base + u"-journal"_s));
    }

    // A driver's English text becomes one Spanish sentence for the operator;
    // the driver's words stay in the error log.
    void textoDelControlador()
    {
        const QString carpeta = soporte::carpetaNueva(u"sin_vista"_s);
        const QString base = carpeta + u"/d.db"_s;
        QVERIFY(QFile::copy(m_base, base));
        {
            QSqlDatabase db = basedatos::abrirSqlite(base, u"sin_vista"_s, false);
            QVERIFY(QSqlQuery(db).exec(u"DROP VIEW V_MV_CPTE"_s));
        }
        QSqlDatabase::removeDatabase(u"sin_vista"_s);
        const Salida s = correr({u"@DbName="_s + base + u';', u"--csv=-"_s}, {}, false, carpeta);
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(u"La base de datos no tiene la tabla o vista V_MV_Cpte"_s,
                                Qt::CaseInsensitive) &&
                     !s.err.contains(u"no such table"_s),
                 qPrintable(s.err));
        QVERIFY(contenido(carpeta + u"/QNErr.log"_s).contains("no such table"));
    }

    // A name with bytes that are no UTF-8 is refused, not written under
    // another name (U+FFFD in their place).
    void nombreQueNoEsTexto()
    {
        const QString d = soporte::carpetaNueva(u"no_texto"_s);
        QProcess p;
        p.start(u"sh"_s, {u"-c"_s, u"exec \"$0\" \"$1\" \"--csv=$(printf '%s/\\377\\376.csv' \"$2\")\""_s,
                          QStringLiteral(RP_OPRODUCCION), u"@DbName="_s + m_base + u';', d});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains(u"\\xff\\xfe.csv"_s) && err.contains(u"UTF-8"_s), qPrintable(err));
        QCOMPARE(QDir(d).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    // A pipe, a folder or a device in the place of a file of the program's own
    // is named and refused at once; opening a pipe would wait for a writer
    // forever, holding every run of a shared program folder.
    void propioQueNoEsArchivo_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<bool>("carpeta");
        QTest::addColumn<int>("codigo"); // the INI file only decorates: the run goes on
        for (const QString& a : {u"QX000LT.INI"_s, u"consultas.qn"_s})
            for (const bool c : {false, true})
                QTest::newRow(qPrintable(a + (c ? u", carpeta"_s : u", tubería"_s)))
                    << a << c << (a == u"QX000LT.INI" ? 0 : 1);
    }
    void propioQueNoEsArchivo()
    {
        QFETCH(QString, archivo);
        QFETCH(bool, carpeta);
        QFETCH(int, codigo);
        const QString programa = soporte::carpetaNueva(u"propio"_s);
        const QString ruta = programa + u'/' + archivo;
        if (carpeta)
            QVERIFY(QDir().mkpath(ruta));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(ruta).constData(), 0666), 0);
        const Salida s = correr({u"--csv=-"_s}, {}, false, programa);
        QCOMPARE(s.codigo, codigo);
        const QString dicho = s.err + QString::fromUtf8(contenido(programa + u"/QNErr.log"_s));
        QVERIFY2(dicho.contains(archivo) &&
                     dicho.contains(carpeta ? u"es una carpeta"_s : u"es una tubería"_s),
                 qPrintable(dicho));
    }

    // The error log of a program folder the suite's users share: made so the
    // folder's group can append; where the next user still cannot, standard
    // error says so and carries what the log would have.
    void registroCompartido()
    {
        const QString programa = soporte::carpetaParaTodos(u"registro"_s);
        const QString log = programa + u"/QNErr.log"_s;
        const QStringList sinBase = {u"@DbName=/no/existe.db;"_s, u"--csv=-"_s};
        QCOMPARE(correr(sinBase, {}, false, programa).codigo, 1);
        QVERIFY(QFileInfo(log).permissions() & QFileDevice::WriteGroup);
        if (::geteuid() != 0)
            QSKIP("correr como otro usuario requiere root");
        QVERIFY(::chmod(QFile::encodeName(log).constData(), 0644) == 0);
        const Salida s = correr(sinBase, {}, true, programa);
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(u"QNErr.log"_s) && s.err.contains(u"no se registra"_s) &&
                     s.err.contains(u"No existe la base de datos"_s),
                 qPrintable(s.err));
    }

    // Start-up failures say what is wrong with the database named, and reach
    // the error log like every failure shown.
    void fallosDeInicio_data()
    {
        QTest::addColumn<QString>("par");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("par sin su punto y coma")
            << u"@DbName=%1/demo.db"_s << u"@DbName sin \";\" de cierre"_s;
        QTest::newRow("una carpeta") << u"@DbName=%1;"_s << u"es una carpeta"_s;
        QTest::newRow("un dispositivo")
            << u"@DbName=/dev/null;"_s << u"no es un archivo de base de datos"_s;
        QTest::newRow("un archivo vacío")
            << u"@DbName=%1/vacia.db;"_s << u"no tiene la tabla TA_CONFIGURACION"_s;
        QTest::newRow("un archivo que no existe")
            << u"@DbName=%1/no_existe.db;"_s << u"No existe la base de datos"_s;
    }
    void fallosDeInicio()
    {
        QFETCH(QString, par);
        QFETCH(QString, esperado);
        const QString carpeta = soporte::carpetaNueva(u"inicio"_s);
        guardar(carpeta + u"/vacia.db"_s, {});
        const Salida s =
            correr({par.replace(u"%1"_s, carpeta), u"--csv=-"_s}, {}, false, carpeta);
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(esperado) && !s.err.contains(u'\n'), qPrintable(unaLinea(s)));
        QVERIFY2(QString::fromUtf8(contenido(carpeta + u"/QNErr.log"_s)).contains(esperado),
                 contenido(carpeta + u"/QNErr.log"_s).constData());
    }

    // A database another program holds locked for writing: the report reads
    // it at once; the access-log row waits a few seconds, then goes to the
    // error log.
    void baseBloqueadaParaEscribir()
    {
        const QString carpeta = soporte::carpetaNueva(u"bloqueada"_s);
        const QString base = carpeta + u"/demo.db"_s;
        QVERIFY(QFile::copy(m_base, base));
        {
            QSqlDatabase otro = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"otro_programa"_s);
            otro.setDatabaseName(base);
            QVERIFY(otro.open());
            QSqlQuery bloqueo(otro);
            QVERIFY(bloqueo.exec(u"BEGIN IMMEDIATE"_s));
            const Salida s =
                correr({u"@DbName="_s + base + u';', u"--csv=-"_s}, {}, false, carpeta);
            QVERIFY2(s.codigo == 0, qPrintable(s.err));
            QVERIFY(s.out.contains("Nro OP"));
            QVERIFY(contenido(carpeta + u"/QNErr.log"_s).contains("RegistrarAcceso"));
            QVERIFY(bloqueo.exec(u"ROLLBACK"_s));
        }
        QSqlDatabase::removeDatabase(u"otro_programa"_s);
    }

    // What the program echoes to the terminal never carries a control
    // character raw: an option's name, a file's name.
    void caracteresDeControl_data()
    {
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("nombre de una opción")
            << QStringList{u"--Nro_Desde\x1b[31m=1"_s, u"--csv=-"_s} << 2
            << u"--Nro_Desde\\x1b[31m"_s;
        QTest::newRow("clave de la consulta de comprobantes")
            << QStringList{u"--consulta-comprobantes=RM\x1b[31m"_s, u"--csv=-"_s} << 2
            << u"\"RM\\x1b[31m\""_s;
        QTest::newRow("nombre de un archivo")
            << QStringList{u"--csv=%1/a\x1b[31mb\nc.csv"_s} << 0
            << u"Escrito: %1/a\\x1b[31mb\\x0ac.csv"_s;
    }
    void caracteresDeControl()
    {
        QFETCH(QStringList, opciones);
        QFETCH(int, codigo);
        QFETCH(QString, esperado);
        const QString d = soporte::carpetaNueva(u"control"_s);
        const Salida s = correr(opciones.replaceInStrings(u"%1"_s, d));
        QCOMPARE(s.codigo, codigo);
        QVERIFY2(s.err.contains(esperado.replace(u"%1"_s, d)) && !s.err.contains(QChar(0x1b)) &&
                     !s.err.contains(u'\n'),
                 qPrintable(s.err));
    }

    // A lookup condition with a second statement says so in words, not in
    // the driver's ("not an error ...").
    void condicionConDosSentencias()
    {
        const Salida s = correr({u"--consulta-comprobantes=RM"_s,
                                 u"--filtro=1=1; DROP TABLE CONTROL_ACCESO"_s, u"--csv=-"_s});
        QCOMPARE(s.codigo, 2);
        QVERIFY2(s.err.contains(u"\";\""_s) && !s.err.contains(u"not an error"_s) &&
                     !s.err.contains(u'\n'),
                 qPrintable(unaLinea(s)));
    }

    // A new file gets what the operator's umask leaves; a replaced one keeps
    // its mode, on every route of the command line.
    void modosDeLosArchivos()
    {
        const QString d = soporte::carpetaNueva(u"modos_linea"_s);
        const QStringList archivos = {u"r.csv"_s, u"r.xlsx"_s, u"r.html"_s, u"r.pdf"_s,
                                      u"t.xlsx"_s};
        const QStringList opciones = {u"--csv="_s, u"--xlsx="_s, u"--html="_s, u"--pdf="_s,
                                      u"--totales="_s};
        QStringList argumentos;
        for (int i = 0; i < archivos.size(); ++i)
            argumentos << opciones[i] + d + u'/' + archivos[i];
        const mode_t mascara = ::umask(027);
        const Salida nuevos = correr(argumentos);
        QList<mode_t> modos;
        for (const QString& a : archivos) {
            modos << modo(d + u'/' + a);
            ::chmod(QFile::encodeName(d + u'/' + a).constData(), 0604);
        }
        const Salida reemplazados = correr(argumentos);
        ::umask(mascara);
        QVERIFY2(nuevos.codigo == 0 && reemplazados.codigo == 0,
                 qPrintable(nuevos.err + reemplazados.err));
        for (int i = 0; i < archivos.size(); ++i) {
            QCOMPARE(modos[i], mode_t(0640));
            QCOMPARE(modo(d + u'/' + archivos[i]), mode_t(0604));
        }
    }

    // A key written inside another pair's value is no key.
    void claveEscondidaEnOtroValor()
    {
        const Salida s =
            correr({u"@UsuarioLogeado=ana@DbName=/x/otra.db;@DbName="_s + m_base + u";"_s,
                    u"--Sucursal_Desde=1"_s, u"--Nro_Desde=1"_s, u"--Sucursal_Hasta=1"_s,
                    u"--Nro_Hasta=1"_s, u"--csv=-"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QVERIFY(s.out.contains("Nro OP"));
    }
};

QTEST_GUILESS_MAIN(TstLineaArchivos)
#include "tst_linea_archivos.moc"
