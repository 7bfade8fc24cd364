#include "report/RP_OProduccion.h"

#include "components/Atender.h"
#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "components/TrabajoEnHilo.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridView.h"
#include "platform/controls/TabBar.h"
#include "platform/controls/Twips.h"
#include "platform/files/OwnSettings.h"
#include "platform/files/ProgramFolder.h"
#include "report/GraficoTotales.h"
#include "report/nucleo/ResumenCarga.h"
#include "report/nucleo/TotalesInsumo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <optional>

namespace {

// Calls back whenever the watched widget changes size.
class AlCambiarTamano : public QObject
{
public:
    AlCambiarTamano(QObject* padre, std::function<void()> accion)
        : QObject(padre), m_accion(std::move(accion))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* evento) override
    {
        if (evento->type() == QEvent::Resize)
            m_accion();
        return false;
    }

private:
    std::function<void()> m_accion;
};

} // namespace

namespace {

using ReporteOrdenes::Titulo;
const QString NombreEstado = QStringLiteral("Estado de la carga");

// What the columns of figures hold, for the operator who hovers their titles.
QString ayudaDeColumna(const QString& titulo)
{
    if (titulo == u"Kg")
        return QStringLiteral(
            "Kilogramos estimados: volumen de la pieza en m³ (largo × ancho × espesor, en mm) "
            "× peso específico en kg/m³ × cantidad de piezas de la línea.\n"
            "Un artículo laminado cuenta el peso específico dos veces.");
    if (titulo == u"PE")
        return QStringLiteral("Peso específico del insumo, en kg/m³.");
    return {};
}

template <class Control>
Control* ubicar(Control* control, const QString& nombre, int indice, int left, int top, int width,
                int height)
{
    control->setObjectName(nombre);
    if (indice >= 0)
        control->setProperty("Index", indice);
    control->setGeometry(rectFromTwips(left, top, width, height));
    return control;
}

// The filter boxes are designed as wide as their characters in the suite's
// font. Qt keeps a margin inside the frame that the text may use instead, and
// where the desktop's font is wider still, the box's letter shrinks a little:
// otherwise the first digit scrolls out of sight.
void mostrarEntero(QLineEdit* caja, const QString& muestra)
{
    caja->setTextMargins(-2, 0, -2, 0);
    QStyleOptionFrame opcion;
    opcion.initFrom(caja);
    opcion.rect = caja->rect();
    opcion.lineWidth = caja->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, caja);
    const int lugar =
        caja->style()->subElementRect(QStyle::SE_LineEditContents, &opcion, caja).width();
    QFont letra = caja->font();
    // Two pixels more: the cursor after the last character must fit too.
    while (QFontMetrics(letra).horizontalAdvance(muestra) + 2 > lugar) {
        const int pixeles = QFontInfo(letra).pixelSize();
        if (pixeles <= 7)
            break;
        letra.setPixelSize(pixeles - 1);
    }
    caja->setFont(letra);
}

} // namespace

RP_OProduccion::RP_OProduccion(QWidget* parent) : QWidget(parent)
{
    setObjectName(ReporteOrdenes::Nombre);
    setWindowTitle(Titulo);
    resize(pixelsFromTwips(11850), pixelsFromTwips(4830));
    // The design measures assume the suite's small dialog font (8 points).
    QFont letra = font();
    letra.setPointSizeF(8);
    setFont(letra);
    TerminarPrograma = [](int codigo) { QCoreApplication::exit(codigo); };
    crearControles();
    nombrarControles();
    ordenDeTabulacion();
}

RP_OProduccion::~RP_OProduccion() = default;

