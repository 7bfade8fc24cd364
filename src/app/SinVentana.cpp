#include "app/SinVentana.h"

#include "components/Componentes.h"
#include "platform/text/PrintableText.h"

#include <cstdio>

FallosSinVentana::FallosSinVentana()
{
    CompGeneral& general = Componentes::General();
    general.setPresentador([this](const RuntimeError& e, const QString& etiqueta) {
        if (m_primero.isEmpty())
            m_primero = etiqueta.isEmpty()
                            ? e.description()
                            : e.description() + QStringLiteral(" (") + etiqueta + u')';
        return int(CompGeneral::Abortar);
    });
    general.setMensajero([this](const QString& m) {
        if (m_primero.isEmpty())
            m_primero = m;
    });
}

FallosSinVentana::~FallosSinVentana()
{
    CompGeneral& general = Componentes::General();
    general.setPresentador({});
    general.setMensajero({});
}

void ErrorEnLinea(const QString& texto)
{
    // What the operator or the data put in the text (a key, a file name)
    // never drives the terminal.
    std::fprintf(stderr, "rp_oproduccion: %s\n",
                 qPrintable(terminalText(QString(texto).replace(u'\n', u' '))));
}
