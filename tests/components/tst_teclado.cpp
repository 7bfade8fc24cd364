#include "components/Componentes.h"

#include <QLineEdit>
#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

// The filter boxes on a real window, typed into through the keyboard rules.
class TstTeclado : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_ventana;
    ControlArray<QLineEdit> m_cajas;

    QLineEdit* caja(int i) { return m_cajas.at(i); }

private slots:
    void init()
    {
        Componentes::ReiniciarParaPruebas();
        m_ventana = std::make_unique<QWidget>();
        m_cajas = {};
        const QList<std::pair<QString, QString>> campos = {{u"Sucursal_desde"_s, u"COMPROBANTES"_s},
                                                           {u"Nro_desde"_s, u"COMPROBANTES"_s},
                                                           {u"Letra_Desde"_s, u"COMPROBANTES"_s},
                                                           {u"Fecha_desde"_s, u"fecha"_s},
                                                           {u"Observacion"_s, QString()}};
        int indice = 0;
        for (const auto& [campo, tipo] : campos) {
            auto* c = new QLineEdit(m_ventana.get());
            c->move(0, 30 * indice);
            CompTeclado::Configurar(c, campo, tipo);
            Componentes::Teclado().Atender(c);
            m_cajas.add(indice == 4 ? 8 : indice, c); // indexes need not be contiguous
            ++indice;
        }
        m_ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ventana.get()));
        m_ventana->activateWindow();
    }

    void indiceCampo()
    {
        CompTeclado& t = Componentes::Teclado();
        QCOMPARE(t.IndiceCampo(u"Sucursal_Desde"_s, m_cajas), 0);
        QCOMPARE(t.IndiceCampo(u"FECHA_DESDE"_s, m_cajas), 3);
        QCOMPARE(t.IndiceCampo(u"observacion"_s, m_cajas), 8);
        QCOMPARE(t.IndiceCampo(u"Nro_Hasta"_s, m_cajas), -1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m_cajas.at(-1));
    }

    void tecleo_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<QString>("enLaCaja");
        QTest::addColumn<QString>("alSalir");
        QTest::newRow("sucursal solo digitos") << 0 << u"1a2"_s << u"12"_s << u"0012"_s;
        QTest::newRow("sucursal llena") << 0 << u"123456"_s << u"1234"_s << u"1234"_s;
        QTest::newRow("numero con relleno") << 1 << u"10"_s << u"10"_s << u"00000010"_s;
        QTest::newRow("numero vacio queda vacio") << 1 << u"xy"_s << QString() << QString();
        QTest::newRow("letra en mayuscula") << 2 << u"a"_s << u"A"_s << u"A"_s;
        QTest::newRow("letra rechaza digitos") << 2 << u"7b"_s << u"B"_s << u"B"_s;
        QTest::newRow("fecha con barras")
            << 3 << u"05112026"_s << u"05/11/2026"_s << u"05/11/2026"_s;
        QTest::newRow("fecha corta tecleada")
            << 3 << u"5/1/2026"_s << u"5/1/2026"_s << u"5/1/2026"_s;
        QTest::newRow("fecha no pasa de diez")
            << 3 << u"0511202699"_s << u"05/11/2026"_s << u"05/11/2026"_s;
        QTest::newRow("fecha rechaza letras") << 3 << u"1x2;3"_s << u"12/3"_s << u"12/3"_s;
        QTest::newRow("fecha con guiones")
            << 3 << u"05-11-2026"_s << u"05-11-2026"_s << u"05-11-2026"_s;
        QTest::newRow("fecha sigue con el punto tecleado")
            << 3 << u"5.112026"_s << u"5.11.2026"_s << u"5.11.2026"_s;
        QTest::newRow("fecha con tres separadores")
            << 3 << u"1-2-3-4"_s << u"1-2-34"_s << u"1-2-34"_s;
        QTest::newRow("texto libre")
            << 8 << u"Lo que sea 1/2"_s << u"Lo que sea 1/2"_s << u"Lo que sea 1/2"_s;
    }
    void tecleo()
    {
        QFETCH(int, indice);
        QFETCH(QString, tecleado);
        QLineEdit* c = caja(indice);
        c->setFocus();
        QTest::keyClicks(c, tecleado);
        QTEST(c->text(), "enLaCaja");
        caja(indice == 0 ? 1 : 0)->setFocus();
        QTEST(c->text(), "alSalir");
    }

    void enterPasaALaSiguiente()
    {
        caja(0)->setFocus();
        QTest::keyClicks(caja(0), u"7"_s);
        QTest::keyClick(caja(0), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), caja(1));
        QCOMPARE(caja(0)->text(), u"0007"_s);
        QTest::keyClick(caja(1), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), caja(2));
    }

    void clasificacion()
    {
        using T = CompTeclado::TipoEntrada;
        QCOMPARE(CompTeclado::Clasificar(u"Sucursal_Hasta"_s, u"comprobantes"_s), T::Sucursal);
        QCOMPARE(CompTeclado::Clasificar(u"Nro_Hasta"_s, u"COMPROBANTES"_s), T::Numero);
        QCOMPARE(CompTeclado::Clasificar(u"Letra_Hasta"_s, u"COMPROBANTES"_s), T::Letra);
        QCOMPARE(CompTeclado::Clasificar(u"Fecha_hasta"_s, u"fecha"_s), T::Fecha);
        QCOMPARE(CompTeclado::Clasificar(u"Nro_Hasta"_s, QString()), T::Texto);
        QCOMPARE(caja(3)->maxLength(), 10);
        QCOMPARE(caja(1)->maxLength(), 8);
    }

    void textoAlSalir_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("resultado");
        using T = CompTeclado::TipoEntrada;
        QTest::newRow("sucursal") << int(T::Sucursal) << u" 1 "_s << u"0001"_s;
        QTest::newRow("numero pegado con letras") << int(T::Numero) << u"N-10"_s << u"00000010"_s;
        QTest::newRow("letra") << int(T::Letra) << u" b"_s << u"B"_s;
        QTest::newRow("fecha") << int(T::Fecha) << u"1/2/2026"_s << u"1/2/2026"_s;
        QTest::newRow("fecha con guiones y puntos")
            << int(T::Fecha) << u" 01-02.2026 "_s << u"01-02.2026"_s;
        QTest::newRow("vacio") << int(T::Numero) << QString() << QString();
    }
    void textoAlSalir()
    {
        QFETCH(int, tipo);
        QFETCH(QString, texto);
        QTEST(CompTeclado::TextoAlSalir(static_cast<CompTeclado::TipoEntrada>(tipo), texto),
              "resultado");
    }
};

QTEST_MAIN(TstTeclado)
#include "tst_teclado.moc"