void RP_OProduccion::crearControles()
{
    auto caja = [this](QWidget* marco, int indice, const QString& clave, const QString& tipo,
                       int left, int top, int width, int height) {
        auto* c = ubicar(new QLineEdit(marco), QStringLiteral("txtFields"), indice, left, top,
                         width, height);
        CompTeclado::Configurar(c, clave, tipo);
        mostrarEntero(c, tipo == QLatin1String("fecha")
                             ? QStringLiteral("00/00/0000")
                             : QString(c->maxLength(), QLatin1Char('0')));
        Componentes::Teclado().Atender(c);
        txtFields.add(indice, c);
    };
    auto etiqueta = [](QWidget* marco, const QString& nombre, int indice, const QString& texto,
                       int left, int top, int width, int height) {
        auto* l = ubicar(new QLabel(texto, marco), nombre, indice, left, top, width, height);
        return l;
    };
    const QString comprobantes = QStringLiteral("COMPROBANTES");
    const QString fecha = QStringLiteral("fecha");

    // The designed filters and buttons keep their places in a band that
    // scrolls sideways where the window is narrower than the design (a large
    // scale on a small screen), so the window always fits its screen and the
    // grid takes the width there is.
    AreaFiltros = new QScrollArea(this);
    AreaFiltros->setObjectName(QStringLiteral("AreaFiltros"));
    AreaFiltros->setFrameShape(QFrame::NoFrame);
    AreaFiltros->setFocusPolicy(Qt::NoFocus);
    AreaFiltros->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AreaFiltros->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AreaFiltros->setAccessibleName(QStringLiteral("Filtros"));
    auto* banda = new QWidget;
    banda->setObjectName(QStringLiteral("PanelFiltros"));

    FrmTipo = ubicar(new QGroupBox(QStringLiteral("Nº de Orden de Producción"), banda),
                     QStringLiteral("FrmTipo"), 0, 0, 0, 5415, 615);
    Label1.add(0, etiqueta(FrmTipo, QStringLiteral("Label1"), 0, QStringLiteral("Desde:"), 120, 240,
                           615, 255));
    caja(FrmTipo, 0, QStringLiteral("Sucursal_desde"), comprobantes, 840, 240, 495, 285);
    caja(FrmTipo, 1, QStringLiteral("Nro_desde"), comprobantes, 1380, 240, 855, 285);
    caja(FrmTipo, 2, QStringLiteral("Letra_Desde"), comprobantes, 2280, 240, 255, 285);
    Label2.add(0, etiqueta(FrmTipo, QStringLiteral("Label2"), 0, QStringLiteral("Hasta:"), 2880,
                           240, 615, 255));
    caja(FrmTipo, 3, QStringLiteral("Sucursal_Hasta"), comprobantes, 3480, 240, 495, 285);
    caja(FrmTipo, 4, QStringLiteral("Nro_Hasta"), comprobantes, 4020, 240, 855, 285);
    caja(FrmTipo, 5, QStringLiteral("Letra_Hasta"), comprobantes, 4920, 240, 255, 285);

    auto* fechas = ubicar(new QGroupBox(QStringLiteral("Fecha"), banda), QStringLiteral("Frame1"),
                          2, 5520, 0, 5415, 615);
    Frame1.add(2, fechas);
    Label1.add(2, etiqueta(fechas, QStringLiteral("Label1"), 2, QStringLiteral("Desde:"), 120, 240,
                           1575, 255));
    caja(fechas, 8, QStringLiteral("Fecha_desde"), fecha, 840, 240, 1095, 285);
    Label2.add(2, etiqueta(fechas, QStringLiteral("Label2"), 2, QStringLiteral("Hasta:"), 2880, 240,
                           615, 255));
    caja(fechas, 9, QStringLiteral("Fecha_hasta"), fecha, 3480, 240, 1215, 285);

    Frame2 = ubicar(new QGroupBox(QStringLiteral("Estado"), banda), QStringLiteral("Frame2"), -1, 0,
                    600, 1695, 855);
    ChkEstado.add(0, ubicar(new QCheckBox(QStringLiteral("&Pendientes"), Frame2),
                            QStringLiteral("ChkEstado"), 0, 120, 240, 1455, 255));
    ChkEstado.add(1, ubicar(new QCheckBox(QStringLiteral("&Finalizada"), Frame2),
                            QStringLiteral("ChkEstado"), 1, 120, 480, 1455, 255));

    auto* orden = ubicar(new QGroupBox(QStringLiteral("Orden"), banda), QStringLiteral("Frame1"), 3,
                         1800, 600, 1695, 855);
    Frame1.add(3, orden);
    OptOrden.add(0, ubicar(new QRadioButton(QStringLiteral("&Fecha"), orden),
                           QStringLiteral("OptOrden"), 0, 120, 240, 975, 255));
    OptOrden.add(1, ubicar(new QRadioButton(QStringLiteral("&Numero"), orden),
                           QStringLiteral("OptOrden"), 1, 120, 480, 1095, 255));
    OptOrden.at(0)->setProperty("Tag", QStringLiteral("{V_MV_Cpte.Fecha}"));
    OptOrden.at(1)->setProperty("Tag", QStringLiteral("{V_MV_Cpte.IdComprobante}"));
    OptOrden.at(0)->setChecked(true);

    auto* tipo = ubicar(new QGroupBox(QStringLiteral("Tipo"), banda), QStringLiteral("Frame1"), 4,
                        11040, 0, 1695, 615);
    Frame1.add(4, tipo);
    OptTipo.add(2, ubicar(new QRadioButton(QStringLiteral("Estimativo"), tipo),
                          QStringLiteral("OptTipo"), 2, 120, 240, 1215, 195));
    OptTipo.add(0, ubicar(new QRadioButton(QStringLiteral("&Resumido"), tipo),
                          QStringLiteral("OptTipo"), 0, 120, 240, 1335, 255));
    OptTipo.add(1, ubicar(new QRadioButton(QStringLiteral("&Detallado"), tipo),
                          QStringLiteral("OptTipo"), 1, 120, 555, 1335, 255));
    OptTipo.at(2)->setChecked(true);
    // Kept for the suite's callers, never offered: nothing to reach.
    for (const int i : {0, 1}) {
        OptTipo.at(i)->hide();
        OptTipo.at(i)->setFocusPolicy(Qt::NoFocus);
    }

    CmdCargar = ubicar(new QPushButton(QStringLiteral("Cargar"), banda),
                       QStringLiteral("CmdCargar"), -1, 3720, 720, 1575, 735);
    CmdExcel = ubicar(new QPushButton(QStringLiteral("Exportar Excel"), banda),
                      QStringLiteral("CmdExcel"), -1, 5520, 720, 1575, 735);
    CmdSalir = ubicar(new QPushButton(QStringLiteral("Salir"), banda), QStringLiteral("CmdSalir"),
                      -1, 7320, 720, 1575, 735);
    banda->resize(banda->childrenRect().bottomRight().x() + 8,
                  banda->childrenRect().bottomRight().y() + 1);
    AreaFiltros->setWidget(banda);
    AreaFiltros->setGeometry(0, 0, banda->width(), banda->height());
    connect(CmdCargar, &QPushButton::clicked, this,
            [this] { atender([this] { CmdCargar_Click(); }); });
    connect(CmdExcel, &QPushButton::clicked, this,
            [this] { atender([this] { CmdExcel_Click(); }); });
    connect(CmdSalir, &QPushButton::clicked, this,
            [this] { atender([this] { CmdSalir_Click(); }); });

    MSFlexGrid1Vista = ubicar(new GridView(&MSFlexGrid1, this), QStringLiteral("MSFlexGrid1"), -1,
                              120, 2160, 16455, 6735);
    MSFlexGrid1Vista->horizontalHeader()->viewport()->installEventFilter(this);
    // The free width right of the designed columns goes to the last one.
    MSFlexGrid1Vista->setLastColumnFills(true);

    // Below the grid, in the band the resize rule leaves under it, so the
    // grid keeps its designed height.
    LblEstado = new QLabel(this);
    LblEstado->setObjectName(QStringLiteral("LblEstado"));
    LblEstado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LblEstado->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LblEstado->hide();

    PanelTotales = new QSplitter(Qt::Horizontal, this);
    PanelTotales->setObjectName(QStringLiteral("PanelTotales"));
    PanelTotales->setChildrenCollapsible(false);
    MSFlexGridTotalesVista = new GridView(&MSFlexGridTotales, PanelTotales);
    MSFlexGridTotalesVista->setObjectName(QStringLiteral("MSFlexGridTotales"));
    GrfTotales = new GraficoTotales(PanelTotales);
    PanelTotales->setStretchFactor(0, 1);
    PanelTotales->setStretchFactor(1, 1);
    PanelTotales->hide();
    // The chart follows the totals whenever they are computed again.
    connect(&MSFlexGridTotales, &QAbstractItemModel::modelReset, GrfTotales,
            [this] { GrfTotales->Mostrar(MSFlexGridTotales); });
    // The totals table is the program's own, not a designed layout: its
    // figures are never cut, the description takes what they leave.
    connect(&MSFlexGridTotales, &QAbstractItemModel::modelReset, this,
            [this] { ajustarColumnasTotales(); });
    MSFlexGridTotalesVista->viewport()->installEventFilter(
        new AlCambiarTamano(MSFlexGridTotalesVista, [this] { ajustarColumnasTotales(); }));
    // Enter or a double click on a material, or a double click on its bar.
    connect(MSFlexGridTotalesVista, &QAbstractItemView::activated, this,
            [this](const QModelIndex& celda) {
                atender([&] { FiltrarPorInsumo(celda.row() + MSFlexGridTotales.fixedRows()); });
            });
    connect(GrfTotales, &GraficoTotales::insumoElegido, this,
            [this](int fila) { atender([&] { FiltrarPorInsumo(fila); }); });
    LblFiltroInsumo = new QLabel(this);
    LblFiltroInsumo->setObjectName(QStringLiteral("LblFiltroInsumo"));
    LblFiltroInsumo->hide();
    MSFlexGridFiltradaVista = new GridView(&m_grillaFiltrada, this);
    MSFlexGridFiltradaVista->setObjectName(QStringLiteral("MSFlexGridFiltrada"));
    MSFlexGridFiltradaVista->setLastColumnFills(true);
    MSFlexGridFiltradaVista->setAccessibleName(QStringLiteral("Órdenes que usan el insumo"));
    MSFlexGridFiltradaVista->hide();
    CmdMostrarTodo = new QPushButton(QStringLiteral("Mostrar todo"), this);
    CmdMostrarTodo->setObjectName(QStringLiteral("CmdMostrarTodo"));
    CmdMostrarTodo->setAccessibleDescription(
        QStringLiteral("Vuelve a mostrar todas las órdenes cargadas."));
    CmdMostrarTodo->hide();
    // An export under way may be reading the filtered rows.
    connect(CmdMostrarTodo, &QPushButton::clicked, this, [this] {
        if (!m_ocupada)
            MostrarTodo();
    });
    // A new load (or a grid emptied) leaves nothing the filter's rows stand for.
    connect(&MSFlexGrid1, &QAbstractItemModel::modelReset, this, [this] {
        if (!m_insumoFiltrado.isEmpty())
            MostrarTodo();
    });
    TabGrillas = new TabBar(this);
    TabGrillas->setObjectName(QStringLiteral("TabGrillas"));
    TabGrillas->setShape(QTabBar::RoundedSouth);
    TabGrillas->setDrawBase(false);
    TabGrillas->setExpanding(false);
    TabGrillas->addTab(QStringLiteral("Órdenes"));
    TabGrillas->addTab(QStringLiteral("Totales por insumo"));
    TabGrillas->hide();
    connect(TabGrillas, &QTabBar::currentChanged, this, [this](int i) { mostrarGrilla(i); });
}

