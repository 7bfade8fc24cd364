#include "app/SinVentana.h"

#include "components/Componentes.h"
#include "platform/files/FileCommit.h"
#include "platform/text/PrintableText.h"

#include <cstdio>

FallosSinVentana::FallosSinVentana()
{
    CompGeneral& general = Componentes::General();
    general.setPresentador([this](const RuntimeError& e, const QString& etiqueta) {
        if (m_primero.isEmpty()) {
            const QString texto = CompGeneral::TextoParaElOperador(e.description());
            m_primero = etiqueta.isEmpty() || texto != e.description()
                            ? texto
                            : texto + QStringLiteral(" (") + etiqueta + u')';
        }
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

QString SalidaSobreLaBase(const QList<std::pair<QString, QString>>& salidas)
{
    CompDatos& datos = Componentes::Datos();
    if (!datos.Conectado() || datos.Motor() != SqlBackend::SQLite)
        return {};
    const QString base = datos.BaseQt().databaseName();
    for (const QString& parte : {QString(), QStringLiteral("-wal"), QStringLiteral("-journal"),
                                 QStringLiteral("-shm")}) {
        const QString identidad = fileCommit::identity(base + parte);
        if (identidad.isEmpty())
            continue;
        for (const auto& [opcion, archivo] : salidas)
            if (!archivo.isEmpty() && fileCommit::identity(archivo) == identidad)
                return (parte.isEmpty()
                            ? QStringLiteral("--%1 nombra la base de datos (\"%2\"): la salida "
                                             "la reemplazaría")
                            : QStringLiteral("--%1 nombra el diario de la base de datos (\"%2\"): "
                                             "la salida lo reemplazaría"))
                    .arg(opcion, archivo);
    }
    return {};
}
