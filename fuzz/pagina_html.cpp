// The HTML page of a grid: every cell text written into the page.
//
// Input: the title on the first line, the name the page shows on the second,
// the highlighted cells on the third (one byte per cell, row by row: odd is
// highlighted; its first byte also picks the current column), then the cells:
// rows separated by 0x1E, cells by 0x1F (so a cell may hold line breaks,
// tabs and any other character), each UTF-8 or, after 0xFF, UTF-16. The page is written to a real
// file and read back by a reader written apart: the page's fixed markup must stand exactly where it
// belongs, all of it ASCII, and the text between the tags must hold no "<" or ">" and no "&" that
// does not start an entity; decoded, each text must be the one the grid holds.

#include "Fuzz.h"

#include "export/ModExportarExcel.h"
#include "platform/controls/GridModel.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/PrintableText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The page is made durable (fsync) on every run: in memory that costs
// nothing, on a disk it would be most of the run's time.
QTemporaryDir& carpeta()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_pagina_html-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_pagina_html-XXXXXX"));
    return dir;
}

class Lector
{
public:
    explicit Lector(QByteArray pagina) : m_p(std::move(pagina)) {}

    void marca(const QByteArray& esperada, const QString& donde)
    {
        fuzz::exigir(m_p.mid(m_i, esperada.size()) == esperada,
                     QStringLiteral("%1: se esperaba «%2», hay «%3»")
                         .arg(donde, QString::fromLatin1(esperada),
                              QString::fromLatin1(m_p.mid(m_i, esperada.size() + 20))));
        m_i += esperada.size();
    }
    bool sigue(const QByteArray& marca) const { return m_p.mid(m_i, marca.size()) == marca; }
    bool alFinal() const { return m_i == m_p.size(); }

    // The text up to the next tag (or the end), raw.
    QByteArray crudo(char fin = '<')
    {
        const qsizetype hasta = m_p.indexOf(fin, m_i);
        const QByteArray t = m_p.mid(m_i, (hasta < 0 ? m_p.size() : hasta) - m_i);
        m_i += t.size();
        return t;
    }

    // A raw text decoded: every "&" must start an entity; "<", ">" and any
    // byte beyond ASCII must not appear.
    static QString decodificar(const QByteArray& t, const QString& donde)
    {
        QString out;
        for (qsizetype i = 0; i < t.size(); ++i) {
            const char c = t[i];
            fuzz::exigir(static_cast<unsigned char>(c) < 0x80,
                         donde + QStringLiteral(": byte fuera de ASCII en el texto"));
            fuzz::exigir(c != '<' && c != '>', donde + QStringLiteral(": «<» o «>» sin escapar"));
            if (c != '&') {
                out += QLatin1Char(c);
                continue;
            }
            const qsizetype fin = t.indexOf(';', i);
            fuzz::exigir(fin > i, donde + QStringLiteral(": «&» sin entidad"));
            const QByteArray ent = t.mid(i + 1, fin - i - 1);
            if (ent == "amp")
                out += u'&';
            else if (ent == "lt")
                out += u'<';
            else if (ent == "gt")
                out += u'>';
            else if (ent == "quot")
                out += u'"';
            else if (ent == "nbsp")
                out += QChar(0xA0);
            else {
                bool ok = false;
                const uint punto = ent.startsWith('#') ? ent.mid(1).toUInt(&ok) : 0;
                fuzz::exigir(ok && ent.size() > 1 && ent[1] >= '0' && ent[1] <= '9',
                             donde + QStringLiteral(": entidad desconocida &") +
                                 QString::fromLatin1(ent));
                fuzz::exigir(
                    punto > 0 && punto <= 0x10FFFF && (punto < 0xD800 || punto > 0xDFFF),
                    donde +
                        QStringLiteral(": referencia a un carácter que no existe: %1").arg(punto));
                if (QChar::requiresSurrogates(punto))
                    out += QChar(QChar::highSurrogate(punto)) + QChar(QChar::lowSurrogate(punto));
                else
                    out += QChar(static_cast<char16_t>(punto));
            }
            i = fin;
        }
        return out;
    }

private:
    QByteArray m_p;
    qsizetype m_i = 0;
};

// A cell's text: UTF-8, or after a 0xFF byte UTF-16 code units as they come
// (a server's wide text may hold a surrogate without its pair).
QString texto(const QByteArray& b)
{
    if (!b.startsWith('\xff'))
        return QString::fromUtf8(b);
    QString s;
    for (qsizetype i = 1; i + 1 < b.size(); i += 2)
        s += QChar(static_cast<char16_t>(static_cast<uint8_t>(b[i]) | static_cast<uint8_t>(b[i + 1])
                                                                          << 8));
    return s;
}

