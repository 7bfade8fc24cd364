#include "dialogs/ReglasConsulta.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace ReglasConsulta {

namespace {

const QStringList Generales = {u"OT"_s,  u"FC"_s,   u"RM"_s, u"ND"_s,   u"NC"_s,
                               u"OP"_s,  u"NP"_s,   u"OF"_s, u"FP"_s,   u"NCP"_s,
                               u"NDP"_s, u"NPCL"_s, u"TK"_s, u"TKFC"_s, u"RMA"_s};
const QStringList Compras = {u"FCC"_s, u"NCC"_s,  u"NDC"_s,  u"RMC"_s,
                             u"FPC"_s, u"FCCU"_s, u"NCPC"_s, u"NDPC"_s};

struct Compuesta
{
    QString clave;
    QString tc;
    bool pendiente;
    bool sinAprobar;
};

// In the order the keys are compared.
const Compuesta Compuestas[] = {
    {u"RM/PENDIENTES"_s, u"RM"_s, true, false},
    {u"NP/PENDIENTES"_s, u"NP"_s, true, false},
    {u"NPCL/PENDIENTES"_s, u"NPCL"_s, true, false},
    {u"OF/PENDIENTES"_s, u"OF"_s, true, false},
    {u"OT/PENDIENTES"_s, u"OT"_s, true, false},
    {u"RM/PENDIENTES_COMPRAS"_s, u"RMC"_s, true, false},
    {u"PR/PENDIENTES"_s, u"PR"_s, true, false},
    {u"OP/PENDIENTES"_s, u"OP"_s, true, false},
    {u"FC/ANTICIPOS"_s, u"FC"_s, false, false},
    {u"OC/SIN_APROBAR"_s, u"OC"_s, false, true},
};

bool es(const QString& tc, const QString& codigo)
{
    return tc.compare(codigo, Qt::CaseInsensitive) == 0;
}

const QString CabezaOT =
    u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento , ID,FECHA, "
    u"Importe FROM V_OT_Pendientes  WITH(NOLOCK) WHERE TC = '"_s;
const QString CabezaOrdenes =
    u" SELECT FECHA, CUENTA , NOMBRE, ANULADA, APROBADO, TC,IDCOMPROBANTE, ID,Importe, "
    u"comentarios, Garantia FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s;
const QString PorComprobante = u" ORDER BY IDCOMPROBANTE DESC"_s;

// The pending lists that select the comments too.
QString pendientesConComentarios(const QString& vista)
{
    return u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, "
           u"comentarios FROM "_s +
           vista + u"  WITH(NOLOCK) WHERE TC = '"_s;
}

} // namespace

Familia FamiliaDe(const QString& tc)
{
    if (Generales.contains(tc, Qt::CaseInsensitive))
        return Familia::Generales;
    if (Compras.contains(tc, Qt::CaseInsensitive))
        return Familia::Compras;
    if (es(tc, u"PR"_s))
        return Familia::PR;
    if (es(tc, u"T3"_s))
        return Familia::T3;
    if (es(tc, u"OC"_s) || es(tc, u"OPG"_s))
        return Familia::Ordenes;
    return Familia::Ninguna;
}

Clave Normalizar(const QString& tc)
{
    Clave clave{tc.trimmed()};
    for (const Compuesta& c : Compuestas) {
        if (es(clave.TC, c.clave)) {
            clave.TC = c.tc;
            clave.EsPendiente = c.pendiente;
            clave.SinAprobar = c.sinAprobar;
            break;
        }
    }
    return clave;
}

bool FiltroRequerido(const Clave& clave)
{
    const QString& tc = clave.TC;
    if (!clave.EsPendiente)
        return false;
    return es(tc, u"RMC"_s) || es(tc, u"RM"_s) || es(tc, u"OT"_s) || es(tc, u"NP"_s) ||
           es(tc, u"OF"_s) || es(tc, u"PR"_s) || es(tc, u"NPCL"_s);
}

bool UsaFiltro(const Clave& clave)
{
    return !es(clave.TC, u"T3"_s);
}

