#pragma once

#include <QString>

// The suite's session component: what it keeps of the connection and where
// the lookup definitions of the workstation live.
class CompSesion
{
public:
    const QString& DatoSesion() const { return m_datoSesion; }
    void setDatoSesion(const QString& dato) { m_datoSesion = dato; }
    bool Activo() const { return m_activo; }
    void setActivo(bool activo) { m_activo = activo; }
    const QString& ArchivoConsultas() const { return m_archivoConsultas; }
    void setArchivoConsultas(const QString& archivo) { m_archivoConsultas = archivo; }

private:
    QString m_datoSesion;
    QString m_archivoConsultas;
    bool m_activo = false;
};