// What a page shows of a text: printableText's, half a surrogate pair as
// the replacement character.
QString mostrado(const QString& t)
{
    QString s = printableText(t);
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

void exigirTexto(const QString& leido, const QString& esperado, const QString& donde)
{
    fuzz::exigir(
        leido == esperado,
        QStringLiteral("%1: se lee «%2», la grilla tiene «%3»").arg(donde, leido, esperado));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    (void)carpeta();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QList<QByteArray> c = fuzz::campos(datos, tam, 3);
    const QString titulo = QString::fromUtf8(c[0]);
    const QString nombre = QString::fromUtf8(c[1]);
    const QByteArray resaltes = c[2];
    QList<QStringList> celdas;
    for (const QByteArray& fila : c[3].split('\x1e').mid(0, 12)) {
        QStringList textos;
        for (const QByteArray& celda : fila.split('\x1f').mid(0, 8))
            textos << texto(celda);
        celdas << textos;
    }
    int columnas = 1;
    for (const QStringList& f : celdas)
        columnas = std::max(columnas, static_cast<int>(f.size()));
    const int filas = static_cast<int>(celdas.size());

    GridModel grilla;
    grilla.setFixedCols(0);
    grilla.setRows(filas);
    grilla.setCols(columnas);
    for (int r = 0; r < filas; ++r)
        for (int k = 0; k < columnas; ++k) {
            grilla.setText(r, k, celdas[r].value(k));
            const qsizetype n = qsizetype(r) * columnas + k;
            if (n < resaltes.size() && (resaltes[n] & 1))
                grilla.setBackColor(r, k, ModExportarExcel::ColorResaltado);
        }
    const int columnaInicial =
        resaltes.isEmpty() ? 0 : static_cast<uint8_t>(resaltes[0]) % columnas;
    grilla.setCol(columnaInicial);
    ModExportarExcel::setValorParametroParaPruebas([&](const QString&) { return nombre; });

    const QString archivo = carpeta().filePath(QStringLiteral("pagina.ods"));
    ModExportarExcel::GuardarPaginaHTML(grilla, archivo, titulo);
    QFile f(archivo);
    fuzz::exigir(f.open(QIODevice::ReadOnly), QStringLiteral("la página no quedó escrita"));
    Lector l(f.readAll());

    const QByteArray eol = "\r\n";
    l.marca("<html>\r\n\r\n</head>\r\n\r\n<body background=\"", QStringLiteral("comienzo"));
    exigirTexto(Lector::decodificar(l.crudo('"'), QStringLiteral("fondo")),
                QDir::cleanPath(programFolder()) + QStringLiteral("/stone.jpg"),
                QStringLiteral("fondo"));
    l.marca("\" text=\"navy\">\r\n<br>\r\n<H5 ALIGN = CENTER>", QStringLiteral("cuerpo"));
    exigirTexto(Lector::decodificar(l.crudo(), QStringLiteral("nombre")),
                mostrado(nombre.trimmed()), QStringLiteral("nombre"));
    l.marca("</H5>\r\n<CENTER><U><FONT SIZE=20 COLOR=PURPLE> ", QStringLiteral("título"));
    exigirTexto(Lector::decodificar(l.crudo(), QStringLiteral("título")),
                mostrado((titulo.isEmpty() ? QStringLiteral("Detalle Remitos") : titulo).toUpper()),
                QStringLiteral("título"));
    l.marca("</FONT></U></CENTER>\r\n<HR>\r\n<br>\r\n<br>\r\n<TABLE Border=2>\r\n<TR>\r\n",
            QStringLiteral("tabla"));

    const QString blancos4(4, QChar(0xA0));
    for (int k = 0; k < columnas; ++k) {
        const QString donde = QStringLiteral("título de la columna %1").arg(k);
        l.marca("<TH>", donde);
        QByteArray t = l.crudo();
        fuzz::exigir(t.endsWith(eol), donde + QStringLiteral(": sin fin de línea"));
        t.chop(2);
        const QString celda = mostrado(grilla.text(0, k).trimmed());
        exigirTexto(Lector::decodificar(t, donde),
                    k == 0 ? QString(celda + QString(70, QChar(0xA0)))
                           : QString(blancos4 + celda + blancos4),
                    donde);
    }
    auto resaltada = [&](int r, int k) {
        const qsizetype n = qsizetype(r) * columnas + k;
        return n < resaltes.size() && (resaltes[n] & 1);
    };
    for (int r = 1; r < filas; ++r) {
        const QString donde = QStringLiteral("fila %1").arg(r);
        l.marca(resaltada(r, r == 1 ? columnaInicial : 0) ? "<TR bgcolor = \"yellow\"> " : "<TR> ",
                donde);
        for (int k = 0; k < columnas; ++k) {
            const QString celda = donde + QStringLiteral(", columna %1").arg(k);
            const bool ultima = k + 1 == columnas;
            l.marca(ultima && resaltada(r, k) ? "<TD bgcolor=\"yellow\">" : "<TD>", celda);
            QByteArray t = l.crudo();
            if (ultima) {
                fuzz::exigir(t.endsWith(eol), celda + QStringLiteral(": sin fin de línea"));
                t.chop(2);
            }
            const QString texto = grilla.text(r, k);
            if (texto.trimmed().isEmpty())
                fuzz::exigir(t == "&nbsp", celda + QStringLiteral(": una celda vacía no es &nbsp"));
            else
                exigirTexto(Lector::decodificar(t, celda),
                            mostrado(k == 0 ? texto.trimmed() : texto), celda);
        }
    }
    l.marca("</TABLE>\r\n</BODY>\r\n</HTML>\r\n", QStringLiteral("final"));
    fuzz::exigir(l.alFinal(), QStringLiteral("hay algo después del final"));
    return 0;
}
