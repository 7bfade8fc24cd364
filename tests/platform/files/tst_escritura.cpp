#include "Soporte.h"

#include "platform/files/FileCommit.h"
#include "platform/files/OwnSettings.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The program's own files in a program folder every user may write, and the
// modes of what it writes, through the one place every file goes through.
class TstEscritura : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    mode_t m_mascara = 0;

    static QByteArray contenido(const QString& archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
    }
    static void guardar(const QString& archivo, const QByteArray& datos, mode_t modo)
    {
        QFile::remove(archivo);
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(datos), datos.size());
        f.close();
        QCOMPARE(::chmod(QFile::encodeName(archivo).constData(), modo), 0);
    }
    static mode_t modo(const QString& archivo)
    {
        struct stat st{};
        return ::lstat(QFile::encodeName(archivo).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // Writes `datos` to `archivo` by one of the routes of the program's own files.
    static void escribirPropio(const QString& ruta, const QString& archivo)
    {
        if (ruta == u"reemplazo") {
            fileCommit::Output salida(fileCommit::OwnFile{archivo});
            salida.begin();
            salida.write("escrito");
            salida.commit();
        } else if (ruta == u"registro") {
            fileCommit::appendToOwnFile(archivo, "escrito\n");
        } else {
            fileCommit::changeOwnSettings(archivo, [](QSettings& s) {
                s.setValue(u"UltimosFiltros/Nro_Desde"_s, u"00000001"_s);
            });
        }
    }
    static void rutasPropias()
    {
        QTest::addColumn<QString>("ruta");
        for (const QString& r : {u"reemplazo"_s, u"registro"_s, u"ajustes"_s})
            QTest::newRow(qPrintable(r)) << r;
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"escritura"_s);
        QCOMPARE(::chmod(QFile::encodeName(m_carpeta).constData(), 01777), 0);
        m_mascara = ::umask(027);
    }
    void cleanupTestCase() { ::umask(m_mascara); }

    // A link planted in a program file's place, to a file of someone else's or
    // to none: refused naming it, nothing written or created where it points,
    // the link left as it was.
    void propiosSinEnlaces_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<bool>("colgante");
        for (const QString& r : {u"reemplazo"_s, u"registro"_s, u"ajustes"_s}) {
            QTest::newRow(qPrintable(r + u", a un archivo ajeno"_s)) << r << false;
            QTest::newRow(qPrintable(r + u", colgante"_s)) << r << true;
        }
    }
    void propiosSinEnlaces()
    {
        QFETCH(QString, ruta);
        QFETCH(bool, colgante);
        const QString ajeno = m_carpeta + u"/ajeno_"_s + ruta;
        const QString enlace = m_carpeta + u"/propio_"_s + ruta;
        QFile::remove(ajeno);
        QFile::remove(enlace);
        if (!colgante)
            guardar(ajeno, "[Sistema]\nclave=1\n", 0644);
        QVERIFY(QFile::link(ajeno, enlace));
        if (::geteuid() == 0) // planted by another user
            QCOMPARE(::lchown(QFile::encodeName(enlace).constData(), 65534, 65534), 0);
        try {
            escribirPropio(ruta, enlace);
            QFAIL("se escribió a través del enlace");
        } catch (const RuntimeError& e) {
            QVERIFY2(fileCommit::refusedLink(e) && e.description().contains(enlace),
                     qPrintable(e.description()));
        }
        QCOMPARE(contenido(ajeno),
                 colgante ? QByteArray("(no existe)") : QByteArray("[Sistema]\nclave=1\n"));
        QVERIFY(QFileInfo(enlace).isSymLink());
        const QStringList restos =
            QDir(m_carpeta).entryList({u".*part"_s}, QDir::Files | QDir::Hidden);
        QVERIFY2(restos.isEmpty(), qPrintable(restos.join(u' ')));
    }

    // A program file marked read-only is left alone, by root too.
    void propioDeSoloLectura_data() { rutasPropias(); }
    void propioDeSoloLectura()
    {
        QFETCH(QString, ruta);
        const QString archivo = m_carpeta + u"/solo_lectura_"_s + ruta;
        guardar(archivo, "[Marcado]\nvalor=1\n", 0444);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, escribirPropio(ruta, archivo));
        QCOMPARE(contenido(archivo), QByteArray("[Marcado]\nvalor=1\n"));
        QCOMPARE(modo(archivo), mode_t(0444));
    }

    // A new file gets what the umask (027 here) leaves of rw for everyone; a
    // replaced one keeps its mode. Every route: a named target, a program
    // file, a new export in a folder, the settings, the log.
    void modos_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<bool>("existe");
        for (const QString& r :
             {u"nombrado"_s, u"nuevo en carpeta"_s, u"reemplazo"_s, u"registro"_s, u"ajustes"_s}) {
            QTest::newRow(qPrintable(r + u", nuevo"_s)) << r << false;
            if (r != u"nuevo en carpeta")
                QTest::newRow(qPrintable(r + u", reemplazado"_s)) << r << true;
        }
    }
    void modos()
    {
        QFETCH(QString, ruta);
        QFETCH(bool, existe);
        const QString carpeta = soporte::carpetaNueva(u"modos"_s);
        QString archivo = carpeta + u"/archivo.txt"_s;
        if (existe)
            guardar(archivo, "[Antes]\nclave=1\n", 0604);
        if (ruta == u"nombrado") {
            fileCommit::Output salida(archivo);
            salida.begin();
            salida.write("escrito");
            salida.commit();
        } else if (ruta == u"nuevo en carpeta") {
            fileCommit::Output salida(fileCommit::NewFileIn{carpeta, u"Libro"_s, u"xlsx"_s});
            salida.begin();
            salida.write("escrito");
            archivo = salida.commit();
        } else {
            escribirPropio(ruta, archivo);
        }
        QCOMPARE(modo(archivo), existe ? mode_t(0604) : mode_t(0640));
        QVERIFY(contenido(archivo).contains("escrito") || contenido(archivo).contains("00000001"));
    }

    // While it is written, a file has no name in its folder: whatever ends
    // the process then leaves nothing there; given up, it leaves nothing either.
    void sinNombreMientrasSeEscribe()
    {
        const QString carpeta = soporte::carpetaNueva(u"sin_nombre"_s);
        guardar(carpeta + u"/r.pdf"_s, "anterior", 0644);
        {
            fileCommit::Output salida(carpeta + u"/r.pdf"_s);
            salida.begin();
            if (!salida.writePath().startsWith(u"/proc/self/fd/"_s))
                QSKIP("este sistema de archivos no admite archivos sin nombre (O_TMPFILE)");
            salida.write(QByteArray(1 << 20, 'x'));
            QCOMPARE(QDir(carpeta).entryList(QDir::Files | QDir::Hidden), QStringList{u"r.pdf"_s});
        }
        QCOMPARE(QDir(carpeta).entryList(QDir::Files | QDir::Hidden), QStringList{u"r.pdf"_s});
        QCOMPARE(contenido(carpeta + u"/r.pdf"_s), QByteArray("anterior"));
    }
};

QTEST_GUILESS_MAIN(TstEscritura)
#include "tst_escritura.moc"