// What a screen reader says of each control, beside its designed caption: the
// filter boxes share two frame titles and two labels, so each gets a name of
// its own and a description of what it takes.
void RP_OProduccion::nombrarControles()
{
    struct Caja
    {
        int indice;
        const char* nombre;
        const char* descripcion;
    };
    static const Caja cajas[] = {
        {0, "Sucursal desde",
         "Primera orden del rango: sucursal, hasta 4 dígitos, completados con ceros."},
        {1, "Número desde",
         "Primera orden del rango: número, hasta 8 dígitos, completados con ceros."},
        {2, "Letra desde", "Primera orden del rango: letra del número, una sola."},
        {3, "Sucursal hasta",
         "Última orden del rango: sucursal, hasta 4 dígitos, completados con ceros."},
        {4, "Número hasta",
         "Última orden del rango: número, hasta 8 dígitos, completados con ceros."},
        {5, "Letra hasta",
         "Última orden del rango: letra del número, una sola; sin letra, todas las del número."},
        {8, "Fecha desde", "Primera fecha de las órdenes, como día/mes/año."},
        {9, "Fecha hasta", "Última fecha de las órdenes, como día/mes/año; incluye todo ese día."},
    };
    for (const Caja& c : cajas) {
        txtFields.at(c.indice)->setAccessibleName(QString::fromUtf8(c.nombre));
        txtFields.at(c.indice)->setAccessibleDescription(QString::fromUtf8(c.descripcion) +
                                                         QStringLiteral(" Vacía, sin límite."));
    }
    // The labels read "Desde:" and "Hasta:" before the first box of each range.
    Label1.at(0)->setBuddy(txtFields.at(0));
    Label2.at(0)->setBuddy(txtFields.at(3));
    Label1.at(2)->setBuddy(txtFields.at(8));
    Label2.at(2)->setBuddy(txtFields.at(9));

    const QString ambos = QStringLiteral(" Con los dos estados marcados, o ninguno, todas.");
    ChkEstado.at(0)->setAccessibleDescription(QStringLiteral("Lista las órdenes pendientes.") +
                                              ambos);
    ChkEstado.at(1)->setAccessibleDescription(QStringLiteral("Lista las órdenes finalizadas.") +
                                              ambos);
    OptOrden.at(0)->setAccessibleName(QStringLiteral("Ordenar por fecha"));
    OptOrden.at(1)->setAccessibleName(QStringLiteral("Ordenar por número"));
    OptTipo.at(2)->setAccessibleName(QStringLiteral("Tipo estimativo"));
    OptTipo.at(0)->setAccessibleName(QStringLiteral("Tipo resumido"));
    OptTipo.at(1)->setAccessibleName(QStringLiteral("Tipo detallado"));
    CmdCargar->setAccessibleDescription(
        QStringLiteral("Muestra en la grilla las órdenes que cumplen los filtros."));
    CmdExcel->setAccessibleDescription(QStringLiteral(
        "Guarda la grilla a la vista como libro de cálculo y muestra su vista preliminar."));
    CmdSalir->setAccessibleDescription(QStringLiteral("Termina el programa."));

    MSFlexGrid1Vista->setAccessibleName(QStringLiteral("Resultado del reporte"));
    MSFlexGrid1Vista->setAccessibleDescription(
        QStringLiteral("Cada línea de orden, con las medidas del artículo, seguida de una fila por "
                       "insumo con su peso específico y los kilogramos estimados."));
    MSFlexGridTotalesVista->setAccessibleName(QStringLiteral("Totales por insumo"));
    MSFlexGridTotalesVista->setAccessibleDescription(
        QStringLiteral("Los kilogramos por materia prima de todas las líneas cargadas."));
    for (GridModel* grilla : {&MSFlexGrid1, static_cast<GridModel*>(&MSFlexGridTotales)})
        for (const QString& titulo : {QStringLiteral("Kg"), QStringLiteral("PE")})
            grilla->setColumnDescription(titulo, ayudaDeColumna(titulo));
    MSFlexGridTotales.setColumnDescription(
        QStringLiteral("Kg"),
        QStringLiteral("Kilogramos estimados del insumo en todas las líneas cargadas."));
    MSFlexGridTotales.setColumnDescription(
        QStringLiteral("Incompletas"),
        QStringLiteral("Líneas del insumo cuya estimación está incompleta."));
    TabGrillas->setAccessibleName(QStringLiteral("Grilla a la vista"));
    // Qt names the tab bar's arrows in English when no translation covers them.
    for (QToolButton* flecha : TabGrillas->findChildren<QToolButton*>())
        flecha->setAccessibleName(flecha->objectName().contains(u"Left")
                                      ? QStringLiteral("Pestaña anterior")
                                      : QStringLiteral("Pestaña siguiente"));
    LblEstado->setAccessibleName(NombreEstado);
}

