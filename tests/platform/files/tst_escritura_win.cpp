#include "Soporte.h"

#include "platform/files/FileCommit.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QtTest>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

using namespace Qt::StringLiterals;

// Windows' side of complete-or-nothing writes: what takes the earlier file's
// place, what is refused (a read-only file, one another program holds without
// sharing, a program's own file through a link), and that a write given up
// leaves nothing behind.
class TstEscrituraWin : public QObject
{
    Q_OBJECT

    QString m_carpeta;

    static std::wstring nativo(const QString& ruta)
    {
        return QDir::toNativeSeparators(ruta).toStdWString();
    }
    // The folder's names, the temporaries (hidden) included.
    QStringList nombres() const
    {
        return QDir(m_carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

private slots:
    void initTestCase() { m_carpeta = soporte::carpetaNueva(u"escritura_win"_s); }
    void init()
    {
        for (const QString& n : nombres()) {
            SetFileAttributesW(nativo(m_carpeta + u'/' + n).c_str(), FILE_ATTRIBUTE_NORMAL);
            QFile::remove(m_carpeta + u'/' + n);
        }
    }

    void reemplazo_data()
    {
        QTest::addColumn<QString>("estado");   // of the earlier file
        QTest::addColumn<QString>("mensaje");  // empty: written
        QTest::newRow("nuevo") << u"ausente"_s << QString();
        QTest::newRow("reemplazado") << u"comun"_s << QString();
        QTest::newRow("solo lectura") << u"solo lectura"_s << u"está marcado como de solo lectura"_s;
        QTest::newRow("en uso") << u"en uso"_s << u"el archivo está en uso"_s;
    }
    void reemplazo()
    {
        QFETCH(QString, estado);
        QFETCH(QString, mensaje);
        const QString archivo = m_carpeta + u"/informe.csv"_s;
        if (estado != u"ausente")
            QVERIFY(soporte::escribirArchivo(archivo, "anterior"));
        if (estado == u"solo lectura")
            QVERIFY(SetFileAttributesW(nativo(archivo).c_str(), FILE_ATTRIBUTE_READONLY));
        // The operator's spreadsheet holds a file it opened this way.
        HANDLE abierto = estado == u"en uso"
                             ? CreateFileW(nativo(archivo).c_str(), GENERIC_READ, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        QString error;
        try {
            fileCommit::Output salida(archivo);
            salida.begin();
            salida.write("nuevo;contenido\n");
            salida.commit();
        } catch (const RuntimeError& e) {
            error = e.description();
        }
        if (abierto != INVALID_HANDLE_VALUE)
            CloseHandle(abierto);
        SetFileAttributesW(nativo(archivo).c_str(), FILE_ATTRIBUTE_NORMAL);
        QVERIFY2(mensaje.isEmpty() ? error.isEmpty() : error.contains(mensaje), qPrintable(error));
        QCOMPARE(soporte::leerArchivo(archivo),
                 mensaje.isEmpty() ? QByteArray("nuevo;contenido\n") : QByteArray("anterior"));
        QCOMPARE(nombres(), QStringList{u"informe.csv"_s});
    }

    // Given up before its commit (a failure, a stop): nothing is left, and the
    // earlier file stays; a new file takes the first free name.
    void abandonoYNombresLibres()
    {
        const QString archivo = m_carpeta + u"/libro.xlsx"_s;
        QVERIFY(soporte::escribirArchivo(archivo, "anterior"));
        {
            fileCommit::Output salida(archivo);
            salida.begin();
            salida.write("a medias");
        }
        QCOMPARE(nombres(), QStringList{u"libro.xlsx"_s});
        QCOMPARE(soporte::leerArchivo(archivo), QByteArray("anterior"));
        fileCommit::Output nuevo(fileCommit::NewFileIn{m_carpeta, u"libro"_s, u"xlsx"_s});
        nuevo.begin();
        nuevo.write("otro");
        QCOMPARE(QFileInfo(nuevo.commit()).fileName(), u"libro-2.xlsx"_s);
        QCOMPARE(nombres(), (QStringList{u"libro-2.xlsx"_s, u"libro.xlsx"_s}));
    }

    // Another name of the same file has its identity, so two outputs into it
    // are refused: another spelling, or the standard output sent to it.
    void identidad_data()
    {
        QTest::addColumn<QString>("otro");
        QTest::newRow("otra forma") << u"sub/../INFORME.CSV"_s;
        QTest::newRow("salida estándar") << u"-"_s;
    }
    void identidad()
    {
        QFETCH(QString, otro);
        const QString archivo = m_carpeta + u"/informe.csv"_s;
        QVERIFY(soporte::escribirArchivo(archivo, "anterior"));
        // As "> informe.csv" leaves it.
        const int guardada = _dup(1);
        const int abierto = _wopen(nativo(archivo).c_str(), _O_WRONLY | _O_BINARY);
        const bool enviada = guardada >= 0 && abierto >= 0 && _dup2(abierto, 1) == 0;
        const QString esperada = fileCommit::identity(archivo);
        const QString hallada = fileCommit::identity(otro == u"-" ? otro : m_carpeta + u'/' + otro);
        _dup2(guardada, 1);
        _close(guardada);
        _close(abierto);
        QVERIFY(enviada && !esperada.isEmpty());
        QCOMPARE(hallada, esperada);
    }

    // A program's own file planted as a link: refused, the file it names untouched.
    void propioPorEnlace()
    {
        const QString ajeno = m_carpeta + u"/ajeno.ini"_s, propio = m_carpeta + u"/QX000LT.INI"_s;
        QVERIFY(soporte::escribirArchivo(ajeno, "ajeno"));
        // Windows asks for a privilege (or developer mode); Wine answers yes
        // and makes no link.
        const bool creado = CreateSymbolicLinkW(nativo(propio).c_str(), nativo(ajeno).c_str(), 0);
        const DWORD atributos = GetFileAttributesW(nativo(propio).c_str());
        if (!creado || atributos == INVALID_FILE_ATTRIBUTES ||
            !(atributos & FILE_ATTRIBUTE_REPARSE_POINT))
            QSKIP("este sistema no crea enlaces simbólicos para este usuario");
        bool rechazado = false;
        try {
            fileCommit::Output salida(fileCommit::OwnFile{propio});
            salida.begin();
            salida.write("escrito");
            salida.commit();
        } catch (const RuntimeError& e) {
            rechazado = fileCommit::refusedLink(e);
        }
        QVERIFY(rechazado);
        QCOMPARE(soporte::leerArchivo(ajeno), QByteArray("ajeno"));
    }
};

QTEST_GUILESS_MAIN(TstEscrituraWin)
#include "tst_escritura_win.moc"
