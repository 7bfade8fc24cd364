#include "Soporte.h"
#include "components/Componentes.h"

#include <QFile>
#include <QtTest>

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
        m_carpeta = soporte::carpetaNueva(u"ini"_s);
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
