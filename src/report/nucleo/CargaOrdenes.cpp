#include "report/nucleo/CargaOrdenes.h"

#include "components/Componentes.h"
#include "platform/controls/GridModel.h"
#include "platform/sql/FreedMemory.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/Currency.h"
#include "platform/text/PrintableText.h"
#include "platform/text/ValueText.h"
#include "report/nucleo/ListaEnHilo.h"
#include "report/nucleo/ResultadoCarga.h"
#include "session/ModGlobal.h"

#include <cmath>

namespace {

// Suspends the grid's notifications for the load and resumes them however
// the load ends, so a view never stays frozen after a failure.
class SinAvisos
{
public:
    explicit SinAvisos(GridModel& grilla) : m_grilla(grilla) { m_grilla.setUpdatesSuspended(true); }
    ~SinAvisos() { m_grilla.setUpdatesSuspended(false); }
    SinAvisos(const SinAvisos&) = delete;
    SinAvisos& operator=(const SinAvisos&) = delete;

private:
    GridModel& m_grilla;
};

QString texto(const QVariant& valor)
{
    return Componentes::General().ValorNoNulo(valor);
}

// A real number as the estimate takes it: the amount its text reads as,
// without writing and reading that text.
double numeroReal(double v)
{
    // A whole number well inside the amounts' range reads back as itself.
    if (v != 0 && v == std::trunc(v) && std::abs(v) < 1e14)
        return v;
    return Currency::fromShownNumber(v).toDouble();
}

// A field as the estimate takes it: the amount its text reads as.
double numero(const QVariant& valor)
{
    // A null field reads as no amount at all, which is 0.
    if (valor.isNull())
        return 0;
    if (valor.typeId() == QMetaType::Double || valor.typeId() == QMetaType::Float)
        return numeroReal(valor.toDouble());
    return Componentes::General().ValorNumerico(texto(valor)).toDouble();
}

// The same straight from the row when the field holds a real number.
double numero(const Recordset& rs, int campo)
{
    double v;
    return rs.realNumber(campo, v) ? numeroReal(v) : numero(rs.value(campo));
}

// A field's text, as texto() gives it, straight from the row when it holds a
// real number.
QString textoCifra(const Recordset& rs, int campo)
{
    double v;
    return rs.realNumber(campo, v) ? numberText(v) : texto(rs.value(campo));
}

// The code under which every backend finds an article: ASCII letters in one
// case, trailing blanks dropped, as the suite's server compares codes. Only
// codes of printable ASCII, on which all the backends' comparisons agree, get
// one; the others are asked one by one.
std::optional<QString> claveDe(const QString& codigo)
{
    // Most codes are already their own key: they are copied only to change.
    bool minusculas = false;
    for (const QChar c : codigo) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return std::nullopt;
        minusculas = minusculas || (c.unicode() >= 'a' && c.unicode() <= 'z');
    }
    qsizetype n = codigo.size();
    while (n > 0 && codigo.at(n - 1) == u' ')
        --n;
    if (!minusculas)
        return n == codigo.size() ? codigo : codigo.left(n);
    QString clave = codigo.left(n);
    for (QChar& c : clave)
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return clave;
}

// A code as a message can show it: blanks trimmed, control characters (a NUL
// stored in a code) written out rather than cutting or garbling the message.
QString codigoVisible(const QString& codigo)
{
    return terminalText(codigo.trimmed());
}

QString campoVisible(const QVariant& valor)
{
    try {
        return codigoVisible(texto(valor));
    } catch (const RuntimeError&) {
        return QStringLiteral("?");
    }
}

// Where the produced article's figures stand in a result.
struct CamposArticulo
{
    int laminado = -1, largo = -1, ancho = -1, profundo = -1; // none when not carried
    CamposArticulo() = default;
    explicit CamposArticulo(const Recordset& rs)
        : laminado(rs.fieldIndex(QStringLiteral("laminado"))),
          largo(rs.fieldIndex(QStringLiteral("largo"))),
          ancho(rs.fieldIndex(QStringLiteral("Ancho"))),
          profundo(rs.fieldIndex(QStringLiteral("profundo")))
    {
    }
};

// Where each field of a supply row stands in its result.
struct CamposInsumo
{
    int articulo, codigo, descripcion, cantidad, peso;
    CamposArticulo produccion;
    CamposInsumo(const Recordset& rs, bool conArticulo)
        : articulo(rs.fieldIndex(QStringLiteral("IdArticulo"))),
          codigo(rs.fieldIndex(QStringLiteral("IdArticuloInsumo"))),
          descripcion(rs.fieldIndex(QStringLiteral("DescInsumo"))),
          cantidad(rs.fieldIndex(QStringLiteral("CantidadInsumo"))),
          peso(rs.fieldIndex(QStringLiteral("Peinsumo"))),
          produccion(conArticulo ? CamposArticulo(rs) : CamposArticulo())
    {
    }
};

