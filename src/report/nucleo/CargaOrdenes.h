#pragma once

#include "components/RangoFiltro.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/RuntimeError.h"
#include "report/nucleo/CacheArticulos.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GridModel;
class ListaEnHilo;
class Recordset;
class ResultadoCarga;

// The load behind "Cargar": the production orders chosen by the filter ranges
// and their state, one green row per order line with the article's
// dimensions, each followed by the supplies of the article's bill of materials
// with the kilograms the line consumes.
class CargaOrdenes
{
public:
    static constexpr int Verde = 65280;

    struct Opciones
    {
        bool pendientes = false; // "&Pendientes" ticked
        bool finalizada = false; // "&Finalizada" ticked
        QString orden;           // the tag of the chosen "Orden" option, e.g. "{V_MV_Cpte.Fecha}"
        // Every line asks its article's dimensions and bill of materials anew,
        // as the suite always did, instead of once per article and load; kept
        // to check the grouped load against.
        bool consultaPorLinea = false;
    };
    struct Resultado
    {
        int lineas = 0;
        int insumos = 0;
        bool cancelada = false;
    };
    // Told after every order line; returns false to stop the load there.
    using Avance = std::function<bool(int lineas)>;

    // The grid as a load leaves it before the first row: 8 columns, the title
    // row and one empty row.
    static void IniciarGrilla(GridModel& grilla);

    // The WHERE condition: the order type first, then the ranges' condition
    // (when it restricts anything), then the state when exactly one is ticked.
    static QString ArmarCondicion(const QString& filtroRangos, const Opciones& opciones);
    // The order query: the join of the order and order-line views, the
    // condition, and the order the operator chose (its column, then the
    // voucher identifier).
    static QString ArmarConsulta(const QString& condicion, const QString& orden);
    // The bill-of-materials query of one article (its code completed to 25).
    static QString ConsultaInsumos(const QString& codigoCompleto);
    // How a list of articles gets each article's supply rows in the order its
    // own query gives them: asking for the key order (a database that walks
    // the table's key for one article); asking for none, so the rows come as
    // the table is read (a database that reads a small table whole for one
    // article, and so for the list); or as the articles' own queries one
    // after another, each planned as it is alone.
    enum class OrdenLista
    {
        Clave,
        Lectura,
        Propia
    };
    // The bills of materials of several articles in one statement, in the
    // order given; and the dimensions of several articles. Codes as given,
    // each quoted (on PostgreSQL, in key order, they go as one array value).
    static QString ConsultaInsumosDe(const QStringList& codigosCompletos, OrdenLista orden,
                                     SqlBackend motor = SqlBackend::SqlServer);
    static QString ConsultaMedidasDe(const QStringList& codigos);
    // Whether a list's rows carry their produced article's columns (its
    // dimensions and "laminated" mark); when not, they come from the
    // dimensions' query, once per article.
    static bool ListaConArticulo(SqlBackend motor, OrdenLista orden);
    // Articles whose lines are read ahead and fetched together once this many
    // of them are not known yet; fewer are asked one by one. A window's
    // articles go in one list: on PostgreSQL each list costs a pass over the
    // bills of materials, whose codes compare by an ICU collation, and lists
    // of 10,000 made the server hash the whole table each time (1.2 s a list
    // at 30,000 orders, where 20,000 codes are met walking its key, 0.5 s).
    // SQLite seeks a list's codes in its index one by one, as fast in short
    // lists as in long ones: there the lines read ahead are fewer, and so are
    // the lines and bills of materials held at once (with an article per line
    // about 2.4 KB a line: 2,000 lines were a quarter of the rows' memory at
    // 3,000 orders).
    static constexpr int LineasAdelantadas = 20000;
    static constexpr int LineasAdelantadasSqlite = 500;
    static constexpr int ArticulosPorLote = LineasAdelantadas;
    static constexpr int MinimoParaLote = 16;
    // Lines written between two returns to the system of the memory freed
    // meanwhile (a few milliseconds each).
    static constexpr int LineasEntreDevoluciones = 2048;
    // Kilograms of a supply for an order line: dimensions in millimetres, the
    // specific weight (already doubled for a laminated article), the quantity
    // ordered; computed step by step in double precision.
    static double EstimarKg(double largo, double ancho, double profundo, double pesoEspecifico,
                            double cantidad);

    CargaOrdenes();
    ~CargaOrdenes();
    CargaOrdenes(const CargaOrdenes&) = delete;
    CargaOrdenes& operator=(const CargaOrdenes&) = delete;