void RP_OProduccion::mostrarGrilla(int pestana)
{
    const bool filtrada = pestana != 1 && !m_insumoFiltrado.isEmpty();
    PanelTotales->setVisible(pestana == 1);
    MSFlexGrid1Vista->setVisible(pestana != 1 && !filtrada);
    MSFlexGridFiltradaVista->setVisible(filtrada);
    ubicarFiltroInsumo();
}

GridModel& RP_OProduccion::GrillaVisible()
{
    if (TabGrillas && TabGrillas->currentIndex() == 1)
        return MSFlexGridTotales;
    return m_insumoFiltrado.isEmpty() ? MSFlexGrid1 : m_grillaFiltrada;
}

void RP_OProduccion::FiltrarPorInsumo(int filaTotales)
{
    // A load or an export under way reads the grids: the filter waits.
    if (m_ocupada)
        return;
    // The total row and the note under it name no material.
    const std::vector<int>& materiales = m_carga.materialDeFila;
    if (filaTotales < 0 || filaTotales >= int(materiales.size()) ||
        materiales[size_t(filaTotales)] < 0)
        return;
    const ResultadoCarga::Material& material =
        m_carga.tipado.materiales()[size_t(materiales[size_t(filaTotales)])];
    // The rows shown, with their formats and marks, copied into a grid of
    // their own, in the result grid's place: hiding the others row by row
    // would take minutes on a big load. "Exportar Excel" takes this one.
    const int cuantas = ReporteOrdenes::LineasDelMaterial(m_carga, materiales[size_t(filaTotales)],
                                                          MSFlexGrid1, m_grillaFiltrada);
    m_insumoFiltrado = material.codigo;
    const QString descripcion = material.descripcion.trimmed();
    m_insumoFiltradoTexto =
        descripcion.isEmpty() ? material.codigo : material.codigo + u" — " + descripcion;
    LblFiltroInsumo->setText(
        QStringLiteral("Órdenes que usan %1: %2 %3.")
            .arg(m_insumoFiltradoTexto, ResumenCarga::Cifra(cuantas, 0),
                 cuantas == 1 ? QStringLiteral("línea") : QStringLiteral("líneas")));
    LblFiltroInsumo->setAccessibleName(LblFiltroInsumo->text());
    TabGrillas->setCurrentIndex(0);
    mostrarGrilla(0);
    // The keyboard lands on the first line shown, drawn as current.
    MSFlexGridFiltradaVista->selectionModel()->setCurrentIndex(
        MSFlexGridFiltradaVista->model()->index(0, 1), QItemSelectionModel::NoUpdate);
    MSFlexGridFiltradaVista->setFocus(Qt::OtherFocusReason);
}