// The produced article's figures a supply row's estimate takes.
struct FigurasArticulo
{
    bool laminado = false; // doubles the supply's specific weight
    double largo = 0, ancho = 0, profundo = 0;

    // `apunte` is a string kept from row to row for the mark's text.
    static FigurasArticulo leidas(const Recordset& rs, const CamposArticulo& c, QString& apunte)
    {
        FigurasArticulo f;
        apunte.resize(0);
        if (!rs.appendText(c.laminado, apunte))
            apunte = texto(rs.value(c.laminado));
        f.laminado = ModGlobal::ValorLogico(apunte, false);
        f.largo = numero(rs, c.largo);
        f.ancho = numero(rs, c.ancho);
        f.profundo = numero(rs, c.profundo);
        return f;
    }
    void aplicar(InsumoArticulo& s) const
    {
        if (laminado)
            s.pesoEspecifico *= 2;
        s.largo = largo;
        s.ancho = ancho;
        s.profundo = profundo;
    }
};

} // namespace

void CargaOrdenes::IniciarGrilla(GridModel& grilla)
{
    struct Columna
    {
        const char16_t* titulo;
        int ancho;
    };
    // Column 7 holds the article's depth on order-line rows, hence its title.
    static constexpr Columna Columnas[] = {
        {u"", 10},           {u"Nro OP", 1500}, {u"Insumo", 2500}, {u"Descrpcion", 4500},
        {u"Cantidad", 1200}, {u"PE", 1200},     {u"Kg", 1200},     {u"Espesor", 1200}};
    grilla.clear();
    grilla.setCols(8);
    grilla.setRows(2);
    for (int c = 0; c < 8; ++c) {
        grilla.setText(0, c, QString::fromUtf16(Columnas[c].titulo));
        grilla.setColWidth(c, Columnas[c].ancho);
    }
}

double CargaOrdenes::EstimarKg(double largo, double ancho, double profundo, double pesoEspecifico,
                               double cantidad)
{
    const double x1 = largo / 1000.0;
    const double x2 = (ancho / 1000.0) * x1;
    const double x3 = ((profundo * x2) / 1000.0) * pesoEspecifico;
    const double kg = cantidad * x3;
    if (!std::isfinite(kg))
        throw RuntimeError(ErrorNumber::Overflow,
                           QStringLiteral("Desbordamiento al estimar los kilogramos"),
                           QStringLiteral("CargaOrdenes"));
    // The kilograms are summed and exported as amounts are: a figure beyond
    // the currency's range would show digits no double holds, so it stops
    // the load like a dimension out of range does. Only figures near the
    // limit need the exact check.
    if (std::abs(kg) >= 9e14) {
        try {
            Currency::fromShownNumber(kg);
        } catch (const RuntimeError& error) {
            throw RuntimeError(
                error.number(),
                QStringLiteral(
                    "Desbordamiento: los kilogramos estimados, %1, no caben en un importe")
                    .arg(numberText(kg)),
                QStringLiteral("CargaOrdenes"));
        }
    }
    return kg;
}