    // Runs the load into `grilla`, and into `tipado` (when given) the same
    // rows as numbers. A failure propagates with the grid as far as it got; a
    // cancelled load keeps the rows written so far.
    Resultado Cargar(const ListaRangos& rangos, const Opciones& opciones, GridModel& grilla,
                     const Avance& avance = {}, ResultadoCarga* tipado = nullptr);

private:
    // An order line as read from the order query: the fields the grid needs.
    struct Linea
    {
        QVariant comprobante, articulo, descripcion, cantidad;
    };
    using Medidas = MedidasArticulo;
    using Articulo = CacheArticulos::Articulo;
    // An article a list asks for: the texts its lines give it, and where its
    // rows and dimensions landed.
    struct Pedido
    {
        QStringList textos;
        QString completo; // the first text, completed to 25
        std::shared_ptr<FilasInsumos> filas;
        bool conFilas = false;
        Medidas medidas;
        bool guardado = false; // in what the load knows
    };
    // A list read on its own thread: its articles go into what the load knows
    // as they come, so a line waits only for its own.
    struct ListaEnCurso
    {
        QHash<QString, int> indice;
        std::vector<Pedido> pedidos;
        // The articles before this one have come (or the list ended).
        std::size_t llegados = 0;
        std::size_t revisados = 0; // those looked at for the check
        // Whether the list gives an article's rows in the order its own query
        // does, as seen on the first article with several; until then no
        // article with several rows is used.
        bool comprobada = false;
        std::vector<int> retenidos; // come, with several rows, before the check
        Linea pidio;                // the line being written when the list was asked
    };

    Linea leerLinea(const Recordset& rs) const;
    void escribirLinea(const Medidas& medidas, GridModel& grilla);
    int escribirInsumos(const Linea& linea, const FilasInsumos* insumos, GridModel& grilla);
    Medidas medidasPorConsulta(const QString& articulo);
    // The dimensions in a row that carries them, by the fields' positions.
    static Medidas medidasLeidas(const Recordset& rs, int ancho, int largo, int profundo);
    std::shared_ptr<const FilasInsumos> insumosPorConsulta(const QString& codigoCompleto);
    // Fetches together the articles of the lines read ahead that are not
    // known yet, when they are many; returns false when it fetched nothing.
    bool traerEnLote(const std::deque<Linea>& adelantadas);
    // The same for the articles a list asks for, read on the load's connection.
    bool traerLista(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos);
    // The dimensions of the articles whose rows do not carry them; false on
    // a code no line asked for.
    bool medir(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos);
    void guardar(Pedido& pedido);
    // The list on its own thread: started, an article of it awaited, its
    // next article or its end taken, and the rest of it taken.
    void iniciarLista(QHash<QString, int> indice, std::vector<Pedido> pedidos, const Linea& pidio);
    void esperar(const QString& articulo);
    void recibir();
    void cerrarLista();
    void terminarLista();
    // Whether the articles come in the order their own query gives, on the
    // first article of the list with several rows, once the articles before
    // it have come.
    void comprobarLista();
    // The bills of materials of a list of articles (by their keys) into one
    // block, and the dimensions their rows carry; false when the list cannot
    // be trusted.
    bool insumosEnLote(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos);
    // The error with the order, the article and (while a supply row is being
    // written) the supply it happened on, so the operator can find the bad value.
    RuntimeError enLaLinea(const RuntimeError& error, const Linea& linea) const;

    QString m_insumo; // the code of the supply row that failed; null otherwise
    ResultadoCarga* m_tipado = nullptr;
    int m_filaLineaAnterior = -1; // the order line written before, for the typed rows
    // What this load already asked, by the exact text it asked with.
    CacheArticulos m_articulos;
    int m_campoLinea[4] = {};
    // False once a list brought back a code its lines did not ask for: the
    // database compares codes otherwise than expected, so from then on every
    // article is asked with its own statements.
    bool m_loteFiable = true;
    // How a list of articles asks for its supplies: the first way an
    // article's own query is seen to agree with, for the rest of the load.
    OrdenLista m_orden = OrdenLista::Clave;
    // PostgreSQL in read-committed isolation (each statement sees what was
    // committed when it started, on either connection): lists in key order
    // are read on a connection and thread of their own.
    std::unique_ptr<ListaEnHilo> m_enHilo;
    std::optional<ListaEnCurso> m_enCurso;
    std::shared_ptr<const FilasInsumos> m_ninguno; // an article without a bill of materials
    // A list that failed on its thread: its error names the line that asked
    // for it, as when the list is read on the load's connection.
    std::optional<Linea> m_pidioLaFallida;
};
