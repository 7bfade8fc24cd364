#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "platform/controls/ResourceIcon.h"
#include "session/ModGlobal.h"

#include <QCoreApplication>
#include <QWidget>

namespace ModGlobal {

QIcon IconoDelSistema(const QString& nombre)
{
    return resourceIcon(QStringLiteral(":/iconos/") + nombre.trimmed().toUpper());
}

void DecorarFormulario(QWidget* ventana)
{
    ManejadorError enError = ManejadorError::omitiendo();
    const QString icono = IconoDeLaSuite(enError);
    enError.paso([&] {
        const QIcon imagen = IconoDelSistema(icono);
        if (imagen.isNull())
            throw RuntimeError(ErrorNumber::FileNotFound,
                               QStringLiteral("No hay un icono llamado \"%1\"").arg(icono));
        ventana->setWindowIcon(imagen);
    });
    if (QString::fromLatin1(ventana->metaObject()->className())
            .compare(u"FRMMDI", Qt::CaseInsensitive) == 0)
        return;
    enError.paso([&] { Componentes::Equipo().PrepararVentana(ventana); });
    for (const char* nombre : {"UtilNet1", "TBarRep1", "Util0011"}) {
        enError.paso([&] {
            QObject* barra = ventana->findChild<QObject*>(QString::fromLatin1(nombre));
            if (!barra)
                throw RuntimeError(ErrorNumber::ItemNotFound,
                                   QStringLiteral("La ventana no tiene el control %1")
                                       .arg(QString::fromLatin1(nombre)));
            barra->setProperty("StyleBar", Sesion().EstiloBarras);
        });
    }
    enError.paso([] { QCoreApplication::processEvents(); });
    // The window opens without its access-log row when the database is held
    // locked; the row is written again after the window's read.
    AnotarAcceso(ventana->windowTitle(), ventana->objectName());
}

void RegistrarAcceso(QWidget* ventana)
{
    RegistrarAcceso(ventana->windowTitle(), ventana->objectName());
}

} // namespace ModGlobal