CargaOrdenes::Resultado CargaOrdenes::Cargar(const ListaRangos& rangos, const Opciones& opciones,
                                             GridModel& grilla, const Avance& avance,
                                             ResultadoCarga* tipado)
{
    m_tipado = tipado;
    m_filaLineaAnterior = -1;
    const QString filtro = Componentes::Reportes().ArmarFiltroSQL(rangos);
    const QString sql = ArmarConsulta(ArmarCondicion(filtro, opciones), opciones.orden);
    Resultado resultado;
    SinAvisos sinAvisos(grilla);
    IniciarGrilla(grilla);
    m_articulos.vaciar();
    m_insumo.clear();
    m_loteFiable = true;
    m_orden = OrdenLista::Clave;
    m_enCurso.reset();
    m_pidioLaFallida.reset();
    CompDatos& datos = Componentes::Datos();
    // Started before the order query, so that its connection opens meanwhile.
    m_enHilo.reset();
    if (datos.Motor() == SqlBackend::PostgreSQL && !opciones.consultaPorLinea &&
        datos.Conexion().IsolationLevel() <= 4096 && datos.Conectado()) {
        // The schemas the load's connection finds its tables in.
        std::unique_ptr<Recordset> ruta =
            datos.AbrirRecordset(QStringLiteral("SELECT current_setting('search_path')"));
        const QString esquemas = ruta->atBof() ? QString() : texto(ruta->value(0));
        datos.CerrarRecordset(ruta);
        m_enHilo = std::make_unique<ListaEnHilo>(
            datos.AjustesDeConexion(), QStringLiteral("SELECT set_config('search_path', ") +
                                           sqlQuote(esquemas) + QStringLiteral(", false)"));
    }
    std::unique_ptr<Recordset> lineas = datos.AbrirRecordsetOrdenado(sql);
    if (lineas->atBof())
        return resultado;
    const QString campos[] = {QStringLiteral("IdComprobante"), QStringLiteral("idArticulo"),
                              QStringLiteral("Descripcion"), QStringLiteral("Cantidad")};
    for (int k = 0; k < 4; ++k)
        m_campoLinea[k] = lineas->fieldIndex(campos[k]);

    // Lines are read ahead so that the articles of many lines can be fetched
    // together; the grid still grows line by line.
    std::deque<Linea> adelantadas;
    const std::size_t adelanto = opciones.consultaPorLinea             ? 1
                                 : datos.Motor() == SqlBackend::SQLite ? LineasAdelantadasSqlite
                                                                       : LineasAdelantadas;
    const bool porArticulo = !opciones.consultaPorLinea;
    const auto adelantar = [&] {
        while (adelantadas.size() < adelanto && !lineas->atEof()) {
            adelantadas.push_back(leerLinea(*lineas));
            if (porArticulo)
                m_articulos.adelantada(texto(adelantadas.back().articulo));
            lineas->moveNext();
        }
    };
    for (adelantar(); !adelantadas.empty(); adelantar()) {
        const Linea& linea = adelantadas.front();
        try {
            const QString articulo = texto(linea.articulo);
            const int r = grilla.rows() - 1;
            grilla.setText(r, 1, texto(linea.comprobante).trimmed());
            grilla.setText(r, 2, articulo.trimmed());
            grilla.setText(r, 3, texto(linea.descripcion).trimmed());
            grilla.setText(r, 4, texto(linea.cantidad).trimmed());
            // What this load knows of the article, asking for it (with the
            // lines read ahead) when it does not know it yet.
            const auto conocido = [&](bool conInsumos) -> const Articulo* {
                const auto falta = [&](const Articulo* a) {
                    return !a || (conInsumos && !a->insumos);
                };
                const Articulo* sabido = m_articulos.buscar(articulo);
                if (falta(sabido)) {
                    esperar(articulo);
                    sabido = m_articulos.buscar(articulo);
                }
                if (falta(sabido) && traerEnLote(adelantadas)) {
                    esperar(articulo);
                    sabido = m_articulos.buscar(articulo);
                }
                return sabido;
            };
            // Stays valid while nothing is added to what the load knows.
            const Articulo* leido = nullptr;
            if (opciones.consultaPorLinea) {
                escribirLinea(medidasPorConsulta(articulo), grilla);
            } else {
                leido = conocido(false);
                if (!leido)
                    leido = &m_articulos.guardar(articulo, {medidasPorConsulta(articulo), {}});
                escribirLinea(leido->medidas, grilla);
            }
            ++resultado.lineas;
            // A line without an article has no bill of materials to look up.
            if (!linea.articulo.isNull()) {
                const auto codigo = [&] {
                    return Componentes::General().CompletarCodigo(articulo, 25);
                };
                if (opciones.consultaPorLinea) {
                    resultado.insumos +=
                        escribirInsumos(linea, insumosPorConsulta(codigo()).get(), grilla);
                } else {
                    // Known since its dimensions were: asked on its own when
                    // no list brought its bill of materials.
                    if (!leido->insumos)
                        leido = conocido(true);
                    if (!leido->insumos)
                        leido = &m_articulos.guardarInsumos(articulo, insumosPorConsulta(codigo()));
                    resultado.insumos += escribirInsumos(linea, leido->insumos.get(), grilla);
                }
            }
            // A thread done with its list is asked for the next one at once,
            // from the lines read ahead by now, not once a line needs it: the
            // server works on it while the lines of this one are written.
            if (m_enCurso && m_enHilo->terminada())
                traerEnLote(adelantadas);
        } catch (const RuntimeError& error) {
            throw enLaLinea(error, m_pidioLaFallida ? *m_pidioLaFallida : linea);
        }
        // What the lines written and their bills of materials held goes back
        // to the system, or the grid would grow past it.
        if (resultado.lineas % LineasEntreDevoluciones == 0)
            giveBackFreedMemory();
        // The line written leaves the lines read ahead.
        if (porArticulo)
            m_articulos.escrita(texto(linea.articulo));
        adelantadas.pop_front();
        if (avance && !avance(resultado.lineas)) {
            resultado.cancelada = !adelantadas.empty() || !lineas->atEof();
            break;
        }
    }
    datos.CerrarRecordset(lineas);
    m_enCurso.reset();
    m_enHilo.reset();
    if (m_tipado)
        m_tipado->cerrar(grilla);
    return resultado;
}

