#pragma once

#include "components/RangoFiltro.h"
#include "platform/sql/SqlDialect.h"

#include <QDate>
#include <QString>

// The report engine, of which the program uses the conversion of filter
// ranges into an SQL condition.
class CompReportes
{
public:
    const QString& RutaAplicacion() const { return m_ruta; }
    void setRutaAplicacion(const QString& ruta) { m_ruta = ruta; }
    bool Activo() const { return m_activo; }
    void setActivo(bool activo) { m_activo = activo; }

    // The condition that restricts each range's column to its range, for the
    // connected backend, with no leading keyword or connective; the ranges are
    // joined with " AND ". An empty end does not restrict; no restriction at
    // all gives the empty text.
    //   Character ranges (129) compare as texts: col >= 'desde' AND col <= 'hasta';
    //   with HastaPorPrefijo an upper end that ends in digits takes every text
    //   that begins with it: col < 'hasta counted up by one' ('...03' -> '...04').
    //   Date ranges (7) take day/month/year (d/m/yyyy, dd/mm/yyyy, also with
    //   "-" or "." and two-digit years); the upper end includes its whole day:
    //   col >= 'desde' AND col < 'the day after hasta' (nothing after 31/12/9999).
    //   Numeric ranges compare as numbers.
    // A date end that is not a real date raises a run-time error naming it,
    // before any query runs.
    QString ArmarFiltroSQL(const ListaRangos& rangos) const;
    QString ArmarFiltroSQL(const ListaRangos& rangos, SqlBackend motor) const;

    // Reads a day/month/year text; an invalid QDate when it is not a real date.
    static QDate LeerFecha(const QString& texto);

private:
    QString m_ruta;
    bool m_activo = false;
};
