#include "BaseDatos.h"
#include "LectorAnfitrion.h"
#include "LectorLibro.h"
#include "Soporte.h"
#include "app/CargosLinea.h"
#include "app/ConsultaLinea.h"
#include "export/EscritorCSV.h"
#include "app/ReporteLinea.h"
#include "components/Componentes.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmConsComprobantes.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "platform/controls/GridModel.h"
#include "platform/controls/ListView.h"
#include "platform/text/RuntimeError.h"
#include "report/nucleo/CargaOrdenes.h"
#include "session/ModGlobal.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

// The command line: the real program run as a script or another program of the
// suite would run it.
class TstLinea : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    QString m_base;
    GridModel m_largo; // the grid of a 20,000-order load
    bool m_largoCargado = false;

    using Salida = soporte::Salida;
    Salida correr(const QStringList& argumentos, const QString& idioma = {})
    {
        // The files checked here are written as under C; the locale cases name theirs.
        return soporte::correrPrograma(QStringLiteral(RP_OPRODUCCION), argumentos, m_carpeta,
                                       idioma.isEmpty() ? u"C.UTF-8"_s : idioma);
    }
    QString base() const { return u"@DbName="_s + m_base + u";"_s; }

    // A window station that shows nothing (a service's) is how Windows says
    // there is no display; under Wine every program has a visible one.
    static bool sinPantallaBajoWine()
    {
#ifdef Q_OS_WIN
        return QByteArray(QTest::currentDataTag()).contains("sin pantalla");
#else
        return false;
#endif
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"linea"_s);
        m_base = m_carpeta + u"/demo.db"_s;
        soporte::crearBaseDemo(m_base);
    }

    void leerOpciones()
    {
        QVERIFY(!ReporteLinea::Leer({u"@DbName=x;"_s, u"@Usuario=sa;"_s}).has_value());
        const auto op = ReporteLinea::Leer({u"@DbName=x;"_s, u"--NRO_DESDE=10"_s, u"--pendientes"_s,
                                            u"--orden=Numero"_s, u"--csv=-"_s});
        QVERIFY(op.has_value());
        QCOMPARE(op->pares, QStringList{u"@DbName=x;"_s});
        QCOMPARE(op->filtros.value(u"Nro_Desde"_s), u"10"_s);
        QVERIFY(op->pendientes && !op->finalizada);
        QCOMPARE(op->orden, u"numero"_s);
        for (const QStringList& malos :
             {QStringList{u"--nada=1"_s, u"--csv=a"_s},
              QStringList{u"--orden=alfa"_s, u"--csv=a"_s},
              QStringList{u"--pendientes=si"_s, u"--csv=a"_s}, QStringList{u"--csv"_s},
              QStringList{u"--Nro_Desde=1"_s}, QStringList{u"--xlsx=-"_s}})
            QVERIFY_THROWS_EXCEPTION(RuntimeError, ReporteLinea::Leer(malos));

        QVERIFY(!ConsultaLinea::Leer({u"@DbName=x;"_s, u"--csv=-"_s}).has_value());
        const auto consulta =
            ConsultaLinea::Leer({u"@DbName=x;"_s, u"--Consulta-Comprobantes=oc/sin_aprobar"_s,
                                 u"--filtro=CUENTA = 'a=b'"_s, u"--csv=-"_s});
        QVERIFY(consulta.has_value());
        QCOMPARE(consulta->pares, QStringList{u"@DbName=x;"_s});
        QCOMPARE(consulta->clave, u"oc/sin_aprobar"_s);
        QCOMPARE(consulta->filtro, u"CUENTA = 'a=b'"_s);
        QCOMPARE(consulta->csv, u"-"_s);
        for (const QStringList& malos :
             {QStringList{u"--consulta-comprobantes="_s},
              QStringList{u"--consulta-comprobantes=FC"_s, u"--pendientes"_s},
              QStringList{u"--consulta-comprobantes=FC"_s, u"--csv"_s},
              QStringList{u"--consulta-comprobantes=FC"_s, u"--filtro"_s}})
            QVERIFY_THROWS_EXCEPTION(RuntimeError, ConsultaLinea::Leer(malos));
    }

    void ayuda()
    {
        const Salida s = correr({u"--help"_s});
        QCOMPARE(s.codigo, 0);
        QVERIFY(s.out.contains(u"--csv=ARCHIVO"_s));
    }

    void csvConFiltros()
    {
        const QString csv = m_carpeta + u"/orden1.csv"_s;
        const Salida s = correr({base(), u"@UsuarioLogeado=batch;"_s, u"--sucursal_desde=1"_s,
                                 u"--Nro_Desde=1"_s, u"--Letra_Desde=a"_s,
                                 u"--Sucursal_Hasta=0001"_s, u"--Nro_Hasta=00000001"_s,
                                 u"--Letra_Hasta=A"_s, u"--finalizada"_s, u"--csv="_s + csv});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QCOMPARE(s.err.trimmed(), u"Escrito: "_s + csv);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(f.readAll());
        const QStringList filas = texto.split(u"\r\n"_s);
        QCOMPARE(filas.size(), 7); // titles, 2 lines, 3 supplies, then the final CR LF
        QCOMPARE(filas[0], u"Nro OP,Insumo,Descrpcion,Cantidad,PE,Kg,Espesor"_s);
        QVERIFY(filas.contains(u",CH-AC-SAE1010,Chapa de acero SAE 1010,1,7850,471,"_s));
        QVERIFY(filas.last().isEmpty());

        // The run wrote the access-log row that opening the report writes.
        QSqlDatabase db = basedatos::abrirSqlite(m_base, u"leer"_s, false);
        QSqlQuery q(u"SELECT Usuario, Formulario FROM CONTROL_ACCESO ORDER BY ID DESC"_s, db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), u"BATCH"_s);
        QCOMPARE(q.value(1).toString(), u"REPORTE DE ORDENES DE PRODUCCIÓN"_s);
    }

    // The report from the command line makes no widget and no widget
    // application: only a PDF needs a graphical one, for its fonts.
    void sinVentana_data()
    {
        QTest::addColumn<QString>("salida");
        QTest::addColumn<QString>("aplicacion");
        QTest::newRow("csv") << u"--csv=-"_s << u"QCoreApplication 0"_s;
        QTest::newRow("totales") << u"--totales=t.xlsx"_s << u"QCoreApplication 0"_s;
        QTest::newRow("pdf") << u"--pdf=p.pdf"_s << u"QGuiApplication 0"_s;
    }
    void sinVentana()
    {
        QFETCH(QString, salida);
        const QString informe = m_carpeta + u"/aplicacion.txt"_s;
        qputenv("RP_PRUEBA_APLICACION", informe.toLocal8Bit());
        const QString archivo =
            salida.endsWith(u'-') ? salida : salida.replace(u'=', u"=" + m_carpeta + u'/');
        const Salida s = correr({base(), archivo});
        qunsetenv("RP_PRUEBA_APLICACION");
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QFile f(informe);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTEST(QString::fromUtf8(f.readAll()), "aplicacion");
    }

    void csvEnLaSalidaEstandarYComillas()
    {
        const Salida s =
            correr({base(), u"--Sucursal_Desde=1"_s, u"--nro_desde=2"_s, u"--Sucursal_Hasta=1"_s,
                    u"--nro_hasta=2"_s, u"--letra_hasta=z"_s, u"--csv=-"_s});
        QCOMPARE(s.codigo, 0);
        QVERIFY(s.out.startsWith(u"Nro OP,"_s));
        QVERIFY2(s.out.contains(u",LAM-PVC-08,\"Lámina de PVC 0,8 mm\",2,1380,"_s),
                 qPrintable(s.out));
        QVERIFY(!s.out.contains(u"000100000001A"_s));
    }

    // The workbooks hold numbers a spreadsheet reads as such, whatever the
    // operator's locale: the Kg column and the totals add up to the demo's
    // 13,456.65 kg as openpyxl reads them.
    void librosEnCualquierIdioma_data()
    {
        QTest::addColumn<QString>("idioma");
        QTest::newRow("coma decimal") << u"es_AR.UTF-8"_s;
        QTest::newRow("punto decimal") << u"C.UTF-8"_s;
    }
    void librosEnCualquierIdioma()
    {
        QFETCH(QString, idioma);
        const QString reporte = m_carpeta + u"/idioma.xlsx"_s;
        const QString totales = m_carpeta + u"/idioma_totales.xlsx"_s;
        const Salida s =
            correr({base(), u"--xlsx="_s + reporte, u"--totales="_s + totales}, idioma);
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        // The sum of the numbers under the title `titulo`, and how many numbers
        // were left as texts (the line rows' "Largo 2000" is no number).
        const auto columna = [](const QJsonObject& libro, const QString& titulo, int& textos) {
            const QJsonObject celdas = libro[u"celdas"_s].toObject();
            QString letra;
            for (auto it = celdas.begin(); it != celdas.end(); ++it)
                if (it.key().endsWith(u"1"_s) && it.key().size() == 2 &&
                    it.value()[u"valor"_s].toString() == titulo)
                    letra = it.key().left(1);
            double suma = 0;
            textos = 0;
            for (auto it = celdas.begin(); it != celdas.end(); ++it) {
                if (!it.key().startsWith(letra) || it.key() == letra + u'1' ||
                    it.value()[u"valor"_s].isNull())
                    continue;
                static const QRegularExpression numero(u"^[-0-9.,]+$"_s);
                if (it.value()[u"tipo"_s].toString() == u"n")
                    suma += it.value()[u"valor"_s].toDouble();
                else if (it.value()[u"valor"_s].toString().contains(numero))
                    ++textos;
            }
            return suma;
        };
        int textos = 0;
        QCOMPARE(qRound(columna(lectorLibro::leer(reporte), u"Kg"_s, textos) * 100), 1345665);
        QCOMPARE(textos, 0);
        // The totals' rows (each rounded to the cent) and their Total row:
        // twice the kilograms.
        const QJsonObject libroTotales = lectorLibro::leer(totales);
        const double dosVeces = columna(libroTotales, u"Kg"_s, textos);
        QVERIFY2(std::abs(dosVeces - 26913.30) < 0.05, qPrintable(QString::number(dosVeces)));
        QCOMPARE(textos, 0);
        // The kilograms read with two decimals and grouped, in any locale;
        // the other figures as they are.
        for (const auto& [celda, formato] :
             {std::pair{u"D2"_s, u"#,##0.00"_s}, {u"H2"_s, u"#,##0.00"_s}, {u"E2"_s, u"General"_s}})
            QCOMPARE(lectorLibro::celda(libroTotales, celda)[u"formato"_s].toString(), formato);
    }

    // The CSV in the operator's convention, as Python's csv module reads it:
    // with a decimal comma, ";" between fields and a byte-order mark.
    void csvDelOperador_data()
    {
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QString>("separador");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QString>("espesor");
        QTest::newRow("coma decimal")
            << u"es_AR.UTF-8"_s << QString() << u";"_s << true << u"Espesor 1,5"_s;
        QTest::newRow("coma decimal, tabulador")
            << u"es_AR.UTF-8"_s << u"--separador=TAB"_s << u"\t"_s << true << u"Espesor 1,5"_s;
        QTest::newRow("punto decimal, punto y coma")
            << u"C.UTF-8"_s << u"--separador=;"_s << u";"_s << false << u"Espesor 1.5"_s;
        QTest::newRow("punto decimal")
            << u"C.UTF-8"_s << QString() << u","_s << false << u"Espesor 1.5"_s;
    }
    void csvDelOperador()
    {
        QFETCH(QString, idioma);
#ifdef Q_OS_WIN
        if (idioma != u"C.UTF-8"_s)
            QSKIP("Windows toma el idioma de sus propios ajustes, no de LC_ALL: scripts/windows "
                  "compara el reporte bajo es-AR con el de Linux");
#endif
        QFETCH(QString, opcion);
        QFETCH(QString, separador);
        const QString csv = m_carpeta + u"/operador.csv"_s;
        QStringList argumentos = {base(),
                                  u"--Sucursal_Desde=1"_s,
                                  u"--Nro_Desde=1"_s,
                                  u"--Sucursal_Hasta=1"_s,
                                  u"--Nro_Hasta=2"_s,
                                  u"--csv="_s + csv};
        if (!opcion.isEmpty())
            argumentos << opcion;
        const Salida s = correr(argumentos, idioma);
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        const soporte::Lectura python = soporte::leerEnAnfitrion(
            QStringLiteral(RP_PYTHON),
            {u"-c"_s,
             u"import csv, json, sys\n"
             u"datos = open(sys.argv[1], 'rb').read()\n"
             u"filas = list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', "
             u"newline=''), delimiter=sys.argv[2]))\n"
             u"print(json.dumps({'bom': datos.startswith(b'\\xef\\xbb\\xbf'), "
             u"'filas': filas}))"_s,
             csv, separador});
        QVERIFY2(python.codigo == 0, qPrintable(python.error));
        const QJsonObject leido = QJsonDocument::fromJson(python.salida).object();
        QTEST(leido[u"bom"_s].toBool(), "bom");
        QStringList filas;
        for (const QJsonValue& fila : leido[u"filas"_s].toArray()) {
            QStringList campos;
            for (const QJsonValue& c : fila.toArray())
                campos << c.toString();
            QCOMPARE(campos.size(), 7);
            filas << campos.join(u'|');
        }
        QCOMPARE(filas.first(), u"Nro OP|Insumo|Descrpcion|Cantidad|PE|Kg|Espesor"_s);
        QVERIFY(filas.contains(u"|CH-AC-SAE1010|Chapa de acero SAE 1010|1|7850|471|"_s));
        QFETCH(QString, espesor);
        const auto hay = [&](const QString& inicio, const QString& fin) {
            return std::any_of(filas.begin(), filas.end(), [&](const QString& f) {
                return f.startsWith(inicio) && f.endsWith(fin);
            });
        };
        QVERIFY2(hay(u"|LAM-PVC-08|Lámina de PVC 0,8 mm|2|1380|"_s, u"|"_s) &&
                     hay(u"000100000001A|GAB-INOX-600|"_s, u'|' + espesor),
                 qPrintable(filas.join(u'\n')));
    }

    // A long list goes out row by row: its bytes are those Python's csv module
    // writes from the same grid cells (minimal quoting, CR LF, UTF-8, the mark
    // when asked), in either convention, whatever the numbers' locale.
    void csvLargoComoPython_data()
    {
        QTest::addColumn<QString>("separador");
        QTest::addColumn<bool>("bom");
        QTest::newRow("RFC 4180") << u","_s << false;
        QTest::newRow("punto y coma con marca") << u";"_s << true;
    }
    void csvLargoComoPython()
    {
        QFETCH(QString, separador);
        QFETCH(bool, bom);
        if (!m_largoCargado) {
            m_largoCargado = true;
            const QString archivo = soporte::carpetaNueva(u"csv_largo_base"_s) + u"/g.db"_s;
            soporte::crearBaseGenerada(archivo, 20000);
            Componentes::ReiniciarParaPruebas();
            QVERIFY(soporte::conectarDatos(u"sqlite"_s, archivo, {}));
            CargaOrdenes().Cargar({}, {false, false, u"{V_MV_Cpte.IdComprobante}"_s}, m_largo);
        }
        // The grid's exported columns (all but the first, narrow one) up to
        // its trailing empty row; no cell of these data needs the formula or
        // control-character rules, which Python's writer does not know.
        QVERIFY(m_largo.rows() > 300000 && m_largo.colWidth(0) <= 50);
        QJsonArray filas;
        for (int r = 0; r + 1 < m_largo.rows(); ++r) {
            QJsonArray fila;
            for (int c = 1; c < m_largo.cols(); ++c) {
                const QString celda = m_largo.text(r, c);
                QVERIFY(!celda.startsWith(u'=') && !celda.startsWith(u'+') &&
                        !celda.startsWith(u'-') && !celda.startsWith(u'@'));
                QVERIFY(std::none_of(celda.begin(), celda.end(),
                                     [](QChar ch) { return ch.unicode() < 0x20; }));
                fila.append(celda);
            }
            filas.append(fila);
        }
        const QString d = soporte::carpetaNueva(u"csv_largo"_s);
        QFile celdas(d + u"/celdas.json"_s);
        QVERIFY(celdas.open(QIODevice::WriteOnly) &&
                celdas.write(QJsonDocument(filas).toJson(QJsonDocument::Compact)) > 0);
        celdas.close();

        const QString csv = d + u"/largo.csv"_s;
        QCOMPARE(EscribirCSV(m_largo, csv, FormatoCSV{separador.front(), bom}), m_largo.rows() - 1);
        const soporte::Lectura python = soporte::leerEnAnfitrion(
            QStringLiteral(RP_PYTHON),
            {u"-c"_s,
             u"import csv, io, json, sys\n"
             u"texto = io.StringIO(newline='')\n"
             u"csv.writer(texto, delimiter=sys.argv[2], lineterminator='\\r\\n')"
             u".writerows(json.load(open(sys.argv[1], encoding='utf-8')))\n"
             u"marca = '\\ufeff' if sys.argv[3] == '1' else ''\n"
             u"sys.stdout.buffer.write((marca + texto.getvalue()).encode('utf-8'))"_s,
             celdas.fileName(), separador, bom ? u"1"_s : u"0"_s});
        QVERIFY2(python.codigo == 0, qPrintable(python.error));
        const QByteArray esperado = python.salida;
        QFile escrito(csv);
        QVERIFY(escrito.open(QIODevice::ReadOnly));
        const QByteArray leido = escrito.readAll();
        qsizetype i = 0;
        while (i < leido.size() && i < esperado.size() && leido[i] == esperado[i])
            ++i;
        QCOMPARE(leido.mid(i - 60, 120), esperado.mid(i - 60, 120));
        QCOMPARE(leido.size(), esperado.size());
    }

    // Someone watching the run in a terminal sees how far it got; a script
    // reading standard error gets only the result (see csvConFiltros).
    void avanceEnLaTerminal()
    {
#ifdef Q_OS_WIN
        QSKIP("script(1) da una terminal de Linux; la consola de Windows la prueba "
              "tst_linea_consola");
#endif
        const QString d = soporte::carpetaNueva(u"terminal"_s);
        QStringList orden = {QStringLiteral(RP_OPRODUCCION), base(), u"--csv="_s + d + u"/r.csv"_s,
                             u"--xlsx="_s + d + u"/r.xlsx"_s, u"--pdf="_s + d + u"/r.pdf"_s};
        for (QString& parte : orden)
            parte = u'\'' + parte + u'\'';
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, m_carpeta);
        p.setProcessEnvironment(env);
        // script(1) gives the program a terminal of its own.
        p.start(u"script"_s, {u"-qec"_s, orden.join(u' '), u"/dev/null"_s});
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(60000));
        const QString visto = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(visto.contains(u"Cargando: 1 líneas cargadas"_s), qPrintable(visto));
        QVERIFY2(visto.contains(u"Escribiendo "_s + d + u"/r.xlsx: "_s), qPrintable(visto));
        // The PDF counts its pages; the last one is always shown.
        QVERIFY2(
            QRegularExpression(QRegularExpression::escape(d) + u"/r.pdf: página (\\d+) de \\1\\b"_s)
                .match(visto)
                .hasMatch(),
            qPrintable(visto));
        QVERIFY2(visto.contains(u"Escrito: "_s + d + u"/r.csv"_s), qPrintable(visto));
    }

    // The workbook, the page and the PDF next to the CSV, from one run.
    void todasLasSalidas()
    {
        const QString d = soporte::carpetaNueva(u"salidas"_s);
        const Salida s =
            correr({base(), u"--Fecha_Desde=1/10/2026"_s, u"--Fecha_Hasta=31/10/2026"_s,
                    u"--csv="_s + d + u"/r.csv"_s, u"--xlsx="_s + d + u"/r.xlsx"_s,
                    u"--html="_s + d + u"/r.html"_s, u"--pdf="_s + d + u"/r.pdf"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        for (const QString& f : {u"r.csv"_s, u"r.xlsx"_s, u"r.html"_s, u"r.pdf"_s}) {
            QVERIFY2(s.err.contains(u"Escrito: "_s + d + u'/' + f), qPrintable(s.err));
            QVERIFY(QFileInfo(d + u'/' + f).size() > 0);
        }
        QFile xlsx(d + u"/r.xlsx"_s);
        QVERIFY(xlsx.open(QIODevice::ReadOnly));
        QCOMPARE(xlsx.read(2), QByteArray("PK"));
        QFile pdf(d + u"/r.pdf"_s);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        QFile html(d + u"/r.html"_s);
        QVERIFY(html.open(QIODevice::ReadOnly));
        const QByteArray pagina = html.readAll();
        QVERIFY(pagina.startsWith("<html>\r\n"));
        QVERIFY(pagina.contains("BAN-1000X2000"));
    }

    // A database copy with one statement applied, as a launcher pair.
    QString baseCon(const QString& nombre, const QString& sql)
    {
        const QString copia = m_carpeta + u'/' + nombre + u".db"_s;
        QFile::remove(copia);
        if (!QFile::copy(m_base, copia))
            return {};
        {
            QSqlDatabase db = basedatos::abrirSqlite(copia, nombre, false);
            QSqlQuery q(db);
            if (!q.exec(sql))
                qWarning("%s", qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(nombre);
        return u"@DbName="_s + copia + u";"_s;
    }

    // A bad value in one row stops the report naming its order and article.
    void valorMaloNombraLaOrden_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("dice");
        QTest::newRow("desbordamiento")
            << u"UPDATE MA_ARTICULOS SET ANCHO = 1e20 WHERE IDARTICULO = 'BAN-1000X2000'"_s
            << u"En la orden 000100000001A, artículo BAN-1000X2000, insumo CH-AC-SAE1010: "_s;
        // Each dimension fits an amount; the kilograms they give do not.
        QTest::newRow("kilos fuera del rango de un importe")
            << u"UPDATE MA_ARTICULOS SET ANCHO = 9e14, LARGO = 9e14 WHERE IDARTICULO = "
               "'BAN-1000X2000'"_s
            << u"En la orden 000100000001A, artículo BAN-1000X2000, insumo CH-AC-SAE1010: "
               "Desbordamiento: los kilogramos estimados, "_s;
        QTest::newRow("NUL en un codigo")
            << u"UPDATE MV_CPTEINSUMOS SET IDARTICULO = 'BAN' || char(0) || 'X' "
               "WHERE IDCOMPROBANTE = '000100000001A' AND LINEA = 1"_s
            << u"En la orden 000100000001A, artículo BAN\\x00X: "_s;
    }
    void valorMaloNombraLaOrden()
    {
        QFETCH(QString, sql);
        QFETCH(QString, dice);
        const QString csv = m_carpeta + u"/malo.csv"_s;
        QFile::remove(csv);
        const Salida s = correr({baseCon(u"malo"_s, sql), u"--Sucursal_Desde=1"_s,
                                 u"--Nro_Desde=1"_s, u"--Sucursal_Hasta=1"_s, u"--Nro_Hasta=1"_s,
                                 u"--Letra_Hasta=A"_s, u"--csv="_s + csv});
        QCOMPARE(s.codigo, 1);
        QVERIFY2(s.err.contains(dice), qPrintable(s.err));
        QCOMPARE(s.err.trimmed().count(u'\n'), 0);
        QVERIFY(!QFile::exists(csv));
    }

    // A text longer than a workbook cell: cut there with a mark, whole in the
    // other files, and the run goes on.
    void textoMasLargoQueUnaCelda()
    {
        const QString largo = QString(20000, u'a') + QString(20000, u'z');
        const QString d = soporte::carpetaNueva(u"largo"_s);
        const Salida s = correr(
            {baseCon(u"largo"_s, u"UPDATE MV_CPTEINSUMOS SET DESCRIPCION = '"_s + largo +
                                     u"' WHERE IDCOMPROBANTE = '000100000001A' AND LINEA = 1"_s),
             u"--Sucursal_Desde=1"_s, u"--Nro_Desde=1"_s, u"--Sucursal_Hasta=1"_s,
             u"--Nro_Hasta=1"_s, u"--Letra_Hasta=A"_s, u"--csv="_s + d + u"/r.csv"_s,
             u"--xlsx="_s + d + u"/r.xlsx"_s, u"--html="_s + d + u"/r.html"_s,
             u"--pdf="_s + d + u"/r.pdf"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        const QJsonObject libro = lectorLibro::leer(d + u"/r.xlsx"_s);
        QString celda;
        for (const QJsonValue& c : libro[u"celdas"_s].toObject())
            if (c[u"valor"_s].toString().startsWith(u"aaaa"_s))
                celda = c[u"valor"_s].toString();
        QCOMPARE(celda.size(), 32767);
        QVERIFY(celda.endsWith(u"… [texto cortado]"_s));
        QVERIFY(celda.startsWith(QString(20000, u'a') + u'z'));
        for (const QString& f : {u"r.csv"_s, u"r.html"_s}) {
            QFile archivo(d + u'/' + f);
            QVERIFY(archivo.open(QIODevice::ReadOnly));
            QVERIFY2(QString::fromUtf8(archivo.readAll()).contains(largo), qPrintable(f));
        }
        QVERIFY(QFileInfo(d + u"/r.pdf"_s).size() > 0);
    }

    // "Totales por insumo" of orders 4 and 5 (see the window's test for the
    // figures), in the format its extension names, read back by another reader.
    void totalesPorExtension_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::newRow("csv") << u"t.csv"_s;
        QTest::newRow("xlsx") << u"t.xlsx"_s;
        QTest::newRow("html") << u"t.HTML"_s;
    }
    void totalesPorExtension()
    {
        QFETCH(QString, archivo);
        const QString d = soporte::carpetaNueva(u"totales"_s);
        const QString ruta = d + u'/' + archivo;
        const Salida s =
            correr({base(), u"--Sucursal_Desde=1"_s, u"--Nro_Desde=4"_s, u"--Sucursal_Hasta=1"_s,
                    u"--Nro_Hasta=5"_s, u"--Letra_Hasta=A"_s, u"--totales="_s + ruta},
                   u"C.UTF-8"_s);
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QCOMPARE(s.err.trimmed(), u"Escrito: "_s + ruta);
        // Every row as "field|field|...", numbers as the reader gives them.
        QStringList filas;
        if (archivo.endsWith(u".csv"_s)) {
            const soporte::Lectura python = soporte::leerEnAnfitrion(
                QStringLiteral(RP_PYTHON),
                {u"-c"_s,
                 u"import csv, sys\n"
                 u"for f in csv.reader(open(sys.argv[1], encoding='utf-8', "
                 u"newline='')): print('|'.join(f))"_s,
                 ruta});
            QVERIFY2(python.codigo == 0, qPrintable(python.error));
            filas = QString::fromUtf8(python.salida).split(u'\n', Qt::SkipEmptyParts);
        } else if (archivo.endsWith(u".xlsx"_s)) {
            const QJsonObject celdas = lectorLibro::leer(ruta)[u"celdas"_s].toObject();
            for (int fila = 1;; ++fila) {
                QStringList campos;
                for (const QChar columna : u"ABCDEFG"_s) {
                    const QJsonValue valor =
                        celdas[columna + QString::number(fila)].toObject()[u"valor"_s];
                    campos << (valor.isDouble() ? QString::number(valor.toDouble())
                                                : valor.toString());
                }
                if (campos.join(QString()).isEmpty())
                    break;
                filas << campos.join(u'|');
            }
        } else {
            QFile pagina(ruta);
            QVERIFY(pagina.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(pagina.readAll());
            for (const QString& parte :
                 {u"TOTALES POR INSUMO"_s, u"LAM-PE-05"_s, u"364.80"_s, u"TORN-M6"_s, u"773.75"_s})
                QVERIFY2(html.contains(parte), qPrintable(parte));
            QVERIFY(html.indexOf(u"LAM-PE-05"_s) < html.indexOf(u"TORN-M6"_s));
            return;
        }
        const bool libro = archivo.endsWith(u".xlsx"_s);
        QCOMPARE(filas.size(), 12);
        // The workbook is read up to the incomplete lines; the file has one
        // column more, their kilograms.
        const QString masKilos = libro ? QString() : u"|0.00"_s;
        QCOMPARE(filas.first(), u"Insumo|Descripción|PE|Kg|Líneas|Órdenes|Incompletas"_s +
                                    (libro ? QString() : u"|Kg incompletos"_s));
        QCOMPARE(filas.at(1),
                 libro ? u"LAM-PE-05|Lámina de polietileno 0,5 mm|950|364.8|1|1|0"_s
                       : u"LAM-PE-05|Lámina de polietileno 0,5 mm|950|364.80|1|1|0"_s + masKilos);
        QCOMPARE(filas.at(10), libro ? u"TORN-M6|Tornillo M6 zincado||0|2|2|2"_s
                                     : u"TORN-M6|Tornillo M6 zincado||0.00|2|2|2"_s + masKilos);
        QCOMPARE(filas.last(), u"Total|||773.75|5|2|3"_s + masKilos);
    }

    // The totals' chart travels with the files: the workbook's is a native bar
    // chart drawn from the table's cells, the page's an inline SVG with a bar
    // per material in proportion. Orders 4 and 5 use ten materials; the whole
    // demo thirteen, so its last bar is "Otros (3 insumos)", from a row beside
    // the chart, right of the table and outside the print area.
    void graficoEnLosArchivos_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QStringList>("filtros");
        QTest::addColumn<QStringList>("esperado");
        const QStringList cuatroYCinco = {u"--Sucursal_Desde=1"_s, u"--Nro_Desde=4"_s,
                                          u"--Sucursal_Hasta=1"_s, u"--Nro_Hasta=5"_s,
                                          u"--Letra_Hasta=A"_s};
        // No estimate of the demo lacks a kilogram figure: no lighter series.
        QTest::newRow("libro diez")
            << u"t.xlsx"_s << cuatroYCinco
            << QStringList{u"barChart bar clustered 100.0"_s,
                           u"estimación completa|'Hoja1'!$A$2:$A$11|'Hoja1'!$D$2:$D$11"_s};
        QTest::newRow("libro con otros")
            << u"t.xlsx"_s << QStringList()
            << QStringList{u"barChart bar clustered 100.0"_s,
                           u"estimación completa|('Hoja1'!$A$2:$A$11,'Hoja1'!$J$18)|"
                           u"('Hoja1'!$D$2:$D$11,'Hoja1'!$K$18)"_s,
                           u"J18=Otros (3 insumos)"_s};
        QTest::newRow("pagina diez")
            << u"t.html"_s << cuatroYCinco
            << QStringList{u"LAM-PE-05"_s,     u"TABLA-PINO"_s,  u"CH-CU-ETP"_s,  u"PERF-AL-6063"_s,
                           u"BAR-LATON"_s,     u"VID-FLOAT-6"_s, u"CH-GALV-18"_s, u"PINT-EPOXI"_s,
                           u"CH-AC-SAE1010"_s, u"TORN-M6"_s};
    }
    void graficoEnLosArchivos()
    {
        QFETCH(QString, archivo);
        QFETCH(QStringList, filtros);
        QFETCH(QStringList, esperado);
        const QString ruta = soporte::carpetaNueva(u"grafico"_s) + u'/' + archivo;
        const Salida s =
            correr(QStringList{base()} + filtros + QStringList{u"--totales="_s + ruta});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        const bool libro = archivo.endsWith(u".xlsx"_s);
        // openpyxl reads the chart back; the page's picture is parsed as XML.
        const QString lector =
            libro ? u"import sys, openpyxl\n"
                    u"h = openpyxl.load_workbook(sys.argv[1]).active\n"
                    u"for c in h._charts:\n"
                    u"  print(c.tagname, c.barDir, c.grouping, c.overlap)\n"
                    u"  for s in c.series:\n"
                    u"    nombres = s.cat.strRef or s.cat.numRef\n"
                    u"    print(s.tx.v + '|' + nombres.f + '|' + s.val.numRef.f)\n"
                    u"if h['J18'].value: print('J18=' + h['J18'].value)\n"_s
                  : u"import re, sys, xml.etree.ElementTree as ET\n"
                    u"t = open(sys.argv[1], encoding='utf-8').read()\n"
                    u"svg = ET.fromstring(re.search(r'<svg.*?</svg>', t, re.S).group(0))\n"
                    u"n = {'s': 'http://www.w3.org/2000/svg'}\n"
                    u"for g in svg.findall('s:g', n):\n"
                    u"  w = sum(float(r.get('width')) for r in g.findall('s:rect', n))\n"
                    u"  print(g.get('data-insumo'), g.get('data-kg'), w)\n"_s;
        const soporte::Lectura python =
            soporte::leerEnAnfitrion(QStringLiteral(RP_PYTHON), {u"-c"_s, lector, ruta});
        QVERIFY2(python.codigo == 0, qPrintable(python.error));
        const QStringList leido = QString::fromUtf8(python.salida).split(u'\n', Qt::SkipEmptyParts);
        if (libro) {
            QCOMPARE(leido, esperado);
            return;
        }
        // One bar per material, its length the heaviest's (380) in proportion.
        QStringList codigos;
        for (const QString& linea : leido) {
            const QStringList partes = linea.split(u' ');
            codigos << partes[0];
            const double esperadoAncho = partes[1].toDouble() / 364.80 * 380;
            QVERIFY2(qAbs(partes[2].toDouble() - esperadoAncho) < 0.2, qPrintable(linea));
        }
        QCOMPARE(codigos, esperado);
    }

    // A --totales file must say its format.
    void totalesSinFormato()
    {
        const Salida s = correr({base(), u"--totales="_s + m_carpeta + u"/t.txt"_s});
        QCOMPARE(s.codigo, 2);
        QVERIFY2(s.err.contains(u"--totales necesita un archivo .csv, .xlsx o .html"_s),
                 qPrintable(s.err));
    }

    // Dates take "-" and "." as the README says, as the box does.
    void fechasConGuionesYPuntos()
    {
        const Salida s = correr(
            {base(), u"--Fecha_Desde=01-10-2026"_s, u"--Fecha_Hasta=2.10.26"_s, u"--csv=-"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QVERIFY(s.out.contains(u"000100000001A"_s) && s.out.contains(u"000100000002A"_s));
        QVERIFY(!s.out.contains(u"000100000003A"_s));
    }

    // The lookup's list as a script gets it.
    void consultaEnCSV()
    {
        const Salida s = correr({base(), u"--consulta-comprobantes=oc"_s, u"--csv=-"_s});
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QCOMPARE(s.out,
                 u"Icono,FECHA,PROVEEDOR,COMPROBANTE,IMPORTE,COMENTARIOS\r\n"
                 u"Anulado,21/11/2026,P0042 Maderera El Ñandú,000100000804A,410000,Tablas de "
                 u"pino\r\n"
                 u"OCG,07/11/2026,210000003 Galvanizadora del Plata S.A.,000100000803A,0,"
                 u"Reposición en garantía\r\n"
                 u"OC,05/10/2026,210000001 Aceros del Paraná S.A.,000100000801A,2860000,"
                 u"Chapa SAE 1010 para noviembre\r\n"_s);
        QVERIFY(s.err.isEmpty());
    }

    // The dialog opened for another program: the operator's choice comes back
    // on one line, a cancel as nothing and status 1.
    void consultaElegida_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("salida");
        QTest::newRow("orden sin aprobar") << u"OC/SIN_APROBAR"_s << int(Qt::Key_Return) << 0
                                           << u"000100000802A\t0\t210000002\n"_s;
        QTest::newRow("factura") << u"FC"_s << int(Qt::Key_Return) << 0
                                 << u"000100000205A\t1\t\n"_s;
        QTest::newRow("cancelada") << u"FC"_s << int(Qt::Key_Escape) << 1 << QString();
    }
    void consultaElegida()
    {
        QFETCH(QString, clave);
        QFETCH(int, tecla);
        qputenv("RP_CARPETA_PROGRAMA", m_carpeta.toLocal8Bit());
        Componentes::ReiniciarParaPruebas();
        QTimer operador;
        connect(&operador, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<FrmConsComprobantes*>(QApplication::activeModalWidget());
            if (!d)
                return;
            operador.stop();
            d->ListView1.setSelectedRow(0);
            QTest::keyClick(d->ListView1Vista, Qt::Key(tecla));
        });
        operador.start(10);
        std::FILE* salida = std::tmpfile();
        ConsultaLinea::Opciones op;
        op.pares = QStringList{base()};
        op.clave = clave;
        QTEST(ConsultaLinea::Ejecutar(op, salida), "codigo");
        std::rewind(salida);
        QByteArray escrito(256, '\0');
        escrito.resize(qsizetype(std::fread(escrito.data(), 1, size_t(escrito.size()), salida)));
        std::fclose(salida);
        QTEST(QString::fromUtf8(escrito), "salida");
    }

    void fallasLimpias_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("opcion desconocida")
            << QStringList{u"--csv=x.csv"_s, u"--hasta=1"_s} << 2 << u"--hasta"_s;
        QTest::newRow("sin salida") << QStringList{u"--pendientes"_s} << 2 << u"falta una salida"_s;
        QTest::newRow("base que no existe")
            << QStringList{u"@DbName=/no/esta/base.db;"_s, u"--csv=-"_s} << 1
            << u"/no/esta/base.db"_s;
        QTest::newRow("origen ODBC que no existe")
            << QStringList{u"@DbName=origen_inexistente;"_s, u"--csv=-"_s} << 1 << u"ODBC"_s;
        QTest::newRow("separador desconocido")
            << QStringList{u"--separador=|"_s, u"--csv=-"_s} << 2 << u"--separador"_s;
        QTest::newRow("separador sin csv")
            << QStringList{u"--separador=;"_s, u"--xlsx=x.xlsx"_s} << 2 << u"--separador"_s;
        QTest::newRow("numeros al reves")
            << QStringList{u"--Sucursal_Desde=1"_s, u"--Nro_Desde=5"_s, u"--Sucursal_Hasta=1"_s,
                           u"--Nro_Hasta=3"_s, u"--csv=-"_s}
            << 1 << u"es mayor que el número hasta"_s;
        QTest::newRow("numero sin sucursal")
            << QStringList{u"--Nro_Desde=1"_s, u"--Nro_Hasta=10"_s, u"--csv=-"_s} << 1
            << u"Indique la sucursal del número desde"_s;
        QTest::newRow("fecha que no existe")
            << QStringList{u"--Fecha_Desde=31/02/2026"_s, u"--csv=-"_s} << 1 << u"31/02/2026"_s;
        QTest::newRow("carpeta que no existe")
            << QStringList{u"--csv=/no/hay/carpeta/r.csv"_s} << 1
            << QDir::toNativeSeparators(u"/no/hay/carpeta/r.csv"_s);
        QTest::newRow("dice lo ya escrito")
            << QStringList{u"--csv="_s + m_carpeta + u"/antes.csv"_s,
                           u"--xlsx=/no/hay/carpeta/r.xlsx"_s}
            << 1 << u"ya escritos: "_s + m_carpeta + u"/antes.csv"_s;
        QTest::newRow("consulta de un tipo desconocido")
            << QStringList{u"--consulta-comprobantes=XX"_s, u"--csv=-"_s} << 2 << u"\"XX\""_s;
        QTest::newRow("consulta pendiente sin filtro")
            << QStringList{u"--consulta-comprobantes=RM/PENDIENTES"_s, u"--csv=-"_s} << 2
            << u"necesita un filtro"_s;
        QTest::newRow("consulta con un filtro que la base rechaza")
            << QStringList{u"--consulta-comprobantes=FC"_s, u"--filtro=NO_HAY = 1"_s, u"--csv=-"_s}
            << 2 << u"NO_HAY"_s;
        QTest::newRow("filtro sin consulta")
            << QStringList{u"--filtro=1 = 1"_s, u"--csv=-"_s} << 2 << u"--filtro"_s;
        QTest::newRow("consulta sin pantalla")
            << QStringList{u"--consulta-comprobantes=FC"_s} << 2 << u"no hay pantalla"_s;
        QTest::newRow("consulta sin base")
            << QStringList{u"@DbName=/no/esta/base.db;"_s, u"--consulta-comprobantes=FC"_s,
                           u"--csv=-"_s}
            << 2 << u"/no/esta/base.db"_s;
    }
    void fallasLimpias()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, mensaje);
        if (sinPantallaBajoWine())
            QSKIP("bajo Wine todo programa tiene pantalla: el caso sin ella no se da");
        if (!argumentos.first().startsWith(u"@"_s))
            argumentos.prepend(base());
        const Salida s = correr(argumentos);
        QTEST(s.codigo, "codigo");
        const QStringList lineas = s.err.trimmed().split(u'\n');
        QCOMPARE(lineas.size(), 1);
        QVERIFY2(lineas.first().contains(mensaje), qPrintable(s.err));
        QVERIFY(s.out.isEmpty());
    }

    // The report window where there is no display to open it on (over ssh, a
    // closed session): one line that points at the command-line report, 2.
    void ventanaSinPantalla_data()
    {
        QTest::addColumn<QString>("pantalla");
        QTest::newRow("sin DISPLAY") << QString();
        // A display number no server answers on.
        int n = 87;
        while (QFile::exists(u"/tmp/.X11-unix/X%1"_s.arg(n)))
            ++n;
        QTest::newRow("DISPLAY que no responde") << u":%1"_s.arg(n);
    }
    void ventanaSinPantalla()
    {
        QFETCH(QString, pantalla);
#ifdef Q_OS_WIN
        QSKIP("bajo Wine todo programa tiene pantalla y DISPLAY no la quita: el caso no se da");
#endif
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, m_carpeta);
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        if (pantalla.isEmpty())
            env.remove(u"DISPLAY"_s);
        else
            env.insert(u"DISPLAY"_s, pantalla);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(RP_OPRODUCCION), {base()});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                 u"rp_oproduccion: no hay pantalla para abrir la ventana del reporte (--csv, "
                 u"--xlsx, --html o --pdf escriben el reporte sin ventana; --help explica el "
                 u"resto)\n"_s);
    }

    void cargosOpciones_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("valida");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("csv");

        QTest::newRow("cuenta") << QStringList{u"@DbName=x;"_s, u"--cargos-reales=O'B"_s} << true
                                << u"O'B"_s << QString();
        QTest::newRow("con csv") << QStringList{u"--CSV=-"_s, u"--Cargos-Reales=110000001"_s,
                                                u"@DbName=x;"_s}
                                 << true << u"110000001"_s << u"-"_s;
        QTest::newRow("sin valor")
            << QStringList{u"--cargos-reales"_s} << false << QString() << QString();
        QTest::newRow("csv sin valor")
            << QStringList{u"--cargos-reales=1"_s, u"--csv="_s} << false << QString() << QString();
        QTest::newRow("opcion del reporte")
            << QStringList{u"--cargos-reales=1"_s, u"--xlsx=a.xlsx"_s} << false << QString()
            << QString();
        QTest::newRow("dos cuentas") << QStringList{u"--cargos-reales=1"_s, u"--cargos-reales=2"_s}
                                     << false << QString() << QString();
    }

    void cargosOpciones()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, valida);
        QFETCH(QString, cuenta);
        QFETCH(QString, csv);
        if (!valida) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError, CargosLinea::Leer(argumentos));
            return;
        }
        const auto op = CargosLinea::Leer(argumentos);
        QVERIFY(op.has_value());
        QCOMPARE(op->cuenta, cuenta);
        QCOMPARE(op->csv, csv);
        QCOMPARE(op->pares, QStringList{u"@DbName=x;"_s});
        QVERIFY(!CargosLinea::Leer({u"@DbName=x;"_s, u"--csv=-"_s}).has_value());
    }

    void cargosCsv_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QStringList>("lineas"); // the first ones written
        QTest::addColumn<QString>("error");

        const QString encabezado = u"Fecha,Matricula,Concepto,Importe Pendiente,Observaciones"_s;
        QTest::newRow("lista")
            << QStringList{u"--cargos-reales=110000001"_s, u"--csv=-"_s} << 0
            << QStringList{u"110000001 Metalúrgica San Martín S.A."_s,
                           encabezado,
                           u"05/10/2026,AB123CD,Flete a obra,45000,Sin aplicar"_s,
                           u"03/11/2026,AC456EF,Grúa para descarga,60000,"
                           u"Aplicado en parte"_s,
                           u"20/11/2026,AC456EF,Estadía de camión,25000,"_s,
                           QString()}
            << QString();
        QTest::newRow("sin cargos")
            << QStringList{u"--cargos-reales=110000002"_s, u"--csv=-"_s} << 0
            << QStringList{u"110000002 Carpintería Los Álamos S.R.L."_s, encabezado, QString()}
            << QString();
        QTest::newRow("apostrofo")
            << QStringList{u"--cargos-reales=O'BRIEN"_s, u"--csv=-"_s} << 0
            << QStringList{u"O'BRIEN "_s, encabezado, QString()} << QString();
        QTest::newRow("base que no existe")
            << QStringList{u"@DbName=/no/existe/base.db;"_s, u"--cargos-reales=1"_s, u"--csv=-"_s}
            << 2 << QStringList{QString()} << u"rp_oproduccion: no se pudo iniciar la sesión"_s;
        QTest::newRow("sin pantalla para la ventana")
            << QStringList{u"--cargos-reales=110000001"_s} << 2 << QStringList{QString()}
            << u"rp_oproduccion: no hay pantalla para abrir el control de cargos reales"_s;
        QTest::newRow("opcion ajena")
            << QStringList{u"--cargos-reales=1"_s, u"--pdf=a.pdf"_s} << 2 << QStringList{QString()}
            << u"rp_oproduccion: con --cargos-reales solo vale --csv"_s;
    }

    void cargosCsv()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QStringList, lineas);
        QFETCH(QString, error);
        if (sinPantallaBajoWine())
            QSKIP("bajo Wine todo programa tiene pantalla: el caso sin ella no se da");

        if (!argumentos.first().startsWith(u'@'))
            argumentos.prepend(base());
        const Salida s = correr(argumentos);
        QCOMPARE(s.codigo, codigo);
        QCOMPARE(s.out.split(u"\r\n"_s).mid(0, lineas.size()), lineas);
        QCOMPARE(s.err.count(u'\n'), error.isEmpty() ? 0 : 1);
        QVERIFY2(s.err.startsWith(error), qPrintable(s.err));
    }

    // --cargos-reales: the dialog itself, answered once it is up: the exit status and the lines.
    void cargosVentana_data()
    {
        QTest::addColumn<QList<int>>("marcadas");
        QTest::addColumn<bool>("acepta");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("texto");

        QTest::newRow("acepta") << QList<int>{0, 2} << true << 0 << u"1\t45000\n4\t25000\n"_s;
        QTest::newRow("acepta sin marcar") << QList<int>() << true << 0 << QString();
        QTest::newRow("cierra") << QList<int>{0} << false << 1 << QString();
    }

    void cargosVentana()
    {
        QFETCH(QList<int>, marcadas);
        QFETCH(bool, acepta);
        QFETCH(int, codigo);
        QFETCH(QString, texto);
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        CargosSeleccionados().clear();

        QTimer reloj;
        connect(&reloj, &QTimer::timeout, this, [&] {
            auto* dialogo = qobject_cast<FrmCtrlCargosReales*>(QApplication::activeModalWidget());
            if (!dialogo)
                return;
            reloj.stop();
            for (int r : marcadas)
                dialogo->ListView1.setChecked(r, true);
            if (acepta)
                QTest::keyClick(dialogo, Qt::Key_Escape);
            else
                dialogo->close();
        });
        reloj.start(10);
        QCOMPARE(CargosLinea::Ejecutar({{base()}, u"110000001"_s, {}}), codigo);
        QCOMPARE(CargosLinea::TextoCargos(CargosSeleccionados()), texto);
        QCOMPARE(CargosSeleccionados().empty(), !acepta);
    }
};

QTEST_MAIN(TstLinea)
#include "tst_linea.moc"
