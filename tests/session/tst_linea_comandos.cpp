#include "platform/text/RuntimeError.h"
#include "session/LineaComandos.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TstLineaComandos : public QObject
{
    Q_OBJECT

private slots:
    void valores_data()
    {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("valor");
        const QString completa = u"@ParametroAdicional=A=B;@Menu=M01;@Server=SRV01;@DbName=GESTION;"
                                 "@Usuario=sa;@Password=clave;@UsuarioLogeado=ana;"_s;
        QTest::newRow("servidor") << completa << u"@Server"_s << u"SRV01"_s;
        QTest::newRow("base") << completa << u"@DbName"_s << u"GESTION"_s;
        QTest::newRow("usuario") << completa << u"@Usuario"_s << u"sa"_s;
        QTest::newRow("usuario logeado") << completa << u"@UsuarioLogeado"_s << u"ana"_s;
        QTest::newRow("adicional conserva el segundo igual")
            << completa << u"@ParametroAdicional"_s << u"A=B"_s;
        QTest::newRow("adicional con blancos")
            << u"@ParametroAdicional= =X=Y ;"_s << u"@ParametroAdicional"_s << u"=X=Y"_s;
        QTest::newRow("mayusculas y minusculas")
            << u"@DBNAME=Gestion;@usuario=SA;"_s << u"@Usuario"_s << u"SA"_s;
        QTest::newRow("blancos alrededor del igual")
            << u"@DbName = GESTION ;"_s << u"@DbName"_s << u"GESTION"_s;
        QTest::newRow("igual dentro del valor se conserva")
            << u"@Password=ab=c;"_s << u"@Password"_s << u"ab=c"_s;
        QTest::newRow("igual al principio del valor se conserva")
            << u"@Password = =x;"_s << u"@Password"_s << u"=x"_s;
        QTest::newRow("clave escondida en otro valor")
            << u"@UsuarioLogeado=ana@DbName=/x/otra.db;@DbName=/real.db;"_s << u"@DbName"_s
            << u"/real.db"_s;
        QTest::newRow("valor con la clave escondida")
            << u"@UsuarioLogeado=ana@DbName=/x/otra.db;@DbName=/real.db;"_s
            << u"@UsuarioLogeado"_s << u"ana@DbName=/x/otra.db"_s;
        QTest::newRow("clave tras punto y coma y blancos")
            << u"  @Menu=M1 ;   @DbName=G;"_s << u"@DbName"_s << u"G"_s;
        QTest::newRow("valor cortado en el primer punto y coma")
            << u"@Password=ab;cd;"_s << u"@Password"_s << u"ab"_s;
        QTest::newRow("logeado antes que usuario")
            << u"@UsuarioLogeado=ana;@Usuario=sa;"_s << u"@Usuario"_s << u"sa"_s;
        QTest::newRow("logeado antes que usuario, sin usuario")
            << u"@UsuarioLogeado=ana;"_s << u"@Usuario"_s << QString();
        QTest::newRow("clave ausente") << u"@DbName=G;"_s << u"@Menu"_s << QString();
        QTest::newRow("clave sin igual no cuenta") << u"@Menu;@Menu=M2;"_s << u"@Menu"_s << u"M2"_s;
        QTest::newRow("linea vacia") << QString() << u"@DbName"_s << QString();
        QTest::newRow("pares separados por blancos")
            << u"@DbName=/tmp/demo.db; @Usuario=sa;"_s << u"@DbName"_s << u"/tmp/demo.db"_s;
    }
    void valores()
    {
        QFETCH(QString, linea);
        QFETCH(QString, clave);
        QTEST(LineaComandos::Valor(linea, clave), "valor");
    }

    void sinPuntoYComaEsArgumentoInvalido()
    {
        const QString linea = u"@DbName=G;@Usuario=sa;@Menu=M01"_s;
        try {
            LineaComandos::Valor(linea, u"@Menu"_s);
            QFAIL("leyó un par sin cierre");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::InvalidArgument);
        }
        QCOMPARE(LineaComandos::Valor(linea, u"@Usuario"_s), u"sa"_s);
    }

    void lineaDelProceso()
    {
        QCOMPARE(
            LineaComandos::DelProceso({u"/opt/rp_oproduccion"_s, u"@DbName=G;"_s, u"@Menu=M;"_s}),
            u"@DbName=G; @Menu=M;"_s);
        QCOMPARE(LineaComandos::DelProceso({u"prog"_s}), QString());
    }
};

QTEST_GUILESS_MAIN(TstLineaComandos)
#include "tst_linea_comandos.moc"
