#include "Soporte.h"
#include "components/Componentes.h"
#include "platform/controls/GridView.h"
#include "report/RP_OProduccion.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QJsonObject rect(const QRect& r)
{
    return {{u"x"_s, r.x()}, {u"y"_s, r.y()}, {u"w"_s, r.width()}, {u"h"_s, r.height()}};
}

QRect rect(const QJsonValue& o)
{
    return {o[u"x"].toInt(), o[u"y"].toInt(), o[u"w"].toInt(), o[u"h"].toInt()};
}

// The window as it opens on the screen this process was given, and where
// Tab from the last "Orden" option leaves the focus: printed for the test.
int abrirVentana()
{
    const QString carpeta = soporte::carpetaNueva(u"pantalla"_s);
    qputenv("RP_CARPETA_PROGRAMA", carpeta.toLocal8Bit());
    soporte::crearBaseDemo(carpeta + u"/demo.db"_s);
    Componentes::General().setMensajero([](const QString&) {});
    RP_OProduccion v;
    v.TerminarPrograma = [](int) {};
    if (v.Form_Load(u"@DbName="_s + carpeta + u"/demo.db;"_s) != ModGlobal::Inicio::Seguir)
        return 1;
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        return 1;
    v.activateWindow();
    v.OptOrden.at(1)->setFocus();
    QTest::keyClick(v.OptOrden.at(1), Qt::Key_Tab);
    QWidget* foco = QApplication::focusWidget();
    const QWidget* area = v.AreaFiltros->viewport();
    const QJsonObject salida = {
        {u"pantalla"_s, rect(v.screen()->availableGeometry())},
        {u"ventana"_s, rect(v.frameGeometry())},
        {u"grilla"_s, rect(v.MSFlexGrid1Vista->geometry())},
        {u"foco"_s, foco ? foco->objectName() : QString()},
        {u"focoEnVista"_s,
         foco && area->rect().contains(QRect(foco->mapTo(area, QPoint(0, 0)), foco->size()))}};
    QTextStream(stdout) << QJsonDocument(salida).toJson(QJsonDocument::Compact);
    return 0;
}

} // namespace

// The report window on small screens and at large scales: it fits the
// screen, its grid takes the window's width, and the filters out of sight
// come into sight as the keyboard reaches them.
class TstPantalla : public QObject
{
    Q_OBJECT

private slots:
    void cabeEnLaPantalla_data()
    {
        QTest::addColumn<int>("ancho");
        QTest::addColumn<int>("alto");
        QTest::addColumn<QString>("escala");
        QTest::newRow("1366x768 a escala 2") << 1366 << 768 << u"2"_s;
        QTest::newRow("1024x600") << 1024 << 600 << u"1"_s;
    }
    void cabeEnLaPantalla()
    {
        QFETCH(int, ancho);
        QFETCH(int, alto);
        QFETCH(QString, escala);
        const QString config = soporte::carpetaNueva(u"config"_s) + u"/pantalla.json"_s;
        QVERIFY(soporte::escribirArchivo(
            config, u"{\"screens\": [{\"name\": \"p\", \"x\": 0, \"y\": 0, \"width\": %1, "
                    "\"height\": %2, \"logicalDpi\": 96}]}"_s.arg(ancho)
                        .arg(alto)
                        .toUtf8()));
        QProcess hijo;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(u"RP_PANTALLA_HIJO"_s, u"1"_s);
        entorno.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + config);
        entorno.insert(u"QT_SCALE_FACTOR"_s, escala);
        hijo.setProcessEnvironment(entorno);
        hijo.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(hijo.waitForFinished(120000));
        const QJsonObject leido = QJsonDocument::fromJson(hijo.readAllStandardOutput()).object();
        QVERIFY2(!leido.isEmpty(), hijo.readAllStandardError().constData());
        const QRect pantalla = rect(leido[u"pantalla"]), ventana = rect(leido[u"ventana"]);
        QCOMPARE(pantalla.size(), QSize(ancho, alto) / escala.toInt());
        QVERIFY2(pantalla.contains(ventana), QJsonDocument(leido).toJson().constData());
        QCOMPARE(rect(leido[u"grilla"]).right(), ventana.width() - 21);
        QCOMPARE(leido[u"foco"].toString(), u"OptTipo"_s);
        QVERIFY(leido[u"focoEnVista"].toBool());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("RP_PANTALLA_HIJO"))
        return abrirVentana();
    TstPantalla prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_pantalla.moc"