namespace {

// How a backend may read the text of a condition. Brackets quote names on
// every backend once the text is adapted to it.
struct Lectura
{
    bool comentariosAnidados; // "/* /* */ */" is one comment
    bool barraEscapa;         // '\'' is a literal holding a quote
};

qsizetype puntoYComa(QStringView t, const Lectura& lectura)
{
    const qsizetype n = t.size();
    qsizetype i = 0;
    // Something left open to the end is read otherwise by some backend (or
    // adapted as it stands): a ";" after its start counts as outside.
    const auto abierto = [&](qsizetype desde) { return t.indexOf(u';', desde); };
    while (i < n) {
        const QChar c = t[i];
        if (c == u';')
            return i;
        if (c == u'\'' || c == u'"' || c == u'[') {
            const QChar cierre = c == u'[' ? QChar(u']') : c;
            const qsizetype inicio = i;
            ++i;
            while (i < n) {
                if (lectura.barraEscapa && c == u'\'' && t[i] == u'\\') {
                    i += 2;
                    continue;
                }
                if (t[i] == cierre) {
                    if (i + 1 < n && t[i + 1] == cierre) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            if (i >= n)
                return abierto(inicio);
            ++i;
            continue;
        }
        if (c == u'-' && i + 1 < n && t[i + 1] == u'-') {
            i = t.indexOf(u'\n', i);
            if (i < 0)
                return -1;
            continue;
        }
        if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
            const qsizetype inicio = i;
            int nivel = 1;
            i += 2;
            while (i < n && nivel > 0) {
                if (t[i] == u'*' && i + 1 < n && t[i + 1] == u'/') {
                    --nivel;
                    i += 2;
                } else if (lectura.comentariosAnidados && t[i] == u'/' && i + 1 < n &&
                           t[i + 1] == u'*') {
                    ++nivel;
                    i += 2;
                } else {
                    ++i;
                }
            }
            if (nivel > 0)
                return abierto(inicio);
            continue;
        }
        ++i;
    }
    return -1;
}

} // namespace

qsizetype PuntoYComaFuera(const QString& filtro)
{
    qsizetype primero = -1;
    for (const bool anidados : {false, true})
        for (const bool barra : {false, true}) {
            const qsizetype p = puntoYComa(filtro, {anidados, barra});
            if (p >= 0 && (primero < 0 || p < primero))
                primero = p;
        }
    return primero;
}

QString TextoSQL(const Clave& clave, const QString& codigoTC, const QString& filtro)
{
    const QString& tc = clave.TC;
    const bool pendiente = clave.EsPendiente;
    const bool enBlanco = filtro.trimmed().isEmpty();
    const QString& code = codigoTC;

    if (es(tc, u"RMC"_s) && pendiente)
        return u" SELECT CUENTA , ANULADA, Nombre, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM "
               u"C_RemitosPendientes WITH(NOLOCK) WHERE TC = '"_s +
               code + u"' AND "_s + filtro + PorComprobante;
    if (es(tc, u"RM"_s) && pendiente)
        return u" SELECT CUENTA ,ANULADa, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe "
               u"FROM V_RemitosPendientes  WITH(NOLOCK) WHERE TC = '"_s +
               code + u"' AND "_s + filtro + PorComprobante;
    if (es(tc, u"T3"_s))
        return u"SELECT * FROM V_MV_CPTETERCEROS  WITH(NOLOCK) ORDER BY ID,IDCOMPROBANTE, "
               u"IDCOMPLEMENTO"_s;
    if (FamiliaDe(tc) == Familia::Compras) {
        if (!enBlanco)
            return u"SELECT * FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s + code + u"' AND "_s +
                   filtro + u" ORDER BY IDCOMPROBANTE DESC "_s;
        return u"SELECT * FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s + code + u"'"_s +
               PorComprobante;
    }
    if (es(tc, u"OT"_s)) {
        if (pendiente)
            return u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, "
                   u"IDCOMPlemento,ID,FECHA, Importe FROM V_OT_Pendientes  WITH(NOLOCK) WHERE TC "
                   u"= '"_s +
                   code + u"' AND "_s + filtro + PorComprobante;
        if (!enBlanco)
            return CabezaOT + code + u"' AND "_s + filtro + PorComprobante;
        return CabezaOT + code + u"' "_s + PorComprobante;
    }
    if (es(tc, u"NP"_s) && pendiente)
        return pendientesConComentarios(u"V_NP_PENDIENTES"_s) + code + u"' AND "_s + filtro +
               PorComprobante;
    if (es(tc, u"OF"_s) && pendiente)
        return pendientesConComentarios(u"V_OF_PENDIENTES"_s) + code + u"' AND "_s + filtro +
               PorComprobante;
    if (es(tc, u"PR"_s) && pendiente)
        return pendientesConComentarios(u"V_PR_PENDIENTES"_s) + code +
               u"' AND APROBADO = 1 AND "_s + filtro + PorComprobante;
    const QString nexo = enBlanco ? QString() : u" AND "_s;
    if (es(tc, u"OC"_s))
        return CabezaOrdenes + code +
               (clave.SinAprobar ? u"' AND APROBADO = 0 "_s : u"' AND APROBADO = 1 "_s) + nexo +
               filtro + PorComprobante;
    if (es(tc, u"OPG"_s))
        return CabezaOrdenes + code + u"' "_s + nexo + filtro + PorComprobante;
    if (es(tc, u"NPCL"_s) && pendiente)
        return pendientesConComentarios(u"V_MV_CPTE"_s) + code + u"' AND "_s + filtro +
               u" AND FINALIZADA = 0 ORDER BY IDCOMPROBANTE DESC"_s;
    if (!enBlanco)
        return u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s + code + u"' AND "_s +
               filtro + u" ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "_s;
    return u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s + code +
           u"' ORDER BY IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC"_s;
}

} // namespace ReglasConsulta
