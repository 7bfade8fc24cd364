#pragma once

#include <QString>

// The voucher lookup's rules that need no window: which family a type code
// belongs to, how a key given by the caller becomes a type code, and the SQL
// text each key gets. The texts are the suite's own, blanks and letter case
// included; the data component adapts them to the backend when they run.
namespace ReglasConsulta {

enum class Familia
{
    Generales, // OT, FC, RM, ND, NC, OP, NP, OF, FP, NCP, NDP, NPCL, TK, TKFC, RMA
    Compras,   // FCC, NCC, NDC, RMC, FPC, FCCU, NCPC, NDPC
    PR,
    T3,
    Ordenes, // OC, OPG
    Ninguna  // a code the lookup does not list
};

// The family of a bare type code, without regard to case.
Familia FamiliaDe(const QString& tc);

// A key after normalisation: the bare type code and what the compound key said.
struct Clave
{
    QString TC;
    bool EsPendiente = false;
    bool SinAprobar = false;
};

// The compound keys ("RM/PENDIENTES", "OC/SIN_APROBAR" ...) become their type
// code, without regard to case; any other key stays as given (trimmed).
Clave Normalizar(const QString& tc);

// True when the key's query pastes the caller's condition unconditionally, so
// that a blank one cannot give a valid query.
bool FiltroRequerido(const Clave& clave);

// True when the key's query uses the caller's condition at all (T3's ignores it).
bool UsaFiltro(const Clave& clave);

// Where the condition has a ";" outside its literals, quoted names and
// comments, or -1. A condition never needs one: one there would end the
// statement and start another on a server that runs several. Every way a
// backend of the suite may read the text counts (comments nested or not,
// backslashes escaping quotes or not): a ";" that any of them sees outside is
// found, and so is one after a quote or comment that is never closed.
qsizetype PuntoYComaFuera(const QString& filtro);

// The query text of the first rule that matches the key. `codigoTC` is the
// type code as the TC column holds it (completed to 4 characters); `filtro` is
// the caller's SQL condition, pasted as it stands.
QString TextoSQL(const Clave& clave, const QString& codigoTC, const QString& filtro);

} // namespace ReglasConsulta
