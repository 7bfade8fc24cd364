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

qsizetype separadoresDeFecha(const QString& texto)
{
    return std::count_if(texto.begin(), texto.end(), ReglasTeclado::EsSeparadorDeFecha);
}

} // namespace

void CompTeclado::Configurar(QLineEdit* caja, const QString& campo, const QString& tipo)
{
    caja->setProperty(PropiedadCampo, campo);
    caja->setProperty(PropiedadTipo, tipo);
    caja->setMaxLength(ReglasTeclado::Largo(Clasificar(campo, tipo)));
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
        if (ReglasTeclado::EsSeparadorDeFecha(c)) {
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
