#include "report/nucleo/FiltroOrdenes.h"

#include "components/Componentes.h"
#include "platform/files/OwnSettings.h"
#include "platform/files/ProgramFolder.h"
#include "session/ModGlobal.h"

#include <QDate>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <algorithm>

const QString FiltroOrdenes::OrdenPorFecha = QStringLiteral("{V_MV_Cpte.Fecha}");
const QString FiltroOrdenes::OrdenPorNumero = QStringLiteral("{V_MV_Cpte.IdComprobante}");

namespace {

// One operator's group in the settings file; a "/" in a user name must not
// open a subgroup.
QString grupoDelOperador()
{
    const QString usuario = ModGlobal::Sesion().UsuarioLogeado.trimmed().toUpper();
    return QStringLiteral("UltimosFiltros/") +
           (usuario.isEmpty() ? QStringLiteral("(sin usuario)")
                              : QString::fromLatin1(QUrl::toPercentEncoding(usuario)));
}

} // namespace

const QStringList& FiltroOrdenes::Claves()
{
    static const QStringList claves = {
        QStringLiteral("Sucursal_Desde"), QStringLiteral("Nro_Desde"),
        QStringLiteral("Letra_Desde"),    QStringLiteral("Sucursal_Hasta"),
        QStringLiteral("Nro_Hasta"),      QStringLiteral("Letra_Hasta"),
        QStringLiteral("Fecha_Desde"),    QStringLiteral("Fecha_Hasta")};
    return claves;
}

QString FiltroOrdenes::TipoTexto(const QString& clave)
{
    return clave.startsWith(u"Fecha", Qt::CaseInsensitive) ? QStringLiteral("fecha")
                                                           : QStringLiteral("COMPROBANTES");
}

CompTeclado::TipoEntrada FiltroOrdenes::TipoDe(const QString& clave)
{
    return CompTeclado::Clasificar(clave, TipoTexto(clave));
}

QString FiltroOrdenes::Clave(const QString& nombre)
{
    const QStringList& claves = Claves();
    const auto it = std::find_if(claves.begin(), claves.end(), [&](const QString& c) {
        return c.compare(nombre, Qt::CaseInsensitive) == 0;
    });
    return it == claves.end() ? QString() : *it;
}

QString FiltroOrdenes::Caja(const QString& clave) const
{
    return m_cajas.value(Clave(clave));
}

void FiltroOrdenes::setCaja(const QString& clave, const QString& texto)
{
    m_cajas.insert(Clave(clave), texto.trimmed());
}

ListaRangos FiltroOrdenes::Rangos() const
{
    ListaRangos rangos;
    RangoFiltro numero;
    numero.Desde = Caja(QStringLiteral("Sucursal_Desde")) + Caja(QStringLiteral("Nro_Desde")) +
                   Caja(QStringLiteral("Letra_Desde"));
    numero.Hasta = Caja(QStringLiteral("Sucursal_Hasta")) + Caja(QStringLiteral("Nro_Hasta")) +
                   Caja(QStringLiteral("Letra_Hasta"));
    // Without a letter the upper end is the whole number, every letter of it,
    // as the lower end already is.
    numero.HastaPorPrefijo = Caja(QStringLiteral("Letra_Hasta")).isEmpty();
    numero.Campo = QStringLiteral("V_MV_CPTE.IdComprobante");
    numero.TipoDato = RangoFiltro::Caracter;
    rangos.append(numero);
    RangoFiltro fecha;
    fecha.Desde = Caja(QStringLiteral("Fecha_Desde"));
    fecha.Hasta = Caja(QStringLiteral("Fecha_Hasta"));
    fecha.Campo = QStringLiteral("V_MV_CPTE.Fecha");
    fecha.TipoDato = RangoFiltro::Fecha;
    rangos.append(fecha);
    return rangos;
}

QList<FiltroOrdenes::Error> FiltroOrdenes::Errores() const
{
    QList<Error> errores;
    for (const char* extremo : {"desde", "hasta"}) {
        const QString sufijo = QStringLiteral("_") + QChar::fromLatin1(extremo[0]).toUpper() +
                               QLatin1String(extremo + 1);
        // The number is compared with the branch in front: without the branch
        // it would match no order at all, without a word.
        if (Caja(QStringLiteral("Sucursal") + sufijo).isEmpty() &&
            (!Caja(QStringLiteral("Nro") + sufijo).isEmpty() ||
             !Caja(QStringLiteral("Letra") + sufijo).isEmpty()))
            errores.append({QStringLiteral("Sucursal") + sufijo,
                            QStringLiteral("Indique la sucursal del número %1: el número de orden "
                                           "empieza por ella (por ejemplo 0001).")
                                .arg(QLatin1String(extremo))});
        const QString fecha = Caja(QStringLiteral("Fecha") + sufijo);
        if (!fecha.isEmpty() && !CompReportes::LeerFecha(fecha).isValid())
            errores.append({QStringLiteral("Fecha") + sufijo,
                            QStringLiteral("La fecha %1 (\"%2\") no es una fecha válida: escríbala "
                                           "como día/mes/año, por ejemplo 05/11/2026.")
                                .arg(QLatin1String(extremo), fecha)});
    }
    // An order number as the operator reads it: branch, number and letter.
    const auto numero = [this](const QString& sufijo) -> QString {
        const QString letra = Caja(QStringLiteral("Letra") + sufijo);
        return Caja(QStringLiteral("Sucursal") + sufijo) + u'-' +
               Caja(QStringLiteral("Nro") + sufijo) + (letra.isEmpty() ? QString() : u' ' + letra);
    };
    for (const RangoFiltro& rango : Rangos()) {
        if (rango.Desde.isEmpty() || rango.Hasta.isEmpty())
            continue;
        if (rango.TipoDato == RangoFiltro::Fecha) {
            const QDate desde = CompReportes::LeerFecha(rango.Desde);
            const QDate hasta = CompReportes::LeerFecha(rango.Hasta);
            if (desde.isValid() && hasta.isValid() && desde > hasta)
                errores.append({QStringLiteral("Fecha_Desde"),
                                QStringLiteral("La fecha desde (%1) es posterior a la fecha hasta "
                                               "(%2): ninguna orden puede cumplir el filtro.")
                                    .arg(rango.Desde, rango.Hasta)});
            continue;
        }
        // Compared as the database compares codes: without regard to case; an
        // upper number without its letter stands for every letter of it.
        const QString desde =
            rango.HastaPorPrefijo ? rango.Desde.left(rango.Hasta.size()) : rango.Desde;
        if (desde.compare(rango.Hasta, Qt::CaseInsensitive) > 0)
            errores.append(
                {QStringLiteral("Nro_Desde"),
                 QStringLiteral("El número de orden desde (%1) es mayor que el número "
                                "hasta (%2): ninguna orden puede cumplir el filtro.")
                     .arg(numero(QStringLiteral("_Desde")), numero(QStringLiteral("_Hasta")))});
    }
    return errores;
}

