#include "Soporte.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// The console's events reach this program too: it stays.
BOOL WINAPI seQueda(DWORD)
{
    return TRUE;
}

} // namespace

// Windows' side of stopping the command-line report from its console: Ctrl+C
// and Ctrl+Break in the middle of a file, sent through the console the
// program shares with this test, on a database big enough for the event to
// come while a file is being written.
class TstLineaConsola : public QObject
{
    Q_OBJECT

    QString m_base;

private slots:
    void initTestCase()
    {
        m_base = soporte::carpetaNueva(u"consola"_s) + u"/grande.db"_s;
        soporte::crearBaseGenerada(m_base, 3000);
        // A console of its own, which the program is started in; the test's
        // output keeps going where it went.
        const HANDLE salida = GetStdHandle(STD_OUTPUT_HANDLE);
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        FreeConsole();
        QVERIFY(AllocConsole());
        SetStdHandle(STD_OUTPUT_HANDLE, salida);
        SetStdHandle(STD_ERROR_HANDLE, error);
        SetConsoleCtrlHandler(seQueda, TRUE);
    }

    // The temporary file goes, the files already complete stay, one line
    // says what was interrupted and what was complete, and the run ends with
    // the code a console gives a program stopped by Ctrl+C.
    void evento_data()
    {
        QTest::addColumn<int>("evento");
        QTest::addColumn<QString>("salida"); // the file being written
        QTest::addColumn<QString>("nombre");
        QTest::newRow("Ctrl+C en el libro") << int(CTRL_C_EVENT) << u"r.xlsx"_s << u"Ctrl+C"_s;
        QTest::newRow("Ctrl+C en el PDF") << int(CTRL_C_EVENT) << u"r.pdf"_s << u"Ctrl+C"_s;
        QTest::newRow("Ctrl+Break en el libro")
            << int(CTRL_BREAK_EVENT) << u"r.xlsx"_s << u"Ctrl+Break"_s;
    }
    void evento()
    {
        QFETCH(int, evento);
        QFETCH(QString, salida);
        QFETCH(QString, nombre);
        const QString d = soporte::carpetaNueva(u"evento"_s);
        const QString temporal = soporte::carpetaNueva(u"evento_tmp"_s);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, soporte::carpetaNueva(u"evento_programa"_s));
        env.insert(u"TMP"_s, QDir::toNativeSeparators(temporal));
        env.insert(u"TEMP"_s, QDir::toNativeSeparators(temporal));
        p.setProcessEnvironment(env);
        // Qt starts a program without a console when its own has no window
        // (a console without one, as here): the program must share this one.
        p.setCreateProcessArgumentsModifier(
            [](QProcess::CreateProcessArguments* a) { a->flags &= ~DWORD(CREATE_NO_WINDOW); });
        p.start(QStringLiteral(RP_OPRODUCCION),
                {u"@DbName="_s + m_base + u';', u"--csv="_s + d + u"/r.csv"_s,
                 (salida.endsWith(u".pdf"_s) ? u"--pdf="_s : u"--xlsx="_s) + d + u'/' + salida});
        QVERIFY(p.waitForStarted());
        // The CSV is complete and the hidden temporary of the next file is there.
        const auto queda = [&d] {
            return QDir(d).entryList(QDir::Files | QDir::Hidden | QDir::System);
        };
        QElapsedTimer reloj;
        reloj.start();
        while (p.state() == QProcess::Running && queda().size() < 2 && reloj.elapsed() < 60000)
            QTest::qWait(5);
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable(u"el programa terminó antes del evento: "_s +
                            QString::fromUtf8(p.readAllStandardError())));
        if (!GenerateConsoleCtrlEvent(DWORD(evento), 0)) {
            const DWORD causa = GetLastError();
            p.kill();
            p.waitForFinished();
            // Wine's console sends Ctrl+C alone.
            QSKIP(qPrintable(
                u"esta consola no genera %1 (error %2 de GenerateConsoleCtrlEvent)"_s.arg(nombre)
                    .arg(causa)));
        }
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(DWORD(p.exitCode()), DWORD(STATUS_CONTROL_C_EXIT));
        QCOMPARE(queda(), QStringList{u"r.csv"_s});
        QCOMPARE(QDir(temporal).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(),
                 u"rp_oproduccion: interrumpido por %1 mientras escribía \"%2\"; ya escritos "
                 "(completos): %3/r.csv"_s.arg(nombre, d + u'/' + salida, d));
    }
};

QTEST_GUILESS_MAIN(TstLineaConsola)
#include "tst_linea_consola.moc"