CargaOrdenes::Linea CargaOrdenes::leerLinea(const Recordset& rs) const
{
    return {rs.value(m_campoLinea[0]), rs.value(m_campoLinea[1]), rs.value(m_campoLinea[2]),
            rs.value(m_campoLinea[3])};
}

RuntimeError CargaOrdenes::enLaLinea(const RuntimeError& error, const Linea& linea) const
{
    QString donde = QStringLiteral("En la orden %1, artículo %2")
                        .arg(campoVisible(linea.comprobante), campoVisible(linea.articulo));
    if (!m_insumo.isNull())
        donde += QStringLiteral(", insumo ") + codigoVisible(m_insumo);
    return RuntimeError(error.number(), donde + QStringLiteral(": ") + error.description(),
                        error.source());
}

void CargaOrdenes::escribirLinea(const Medidas& medidas, GridModel& grilla)
{
    const int r = grilla.rows() - 1;
    grilla.setText(r, 5, QStringLiteral("Ancho ") + medidas.ancho);
    grilla.setText(r, 6, QStringLiteral("Largo ") + medidas.largo);
    grilla.setText(r, 7, QStringLiteral("Espesor ") + medidas.profundo);
    if (m_tipado) {
        const bool ordenNueva = m_filaLineaAnterior < 0 ||
                                grilla.textView(r, 1) != grilla.textView(m_filaLineaAnterior, 1);
        m_tipado->agregarLinea(r, ordenNueva, grilla.textView(r, 4), medidas.ancho, medidas.largo,
                               medidas.profundo);
        m_filaLineaAnterior = r;
    }
    grilla.setRow(r);
    for (int c = 0; c < grilla.cols(); ++c) {
        grilla.setCol(c);
        grilla.setCellBackColor(Verde);
    }
    grilla.setRows(grilla.rows() + 1);
}

CargaOrdenes::Medidas CargaOrdenes::medidasLeidas(const Recordset& rs, int ancho, int largo,
                                                  int profundo)
{
    // As the one-column lookups give them.
    return {textoCifra(rs, ancho), textoCifra(rs, largo), textoCifra(rs, profundo)};
}

CargaOrdenes::Medidas CargaOrdenes::medidasPorConsulta(const QString& articulo)
{
    CompDatos& datos = Componentes::Datos();
    const auto dimension = [&](const QString& columna) {
        return datos.BuscarCampo(QStringLiteral("V_MA_ARTICULOS"), articulo, columna,
                                 QStringLiteral("IDARTICULO"), 8, QString());
    };
    Medidas m;
    m.ancho = dimension(QStringLiteral("ANCHO"));
    m.largo = dimension(QStringLiteral("LARGO"));
    m.profundo = dimension(QStringLiteral("PROFUNDO"));
    return m;
}