void RP_OProduccion::MostrarTodo()
{
    m_insumoFiltrado.clear();
    m_insumoFiltradoTexto.clear();
    m_grillaFiltrada.clear();
    m_grillaFiltrada.setRows(2);
    mostrarGrilla(TabGrillas->currentIndex());
}

void RP_OProduccion::ubicarFiltroInsumo()
{
    if (!LblFiltroInsumo)
        return;
    const bool visible = !m_insumoFiltrado.isEmpty() && TabGrillas->currentIndex() != 1;
    LblFiltroInsumo->setVisible(visible);
    CmdMostrarTodo->setVisible(visible);
    if (!visible)
        return;
    // In the band between the buttons and the grid.
    const QRect grilla = MSFlexGrid1Vista->geometry();
    const QSize boton = CmdMostrarTodo->sizeHint();
    const int arriba = std::max(0, grilla.top() - boton.height() - 2);
    CmdMostrarTodo->setGeometry(grilla.right() - boton.width() - 4, arriba, boton.width(),
                                boton.height());
    LblFiltroInsumo->setGeometry(
        grilla.x() + 4, arriba, std::max(1, CmdMostrarTodo->x() - grilla.x() - 12), boton.height());
}

void RP_OProduccion::ordenDeTabulacion()
{
    QList<QWidget*> orden;
    for (const int i : {0, 1, 2, 3, 4, 5, 8, 9})
        orden << txtFields.at(i);
    orden << ChkEstado.at(1) << ChkEstado.at(0) << OptOrden.at(0) << OptOrden.at(1) << OptTipo.at(2)
          << OptTipo.at(0) << OptTipo.at(1) << CmdCargar << MSFlexGrid1Vista << CmdExcel
          << CmdSalir;
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));
}

ModGlobal::Inicio RP_OProduccion::Form_Load(const QString& lineaComandos)
{
    if (ModGlobal::IniciarSesion(lineaComandos) == ModGlobal::Inicio::Terminar)
        return ModGlobal::Inicio::Terminar;
    Componentes::General().PrepararFormulario(this, 0);
    ModGlobal::DecorarFormulario(this);
    return ModGlobal::Inicio::Seguir;
}

void RP_OProduccion::ajustarColumnasTotales()
{
    GridView& vista = *MSFlexGridTotalesVista;
    constexpr int Descripcion = 2;
    constexpr int MinimoDescripcion = 120;
    int otras = 0;
    for (int c = 0; c < MSFlexGridTotales.cols(); ++c) {
        // The first column is the grid's narrow margin, as designed.
        if (c != 0 && c != Descripcion)
            vista.resizeColumnToContents(c);
        if (c != Descripcion)
            otras += vista.columnWidth(c);
    }
    vista.setColumnWidth(Descripcion,
                         std::max(MinimoDescripcion, vista.viewport()->width() - otras));
}

