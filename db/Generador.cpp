#include "BaseDatos.h"
#include "Lote.h"
#include "Sentencias.h"
#include "platform/text/RuntimeError.h"

#include <QDate>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace basedatos {

namespace {

// splitmix64: fully specified, so a seed gives the same book on any platform
// and compiler (std:: distributions do not promise that).
class Azar
{
public:
    explicit Azar(quint32 semilla) : m_estado(semilla) {}

    quint64 siguiente()
    {
        quint64 z = (m_estado += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Whole number in [desde, hasta].
    int entre(int desde, int hasta)
    {
        return desde + int(siguiente() % quint64(hasta - desde + 1));
    }

private:
    quint64 m_estado;
};

struct Material
{
    const char* clave;
    const char* nombre;
    const char* unidad;
    double pesoEspecifico; // kg/m3, so the estimate comes out in kilograms
};

constexpr Material materiales[] = {
    {"ACERO", "Chapa de acero SAE 1010", "KG", 7850},
    {"INOX", "Chapa de acero inoxidable AISI 304", "KG", 7930},
    {"GALV", "Chapa galvanizada", "KG", 7850},
    {"ALUM", "Chapa de aluminio 1050", "KG", 2700},
    {"PERFAL", "Perfil de aluminio 6063", "KG", 2700},
    {"COBRE", "Planchuela de cobre electrolítico", "KG", 8960},
    {"LATON", "Barra de latón", "KG", 8500},
    {"ZINC", "Lámina de zinc", "KG", 7140},
    {"PVC", "Lámina de PVC", "M2", 1380},
    {"POLIET", "Lámina de polietileno", "M2", 950},
    {"EPOXI", "Pintura epoxi en polvo", "KG", 1400},
    {"PINO", "Tabla de pino", "M2", 500},
    {"VIDRIO", "Vidrio float", "M2", 2500},
    {"GOMA", "Burlete de goma EPDM", "M", 1100},
};
constexpr int cantidadMateriales = int(std::size(materiales));

constexpr const char* familias[] = {"Bandeja", "Gabinete", "Panel", "Estante", "Caja de paso",
                                    "Marco",   "Soporte",  "Tapa",  "Puerta",  "Bastidor"};
constexpr const char* marcasLaminado[] = {"SI", "S", "1", "si", "NO", "N", nullptr, nullptr};
constexpr const char* razones[] = {"Metalúrgica", "Talleres",       "Industrias",    "Herrería",
                                   "Carpintería", "Construcciones", "Equipamientos", "Aberturas"};
constexpr const char* apellidos[] = {"del Sur",     "San Martín", "Los Andes",  "La Unión",
                                     "El Progreso", "del Valle",  "Santa Rosa", "Río Grande"};
constexpr const char* observaciones[] = {"Entrega en planta", "Urgente: prioridad alta",
                                         "Retira el cliente", "Según plano adjunto"};
constexpr int clientes = 40;

QVariant texto(const char* utf8)
{
    return utf8 ? QVariant(QString::fromUtf8(utf8)) : QVariant();
}

QString medida(double milimetros)
{
    return QString::number(milimetros, 'g', 6);
}

qint64 articulosFabricados(const OpcionesGenerador& o)
{
    return o.articuloPorLinea ? qint64(o.ordenes) * o.lineasPorOrden : o.articulos;
}

void validar(const OpcionesGenerador& o)
{
    QString problema;
    if (o.ordenes < 1 || o.ordenes > 99999999)
        problema =
            u"la cantidad de órdenes debe estar entre 1 y 99999999 (se pidió %1)"_s.arg(o.ordenes);
    else if (o.lineasPorOrden < 1 || o.lineasPorOrden > 9999)
        problema = u"las líneas por orden deben estar entre 1 y 9999 (se pidió %1)"_s.arg(
            o.lineasPorOrden);
    else if (o.insumosPorArticulo < 0 || o.insumosPorArticulo > 999)
        problema = u"los insumos por artículo deben estar entre 0 y 999 (se pidió %1)"_s.arg(
            o.insumosPorArticulo);
    else if (articulosFabricados(o) < 1 || articulosFabricados(o) > 999999)
        problema = u"los artículos deben estar entre 1 y 999999 (se pidió %1)"_s.arg(
            articulosFabricados(o));
    if (!problema.isEmpty())
        throw RuntimeError(ErrorNumber::InvalidArgument, u"Generador: "_s + problema,
                           u"basedatos"_s);
}

// SQLite writes fastest without its rollback journal; the previous settings
// come back afterwards even when generating fails (the file is then only fit
// to be thrown away, as rp_base does).
class SinDiario
{
public:
    explicit SinDiario(QSqlDatabase& db) : m_db(db)
    {
        m_diario =
            valorUnico(db, u"PRAGMA journal_mode"_s, u"leer el modo del diario"_s).toString();
        m_sincronia = valorUnico(db, u"PRAGMA synchronous"_s, u"leer la sincronía"_s).toString();
        valorUnico(db, u"PRAGMA journal_mode = OFF"_s, u"apagar el diario"_s);
        ejecutar(db, u"PRAGMA synchronous = OFF"_s, u"apagar la sincronía"_s);
    }
    ~SinDiario()
    {
        QSqlQuery(m_db).exec(u"PRAGMA journal_mode = %1"_s.arg(m_diario));
        QSqlQuery(m_db).exec(u"PRAGMA synchronous = %1"_s.arg(m_sincronia));
    }
    SinDiario(const SinDiario&) = delete;
    SinDiario& operator=(const SinDiario&) = delete;

private:
    QSqlDatabase& m_db;
    QString m_diario;
    QString m_sincronia;
};

void escribir(QSqlDatabase& db, const OpcionesGenerador& o, ResumenGenerador& resumen)
{
    Azar azar(o.semilla);
    Lote cuentas(db, u"MA_CUENTAS"_s, {u"CODIGO"_s, u"DESCRIPCION"_s, u"TIPO"_s, u"LOCALIDAD"_s});
    Lote articulos(db, u"MA_ARTICULOS"_s,
                   {u"IDARTICULO"_s, u"DESCRIPCION"_s, u"IDUNIDAD"_s, u"ANCHO"_s, u"LARGO"_s,
                    u"PROFUNDO"_s, u"PESO_ESPECIFICO"_s, u"LAMINADO"_s});
    Lote insumos(db, u"MA_INSUMOS"_s, {u"IDARTICULO"_s, u"IDARTICULOINSUMO"_s, u"CANTIDAD"_s});
    Lote ordenes(db, u"MV_CPTE"_s,
                 {u"CIRCUITO"_s, u"TC"_s, u"IDCOMPROBANTE"_s, u"IDCOMPLEMENTO"_s, u"FECHA"_s,
                  u"CUENTA"_s, u"NOMBRE"_s, u"OBSERVACIONES"_s, u"IMPORTE"_s, u"IMPORTE_S_IVA"_s,
                  u"FINALIZADA"_s, u"ANULADA"_s, u"APROBADO"_s});
    Lote lineas(db, u"MV_CPTEINSUMOS"_s,
                {u"TC"_s, u"IDCOMPROBANTE"_s, u"IDCOMPLEMENTO"_s, u"LINEA"_s, u"IDARTICULO"_s,
                 u"DESCRIPCION"_s, u"IDUNIDAD"_s, u"CANTIDAD"_s, u"CANTIDADUD"_s, u"IMPORTE"_s,
                 u"TOTAL"_s});

    QStringList codigosCliente, nombresCliente;
    for (int k = 0; k < clientes; ++k) {
        const QString codigo = u"9%1"_s.arg(k + 1, 8, 10, QChar(u'0'));
        const QString nombre = QString::fromUtf8(razones[k % 8]) + u' ' +
                               QString::fromUtf8(apellidos[(k / 8) % 8]) +
                               (k % 2 ? u" S.A."_s : u" S.R.L."_s);
        codigosCliente << codigo;
        nombresCliente << nombre;
        cuentas.agregar({codigo, nombre, u"C"_s, u"Rosario"_s});
    }
    cuentas.completar();

    const int materiasPrimas = materiasPrimasGeneradas(o);
    QStringList codigosInsumo;
    for (int i = 0; i < materiasPrimas; ++i) {
        const Material& m = materiales[i % cantidadMateriales];
        const int variante = i / cantidadMateriales + 1;
        const QString codigo =
            u"GEN-MP-%1-%2"_s.arg(QString::fromUtf8(m.clave)).arg(variante, 3, 10, QChar(u'0'));
        codigosInsumo << codigo;
        articulos.agregar(
            {codigo, u"%1 (variante %2)"_s.arg(QString::fromUtf8(m.nombre)).arg(variante),
             texto(m.unidad), QVariant(), QVariant(), QVariant(), m.pesoEspecifico, QVariant()});
    }

    QStringList codigosArticulo, descripciones;
    std::vector<int> mezcla(static_cast<std::size_t>(materiasPrimas));
    const int fabricados = int(articulosFabricados(o));
    for (int j = 1; j <= fabricados; ++j) {
        const double ancho = azar.entre(10, 200) * 10.0;
        const double largo = azar.entre(10, 300) * 10.0;
        const double profundo = azar.entre(2, 80) * 0.5;
        const char* laminado = marcasLaminado[azar.entre(0, int(std::size(marcasLaminado)) - 1)];
        const QString codigo = u"GEN-%1"_s.arg(j, 6, 10, QChar(u'0'));
        const QString descripcion =
            u"%1 %2 × %3 × %4 mm"_s.arg(QString::fromUtf8(familias[j % std::size(familias)]),
                                        medida(ancho), medida(largo), medida(profundo));
        codigosArticulo << codigo;
        descripciones << descripcion;
        articulos.agregar(
            {codigo, descripcion, u"UN"_s, ancho, largo, profundo, QVariant(), texto(laminado)});

        // Distinct supplies per article: the first steps of a Fisher-Yates shuffle.
        for (int i = 0; i < materiasPrimas; ++i)
            mezcla[std::size_t(i)] = i;
        for (int s = 0; s < o.insumosPorArticulo; ++s) {
            const int elegido = azar.entre(s, materiasPrimas - 1);
            std::swap(mezcla[std::size_t(s)], mezcla[std::size_t(elegido)]);
            insumos.agregar(
                {codigo, codigosInsumo.at(mezcla[std::size_t(s)]), azar.entre(1, 40) * 0.25});
        }
    }
    articulos.completar();
    insumos.completar();

    const QDate inicio(2026, 1, 1);
    for (int i = 1; i <= o.ordenes; ++i) {
        const QString comprobante = u"0002%1A"_s.arg(i, 8, 10, QChar(u'0'));
        const QString fecha =
            inicio.addDays(qint64(i - 1) * 365 / o.ordenes).toString(u"yyyy-MM-dd"_s) +
            u" 00:00:00"_s;
        const int cliente = azar.entre(0, clientes - 1);
        const bool finalizada = azar.entre(0, 99) < 55;
        const int nota = azar.entre(0, 9);
        const QVariant observacion =
            nota < int(std::size(observaciones)) ? texto(observaciones[nota]) : QVariant();

        QList<QVariantList> filas;
        double importe = 0;
        for (int linea = 1; linea <= o.lineasPorOrden; ++linea) {
            const int articulo = o.articuloPorLinea ? (i - 1) * o.lineasPorOrden + linea - 1
                                                    : azar.entre(0, o.articulos - 1);
            const int cantidad = azar.entre(1, 60);
            const double precio = azar.entre(50000, 40000000) / 100.0;
            const double total = std::round(cantidad * precio * 100.0) / 100.0;
            importe += total;
            filas.append({u"OP"_s, comprobante, 0, linea, codigosArticulo.at(articulo),
                          descripciones.at(articulo), u"UN"_s, cantidad, cantidad, precio, total});
        }
        const double sinIva = std::round(importe / 1.21 * 100.0) / 100.0;
        ordenes.agregar({u"V"_s, u"OP"_s, comprobante, 0, fecha, codigosCliente.at(cliente),
                         nombresCliente.at(cliente), observacion, importe, sinIva,
                         finalizada ? 1 : 0, 0, 1});
        for (const QVariantList& fila : filas)
            lineas.agregar(fila);
    }
    ordenes.completar();
    lineas.completar();

    resumen.ordenes = ordenes.filas();
    resumen.lineas = lineas.filas();
    resumen.insumos = insumos.filas();
    resumen.articulos = articulos.filas();
}

} // namespace

int materiasPrimasGeneradas(const OpcionesGenerador& opciones)
{
    return std::max(2 * cantidadMateriales, 2 * opciones.insumosPorArticulo);
}

ResumenGenerador generar(QSqlDatabase& db, const OpcionesGenerador& opciones)
{
    validar(opciones);
    const Motor motor = motorDe(db);
    QElapsedTimer reloj;
    reloj.start();
    ResumenGenerador resumen;
    {
        std::optional<SinDiario> sinDiario;
        if (motor == Motor::SQLite)
            sinDiario.emplace(db);
        Transaccion transaccion(db, u"generar las órdenes"_s);
        escribir(db, opciones, resumen);
        transaccion.confirmar();
    }
    // Fresh statistics, so the report's queries are planned for the new volume.
    if (motor == Motor::SQLite)
        ejecutar(db, u"ANALYZE"_s, u"actualizar las estadísticas"_s);
    else
        ejecutar(db, u"ANALYZE MV_CPTE, MV_CPTEINSUMOS, MA_ARTICULOS, MA_INSUMOS, MA_CUENTAS"_s,
                 u"actualizar las estadísticas"_s);
    resumen.segundos = double(reloj.nsecsElapsed()) / 1e9;
    return resumen;
}

} // namespace basedatos
