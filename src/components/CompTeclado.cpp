#include "components/CompTeclado.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>

namespace {

const char* const PropiedadCampo = "Campo";
const char* const PropiedadTipo = "TipoEntrada";

int largoDe(CompTeclado::TipoEntrada tipo)
{
    switch (tipo) {
    case CompTeclado::TipoEntrada::Sucursal:
        return 4;
    case CompTeclado::TipoEntrada::Numero:
        return 8;
    case CompTeclado::TipoEntrada::Letra:
        return 1;
    case CompTeclado::TipoEntrada::Fecha:
        return 10;
    case CompTeclado::TipoEntrada::Texto:
        break;
    }
    return 32767;
}

QString soloAdmitidos(CompTeclado::TipoEntrada tipo, const QString& texto)
{
    QString out;
    for (const QChar c : texto)
        if (CompTeclado::AdmiteCaracter(tipo, c))
            out += c;
    return out;
}

// Day, month and year may be parted by "/", "-" or ".", as the report engine reads them.
bool esSeparadorDeFecha(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

qsizetype separadoresDeFecha(const QString& texto)
{
    return std::count_if(texto.begin(), texto.end(), esSeparadorDeFecha);
}

} // namespace

void CompTeclado::Configurar(QLineEdit* caja, const QString& campo, const QString& tipo)
{
    caja->setProperty(PropiedadCampo, campo);
    caja->setProperty(PropiedadTipo, tipo);
    caja->setMaxLength(largoDe(Clasificar(campo, tipo)));
}

CompTeclado::TipoEntrada CompTeclado::Clasificar(const QString& campo, const QString& tipo)
{
    if (tipo.compare(u"fecha", Qt::CaseInsensitive) == 0)
        return TipoEntrada::Fecha;
    if (tipo.compare(u"COMPROBANTES", Qt::CaseInsensitive) != 0)
        return TipoEntrada::Texto;
    if (campo.startsWith(u"Sucursal", Qt::CaseInsensitive))
        return TipoEntrada::Sucursal;
    if (campo.startsWith(u"Nro", Qt::CaseInsensitive))
        return TipoEntrada::Numero;
    if (campo.startsWith(u"Letra", Qt::CaseInsensitive))
        return TipoEntrada::Letra;
    return TipoEntrada::Texto;
}

QString CompTeclado::TipoTextoDe(const QLineEdit* caja)
{
    return caja ? caja->property(PropiedadTipo).toString() : QString();
}

QString CompTeclado::CampoDe(const QLineEdit* caja)
{
    return caja ? caja->property(PropiedadCampo).toString() : QString();
}

CompTeclado::TipoEntrada CompTeclado::TipoDe(const QLineEdit* caja)
{
    return Clasificar(CampoDe(caja), TipoTextoDe(caja));
}

int CompTeclado::IndiceCampo(const QString& campo, const ControlArray<QLineEdit>& grupo) const
{
    for (const int indice : grupo.indexes())
        if (CampoDe(grupo.at(indice)).compare(campo, Qt::CaseInsensitive) == 0)
            return indice;
    return -1;
}

void CompTeclado::TeclaAbajo(int& codigoTecla) const
{
    if (codigoTecla == Qt::Key_Enter)
        codigoTecla = Qt::Key_Return;
}

void CompTeclado::TeclaPresionada(QLineEdit* caja, int& codigoAscii) const
{
    if (!caja || codigoAscii == 0)
        return;
    if (codigoAscii == 13) {
        // Enter goes to the next box, the way Tab does.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(caja, &tab);
        codigoAscii = 0;
        return;
    }
    if (codigoAscii < 32)
        return; // backspace and other editing keys work as usual
    const QChar c(codigoAscii);
    const TipoEntrada tipo = TipoDe(caja);
    if (!AdmiteCaracter(tipo, c)) {
        codigoAscii = 0;
        return;
    }
    switch (tipo) {
    case TipoEntrada::Texto:
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero:
        return;
    case TipoEntrada::Letra:
        codigoAscii = c.toUpper().unicode();
        return;
    case TipoEntrada::Fecha: {
        const QString texto = caja->text();
        const bool alFinal = caja->cursorPosition() == texto.size() && !caja->hasSelectedText();
        if (esSeparadorDeFecha(c)) {
            if (separadoresDeFecha(texto) >= 2 && !caja->hasSelectedText())
                codigoAscii = 0;
            return;
        }
        static const QRegularExpression diaMes(QStringLiteral("^(\\d\\d|\\d{1,2}([/.-])\\d\\d)$"));
        const QRegularExpressionMatch m = diaMes.match(texto);
        // The separator typed for the operator is the one already used, "/" at first.
        if (alFinal && m.hasMatch() && texto.size() + 2 <= 10)
            caja->insert(m.hasCaptured(2) ? m.captured(2) : QStringLiteral("/"));
        return;
    }
    }
}

QString CompTeclado::TextoAlSalir(TipoEntrada tipo, const QString& texto)
{
    const QString t = texto.trimmed();
    switch (tipo) {
    case TipoEntrada::Texto:
        return texto;
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero: {
        const QString digitos = soloAdmitidos(tipo, t).right(largoDe(tipo));
        return digitos.isEmpty() ? QString()
                                 : digitos.rightJustified(largoDe(tipo), QLatin1Char('0'));
    }
    case TipoEntrada::Letra:
        return soloAdmitidos(tipo, t).left(1).toUpper();
    case TipoEntrada::Fecha:
        return soloAdmitidos(tipo, t).left(largoDe(tipo));
    }
    return t;
}

bool CompTeclado::AdmiteCaracter(TipoEntrada tipo, QChar c)
{
    const bool digito = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    switch (tipo) {
    case TipoEntrada::Texto:
        return true;
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero:
        return digito;
    case TipoEntrada::Letra:
        return c.isLetter();
    case TipoEntrada::Fecha:
        return digito || esSeparadorDeFecha(c);
    }
    return false;
}

bool CompTeclado::Admite(TipoEntrada tipo, const QString& texto)
{
    const QString t = texto.trimmed();
    return t.size() <= largoDe(tipo) && soloAdmitidos(tipo, t) == t;
}

QString CompTeclado::QueAdmite(TipoEntrada tipo)
{
    switch (tipo) {
    case TipoEntrada::Texto:
        return QStringLiteral("cualquier texto");
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero:
        return QStringLiteral("solo dígitos del 0 al 9, hasta %1").arg(largoDe(tipo));
    case TipoEntrada::Letra:
        return QStringLiteral("una sola letra");
    case TipoEntrada::Fecha:
        return QStringLiteral("una fecha día/mes/año, por ejemplo 05/11/2026");
    }
    return {};
}

void CompTeclado::Atender(QLineEdit* caja)
{
    if (caja)
        caja->installEventFilter(this);
}

bool CompTeclado::eventFilter(QObject* objeto, QEvent* evento)
{
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja)
        return false;
    if (evento->type() == QEvent::FocusOut) {
        const QString completo = TextoAlSalir(TipoDe(caja), caja->text());
        if (completo != caja->text())
            caja->setText(completo);
        return false;
    }
    if (evento->type() != QEvent::KeyPress)
        return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    int codigo = tecla->key();
    TeclaAbajo(codigo);
    if (codigo == Qt::Key_Return) {
        int ascii = 13;
        TeclaPresionada(caja, ascii);
        return true;
    }
    const QString texto = tecla->text();
    if (texto.size() != 1 || texto.at(0).unicode() < 32 ||
        (tecla->modifiers() & Qt::ControlModifier))
        return false;
    int ascii = texto.at(0).unicode();
    const int tecleado = ascii;
    TeclaPresionada(caja, ascii);
    if (ascii == tecleado)
        return false;
    if (ascii != 0)
        caja->insert(QString(QChar(ascii)));
    return true;
}