void RP_OProduccion::Form_Resize()
{
    ManejadorError enError = ManejadorError::omitiendo();
    const auto invalido = [] {
        return RuntimeError(380, QStringLiteral("Valor de propiedad no válido"),
                            QStringLiteral("Form_Resize"));
    };
    enError.paso([&] {
        // The band above the grid scrolls sideways only where it does not fit.
        const QWidget* banda = AreaFiltros->widget();
        const int barra =
            width() < banda->width() ? AreaFiltros->horizontalScrollBar()->sizeHint().height() : 0;
        AreaFiltros->setGeometry(0, 0, width(), banda->height() + barra);
    });
    enError.paso([&] { MSFlexGrid1Vista->move(0, MSFlexGrid1Vista->y()); });
    enError.paso([&] {
        const int ancho = twipsFromPixels(frameGeometry().width()) - 300;
        if (ancho <= 0)
            throw invalido();
        MSFlexGrid1Vista->resize(pixelsFromTwips(ancho), MSFlexGrid1Vista->height());
    });
    enError.paso([&] {
        const int alto = twipsFromPixels(frameGeometry().height()) -
                         twipsFromPixels(MSFlexGrid1Vista->y()) - 600;
        if (alto <= 0)
            throw invalido();
        // The rule measures from the outer height, so a window manager's title
        // bar eats most of the band below the grid: the grid gives up what the
        // status line needs to stay in sight.
        const int cabe = height() - MSFlexGrid1Vista->y() - altoEstado();
        MSFlexGrid1Vista->resize(MSFlexGrid1Vista->width(),
                                 cabe > 0 ? std::min(pixelsFromTwips(alto), cabe)
                                          : pixelsFromTwips(alto));
    });
    enError.paso([&] { ubicarEstado(); });
}

void RP_OProduccion::ubicarEstado()
{
    if (!LblEstado)
        return;
    const QRect grilla = MSFlexGrid1Vista->geometry();
    const int arriba = grilla.bottom() + 1;
    const int alto = std::min(height() - arriba, altoEstado());
    if (PanelTotales)
        PanelTotales->setGeometry(grilla);
    if (MSFlexGridFiltradaVista)
        MSFlexGridFiltradaVista->setGeometry(grilla);
    ubicarFiltroInsumo();
    if (alto <= 0 || grilla.width() <= 8)
        return;
    int izquierda = grilla.x() + 4;
    if (TabGrillas && TabGrillas->isVisible()) {
        const int ancho = std::min(TabGrillas->sizeHint().width(), grilla.width() / 2);
        TabGrillas->setGeometry(grilla.x(), arriba, ancho, alto);
        izquierda = grilla.x() + ancho + 8;
    }
    LblEstado->setGeometry(izquierda, arriba, std::max(1, grilla.right() - 4 - izquierda), alto);
}

int RP_OProduccion::altoEstado() const
{
    return LblEstado ? LblEstado->fontMetrics().height() + 6 : 0;
}

void RP_OProduccion::mostrarEstado(const QString& texto)
{
    LblEstado->setText(texto);
    LblEstado->setToolTip(texto);
    // A screen reader hears the new name (Qt announces a name change), so it
    // carries the text; the label's own text alone would change unannounced.
    LblEstado->setAccessibleName(texto.isEmpty() ? NombreEstado : NombreEstado + u": " + texto);
    LblEstado->setVisible(!texto.isEmpty());
    ubicarEstado();
}

