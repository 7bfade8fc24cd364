#include "components/Componentes.h"
#include "platform/text/ValueText.h"

#include <QDate>
#include <QLocale>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstValores : public QObject
{
    Q_OBJECT

private slots:
    void valorNumerico_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<qint64>("diezmilesimos");
        QTest::newRow("coma decimal") << u"12,50"_s << 125000LL;
        QTest::newRow("punto decimal") << u"12.50"_s << 125000LL;
        QTest::newRow("miles con punto") << u"1.234,56"_s << 12345600LL;
        QTest::newRow("miles con coma") << u"1,234.56"_s << 12345600LL;
        QTest::newRow("solo miles") << u"1.234.567"_s << 12345670000LL;
        QTest::newRow("negativo") << u"-3,5"_s << -35000LL;
        QTest::newRow("cero con decimales") << u"0,00"_s << 0LL;
        QTest::newRow("blancos") << u"  7  "_s << 70000LL;
        QTest::newRow("vacio") << QString() << 0LL;
        QTest::newRow("solo blancos") << u"   "_s << 0LL;
        QTest::newRow("no numerico") << u"abc"_s << 0LL;
        QTest::newRow("numero y letras") << u"12kg"_s << 0LL;
        QTest::newRow("dos comas decimales") << u"1,2,3.4,5"_s << 0LL;
        QTest::newRow("exponente") << u"1E-05"_s << 0LL;
        QTest::newRow("exponente grande") << u"2.5e3"_s << 25000000LL;
        QTest::newRow("redondeo al par abajo") << u"0,00005"_s << 0LL;
        QTest::newRow("redondeo al par arriba") << u"0,00015"_s << 2LL;
        QTest::newRow("redondeo sobre la mitad") << u"0,000051"_s << 1LL;
        QTest::newRow("medidas") << u"7.85"_s << 78500LL;
    }
    void valorNumerico()
    {
        QFETCH(QString, texto);
        QFETCH(qint64, diezmilesimos);
        QCOMPARE(Componentes::General().ValorNumerico(texto).units(), diezmilesimos);
    }

    // Past the currency's range is an overflow error, never a wrong amount.
    void valorNumericoDesborda_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("desborda");
        QTest::addColumn<qint64>("diezmilesimos");
        const qint64 maximo = std::numeric_limits<qint64>::max();
        const qint64 minimo = std::numeric_limits<qint64>::min();
        QTest::newRow("dieciocho digitos") << u"999999999999999999"_s << true << 0LL;
        QTest::newRow("1E+20") << u"1E+20"_s << true << 0LL;
        QTest::newRow("el maximo") << u"922337203685477,5807"_s << false << maximo;
        QTest::newRow("pasado el maximo en decimales") << u"922337203685477,9999"_s << true << 0LL;
        QTest::newRow("pasado el maximo al redondear") << u"922337203685477,58075"_s << true << 0LL;
        QTest::newRow("el minimo") << u"-922337203685477,5808"_s << false << minimo;
        QTest::newRow("pasado el minimo") << u"-922337203685477,5809"_s << true << 0LL;
        QTest::newRow("1e300") << u"1e300"_s << true << 0LL;
        QTest::newRow("exponente enorme") << u"1e99999999999999999999"_s << true << 0LL;
        QTest::newRow("1e-300 es cero") << u"1e-300"_s << false << 0LL;
        QTest::newRow("cero con exponente enorme") << u"0e400"_s << false << 0LL;
        QTest::newRow("muchos digitos y exponente negativo")
            << u"123456789012345678901234567890e-20"_s << false << 12345678901235LL;
    }
    void valorNumericoDesborda()
    {
        QFETCH(QString, texto);
        QFETCH(bool, desborda);
        if (desborda) {
            try {
                Componentes::General().ValorNumerico(texto);
                QFAIL("no desbordó");
            } catch (const RuntimeError& e) {
                QCOMPARE(e.number(), ErrorNumber::Overflow);
            }
            return;
        }
        QTEST(Componentes::General().ValorNumerico(texto).units(), "diezmilesimos");
    }

    void textoDeNumeros()
    {
        // The suite runs under C and under es_AR; the locale check of the test
        // support makes sure the one asked for took effect.
        const QString sep = QLocale::system().decimalPoint();
        QVERIFY(sep == u"."_s || sep == u","_s);
        // Ten steel trays of 1000 x 2000 x 3 mm at 7.85 kg/dm3 take 471 kg.
        const double x1 = 2000.0 / 1000;
        const double x2 = (1000.0 / 1000) * x1;
        const double x3 = ((3.0 * x2) / 1000) * 7.85;
        QCOMPARE(numberText(10 * x3), u"0"_s + sep + u"471"_s);
        QCOMPARE(numberText(0.1 + 0.2), u"0"_s + sep + u"3"_s);
        QCOMPARE(numberText(1000), u"1000"_s);
        QCOMPARE(numberText(1234567.25), u"1234567"_s + sep + u"25"_s);
        QCOMPARE(numberText(-0.5), u"-0"_s + sep + u"5"_s);
        QCOMPARE(numberText(0.00001), u"1E-05"_s);
        // Exactly the 15 digits Qt writes, at the edges of the quick path:
        // halves rounded up, whole numbers past 15 digits, exponents, and the
        // subnormal numbers whose shortest form has fewer digits than that.
        for (const double v :
             {433420148550146.5, -292412377032120.5, 999999999999999.0, -999999999999999.0, -7.0,
              1e15, 1623656277568365.0,
              1e-4, 1.5e-5, 123.456e20, -1e-100, 4.8665650620520162e-310, 2.2250738585072014e-308,
              1.7976931348623157e308})
            QCOMPARE(numberText(v),
                     QString::number(v, 'g', 15).replace(u'.', sep).replace(u'e', u'E'));
        // A number shown is read back to the same amount.
        QCOMPARE(Componentes::General().ValorNumerico(numberText(1234.5678)).units(), 12345678LL);
    }

    // A number read straight from a field gives the amount its shown text reads
    // as: rounding on the 15 digits shown, ties and overflow included.
    void numeroMostrado_data()
    {
        QTest::addColumn<double>("valor");
        for (const double v : {7.85,
                               0.471,
                               -0.5,
                               1e-5,
                               4.99999e-5,
                               5e-5,
                               1.5e-4,
                               2.5e-4,
                               1234567890123.125,
                               1234567890123.375,
                               0.1 + 0.2,
                               1.0 / 3,
                               -2.0 / 3,
                               922337203685477.5,
                               922337203685477.6,
                               -922337203685477.58,
                               1e300,
                               -1e300,
                               5e-324,
                               123456789012345.67})
            QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
    }
    void numeroMostrado()
    {
        QFETCH(double, valor);
        QString esperado, obtenido;
        try {
            esperado = Componentes::General().ValorNumerico(numberText(valor)).toString();
        } catch (const RuntimeError& e) {
            esperado = e.description();
        }
        try {
            obtenido = Currency::fromShownNumber(valor).toString();
        } catch (const RuntimeError& e) {
            obtenido = e.description();
        }
        QCOMPARE(obtenido, esperado);
    }

    void valorNoNulo()
    {
        CompGeneral& g = Componentes::General();
        QCOMPARE(g.ValorNoNulo(QVariant()), QString());
        QCOMPARE(g.ValorNoNulo(QVariant(QMetaType(QMetaType::QString))), QString());
        QCOMPARE(g.ValorNoNulo(QVariant(u"  abc "_s)), u"  abc "_s);
        QCOMPARE(g.ValorNoNulo(QVariant(42)), u"42"_s);
        QCOMPARE(g.ValorNoNulo(QVariant(QDate(2026, 11, 5))), u"05/11/2026"_s);
        QCOMPARE(g.ValorNoNulo(QVariant(QDateTime(QDate(2026, 11, 5), QTime(8, 5, 9)))),
                 u"05/11/2026 08:05:09"_s);
    }

    void textos()
    {
        CompGeneral& g = Componentes::General();
        QCOMPARE(g.CompletarCodigo(u"ART1"_s, 8), u"ART1    "_s);
        QCOMPARE(g.CompletarCodigo(u"OP"_s, 4), u"OP  "_s);
        QCOMPARE(g.CompletarCodigo(u"LARGO123"_s, 4), u"LARGO123"_s);
        QCOMPARE(g.CompletarCodigo(QString(), 3), u"   "_s);
        QCOMPARE(g.Reemplazar(u"=A=B"_s, u"="_s), u"AB"_s);
        QCOMPARE(g.Reemplazar(u"sin"_s, u"="_s), u"sin"_s);
        QCOMPARE(g.CompletarRuta(u"/opt/rp"_s), u"/opt/rp/"_s);
        QCOMPARE(g.CompletarRuta(u"/opt/rp/"_s), u"/opt/rp/"_s);
        QCOMPARE(g.CompletarRuta(QString()), QString());
    }
};

QTEST_GUILESS_MAIN(TstValores)
#include "tst_valores.moc"