namespace {

// Appends a supply row to its article's rows, its texts to their run; every
// field read straight from the row where it can be, with no value of its own.
// `apunte` is a string kept from row to row for the texts only looked at.
// A failure is kept with the row.
template <typename Filas>
void leerInsumo(const Recordset& rs, const CamposInsumo& c, Filas& f, QString& apunte)
{
    auto& s = f.filas.emplace_back();
    s.columnasLeidas = 0;
    const auto agregar = [&](int k, const QString& t) {
        f.textos += t;
        s.largos[k] = quint32(t.size());
    };
    // A text field goes straight from the row into the run.
    const auto leer = [&](int k, int campo, bool recortado) {
        const qsizetype desde = f.textos.size();
        if (!rs.appendText(campo, f.textos)) {
            const QString t = textoCifra(rs, campo);
            agregar(k, recortado ? t.trimmed() : t);
            return;
        }
        if (recortado) {
            const QStringView leido = QStringView(f.textos).mid(desde);
            const QStringView limpio = leido.trimmed();
            if (limpio.size() != leido.size()) {
                const QString t = limpio.toString();
                f.textos.truncate(desde);
                f.textos += t;
            }
        }
        s.largos[k] = quint32(f.textos.size() - desde);
    };
    try {
        leer(0, c.codigo, false);
        s.columnasLeidas = 1;
        leer(1, c.descripcion, true);
        s.columnasLeidas = 2;
        leer(2, c.cantidad, false);
        s.columnasLeidas = 3;
        double peso;
        if (rs.realNumber(c.peso, peso)) {
            agregar(3, numberText(peso));
            s.columnasLeidas = 4;
            s.pesoEspecifico = numeroReal(peso);
        } else {
            const QVariant valor = rs.value(c.peso);
            agregar(3, texto(valor).trimmed());
            s.columnasLeidas = 4;
            s.pesoEspecifico = numero(valor);
        }
        // Else set once its article's row is read.
        if (c.produccion.laminado >= 0)
            FigurasArticulo::leidas(rs, c.produccion, apunte).aplicar(s);
    } catch (const RuntimeError& error) {
        // A code that could not be read shows as "?" in the message.
        if (s.columnasLeidas == 0)
            agregar(0, QStringLiteral("?"));
        s.error = qint32(f.errores.size());
        f.errores.push_back(error);
    }
}

// An article's figures from its own row, into each of its supply rows read
// without them; a figure that cannot be read fails each of them, as it would
// have failed reading the row.
void figurasDelArticulo(const Recordset& rs, const CamposArticulo& c, QString& apunte,
                        FilasInsumos& filas)
{
    try {
        const FigurasArticulo figuras = FigurasArticulo::leidas(rs, c, apunte);
        for (InsumoArticulo& s : filas.filas)
            if (s.error < 0)
                figuras.aplicar(s);
    } catch (const RuntimeError& error) {
        for (InsumoArticulo& s : filas.filas) {
            if (s.error < 0) {
                s.error = qint32(filas.errores.size());
                filas.errores.push_back(error);
            }
        }
    }
}

} // namespace

std::shared_ptr<const FilasInsumos> CargaOrdenes::insumosPorConsulta(const QString& codigoCompleto)
{
    CompDatos& datos = Componentes::Datos();
    std::unique_ptr<Recordset> rs = datos.AbrirRecordset(ConsultaInsumos(codigoCompleto));
    auto filas = std::make_shared<FilasInsumos>();
    if (!rs->atBof()) {
        const CamposInsumo campos(*rs, true);
        QString apunte;
        for (; !rs->atEof(); rs->moveNext())
            leerInsumo(*rs, campos, *filas, apunte);
    }
    datos.CerrarRecordset(rs);
    return filas;
}

namespace {

// Where the rows of a list's article go: given the article's place among
// those asked and its first row.
using EmpiezaArticulo =
    std::function<FilasInsumos*(int pedido, const Recordset& fila, const CamposInsumo& campos)>;

// Reads a list's rows into their articles' rows; false on a code no line
// asked for: the database compares codes otherwise than expected.
bool leerLista(Recordset& rs, const QHash<QString, int>& indice, bool conArticulo,
               const EmpiezaArticulo& empieza)
{
    const CamposInsumo campos(rs, conArticulo);
    // The rows of one article come together, its code looked up once; a
    // server that runs the articles' queries side by side may interleave
    // them, each article's rows still in their order.
    QString anterior, codigo, apunte;
    FilasInsumos* actual = nullptr;
    for (; !rs.atEof(); rs.moveNext()) {
        // Read into the same string row after row: it is copied only
        // when the article changes.
        codigo.resize(0);
        if (!rs.appendText(campos.articulo, codigo))
            codigo = texto(rs.value(campos.articulo));
        if (!actual || codigo != anterior) {
            const std::optional<QString> clave = claveDe(codigo);
            const auto it = clave ? indice.constFind(*clave) : indice.cend();
            if (it == indice.cend())
                return false;
            anterior = codigo;
            actual = empieza(*it, rs, campos);
            if (!actual)
                return false;
        }
        leerInsumo(rs, campos, *actual, apunte);
    }
    return true;
}

} // namespace

CargaOrdenes::CargaOrdenes() = default;
CargaOrdenes::~CargaOrdenes() = default;

