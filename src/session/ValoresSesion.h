#pragma once

#include <QString>

// The session values: process-wide, empty (or no) when the program starts,
// written only by start-up (IniciarSesion) and read by everyone else.
struct ValoresSesion
{
    QString ClaveEquipo;     // "WORKSTATION|USER", both upper case: the workstation's INI section
    double EstiloBarras = 0; // tool-bar style of the workstation
    QString ParametroAdicional;
    QString MenuActual;
    QString UsuarioLogeado;
    QString CadenaConexion; // "DSN=...; UID=...; PWD=..."
    QString ArchivoTareas;
    bool MostrarStockEnConsultas = false;
    QString TituloClientes;
    QString TituloProveedores;
    bool ExigeClaveConsultaLike = false;
    bool UsaConsultaLike = false;
    QString CantidadDecimales;
    QString CondIvaEmpresa;
    bool BuscaClientesPorCOpcional = false;
    bool BuscaProveedoresPorCOpcional = false;
};