void FiltroOrdenes::Comprobar(QString* primeraCaja) const
{
    const QList<Error> errores = Errores();
    if (!errores.isEmpty()) {
        if (primeraCaja)
            *primeraCaja = errores.first().caja;
        QStringList textos;
        for (const Error& error : errores)
            textos << error.texto;
        throw RuntimeError(ErrorNumber::InvalidArgument, textos.join(u' '),
                           QStringLiteral("CargarDatos"));
    }
    // What the report engine refuses otherwise is refused before any query.
    Componentes::Reportes().ArmarFiltroSQL(Rangos());
}

CargaOrdenes::Opciones FiltroOrdenes::Opciones() const
{
    CargaOrdenes::Opciones opciones;
    opciones.pendientes = pendientes;
    opciones.finalizada = finalizada;
    opciones.orden = orden;
    return opciones;
}

QString FiltroOrdenes::Descripcion() const
{
    QStringList filtros;
    for (const RangoFiltro& rango : Rangos()) {
        const QString nombre = rango.TipoDato == RangoFiltro::Fecha ? QStringLiteral("Fecha")
                                                                    : QStringLiteral("Número");
        if (!rango.Desde.isEmpty() || !rango.Hasta.isEmpty())
            filtros << QStringLiteral("%1: %2 a %3")
                           .arg(nombre,
                                rango.Desde.isEmpty() ? QStringLiteral("(sin límite)")
                                                      : rango.Desde,
                                rango.Hasta.isEmpty() ? QStringLiteral("(sin límite)")
                                                      : rango.Hasta);
    }
    QStringList estados;
    if (pendientes)
        estados << QStringLiteral("pendientes");
    if (finalizada)
        estados << QStringLiteral("finalizadas");
    if (!estados.isEmpty())
        filtros << QStringLiteral("Estado: ") + estados.join(QStringLiteral(" y "));
    return filtros.join(QStringLiteral("; "));
}

QString FiltroOrdenes::ArchivoPreferencias()
{
    return programFolder() + QStringLiteral("/rp_oproduccion.ini");
}

void FiltroOrdenes::Guardar() const
{
    // A file the operator marked read-only is left as it is.
    const QFileInfo archivo(ArchivoPreferencias());
    if (archivo.exists() && !archivo.isSymLink() &&
        !(archivo.permissions() &
          (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)))
        return;
    // Remembering is a convenience: a folder that cannot take the file must
    // not spoil the load that just ended; why it could not goes to the error log.
    try {
        fileCommit::changeOwnSettings(archivo.filePath(), [this](QSettings& preferencias) {
            preferencias.beginGroup(grupoDelOperador());
            for (const QString& clave : Claves())
                preferencias.setValue(clave, Caja(clave));
            preferencias.setValue(QStringLiteral("Pendientes"), pendientes);
            preferencias.setValue(QStringLiteral("Finalizada"), finalizada);
            preferencias.setValue(QStringLiteral("Orden"), orden == OrdenPorNumero
                                                               ? QStringLiteral("numero")
                                                               : QStringLiteral("fecha"));
            preferencias.endGroup();
        });
    } catch (const RuntimeError& error) {
        Componentes::General().RegistrarError(error, QStringLiteral("guardarFiltros"));
    }
}

std::optional<FiltroOrdenes> FiltroOrdenes::Ultimos()
{
    std::optional<FiltroOrdenes> ultimos;
    try {
        fileCommit::readOwnSettings(ArchivoPreferencias(), [&](QSettings& preferencias) {
            preferencias.beginGroup(grupoDelOperador());
            if (preferencias.childKeys().isEmpty())
                return;
            FiltroOrdenes filtro;
            for (const QString& clave : Claves()) {
                const QString valor = preferencias.value(clave).toString();
                // A file edited by hand may hold what the box would not take.
                if (CompTeclado::Admite(TipoDe(clave), valor))
                    filtro.setCaja(clave, valor);
            }
            filtro.pendientes = preferencias.value(QStringLiteral("Pendientes")).toBool();
            filtro.finalizada = preferencias.value(QStringLiteral("Finalizada")).toBool();
            filtro.orden = preferencias.value(QStringLiteral("Orden")).toString() == u"numero"
                               ? OrdenPorNumero
                               : OrdenPorFecha;
            ultimos = filtro;
        });
    } catch (const RuntimeError& error) {
        // The boxes stay empty: the operator types the filters, the log says why.
        Componentes::General().RegistrarError(error, QStringLiteral("OfrecerUltimosFiltros"));
    }
    return ultimos;
}