bool CargaOrdenes::traerEnLote(const std::deque<Linea>& adelantadas)
{
    // A list still coming is taken whole first: its articles are known then.
    terminarLista();
    if (!m_loteFiable)
        return false;
    // The articles not known yet, once each, by the code the database finds.
    QHash<QString, int> indice;
    std::vector<Pedido> pedidos;
    for (const Linea& linea : adelantadas) {
        const QString articulo = texto(linea.articulo);
        const Articulo* conocido = m_articulos.buscar(articulo);
        if (conocido && (conocido->insumos || linea.articulo.isNull()))
            continue;
        const std::optional<QString> clave = claveDe(articulo);
        if (!clave)
            continue;
        auto it = indice.constFind(*clave);
        if (it == indice.cend()) {
            if (pedidos.size() == ArticulosPorLote)
                continue;
            it = indice.insert(*clave, int(pedidos.size()));
            pedidos.emplace_back().textos.append(articulo);
        } else if (!pedidos[*it].textos.contains(articulo)) {
            pedidos[*it].textos.append(articulo);
        }
    }
    if (pedidos.size() < MinimoParaLote)
        return false;

    CompGeneral& general = Componentes::General();
    for (Pedido& pedido : pedidos)
        pedido.completo = general.CompletarCodigo(pedido.textos.first(), 25);
    if (m_enHilo && m_orden == OrdenLista::Clave && m_enHilo->disponible()) {
        iniciarLista(std::move(indice), std::move(pedidos), adelantadas.front());
        return true;
    }
    m_enHilo.reset();
    return traerLista(indice, pedidos);
}

bool CargaOrdenes::traerLista(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos)
{
    if (!insumosEnLote(indice, pedidos))
        return false;
    if (m_orden != OrdenLista::Propia) {
        // Whether the list gives an article's rows as its own query does shows
        // on one article with several supplies, asked on its own. When it does
        // not, the list is asked again the next way, for this load from now on.
        for (const Pedido& pedido : pedidos) {
            if (!pedido.filas || pedido.filas->filas.size() < 2)
                continue;
            const std::shared_ptr<const FilasInsumos> propio = insumosPorConsulta(pedido.completo);
            const QList<QStringView> esperados = propio->codigos();
            const auto igual = [&] { return pedido.filas && pedido.filas->codigos() == esperados; };
            while (m_orden != OrdenLista::Propia && !igual()) {
                m_orden = m_orden == OrdenLista::Clave ? OrdenLista::Lectura : OrdenLista::Propia;
                if (!insumosEnLote(indice, pedidos))
                    return false;
            }
            break;
        }
    }
    if (!medir(indice, pedidos))
        return false;
    m_articulos.reservar(qsizetype(pedidos.size()));
    for (Pedido& pedido : pedidos)
        guardar(pedido);
    return true;
}

bool CargaOrdenes::medir(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos)
{
    // Where the supply rows carry their article's dimensions, only the
    // articles without a bill of materials are asked for theirs; else every
    // article, and its rows take its figures from there.
    CompDatos& datos = Componentes::Datos();
    const bool conArticulo = ListaConArticulo(datos.Motor(), m_orden);
    QStringList aMedir;
    for (const Pedido& pedido : pedidos)
        if (!pedido.conFilas || !conArticulo)
            aMedir.append(pedido.textos.first());
    if (aMedir.isEmpty())
        return true;
    std::unique_ptr<Recordset> rs = datos.AbrirRecordset(ConsultaMedidasDe(aMedir));
    if (!rs->atBof()) {
        const int id = rs->fieldIndex(QStringLiteral("IDARTICULO"));
        const int ancho = rs->fieldIndex(QStringLiteral("ANCHO"));
        const int largo = rs->fieldIndex(QStringLiteral("LARGO"));
        const int profundo = rs->fieldIndex(QStringLiteral("PROFUNDO"));
        const CamposArticulo campos(*rs);
        QString apunte;
        std::vector<bool> medido(pedidos.size());
        for (; !rs->atEof(); rs->moveNext()) {
            const std::optional<QString> clave = claveDe(texto(rs->value(id)));
            const auto it = clave ? indice.constFind(*clave) : indice.cend();
            if (it == indice.cend())
                return false;
            Pedido& pedido = pedidos[*it];
            if (medido[*it] || (pedido.conFilas && conArticulo))
                continue;
            pedido.medidas = medidasLeidas(*rs, ancho, largo, profundo);
            medido[*it] = true;
            if (pedido.filas)
                figurasDelArticulo(*rs, campos, apunte, *pedido.filas);
        }
    }
    datos.CerrarRecordset(rs);
    return true;
}

void CargaOrdenes::guardar(Pedido& pedido)
{
    if (pedido.filas)
        pedido.filas->ajustar();
    if (!m_ninguno)
        m_ninguno = std::make_shared<const FilasInsumos>();
    const Articulo conocido{pedido.medidas, pedido.filas ? std::move(pedido.filas) : m_ninguno};
    for (const QString& articulo : pedido.textos)
        m_articulos.guardar(articulo, conocido);
    pedido.guardado = true;
}