bool RP_OProduccion::eventFilter(QObject* objeto, QEvent* evento)
{
    QHeaderView* titulos = MSFlexGrid1Vista ? MSFlexGrid1Vista->horizontalHeader() : nullptr;
    if (evento->type() != QEvent::ToolTip || !titulos || objeto != titulos->viewport())
        return QWidget::eventFilter(objeto, evento);
    const auto* ayuda = static_cast<QHelpEvent*>(evento);
    const int columna = titulos->logicalIndexAt(ayuda->pos());
    const QString texto = columna < 0 || MSFlexGrid1.rows() < 1
                              ? QString()
                              : ayudaDeColumna(MSFlexGrid1.text(0, columna));
    if (texto.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(ayuda->globalPos(), texto, titulos->viewport());
    return true;
}

void RP_OProduccion::resizeEvent(QResizeEvent* evento)
{
    QWidget::resizeEvent(evento);
    Form_Resize();
}

void RP_OProduccion::closeEvent(QCloseEvent* evento)
{
    // The work under way still uses the window and its grid: "Cancelar" first.
    if (m_ocupada) {
        evento->ignore();
        return;
    }
    // Unload, in skip mode: each step runs even if the one before failed.
    ManejadorError enError = ManejadorError::omitiendo();
    enError.paso([&] { hide(); });
    enError.paso([&] { deleteLater(); });
    enError.paso([&] { TerminarPrograma(0); });
    evento->accept();
}

void RP_OProduccion::atender(const std::function<void()>& manejador)
{
    m_cajaConError.clear();
    // A filter to mend: its box takes the keyboard, not the button pressed.
    if (!Atender(manejador) && !m_cajaConError.isEmpty())
        txtFields.at(Componentes::Teclado().IndiceCampo(m_cajaConError, txtFields))
            ->setFocus(Qt::OtherFocusReason);
    m_cajaConError.clear();
}

void RP_OProduccion::enExclusiva(const std::function<void()>& trabajo)
{
    // The buttons are disabled meanwhile, so only a host calling the handler
    // itself gets here.
    if (m_ocupada) {
        Componentes::General().Mensaje(
            QStringLiteral("Espere a que termine la carga o la exportación en curso."));
        return;
    }
    // The progress window is modal, but the work lets window events run: a
    // second command would reset the grid under the first one.
    QList<QPointer<QWidget>> controles = {FrmTipo,  Frame2,   CmdCargar,
                                          CmdExcel, CmdSalir, TabGrillas};
    for (const int i : Frame1.indexes())
        controles << Frame1.at(i);
    const QPointer<QWidget> foco = QApplication::focusWidget();
    struct Liberar
    {
        RP_OProduccion& ventana;
        const QList<QPointer<QWidget>>& controles;
        const QPointer<QWidget>& foco;
        ~Liberar()
        {
            for (const QPointer<QWidget>& control : controles)
                if (control)
                    control->setEnabled(true);
            ventana.devolverFoco(foco.data());
            ventana.m_ocupada = false;
        }
    };
    m_ocupada = true;
    const Liberar liberar{*this, controles, foco};
    for (const QPointer<QWidget>& control : controles)
        control->setEnabled(false);
    trabajo();
}

void RP_OProduccion::devolverFoco(QWidget* foco)
{
    // The progress window had the keyboard: it comes back to this window, to
    // the control that had it, or to the grid when that one cannot take it.
    if (isVisible() && QApplication::activeWindow() != this &&
        (!QApplication::activeWindow() || !QApplication::activeWindow()->isVisible()))
        activateWindow();
    if (!foco || foco->window() != this || !foco->isEnabled() || !foco->isVisible() ||
        foco->focusPolicy() == Qt::NoFocus)
        foco = &GrillaVisible() == &MSFlexGridTotales
                   ? static_cast<QWidget*>(MSFlexGridTotalesVista)
                   : MSFlexGrid1Vista;
    if (foco)
        foco->setFocus(Qt::OtherFocusReason);
}

void RP_OProduccion::IniciaGridInsumos()
{
    CargaOrdenes::IniciarGrilla(MSFlexGrid1);
}

void RP_OProduccion::CFG2(const QVariant&, const QVariant&) {}

FiltroOrdenes RP_OProduccion::Filtro() const
{
    FiltroOrdenes filtro;
    CompTeclado& teclado = Componentes::Teclado();
    for (const QString& clave : FiltroOrdenes::Claves())
        filtro.setCaja(clave, txtFields.at(teclado.IndiceCampo(clave, txtFields))->text());
    filtro.pendientes = ChkEstado.at(0)->isChecked();
    filtro.finalizada = ChkEstado.at(1)->isChecked();
    for (const int i : OptOrden.indexes())
        if (OptOrden.at(i)->isChecked())
            filtro.orden = OptOrden.at(i)->property("Tag").toString();
    return filtro;
}

void RP_OProduccion::MostrarFiltro(const FiltroOrdenes& filtro)
{
    CompTeclado& teclado = Componentes::Teclado();
    for (const QString& clave : FiltroOrdenes::Claves()) {
        QLineEdit* caja = txtFields.at(teclado.IndiceCampo(clave, txtFields));
        caja->setText(CompTeclado::TextoAlSalir(CompTeclado::TipoDe(caja), filtro.Caja(clave)));
    }
    ChkEstado.at(0)->setChecked(filtro.pendientes);
    ChkEstado.at(1)->setChecked(filtro.finalizada);
    for (const int i : OptOrden.indexes())
        if (OptOrden.at(i)->property("Tag").toString() == filtro.orden)
            OptOrden.at(i)->setChecked(true);
}

void RP_OProduccion::OfrecerUltimosFiltros()
{
    if (const std::optional<FiltroOrdenes> ultimos = FiltroOrdenes::Ultimos())
        MostrarFiltro(*ultimos);
}

FiltroOrdenes RP_OProduccion::prepararCarga()
{
    const FiltroOrdenes filtro = Filtro();
    filtro.Comprobar(&m_cajaConError);
    m_filtrosCargados = filtro.Descripcion();
    return filtro;
}

CargaOrdenes::Resultado RP_OProduccion::Cargar(const CargaOrdenes::Avance& avance)
{
    const FiltroOrdenes filtro = prepararCarga();
    QElapsedTimer total;
    total.start();
    GridModel totales;
    ReporteOrdenes::Carga carga = ReporteOrdenes::Cargar(
        filtro, MSFlexGrid1, ReporteOrdenes::Alcance::ConTotales, &totales, avance);
    MSFlexGridTotales.takeContents(totales);
    const CargaOrdenes::Resultado resultado = carga.resultado;
    mostrarCarga(std::move(carga), total.elapsed());
    ModGlobal::ReintentarRegistroAcceso();
    return resultado;
}

void RP_OProduccion::PrepararImpresion() const
{
    // The filtered orders' workbook says which material chose them.
    QString filtros = m_filtrosCargados;
    if (!m_insumoFiltrado.isEmpty() && TabGrillas->currentIndex() != 1)
        filtros += (filtros.isEmpty() ? QString() : QStringLiteral("; ")) +
                   QStringLiteral("Insumo: ") + m_insumoFiltradoTexto;
    ModExportarExcel::setEncabezadoImpresion(Titulo, filtros);
}

void RP_OProduccion::CmdCargar_Click()
{
    enExclusiva([this] { cargarConProgreso(); });
}

namespace {
QString totalesIncompletos(int lineas)
{
    return QStringLiteral("Los totales por insumo están incompletos: la carga se canceló y "
                          "cubren solo las %L1 líneas cargadas hasta ese momento. Vuelva a cargar "
                          "las órdenes con \"Cargar\" para verlos y exportarlos completos.")
        .arg(lineas);
}
} // namespace

void RP_OProduccion::mostrarCarga(ReporteOrdenes::Carga carga, qint64 milisegundos)
{
    m_carga = std::move(carga);
    const CargaOrdenes::Resultado& resultado = m_carga.resultado;
    // A load cancelled says so where its totals are.
    m_totalesSinCalcular = resultado.cancelada;
    if (m_totalesSinCalcular)
        GrfTotales->Lectura()->setText(totalesIncompletos(resultado.lineas));
    const QString estado = m_carga.resumen.Texto(milisegundos);
    mostrarEstado(resultado.cancelada ? QStringLiteral("Carga cancelada.   ") + estado : estado);
}

void RP_OProduccion::cargarConProgreso()
{
    const QString titulo = QStringLiteral("Cargando órdenes de producción");
    CompProgreso& progreso = Componentes::Progreso();
    struct Cierre
    {
        CompProgreso& progreso;
        ~Cierre() { progreso.CerrarProgreso(); }
    } cierre{progreso};
    // The filters are checked before the progress window shows.
    const FiltroOrdenes filtro = prepararCarga();
    QElapsedTimer total;
    total.start();
    progreso.MostrarProgreso(titulo, 0, true);
    // A failed load leaves a grid the status line and the totals would
    // misdescribe.
    mostrarEstado(QString());
    m_carga = {};
    TotalesInsumo::Calcular(ResultadoCarga(), MSFlexGridTotales);
    CargaOrdenes::IniciarGrilla(MSFlexGrid1);

    // The worker fills grids of its own, which these take whole when the
    // work ends, however it ends: the rows so far stay.
    GridModel cargada, totales;
    // As the load leaves it before its first row, should the worker fail
    // before the load starts (its connection refused).
    CargaOrdenes::IniciarGrilla(cargada);
    ReporteOrdenes::Carga carga;
    std::atomic<int> lineas{0};
    TrabajoEnHilo trabajo([&] {
        // The marks, the figures and the totals are worked out as the rows
        // arrive: when the last one is read, the window only shows them.
        carga = ReporteOrdenes::Cargar(filtro, cargada, ReporteOrdenes::Alcance::ConTotales,
                                       &totales, [&](int n) {
                                           lineas.store(n);
                                           return !trabajo.Cancelado();
                                       });
    });
    auto entregar = qScopeGuard([&] { MSFlexGrid1.takeContents(cargada); });
    int mostradas = 0;
    trabajo.Ejecutar([&] {
        // The count shows once the first line is in, as the load goes.
        const int n = lineas.load();
        if (n != mostradas) {
            mostradas = n;
            progreso.ActualizarProgreso(0, titulo, QStringLiteral("Espere Por Favor"),
                                        QStringLiteral("%L1 líneas cargadas").arg(n));
        }
        if (progreso.Cancelado())
            trabajo.Cancelar();
    });
    entregar.dismiss();
    MSFlexGrid1.takeContents(cargada);
    MSFlexGridTotales.takeContents(totales);
    // The views take the new rows now, not at the next pass of events.
    MSFlexGrid1Vista->doItemsLayout();
    MSFlexGridTotalesVista->doItemsLayout();
    progreso.CerrarProgreso();
    TabGrillas->show();
    const CargaOrdenes::Resultado resultado = carga.resultado;
    mostrarCarga(std::move(carga), total.elapsed());
    filtro.Guardar();
    ModGlobal::ReintentarRegistroAcceso();
    if (resultado.cancelada)
        Componentes::General().Mensaje(
            QStringLiteral("Carga cancelada: la grilla muestra las %L1 líneas cargadas hasta ese "
                           "momento.")
                .arg(resultado.lineas));
}

void RP_OProduccion::CmdExcel_Click()
{
    // Titles alone (before any load, or after one that found nothing) would
    // make an empty workbook and an empty preview.
    const GridModel& grilla = GrillaVisible();
    if (&grilla == &MSFlexGridTotales && m_totalesSinCalcular) {
        Componentes::General().Mensaje(totalesIncompletos(m_carga.resultado.lineas));
        return;
    }
    bool hayDatos = false;
    for (int r = 1; r < grilla.rows() && !hayDatos; ++r)
        for (int c = 0; c < grilla.cols() && !hayDatos; ++c)
            hayDatos = !grilla.text(r, c).isEmpty();
    if (!hayDatos) {
        Componentes::General().Mensaje(QStringLiteral(
            "No hay datos para exportar: primero traiga las órdenes con \"Cargar\"."));
        return;
    }
    enExclusiva([this] {
        PrepararImpresion();
        ModExportarExcel::ExportarExcel(GrillaVisible(), true, QString(), QString(), false);
    });
}

void RP_OProduccion::CmdSalir_Click()
{
    TerminarPrograma(0);
}
