#include "BaseDatos.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "report/RP_OProduccion.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The report window when its database fails under it: a server that is not
// there, a connection cut or a statement cancelled in the middle of "Cargar",
// an SQLite file another program holds locked or that may not be written.
// Each time the operator gets a message that says so, the window takes
// commands again, the grid keeps what was loaded and no file is said to be
// written that was not.
class TstFallosBase : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    QString m_sqlite;
    QString m_dsn;      // the server's database for this program
    QString m_dsnCaido; // the same, on a port where no server listens
    QStringList m_mensajes;
    std::unique_ptr<RP_OProduccion> m_ventana;
    soporte::EscritorioDePrueba* m_escritorio = nullptr;

    // A loopback port that was free a moment ago: the system's choice for a
    // socket bound to port 0.
    static int puertoLibre()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in direccion{};
        direccion.sin_family = AF_INET;
        direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t largo = sizeof direccion;
        int puerto = -1;
        if (::bind(s, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion) == 0 &&
            ::getsockname(s, reinterpret_cast<sockaddr*>(&direccion), &largo) == 0)
            puerto = ntohs(direccion.sin_port);
        ::close(s);
        return puerto;
    }

    // Connects to a second, healthy session of the server.
    static QSqlDatabase otraSesion(const QString& dsn)
    {
        return soporte::abrirPostgres(u"otra_sesion"_s, dsn);
    }

    void abrir(const QString& base, const QString& extra = {})
    {
        m_ventana = std::make_unique<RP_OProduccion>();
        m_ventana->TerminarPrograma = [](int) {};
        QCOMPARE(m_ventana->Form_Load(u"@DbName="_s + base + u";"_s + extra),
                 ModGlobal::Inicio::Seguir);
        m_ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ventana.get()));
    }
    void abrirPostgres(const QString& dsn)
    {
        abrir(dsn, u"@Usuario="_s + soporte::usuarioPostgres() + u";@Password="_s +
                       soporte::clavePostgres() + u";"_s);
    }

    void filtrar(const QString& desde, const QString& hasta)
    {
        const QList<int> cajas = {0, 1, 2, 3, 4, 5};
        for (const int i : cajas)
            m_ventana->txtFields.at(i)->clear();
        if (desde.isEmpty())
            return;
        m_ventana->txtFields.at(0)->setText(desde.left(4));
        m_ventana->txtFields.at(1)->setText(desde.mid(4, 8));
        m_ventana->txtFields.at(2)->setText(desde.mid(12));
        m_ventana->txtFields.at(3)->setText(hasta.left(4));
        m_ventana->txtFields.at(4)->setText(hasta.mid(4, 8));
        m_ventana->txtFields.at(5)->setText(hasta.mid(12));
    }

    int lineasEnGrilla() const
    {
        int lineas = 0;
        for (int r = 1; r < m_ventana->MSFlexGrid1.rows(); ++r)
            lineas += !m_ventana->MSFlexGrid1.text(r, 1).isEmpty();
        return lineas;
    }

    // The window takes commands again.
    void libre()
    {
        RP_OProduccion& v = *m_ventana;
        QVERIFY(v.isVisible());
        QVERIFY(!v.Ocupada());
        QVERIFY(!Componentes::Progreso().Visible());
        for (QWidget* w : std::initializer_list<QWidget*>{v.CmdCargar, v.CmdExcel, v.CmdSalir,
                                                          v.txtFields.at(0), v.txtFields.at(9)})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    }

    // One message, saying what `motivo` says; the status line does not claim
    // a load that failed.
    void unMensaje(const QString& motivo)
    {
        QVERIFY2(m_mensajes.size() == 1, qPrintable(m_mensajes.join(u"\n---\n"_s)));
        QVERIFY2(m_mensajes.first().contains(motivo, Qt::CaseInsensitive),
                 qPrintable(m_mensajes.first()));
        QVERIFY(m_ventana->LblEstado->isHidden() || m_ventana->LblEstado->text().isEmpty());
        m_mensajes.clear();
    }

    // "Cargar" on the first order of the demonstration data: its two lines
    // come, without a message.
    void cargaSana()
    {
        filtrar(u"000100000001A"_s, u"000100000001A"_s);
        m_ventana->CmdCargar->click();
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        QCOMPARE(lineasEnGrilla(), 2);
        QVERIFY2(m_ventana->LblEstado->text().startsWith(u"Órdenes: 1 "_s),
                 qPrintable(m_ventana->LblEstado->text()));
    }

    // "Exportar Excel": either the workbook is there, complete, and was
    // handed to the desktop, or a message came and nothing was left behind.
    void exportarSinMentir(const QString& carpeta)
    {
        m_escritorio->abiertos.clear();
        m_ventana->CmdExcel->click();
        const QStringList archivos = QDir(carpeta).entryList(QDir::Files);
        if (m_mensajes.isEmpty()) {
            QCOMPARE(archivos.size(), 1);
            QCOMPARE(m_escritorio->abiertos, QStringList{carpeta + u'/' + archivos.first()});
            QVERIFY(QFileInfo(m_escritorio->abiertos.first()).size() > 0);
        } else {
            QVERIFY2(archivos.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
            QCOMPARE(m_escritorio->abiertos, QStringList());
        }
        m_mensajes.clear();
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaParaTodos(u"fallos"_s);
        qputenv("RP_CARPETA_PROGRAMA", m_carpeta.toLocal8Bit());
        m_sqlite = m_carpeta + u"/demo.db"_s;
        soporte::crearBaseDemo(m_sqlite);
        auto escritorio = std::make_unique<soporte::EscritorioDePrueba>();
        m_escritorio = escritorio.get();
        DesktopOpener::setInstance(std::move(escritorio));
        PrintPreview::setPresenter([](const Worksheet&) {});
        if (!soporte::hayPostgres())
            return;
        m_dsn = soporte::postgresPropio(u"rp_fallos"_s);
        soporte::crearBaseDemoPostgres(m_dsn);
        // The same source on a port nobody listens on: a server that is down.
        const int puerto = puertoLibre();
        QVERIFY(puerto > 0);
        QFile ini(qEnvironmentVariable("ODBCINI"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QString texto = QString::fromUtf8(ini.readAll());
        ini.close();
        QString caida = texto.mid(texto.lastIndexOf(u'['));
        m_dsnCaido = u"rp_fallos_caido"_s;
        caida.replace(u'[' + m_dsn + u']', u'[' + m_dsnCaido + u']');
        static const QRegularExpression lineaPuerto(u"(?m)^Port\\s*=.*$"_s);
        caida.replace(lineaPuerto, u"Port = "_s + QString::number(puerto));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write((u"\n"_s + caida).toUtf8());
    }

    void init()
    {
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        m_mensajes.clear();
        Componentes::General().setMensajero([this](const QString& m) { m_mensajes << m; });
        Componentes::General().setPresentador(
            [](const RuntimeError&, const QString&) { return 3; });
    }
    void cleanup() { m_ventana.reset(); }

    void postgres_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("servidor detenido antes de empezar") << u"detenido"_s;
        QTest::newRow("conexion cortada durante la carga") << u"cortada"_s;
        QTest::newRow("sentencia cancelada por el servidor") << u"cancelada"_s;
    }
    void postgres()
    {
        QFETCH(QString, caso);
        if (m_dsn.isEmpty())
            QSKIP("sin servidor PostgreSQL de prueba");
        const QString exportados = soporte::carpetaNueva(u"exportados_"_s + caso);
        qputenv("RP_CARPETA_EXPORTACION", exportados.toLocal8Bit());

        if (caso == u"detenido") {
            abrirPostgres(m_dsnCaido);
            unMensaje(u"connect"_s);
            libre();
            m_ventana->CmdCargar->click();
            unMensaje(u"conexión"_s);
            libre();
            QCOMPARE(lineasEnGrilla(), 0);
            QCOMPARE(m_ventana->MSFlexGrid1.cols(), 8);
            QCOMPARE(m_ventana->MSFlexGrid1.text(0, 1), u"Nro OP"_s);
            exportarSinMentir(exportados);
            // The command-line report fails as a whole and names no file.
            const soporte::Salida salida = soporte::correrPrograma(
                QStringLiteral(RP_OPRODUCCION),
                {u"@DbName="_s + m_dsnCaido + u";@Usuario="_s + soporte::usuarioPostgres() +
                     u";@Password="_s + soporte::clavePostgres() + u";"_s,
                 u"--csv="_s + exportados + u"/r.csv"_s, u"--xlsx="_s + exportados + u"/r.xlsx"_s},
                m_carpeta);
            QCOMPARE(salida.codigo, 1);
            // The driver's words, in the operator's language or in English.
            static const QRegularExpression conexion(u"connect|conexi"_s,
                                                     QRegularExpression::CaseInsensitiveOption);
            QVERIFY2(salida.err.contains(conexion) && !salida.err.contains(u"r.csv"_s) &&
                         !salida.err.contains(u"r.xlsx"_s),
                     qPrintable(salida.err));
            QVERIFY(!QFile::exists(exportados + u"/r.csv"_s));
            QVERIFY(!QFile::exists(exportados + u"/r.xlsx"_s));
            return;
        }

        abrirPostgres(m_dsn);
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        QSqlDatabase otra = otraSesion(m_dsn);
        QSqlQuery sesion(otra);
        if (caso == u"cortada") {
            // The load's first statement waits behind this session's lock and
            // its connection is cut there, whichever connection the load runs on.
            QVERIFY(sesion.exec(u"BEGIN"_s));
            QVERIFY(sesion.exec(u"LOCK TABLE MV_CPTE IN ACCESS EXCLUSIVE MODE"_s));
            bool cortada = false;
            QTimer corte;
            connect(&corte, &QTimer::timeout, this, [&] {
                QSqlQuery q(otra);
                // Inside the locking transaction the view keeps its first
                // look unless told: on a busy machine the load's backend
                // starts waiting after that look.
                q.exec(u"SELECT pg_stat_clear_snapshot()"_s);
                if (q.exec(u"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                           "wait_event_type = 'Lock' AND datname = current_database() AND "
                           "pid <> pg_backend_pid()"_s) &&
                    q.next()) {
                    cortada = q.value(0).toBool();
                    corte.stop();
                    q.finish();
                    sesion.exec(u"ROLLBACK"_s);
                }
            });
            corte.start(20);
            filtrar({}, {});
            m_ventana->CmdCargar->click();
            corte.stop();
            QVERIFY(cortada);
            unMensaje(u"se perdió la conexión"_s);
            libre();
            QCOMPARE(lineasEnGrilla(), 0);
            exportarSinMentir(exportados);
        } else {
            // Another session holds the orders locked past the command time-out.
            Componentes::Datos().Conexion().setCommandTimeout(1);
            QVERIFY(sesion.exec(u"BEGIN"_s));
            QVERIFY(sesion.exec(u"LOCK TABLE MV_CPTE IN ACCESS EXCLUSIVE MODE"_s));
            m_ventana->CmdCargar->click();
            QVERIFY(sesion.exec(u"ROLLBACK"_s));
            unMensaje(u"cancel"_s);
            libre();
            QCOMPARE(lineasEnGrilla(), 0);
        }
        sesion = QSqlQuery();
        otra.close();
        otra = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"otra_sesion"_s);
        cargaSana();
    }

    // A server that stops answering (its backend stopped while the load's
    // statement waits): the server's time-out never comes, and the
    // command-line report ends by its own limit with one line and status 1,
    // writing nothing.
    void servidorCallado()
    {
        if (m_dsn.isEmpty())
            QSKIP("sin servidor PostgreSQL de prueba");
        const QString exportados = soporte::carpetaNueva(u"callado"_s);
        QSqlDatabase otra = otraSesion(m_dsn);
        {
            QSqlQuery sesion(otra);
            QVERIFY(sesion.exec(u"BEGIN"_s));
            QVERIFY(sesion.exec(u"LOCK TABLE MV_CPTE IN ACCESS EXCLUSIVE MODE"_s));
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"RP_CARPETA_PROGRAMA"_s, m_carpeta);
            env.insert(u"RP_ESPERA_SERVIDOR"_s, u"3"_s);
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(RP_OPRODUCCION),
                    {u"@DbName="_s + m_dsn + u";@Usuario="_s + soporte::usuarioPostgres() +
                         u";@Password="_s + soporte::clavePostgres() + u";"_s,
                     u"--csv="_s + exportados + u"/r.csv"_s});
            qint64 detenido = 0;
            for (int i = 0; i < 400 && !detenido && p.state() != QProcess::NotRunning; ++i) {
                QSqlQuery q(otra);
                // Inside the locking transaction the view keeps its first look unless told.
                q.exec(u"SELECT pg_stat_clear_snapshot()"_s);
                if (q.exec(u"SELECT pid FROM pg_stat_activity WHERE wait_event_type = 'Lock' "
                           "AND datname = current_database() AND pid <> pg_backend_pid()"_s) &&
                    q.next())
                    detenido = q.value(0).toLongLong();
                else
                    QTest::qWait(25);
            }
            QVERIFY2(detenido > 0, p.readAllStandardError().constData());
            QCOMPARE(::kill(pid_t(detenido), SIGSTOP), 0);
            QVERIFY(sesion.exec(u"ROLLBACK"_s));
            const bool termino = p.waitForFinished(60000);
            ::kill(pid_t(detenido), SIGCONT);
            QSqlQuery(otra).exec(u"SELECT pg_terminate_backend(%1)"_s.arg(detenido));
            QVERIFY(termino);
            QCOMPARE(p.exitCode(), 1);
            const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
            QVERIFY2(err.contains(u"no respondió en 3 s"_s) && !err.contains(u'\n'),
                     qPrintable(err));
            QCOMPARE(QDir(exportados).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList());
        }
        otra.close();
        otra = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"otra_sesion"_s);
    }

    void sqlite_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("base bloqueada por otro programa") << u"bloqueada"_s;
        QTest::newRow("base de solo lectura") << u"solo lectura"_s;
    }
    void sqlite()
    {
        QFETCH(QString, caso);
        const QString exportados = soporte::carpetaNueva(u"exportados_sqlite"_s);
        qputenv("RP_CARPETA_EXPORTACION", exportados.toLocal8Bit());
        const QString copia = soporte::carpetaParaTodos(u"copia"_s) + u"/demo.db"_s;
        QVERIFY(QFile::copy(m_sqlite, copia));

        if (caso == u"bloqueada") {
            abrir(copia);
            QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
            Componentes::Datos().Conexion().setCommandTimeout(1);
            {
                QSqlDatabase otro = basedatos::abrirSqlite(copia, u"otro_programa"_s, false);
                QSqlQuery traba(otro);
                QVERIFY(traba.exec(u"BEGIN EXCLUSIVE"_s));
                m_ventana->CmdCargar->click();
                QVERIFY(traba.exec(u"ROLLBACK"_s));
            }
            QSqlDatabase::removeDatabase(u"otro_programa"_s);
            unMensaje(u"en uso por otro programa"_s);
            libre();
            QCOMPARE(lineasEnGrilla(), 0);
            cargaSana();
            return;
        }

        // Read-only: its mode says so, and as root (whom modes do not stop)
        // the window opens the file as another user would.
        const QByteArray archivo = QFile::encodeName(copia);
        const QByteArray carpeta = QFile::encodeName(QFileInfo(copia).path());
        QCOMPARE(::chmod(archivo.constData(), 0444), 0);
        QCOMPARE(::chmod(carpeta.constData(), 0555), 0);
        QCOMPARE(::chmod(QFile::encodeName(m_carpeta).constData(), 0777), 0);
        const QString log = m_carpeta + u"/QNErr.log"_s;
        QFile::remove(log);
        const bool root = ::geteuid() == 0;
        if (root)
            QCOMPARE(::seteuid(65534), 0);
        abrir(copia);
        if (root)
            QCOMPARE(::seteuid(0), 0);
        // The access-log row is the only write, and goes to the error log.
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        QFile registro(log);
        QVERIFY(registro.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(registro.readAll());
        QVERIFY2(texto.contains(u"readonly"_s), qPrintable(texto));
        libre();
        cargaSana();
        exportarSinMentir(exportados);
        QCOMPARE(::chmod(carpeta.constData(), 0755), 0);
    }

    void cleanupTestCase()
    {
        DesktopOpener::setInstance(nullptr);
        PrintPreview::setPresenter({});
    }
};

QTEST_MAIN(TstFallosBase)
#include "tst_fallos_base.moc"