bool CargaOrdenes::insumosEnLote(const QHash<QString, int>& indice, std::vector<Pedido>& pedidos)
{
    QStringList completos;
    completos.reserve(qsizetype(pedidos.size()));
    for (Pedido& pedido : pedidos) {
        pedido.filas.reset();
        pedido.conFilas = false;
        pedido.medidas = {};
        completos.append(pedido.completo);
    }
    CompDatos& datos = Componentes::Datos();
    // A list in key order fixes the order of its rows, so a server cursor may
    // bring them a batch at a time: PostgreSQL's driver would otherwise hold
    // the whole list's result before the first row is read.
    const QString sql = ConsultaInsumosDe(completos, m_orden, datos.Motor());
    std::unique_ptr<Recordset> rs = m_orden == OrdenLista::Clave ? datos.AbrirRecordsetOrdenado(sql)
                                                                 : datos.AbrirRecordset(sql);
    const bool conArticulo = ListaConArticulo(datos.Motor(), m_orden);
    if (!rs->atBof() && !leerLista(*rs, indice, conArticulo,
                                   [&](int p, const Recordset& fila, const CamposInsumo& campos) {
                                       Pedido& pedido = pedidos[std::size_t(p)];
                                       if (!pedido.conFilas) {
                                           pedido.conFilas = true;
                                           pedido.filas = std::make_shared<FilasInsumos>();
                                           if (conArticulo)
                                               pedido.medidas =
                                                   medidasLeidas(fila, campos.produccion.ancho,
                                                                 campos.produccion.largo,
                                                                 campos.produccion.profundo);
                                       }
                                       return pedido.filas.get();
                                   })) {
        m_loteFiable = false;
        return false;
    }
    datos.CerrarRecordset(rs);
    return true;
}

void CargaOrdenes::iniciarLista(QHash<QString, int> indice, std::vector<Pedido> pedidos,
                                const Linea& pidio)
{
    QStringList completos;
    completos.reserve(qsizetype(pedidos.size()));
    ListaEnCurso lista;
    for (const Pedido& pedido : pedidos)
        completos.append(pedido.completo);
    // Only lists in key order come here, and a key's rows come together: an
    // article whose code shows again after another's is no order this list
    // can keep, and the list is not trusted.
    const std::size_t cuantos = pedidos.size();
    m_enHilo->pedir(
        ConsultaInsumosDe(completos, OrdenLista::Clave, SqlBackend::PostgreSQL),
        [indice, cuantos](Recordset& rs, const ListaEnHilo::Entregar& entregar) {
            std::vector<bool> vistos(cuantos);
            ListaEnHilo::Articulo abierto;
            const auto cerrar = [&] {
                if (!abierto.filas)
                    return;
                abierto.filas->ajustar();
                entregar(std::move(abierto));
                abierto = {};
            };
            const bool fiable = leerLista(
                rs, indice, true,
                [&](int p, const Recordset& fila, const CamposInsumo& campos) -> FilasInsumos* {
                    if (vistos[std::size_t(p)])
                        return nullptr;
                    vistos[std::size_t(p)] = true;
                    cerrar();
                    abierto.pedido = p;
                    abierto.filas = std::make_shared<FilasInsumos>();
                    abierto.medidas =
                        medidasLeidas(fila, campos.produccion.ancho, campos.produccion.largo,
                                      campos.produccion.profundo);
                    return abierto.filas.get();
                });
            if (fiable)
                cerrar();
            return fiable;
        });
    lista.indice = std::move(indice);
    lista.pedidos = std::move(pedidos);
    lista.pidio = pidio;
    m_enCurso = std::move(lista);
}

void CargaOrdenes::esperar(const QString& articulo)
{
    if (!m_enCurso)
        return;
    const std::optional<QString> clave = claveDe(articulo);
    const auto it = clave ? m_enCurso->indice.constFind(*clave) : m_enCurso->indice.cend();
    if (it == m_enCurso->indice.cend())
        return;
    const std::size_t p = std::size_t(*it);
    while (m_enCurso && !m_enCurso->pedidos[p].guardado)
        recibir();
}

void CargaOrdenes::terminarLista()
{
    while (m_enCurso)
        recibir();
}

