#include "Soporte.h"
#include "components/Componentes.h"

#include <QFile>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TstIni : public QObject
{
    Q_OBJECT

    QString m_carpeta;

    QByteArray leer(const QString& nombre)
    {
        QFile f(m_carpeta + u'/' + nombre);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void escribir(const QString& nombre, const QByteArray& datos)
    {
        QFile f(m_carpeta + u'/' + nombre);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }

private slots:
    void init()
    {
        Componentes::ReiniciarParaPruebas();
        m_carpeta = soporte::carpetaParaTodos(u"ini"_s);
        Componentes::Ini().setCarpeta(m_carpeta);
    }

    void valoresPorDefecto()
    {
        CompIni& ini = Componentes::Ini();
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"PC01|ANA"_s, u"FlatToolbars"_s, u"1"_s), u"1"_s);
        escribir(u"QX000LT.INI"_s, "[Otra]\nFlatToolbars=0\n");
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"PC01|ANA"_s, u"FlatToolbars"_s, u"1"_s), u"1"_s);
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, u"TELVARO"_s),
                 u"TELVARO"_s);
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"Otra"_s, u"Nada"_s, 3), u"3"_s);
    }

    void leeSinDistinguirMayusculas()
    {
        escribir(u"QX000LT.INI"_s, "; "
                                   "comentario\r\n[PC01|ANA]\r\nFlatToolbars=0\r\n[iconos]"
                                   "\r\nICONODELSISTEMA=QUANTUM\r\n");
        CompIni& ini = Componentes::Ini();
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"pc01|ana"_s, u"flattoolbars"_s, u"1"_s), u"0"_s);
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, u"TELVARO"_s),
                 u"QUANTUM"_s);
    }

    void escribeConservandoElResto()
    {
        escribir(u"QX000LT.INI"_s, "; configuración del puesto\n[PC01|ANA]\n; barras planas\n"
                                   "FlatToolbars=0\n\n[Iconos]\nOtro=1\n");
        CompIni& ini = Componentes::Ini();
        ini.EscribirValor(u"QX000LT.INI"_s, u"iconos"_s, u"IconoDelSistema"_s, u"TELVARO"_s);
        ini.EscribirValor(u"QX000LT.INI"_s, u"PC01|ANA"_s, u"FLATTOOLBARS"_s, u"1"_s);
        const QByteArray texto = leer(u"QX000LT.INI"_s);
        QVERIFY2(texto.contains("; barras planas"), texto.constData());
        QVERIFY(texto.contains("Otro=1"));
        QVERIFY(texto.contains("IconoDelSistema=TELVARO"));
        // The key keeps its own spelling; only its value changes.
        QVERIFY(texto.contains("FlatToolbars=1"));
        QCOMPARE(texto.count("[Iconos]"), 1);
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, QString()),
                 u"TELVARO"_s);
    }

    void creaElArchivoYRespetaLaPaginaDeCodigos()
    {
        CompIni& ini = Componentes::Ini();
        ini.EscribirValor(u"NUEVO.INI"_s, u"Sección"_s, u"Año"_s, u"Ñandú €"_s);
        const QByteArray texto = leer(u"NUEVO.INI"_s);
        QVERIFY(texto.contains("[Secci\xF3"
                               "n]"));
        QVERIFY(texto.contains("A\xF1o=\xD1"
                               "and\xFA \x80"));
        QCOMPARE(ini.LeerValor(u"NUEVO.INI"_s, u"SECCIÓN"_s, u"año"_s, QString()), u"Ñandú €"_s);
    }

    void archivoConCarpeta()
    {
        const QString ruta = m_carpeta + u"/sub/propio.ini"_s;
        Componentes::Ini().EscribirValor(ruta, u"A"_s, u"b"_s, u"c"_s);
        QVERIFY(QFile::exists(ruta));
        QCOMPARE(Componentes::Ini().RutaDe(u"QX000LT.INI"_s), m_carpeta + u"/QX000LT.INI"_s);
    }

    // The file the whole suite shares: writing changes that key's line (or
    // adds the key, and its section) and no other byte.
    void escribeSoloLaClave_data()
    {
        QTest::addColumn<QByteArray>("antes");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QByteArray>("despues");
        const QByteArray resto = "; puesto PC01\r\n[Datos]\r\nServidor = SRV01 ; principal\r\n"
                                 "linea sin igual\r\n\r\n";
        QTest::newRow("solo el valor, con sus blancos")
            << resto + "[iconos]\r\nIconoDelSistema =  QUANTUM  \r\nIconoDelSistema=OTRO\r\n"
            << u"TELVARO"_s
            << resto + "[iconos]\r\nIconoDelSistema =  TELVARO  \r\nIconoDelSistema=OTRO\r\n";
        QTest::newRow("entre comillas")
            << QByteArray("[Iconos]\r\nIconoDelSistema=\"QUANTUM\"\r\n") << u"TELVARO"_s
            << QByteArray("[Iconos]\r\nIconoDelSistema=\"TELVARO\"\r\n");
        QTest::newRow("clave nueva al final de su seccion")
            << resto + "[Iconos]\r\nOtro=1\r\n\r\n[Mas]\r\n" << u"TELVARO"_s
            << resto + "[Iconos]\r\nOtro=1\r\nIconoDelSistema=TELVARO\r\n\r\n[Mas]\r\n";
        QTest::newRow("seccion nueva, sin salto final, LF")
            << QByteArray("[Datos]\nServidor=SRV01") << u"TELVARO"_s
            << QByteArray("[Datos]\nServidor=SRV01\n[Iconos]\nIconoDelSistema=TELVARO\n");
        QTest::newRow("con blancos alrededor")
            << QByteArray("[Iconos]\r\n") << u" A "_s
            << QByteArray("[Iconos]\r\nIconoDelSistema=\" A \"\r\n");
        const auto utf16 = [](const QString& t) {
            QByteArray b("\xFF\xFE");
            for (const QChar c : t)
                b.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
            return b;
        };
        QTest::newRow("UTF-16")
            << utf16(u"[Año]\r\nÑ=ü\r\n[Iconos]\r\nIconoDelSistema=QUANTUM\r\n"_s)
            << u"TELVARO€"_s
            << utf16(u"[Año]\r\nÑ=ü\r\n[Iconos]\r\nIconoDelSistema=TELVARO€\r\n"_s);
    }
    void escribeSoloLaClave()
    {
        QFETCH(QByteArray, antes);
        QFETCH(QString, valor);
        escribir(u"QX000LT.INI"_s, antes);
        CompIni& ini = Componentes::Ini();
        ini.EscribirValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, valor);
        QTEST(leer(u"QX000LT.INI"_s), "despues");
        QCOMPARE(ini.LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, QString()),
                 valor);

        // Writing it again writes nothing: the file is the same one, untouched.
        struct stat antesDe{}, despuesDe{};
        const QByteArray ruta = QFile::encodeName(m_carpeta + u"/QX000LT.INI"_s);
        QCOMPARE(::stat(ruta.constData(), &antesDe), 0);
        ini.EscribirValor(u"QX000LT.INI"_s, u"ICONOS"_s, u"iconodelsistema"_s, valor);
        QCOMPARE(::stat(ruta.constData(), &despuesDe), 0);
        QCOMPARE(despuesDe.st_ino, antesDe.st_ino);
        QCOMPARE(despuesDe.st_mtim.tv_nsec, antesDe.st_mtim.tv_nsec);
    }

    void leeComoLosPuestos_data()
    {
        QTest::addColumn<QByteArray>("texto");
        QTest::addColumn<QString>("valor");
        QTest::newRow("la primera de dos claves") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << u"1"_s;
        QTest::newRow("sin comillas ni blancos") << QByteArray("[A]\nk =  \"  x  \"  \n") << u"  x  "_s;
        QTest::newRow("seccion repetida") << QByteArray("[A]\nj=1\n[B]\nk=3\n[a]\nk=2\n") << u"2"_s;
        QTest::newRow("comentario y linea sin igual")
            << QByteArray("[A]\n;k=0\nk\nk=v ; nota\n") << u"v ; nota"_s;
        QTest::newRow("UTF-8 con marca") << QByteArray("\xEF\xBB\xBF[A]\nk=\xC3\xB1\n") << u"ñ"_s;
    }
    void leeComoLosPuestos()
    {
        QFETCH(QByteArray, texto);
        escribir(u"QX000LT.INI"_s, texto);
        QTEST(Componentes::Ini().LeerValor(u"QX000LT.INI"_s, u"a"_s, u"k"_s, u"-"_s), "valor");
    }

    // A file that cannot be read is never written over (as root, read by
    // another user, the file's owner, who may write it but not read it).
    void archivoIlegibleNoSeReemplaza()
    {
        const QString ruta = m_carpeta + u"/QX000LT.INI"_s;
        escribir(u"QX000LT.INI"_s, "[Iconos]\r\nIconoDelSistema=QUANTUM\r\n");
        const QByteArray nativa = QFile::encodeName(ruta);
        const bool root = ::geteuid() == 0;
        QCOMPARE(::chmod(nativa.constData(), 0200), 0);
        if (root) {
            QCOMPARE(::chmod(QFile::encodeName(m_carpeta).constData(), 0777), 0);
            QCOMPARE(::chown(nativa.constData(), 65534, 65534), 0);
            QCOMPARE(::seteuid(65534), 0);
        }
        CompIni& ini = Componentes::Ini();
        const QString leido =
            ini.LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, u"TELVARO"_s);
        bool rechazado = false;
        try {
            ini.EscribirValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s, leido);
        } catch (const RuntimeError& e) {
            rechazado = e.description().contains(u"QX000LT.INI"_s);
        }
        if (root)
            QCOMPARE(::seteuid(0), 0);
        QCOMPARE(leido, u"TELVARO"_s);
        QVERIFY(rechazado);
        QCOMPARE(::chmod(nativa.constData(), 0600), 0);
        QCOMPARE(leer(u"QX000LT.INI"_s), QByteArray("[Iconos]\r\nIconoDelSistema=QUANTUM\r\n"));
    }

    void escrituraImposibleNombraElArchivo()
    {
        escribir(u"ocupado"_s, "no soy una carpeta");
        try {
            Componentes::Ini().EscribirValor(m_carpeta + u"/ocupado/x.ini"_s, u"A"_s, u"b"_s,
                                             u"c"_s);
            QFAIL("escribió donde no se puede");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(u"ocupado/x.ini"_s), qPrintable(e.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TstIni)
#include "tst_ini.moc"
