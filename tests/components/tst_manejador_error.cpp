#include "Soporte.h"
#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "components/TrabajoEnHilo.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The error dialog's answers, scripted; records what it was shown.
struct Guion
{
    QList<int> respuestas;
    QStringList vistos;
    int fueraDeVentanas = 0; // shown off the windows' thread
    void instalar()
    {
        Componentes::General().setPresentador([this](const RuntimeError& e, const QString& tag) {
            fueraDeVentanas += QThread::currentThread() != qApp->thread();
            vistos << QString::number(e.number()) + u':' + e.description() + u'@' + tag;
            return respuestas.isEmpty() ? 3 : respuestas.takeFirst();
        });
    }
};

// A procedure of three statements whose second fails `fallos` times.
QString procedimiento(ManejadorError enError, int fallos, QStringList& hechos)
{
    QString resultado = u"inicial"_s;
    enError.paso([&] {
        hechos << u"uno"_s;
        resultado = u"tras uno"_s;
    });
    enError.paso([&] {
        if (fallos-- > 0)
            throw RuntimeError(ErrorNumber::Database, u"la base se fue"_s, u"prueba"_s);
        hechos << u"dos"_s;
        resultado = u"tras dos"_s;
    });
    enError.paso([&] {
        hechos << u"tres"_s;
        resultado = u"tras tres"_s;
    });
    return resultado;
}

} // namespace

class TstManejadorError : public QObject
{
    Q_OBJECT

private slots:
    void init() { Componentes::ReiniciarParaPruebas(); }

    void respuestas_data()
    {
        QTest::addColumn<QList<int>>("respuestas");
        QTest::addColumn<int>("fallos");
        QTest::addColumn<QStringList>("hechos");
        QTest::addColumn<QString>("resultado");
        QTest::addColumn<int>("mostrados");
        QTest::newRow("reintentar y luego anda")
            << QList<int>{4} << 1 << QStringList{u"uno"_s, u"dos"_s, u"tres"_s} << u"tras tres"_s
            << 1;
        QTest::newRow("reintentar dos veces")
            << QList<int>{4, 4} << 2 << QStringList{u"uno"_s, u"dos"_s, u"tres"_s} << u"tras tres"_s
            << 2;
        QTest::newRow("omitir sigue con la proxima")
            << QList<int>{5} << 1 << QStringList{u"uno"_s, u"tres"_s} << u"tras tres"_s << 1;
        QTest::newRow("abortar deja el procedimiento")
            << QList<int>{3} << 1 << QStringList{u"uno"_s} << u"tras uno"_s << 1;
        QTest::newRow("cualquier otra respuesta deja")
            << QList<int>{7} << 1 << QStringList{u"uno"_s} << u"tras uno"_s << 1;
        QTest::newRow("reintentar y luego abortar")
            << QList<int>{4, 3} << 5 << QStringList{u"uno"_s} << u"tras uno"_s << 2;
    }
    void respuestas()
    {
        QFETCH(QList<int>, respuestas);
        QFETCH(int, fallos);
        // On a worker thread the dialog is the windows' thread's, the worker
        // waiting for the answer: the procedure goes the same way.
        for (const bool enHilo : {false, true}) {
            Guion guion{respuestas, {}};
            guion.instalar();
            QStringList hechos;
            QString resultado;
            const auto correr = [&] {
                resultado = procedimiento(ManejadorError::conEtiqueta(u"Cfg"_s), fallos, hechos);
            };
            if (enHilo)
                TrabajoEnHilo(correr).Ejecutar();
            else
                correr();
            QTEST(hechos, "hechos");
            QTEST(resultado, "resultado");
            QTEST(int(guion.vistos.size()), "mostrados");
            QCOMPARE(guion.vistos.first(), u"-2147467259:la base se fue@Cfg"_s);
            QCOMPARE(guion.fueraDeVentanas, 0);
        }
    }

    void modoOmitirNoMuestraNada()
    {
        Guion guion;
        guion.instalar();
        QStringList hechos;
        QCOMPARE(procedimiento(ManejadorError::omitiendo(), 1, hechos), u"tras tres"_s);
        QCOMPARE(hechos, (QStringList{u"uno"_s, u"tres"_s}));
        QVERIFY(guion.vistos.isEmpty());
    }

    void sinEtiquetaYExcepcionesAjenas()
    {
        Guion guion{{5}, {}};
        guion.instalar();
        ManejadorError enError = ManejadorError::sinEtiqueta();
        QVERIFY(enError.paso([] { throw std::runtime_error("falla ajena"); }));
        QCOMPARE(guion.vistos, QStringList{u"51:falla ajena@"_s});
        QVERIFY(enError.ultimoError().has_value());
    }

    void cadaErrorMostradoQuedaEnElLog()
    {
        const QString log = soporte::carpetaNueva(u"log"_s) + u"/QNErr.log"_s;
        Componentes::General().setArchivoLog(log);
        Guion guion{{5, 3}, {}};
        guion.instalar();
        ManejadorError enError = ManejadorError::conEtiqueta(u"NombreReporte$"_s);
        enError.paso([] { throw RuntimeError(13, u"tipos no coinciden"_s); });
        enError.paso([] { throw RuntimeError(5, u"argumento no válido"_s); });
        QFile archivo(log);
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        const QStringList lineas =
            QString::fromUtf8(archivo.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lineas.size(), 2);
        const QStringList campos = lineas.at(1).split(u'\t');
        QCOMPARE(campos.size(), 5);
        QCOMPARE(QDate::fromString(campos.at(0), u"yyyy-MM-dd"_s), QDate::currentDate());
        QVERIFY(QTime::fromString(campos.at(1), u"HH:mm:ss"_s).isValid());
        QCOMPARE(campos.mid(2),
                 (QStringList{u"NombreReporte$"_s, u"5"_s, u"argumento no válido"_s}));
    }

    // The real dialog, answered by clicking its buttons.
    void dialogoReal_data()
    {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<int>("codigo");
        QTest::newRow("abortar") << u"Abortar"_s << 3;
        QTest::newRow("reintentar") << u"Reintentar"_s << 4;
        QTest::newRow("omitir") << u"Omitir"_s << 5;
    }
    void dialogoReal()
    {
        QFETCH(QString, boton);
        QString texto;
        QTimer::singleShot(0, this, [&] {
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(caja);
            texto = caja->text() + u'|' + caja->informativeText();
            caja->findChild<QPushButton*>(boton)->click();
        });
        const int respuesta = Componentes::General().MostrarError(
            RuntimeError(3265, u"No se encontró el campo \"X\""_s), u"CargarDatos"_s);
        QTEST(respuesta, "codigo");
        QVERIFY2(texto.contains(u"3265"_s) && texto.contains(u"No se encontró"_s) &&
                     texto.contains(u"CargarDatos"_s),
                 qPrintable(texto));
    }
};

QTEST_MAIN(TstManejadorError)
#include "tst_manejador_error.moc"