void CargaOrdenes::recibir()
{
    ListaEnHilo::Articulo leido;
    ListaEnHilo::Paso paso;
    try {
        paso = m_enHilo->siguiente(leido);
    } catch (const RuntimeError&) {
        m_pidioLaFallida = m_enCurso->pidio;
        m_enCurso.reset();
        throw;
    }
    switch (paso) {
    case ListaEnHilo::Paso::Articulo: {
        ListaEnCurso& lista = *m_enCurso;
        Pedido& pedido = lista.pedidos[std::size_t(leido.pedido)];
        pedido.conFilas = true;
        pedido.filas = std::move(leido.filas);
        pedido.medidas = std::move(leido.medidas);
        while (lista.llegados < lista.pedidos.size() && lista.pedidos[lista.llegados].conFilas)
            ++lista.llegados;
        if (lista.comprobada || pedido.filas->filas.size() < 2)
            guardar(pedido);
        else
            lista.retenidos.push_back(leido.pedido);
        comprobarLista();
        break;
    }
    case ListaEnHilo::Paso::Fin:
        cerrarLista();
        break;
    case ListaEnHilo::Paso::NoFiable:
        // As a list read on the load's connection: what came of it before
        // stays known, the rest is asked article by article.
        m_loteFiable = false;
        m_enCurso.reset();
        break;
    }
}

void CargaOrdenes::comprobarLista()
{
    if (!m_enCurso || m_enCurso->comprobada)
        return;
    ListaEnCurso& lista = *m_enCurso;
    // The first article with several rows, as a list read whole checks it:
    // once every article before it has come.
    const Pedido* primero = nullptr;
    for (; !primero && lista.revisados < lista.llegados; ++lista.revisados) {
        const Pedido& pedido = lista.pedidos[lista.revisados];
        if (pedido.filas && pedido.filas->filas.size() >= 2)
            primero = &pedido;
    }
    if (!primero)
        return;
    const std::shared_ptr<const FilasInsumos> propio = insumosPorConsulta(primero->completo);
    if (primero->filas->codigos() != propio->codigos()) {
        // Asked again on the load's connection, the next way, as a list read
        // whole would have been; from now on every list is.
        m_enHilo.reset();
        ListaEnCurso otra = std::move(lista);
        m_enCurso.reset();
        for (Pedido& pedido : otra.pedidos)
            pedido.guardado = false;
        traerLista(otra.indice, otra.pedidos);
        return;
    }
    lista.comprobada = true;
    for (const int p : lista.retenidos)
        guardar(lista.pedidos[std::size_t(p)]);
    lista.retenidos.clear();
}

void CargaOrdenes::cerrarLista()
{
    ListaEnCurso& lista = *m_enCurso;
    lista.llegados = lista.pedidos.size();
    comprobarLista();
    if (!m_enCurso)
        return;
    ListaEnCurso cerrada = std::move(*m_enCurso);
    m_enCurso.reset();
    if (!medir(cerrada.indice, cerrada.pedidos))
        return;
    for (Pedido& pedido : cerrada.pedidos)
        if (!pedido.guardado)
            guardar(pedido);
}

int CargaOrdenes::escribirInsumos(const Linea& linea, const FilasInsumos* insumos,
                                  GridModel& grilla)
{
    if (!insumos || insumos->filas.empty())
        return 0;
    const double cantidad = numero(linea.cantidad);
    const FilasInsumos& filas = *insumos;
    const QStringView textos(filas.textos);
    qsizetype desde = 0;
    int escritos = 0;
    for (const InsumoArticulo& s : filas.filas) {
        QStringView campo[4];
        for (int k = 0; k < 4; ++k) {
            campo[k] = textos.mid(desde, s.largos[k]);
            desde += s.largos[k];
        }
        const int r = grilla.rows() - 1;
        try {
            if (s.columnasLeidas > 0)
                grilla.setText(r, 2, campo[0].trimmed());
            if (s.columnasLeidas > 1)
                grilla.setText(r, 3, campo[1]);
            if (s.columnasLeidas > 2)
                grilla.setText(r, 4, campo[2]);
            if (s.columnasLeidas > 3)
                grilla.setText(r, 5, campo[3]);
            if (s.error >= 0)
                throw filas.errores[std::size_t(s.error)];
            const double kg = EstimarKg(s.largo, s.ancho, s.profundo, s.pesoEspecifico, cantidad);
            grilla.setText(r, 6, decimalText(kg));
            if (m_tipado) {
                // The texts just written to the description's and the
                // specific weight's cells.
                const QStringView peso = s.columnasLeidas > 3 ? campo[3] : QStringView();
                if (s.material < 0) {
                    s.material = m_tipado->material(
                        campo[0].toString(), s.columnasLeidas > 1 ? campo[1] : QStringView());
                    s.estadoPeso = quint8(ResultadoCarga::estadoDe(peso));
                }
                m_tipado->agregarInsumo(r, s.material, peso, ResultadoCarga::Estado(s.estadoPeso),
                                        kg);
            }
        } catch (const RuntimeError&) {
            // The message names the supply the row was being written for.
            m_insumo = campo[0].toString();
            throw;
        }
        grilla.setRows(grilla.rows() + 1);
        ++escritos;
    }
    return escritos;
}
